#include "VelquorTableCellView.h"

#include "VelquorSearchField.h"
#include "VelquorSearchFieldCell.h"

#include <QLabel>
#include <QPainter>
#include <QtMath>

VelquorTableCellView::VelquorTableCellView(QWidget *parent) : QWidget(parent)
{
    m_imageView1 = new QLabel(this);
    m_imageView1->setAlignment(Qt::AlignCenter);

    m_textField1 = new VelquorSearchField(this);
    m_textField1->setFiledEventType(1);
    // A click in a cell belongs to the row: the text is shown, not selected.
    m_textField1->setSelectable(false);
    VelquorSearchFieldCell *cell = m_textField1->cell();
    cell->setBgColor(Qt::transparent);
    cell->setInsertionPointColor(Qt::black);
    cell->setLeftButtonWidth(0);
    cell->setRightButtonWidth(0);
    cell->setMargin(0);
    QFont font = m_textField1->font();
    font.setPixelSize(15);
    m_textField1->setFont(font);
    m_textField1->setTextColor(Qt::black);
    layoutSubviews();
}

void VelquorTableCellView::setText(const QString &text)
{
    m_text = text;
    elideText();
}

void VelquorTableCellView::elideText()
{
    // A line edit scrolls a text that does not fit to its end; cut at the end instead, so it
    // reads from its start, and offer the whole of it when the pointer rests on the cell.
    const int room = qFloor(m_textField1->searchTextRect().width());
    const QString shown = m_textField1->fontMetrics().elidedText(m_text, Qt::ElideRight, room);
    m_textField1->setText(shown);
    m_textField1->setCursorPosition(0);
    setToolTip(shown == m_text ? QString() : m_text);
}

void VelquorTableCellView::setShowImage(bool showImage)
{
    m_showImage = showImage;
    layoutSubviews();
}

void VelquorTableCellView::setBackgroundStyle(BackgroundStyle style)
{
    if (m_backgroundStyle == style)
        return;
    m_backgroundStyle = style;
    // Black would hardly read on the emphasised blue.
    m_textField1->setTextColor(style == BackgroundStyle::Emphasized ? Qt::white : Qt::black);
    update();
}

void VelquorTableCellView::paintEvent(QPaintEvent *)
{
    if (m_backgroundStyle != BackgroundStyle::Emphasized)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 255));
}

void VelquorTableCellView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorTableCellView::layoutSubviews()
{
    if (m_showImage) {
        m_imageView1->setGeometry(1, 0, kImageColumnWidth, height());
        const int textX = 1 + kImageColumnWidth;
        m_textField1->setGeometry(textX, 0, qMax(0, width() - textX), height());
    } else {
        m_imageView1->setGeometry(0, 0, 0, 0);
        m_textField1->setGeometry(rect());
    }
    if (!m_text.isEmpty())
        elideText();
}

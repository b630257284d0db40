#include "VelquorTableHeaderCell.h"

#include "VelquorImages.h"
#include "VelquorTableHeaderCellDelegate.h"
#include "VelquorTableHeaderCheckButton.h"
#include "VelquorTableView.h"

namespace {

QWidget *makeLine(QWidget *parent)
{
    auto *line = new QWidget(parent);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, VelquorTableView::kGridColor);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

VelquorTableHeaderCell::VelquorTableHeaderCell(const QString &text, QWidget *parent) : QWidget(parent)
{
    m_checkButton = new VelquorTableHeaderCheckButton(this);
    m_checkButton->setText(text);
    m_checkButton->setFont(titleFont());
    m_checkButton->setImage(VelquorImages::named(QStringLiteral("element_check_off")));
    m_checkButton->setAlternateImage(VelquorImages::named(QStringLiteral("element_check_on")));
    m_checkButton->setNormalTextColor(Qt::black);
    m_checkButton->setHighlightedTextColor(Qt::black);
    m_checkButton->setNormalBackgroundColor(Qt::white);
    m_checkButton->setHighlightedBackgroundColor(QColor(0, 0, 255));
    m_checkButton->setOnlyShowTextColor(false);
    m_checkButton->setShowBackgroundImage(false);
    // The header shows the resize cursor over a column border; the button never does.
    m_checkButton->setCursor(Qt::ArrowCursor);
    connect(m_checkButton, &QAbstractButton::clicked, this, &VelquorTableHeaderCell::checkAction);

    m_rightLineView = makeLine(this);
    m_bottomLineView = makeLine(this);
    setShowImage(true);
    layoutSubviews();
}

QFont VelquorTableHeaderCell::titleFont()
{
    QFont font;
    font.setPixelSize(15);
    return font;
}

QString VelquorTableHeaderCell::title() const
{
    return m_checkButton->text();
}

void VelquorTableHeaderCell::setShowImage(bool showImage)
{
    m_showImage = showImage;
    if (showImage) {
        m_checkButton->setImagePosition(VelquorTableHeaderCheckButton::ImageLeft);
        m_checkButton->setButtonType(VelquorTableHeaderCheckButton::Switch);
    } else {
        m_checkButton->setImagePosition(VelquorTableHeaderCheckButton::NoImage);
        m_checkButton->setButtonType(VelquorTableHeaderCheckButton::MomentaryLight);
    }
    m_checkButton->setState(m_selected ? 1 : 0);
}

void VelquorTableHeaderCell::setSelected(bool selected)
{
    m_selected = selected;
    m_checkButton->setState(selected ? 1 : 0);
}

void VelquorTableHeaderCell::checkAction()
{
    // The click toggled the check box; the cell's selection follows it, so a later setShowImage does
    // not take the tick away again.
    if (m_checkButton->isCheckable())
        m_selected = m_checkButton->state() == 1;
    if (m_delegate)
        m_delegate->softwareManagementTableHeaderClickButton(this, m_checkButton);
}

void VelquorTableHeaderCell::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorTableHeaderCell::layoutSubviews()
{
    const int w = width();
    const int h = height();
    m_checkButton->setGeometry(1, 1, qMax(0, w - 3), qMax(0, h - 2));
    m_rightLineView->setGeometry(w - 1, 0, 1, h);
    m_bottomLineView->setGeometry(1, h - 1, qMax(0, w - 2), 1);
}

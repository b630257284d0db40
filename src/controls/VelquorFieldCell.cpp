#include "VelquorFieldCell.h"

#include "VelquorBorderView.h"

#include <QLineEdit>
#include <QPainter>

namespace {

const QColor kBorderColor(0xAA, 0xAA, 0xAA);
constexpr qreal kBorderRadius = 4.0;

} // namespace

VelquorFieldCell::VelquorFieldCell(QObject *parent) : QObject(parent) {}

void VelquorFieldCell::setRadius(qreal radius)
{
    m_radius = radius;
    emit changed();
}

void VelquorFieldCell::setBgColor(const QColor &color)
{
    m_bgColor = color;
    emit changed();
}

void VelquorFieldCell::setInsertionPointColor(const QColor &color)
{
    m_insertionPointColor = color;
    emit changed();
}

void VelquorFieldCell::paintBackground(QWidget *view) const
{
    QPainter painter(view);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_bgColor);
    painter.drawRoundedRect(QRectF(view->rect()), m_radius, m_radius);
}

void VelquorFieldCell::prepareEditor(QLineEdit *editor)
{
    editor->setFrame(false);
    editor->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Qt::black);
    editor->setPalette(palette);
}

VelquorBorderView *VelquorFieldCell::addFieldBorder(QWidget *field)
{
    auto *border = new VelquorBorderView(field);
    border->setBorderColor(kBorderColor);
    border->setBorderWidth(1.0);
    border->setCornerRadius(kBorderRadius);
    return border;
}

void VelquorFieldCell::placeCaptionButtons(QWidget *view, QWidget *left, qreal leftWidth, QWidget *right,
                                           qreal rightWidth)
{
    const int h = view->height();
    if (left)
        left->setGeometry(0, 0, qRound(leftWidth), h);
    if (right) {
        const int w = qRound(rightWidth);
        right->setGeometry(view->width() - w, 0, w, h);
    }
}

#include "VelquorTableRowView.h"

#include <QPainter>

const QColor VelquorTableRowView::kSelectedControlColor(0xB3, 0xD7, 0xFF);

VelquorTableRowView::VelquorTableRowView(QWidget *parent) : QWidget(parent) {}

void VelquorTableRowView::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void VelquorTableRowView::setEmphasized(bool emphasized)
{
    if (m_emphasized == emphasized)
        return;
    m_emphasized = emphasized;
    update();
}

void VelquorTableRowView::setSelectionHighlightStyle(SelectionHighlightStyle style)
{
    if (m_selectionHighlightStyle == style)
        return;
    m_selectionHighlightStyle = style;
    update();
}

void VelquorTableRowView::setBackgroundColor(const QColor &color)
{
    if (m_backgroundColor == color)
        return;
    m_backgroundColor = color;
    update();
}

void VelquorTableRowView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawBackgroundInRect(painter, rect());
    if (m_selected && m_selectionHighlightStyle != SelectionHighlightStyle::None)
        drawSelectionInRect(painter, rect());
}

void VelquorTableRowView::drawBackgroundInRect(QPainter &painter, const QRectF &rect)
{
    if (m_backgroundColor.isValid())
        painter.fillRect(rect, m_backgroundColor);
}

void VelquorTableRowView::drawSelectionInRect(QPainter &painter, const QRectF &)
{
    const QRectF selection = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.fillRect(selection, kSelectedControlColor);
    QColor outline = Qt::white;
    outline.setAlphaF(0.9f);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(selection.adjusted(0.5, 0.5, -0.5, -0.5));
}

#include "VelquorTabItemView.h"

#include <QPainter>
#include <QPolygonF>

VelquorTabItemView::VelquorTabItemView(QWidget *parent) : QWidget(parent) {}

void VelquorTabItemView::setOffset(qreal offset)
{
    m_offset = offset;
    update();
}

void VelquorTabItemView::paintEvent(QPaintEvent *)
{
    const QRectF r = rect();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 255));
    const QPolygonF shape{QPointF(r.left(), r.bottom()), QPointF(r.right() - m_offset, r.bottom()),
                          QPointF(r.right(), r.top()), QPointF(r.left() + m_offset, r.top())};
    painter.drawPolygon(shape);
}

#include "VelquorTabItemBgView.h"

#include <QPainter>

VelquorTabItemBgView::VelquorTabItemBgView(QWidget *parent) : QWidget(parent) {}

void VelquorTabItemBgView::setItemWidth(qreal width)
{
    m_itemWidth = width;
    update();
}

void VelquorTabItemBgView::setItemHeight(qreal height)
{
    m_itemHeight = height;
    update();
}

void VelquorTabItemBgView::setItemTotal(qint64 total)
{
    m_itemTotal = total;
    update();
}

void VelquorTabItemBgView::paintEvent(QPaintEvent *)
{
    if (m_itemTotal < 2)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2.5));
    // Each separator leans right: it starts half a bar height before the item edge at the
    // bottom and meets the edge at the top.
    for (qint64 k = 1; k < m_itemTotal; ++k) {
        const qreal edge = m_itemWidth * k;
        painter.drawLine(QPointF(edge - m_itemHeight / 2, m_itemHeight), QPointF(edge, 0));
    }
}

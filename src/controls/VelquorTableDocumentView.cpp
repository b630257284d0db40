#include "VelquorTableDocumentView.h"

#include "VelquorTableView.h"

#include <QMouseEvent>
#include <QPainter>

VelquorTableDocumentView::VelquorTableDocumentView(VelquorTableView *tableView)
    : QWidget(nullptr), m_tableView(tableView)
{}

void VelquorTableDocumentView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_tableView->drawBackgroundAndGrid(painter, event->rect());
}

void VelquorTableDocumentView::mousePressEvent(QMouseEvent *event)
{
    m_tableView->documentMousePressed(event);
}

void VelquorTableDocumentView::mouseReleaseEvent(QMouseEvent *event)
{
    m_tableView->documentMouseReleased(event);
}

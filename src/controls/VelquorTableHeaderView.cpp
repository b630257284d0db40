#include "VelquorTableHeaderView.h"

#include "VelquorTableColumn.h"
#include "VelquorTableHeaderCell.h"
#include "VelquorTableView.h"

#include <QPainter>
#include <QScrollBar>

VelquorTableHeaderView::VelquorTableHeaderView(VelquorTableView *tableView) : QWidget(tableView), m_tableView(tableView)
{}

void VelquorTableHeaderView::layoutCells()
{
    const int scroll = m_tableView->horizontalScrollBar()->value();
    qreal x = 0;
    for (VelquorTableColumn *column : m_tableView->tableColumns()) {
        if (VelquorTableHeaderCell *cell = column->headerCell()) {
            if (cell->parentWidget() != this)
                cell->setParent(this);
            cell->setGeometry(QRectF(x - scroll, 0, column->width(), height()).toRect());
            cell->show();
        }
        x += column->width();
    }
    update();
}

void VelquorTableHeaderView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutCells();
}

void VelquorTableHeaderView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int scroll = m_tableView->horizontalScrollBar()->value();
    painter.setFont(VelquorTableHeaderCell::titleFont());
    qreal x = -scroll;
    for (VelquorTableColumn *column : m_tableView->tableColumns()) {
        const QRectF frame(x, 0, column->width(), height());
        x += column->width();
        if (column->headerCell())
            continue;
        painter.setPen(Qt::black);
        painter.drawText(frame.adjusted(5, 0, -5, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         column->title());
        painter.fillRect(QRectF(frame.right() - 1, 0, 1, height()), VelquorTableView::kGridColor);
        painter.fillRect(QRectF(frame.left(), height() - 1, frame.width(), 1), VelquorTableView::kGridColor);
    }
}

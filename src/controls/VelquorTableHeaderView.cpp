#include "VelquorTableHeaderView.h"

#include "VelquorTableColumn.h"
#include "VelquorTableHeaderCell.h"
#include "VelquorTableView.h"

#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>

VelquorTableHeaderView::VelquorTableHeaderView(VelquorTableView *tableView)
    : QHeaderView(Qt::Horizontal, tableView), m_tableView(tableView), m_sections(new QStandardItemModel(this))
{
    setModel(m_sections);
    setSectionResizeMode(QHeaderView::Interactive);
    setSectionsMovable(false);
    setSectionsClickable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setCascadingSectionResizes(false);
    // A header view paints with the button role, which the header cells' lines would inherit; they
    // keep the window role they have anywhere else.
    viewport()->setBackgroundRole(QPalette::Window);
    connect(this, &QHeaderView::sectionResized, this, &VelquorTableHeaderView::columnResized);
}

void VelquorTableHeaderView::columnResized(int column, int, int newWidth)
{
    if (m_syncing)
        return;
    if (VelquorTableColumn *resized = m_tableView->tableColumns().value(column)) {
        resized->setWidth(newWidth);
        m_tableView->columnDidResize(resized);
    }
}

void VelquorTableHeaderView::layoutCells()
{
    const QList<VelquorTableColumn *> columns = m_tableView->tableColumns();
    const int scroll = m_tableView->horizontalScrollBar()->value();
    // The sections follow the columns' widths; only a drag changes them the other way.
    m_syncing = true;
    if (m_sections->columnCount() != columns.size())
        m_sections->setColumnCount(int(columns.size()));
    for (int i = 0; i < columns.size(); ++i)
        if (sectionSize(i) != qRound(columns.at(i)->width()))
            resizeSection(i, qRound(columns.at(i)->width()));
    setOffset(scroll);
    m_syncing = false;

    qreal x = 0;
    for (VelquorTableColumn *column : columns) {
        if (VelquorTableHeaderCell *cell = column->headerCell()) {
            if (cell->parentWidget() != viewport())
                cell->setParent(viewport());
            cell->setGeometry(QRectF(x - scroll, 0, column->width(), viewport()->height()).toRect());
            cell->show();
        }
        x += column->width();
    }
    viewport()->update();
}

void VelquorTableHeaderView::resizeEvent(QResizeEvent *event)
{
    QHeaderView::resizeEvent(event);
    layoutCells();
}

void VelquorTableHeaderView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const int height = viewport()->height();
    painter.fillRect(viewport()->rect(), Qt::white);
    const int scroll = m_tableView->horizontalScrollBar()->value();
    painter.setFont(VelquorTableHeaderCell::titleFont());
    qreal x = -scroll;
    for (VelquorTableColumn *column : m_tableView->tableColumns()) {
        const QRectF frame(x, 0, column->width(), height);
        x += column->width();
        if (column->headerCell())
            continue;
        painter.setPen(Qt::black);
        painter.drawText(frame.adjusted(5, 0, -5, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         column->title());
        painter.fillRect(QRectF(frame.right() - 1, 0, 1, height), VelquorTableView::kGridColor);
        painter.fillRect(QRectF(frame.left(), height - 1, frame.width(), 1), VelquorTableView::kGridColor);
    }
}

#include "VelquorTableColumn.h"

#include "VelquorTableHeaderCell.h"
#include "VelquorTableView.h"

VelquorTableColumn::VelquorTableColumn(VelquorTableView *tableView, const QString &identifier)
    : m_tableView(tableView), m_identifier(identifier)
{}

void VelquorTableColumn::setTitle(const QString &title)
{
    m_title = title;
    m_tableView->columnsDidChange();
}

void VelquorTableColumn::setWidth(qreal width)
{
    m_width = qMax<qreal>(0, width);
    m_tableView->columnsDidChange();
}

void VelquorTableColumn::setHeaderCell(VelquorTableHeaderCell *headerCell)
{
    if (m_headerCell == headerCell)
        return;
    if (m_headerCell)
        m_headerCell->deleteLater();
    m_headerCell = headerCell;
    m_tableView->columnsDidChange();
}

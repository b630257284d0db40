#include "VelquorTableViewDataSource.h"

#include "VelquorTableCellView.h"
#include "VelquorTableView.h"

qreal VelquorTableViewDataSource::tableViewHeightOfRow(VelquorTableView *tableView, qint64)
{
    return tableView->rowHeight();
}

QString VelquorTableViewDataSource::tableViewTypeSelectStringForTableColumn(VelquorTableView *tableView,
                                                                            VelquorTableColumn *column, qint64 row)
{
    const auto *cell =
        qobject_cast<VelquorTableCellView *>(tableView->viewAtColumn(tableView->tableColumns().indexOf(column), row));
    return cell ? cell->text() : QString();
}

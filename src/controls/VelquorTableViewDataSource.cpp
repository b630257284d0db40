#include "VelquorTableViewDataSource.h"

#include "VelquorTableView.h"

qreal VelquorTableViewDataSource::tableViewHeightOfRow(VelquorTableView *tableView, qint64)
{
    return tableView->rowHeight();
}

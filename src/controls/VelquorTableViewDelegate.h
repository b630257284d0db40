#pragma once

#include <QtGlobal>

class VelquorTableView;

// Told of every click on a row, once the click is over and any selection change is done.
class VelquorTableViewDelegate
{
public:
    virtual ~VelquorTableViewDelegate() = default;

    virtual void tableViewDidClickedRow(VelquorTableView *tableView, qint64 row) = 0;
};

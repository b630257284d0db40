#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;
class VelquorTableColumn;
class VelquorTableRowView;
class VelquorTableView;

// Supplies the rows of a VelquorTableView and the views that show them. Views returned here are
// taken over by the table; a view whose objectName is set (its identifier) is kept for reuse and
// handed out again by makeViewWithIdentifier.
class VelquorTableViewDataSource
{
public:
    virtual ~VelquorTableViewDataSource() = default;

    virtual qint64 numberOfRowsInTableView(VelquorTableView *tableView) = 0;
    // Height of one row; the table's rowHeight unless overridden.
    virtual qreal tableViewHeightOfRow(VelquorTableView *tableView, qint64 row);
    // The view of one cell; none leaves the cell empty.
    virtual QWidget *tableViewViewForTableColumn(VelquorTableView *tableView, VelquorTableColumn *column, qint64 row)
    {
        return nullptr;
    }
    // The view behind a whole row; none gives a plain VelquorTableRowView.
    virtual VelquorTableRowView *tableViewRowViewForRow(VelquorTableView *tableView, qint64 row) { return nullptr; }
    // After the user changed the selection.
    virtual void tableViewSelectionDidChange(VelquorTableView *tableView) {}
    // After the user dragged the border of a column's header to a new width.
    virtual void tableViewColumnDidResize(VelquorTableView *tableView, VelquorTableColumn *column) {}
    // What a name typed into the table is matched against, for one cell: the whole text of its
    // VelquorTableCellView unless overridden; an empty text never matches.
    virtual QString tableViewTypeSelectStringForTableColumn(VelquorTableView *tableView, VelquorTableColumn *column,
                                                            qint64 row);
};

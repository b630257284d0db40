#pragma once

#include "controls/VelquorTableViewDataSource.h"
#include "core/VelquorVehicleFamilyModel.h"

#include <QList>
#include <QStringList>

class VelquorMyUpdatesView;
class VelquorVehicleRows;

// The updates table's data source: one row per shown row group, each drawn by a reused
// VelquorMyUpdatesTableRowView whose texts, picture, buttons and progress follow the group's
// records. A press on a row's download or information button goes to the page with the row index
// as the button's tag.
class VelquorUpdatesTableSource : public VelquorTableViewDataSource
{
public:
    VelquorUpdatesTableSource(VelquorMyUpdatesView &page, VelquorVehicleRows &rows, QStringList pngLists);

    qint64 numberOfRowsInTableView(VelquorTableView *tableView) override;
    qreal tableViewHeightOfRow(VelquorTableView *tableView, qint64 row) override;
    VelquorTableRowView *tableViewRowViewForRow(VelquorTableView *tableView, qint64 row) override;

    const QStringList &pngLists() const { return m_pngLists; }

private:
    VelquorMyUpdatesView &m_page;
    VelquorVehicleRows &m_rows;
    QStringList m_pngLists;
    // The rows as counted at the start of a reload: every question of that reload is answered from it.
    QList<VelquorVehicleFamilyGroup> m_snapshot;
};

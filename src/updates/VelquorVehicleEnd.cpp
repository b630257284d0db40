#include "VelquorVehicleEnd.h"

#include "core/VelquorDownloadDataBaseManager.h"
#include "updates/VelquorUpdatesPageServices.h"

void endVehicleIn(VelquorDownloadDataBaseManager &database, VelquorUpdatesPageServices &page, const QString &vehicle,
                  const VelquorDownloadModelList &rows, qint64 state)
{
    for (const VelquorDownloadModelPtr &row : rows) {
        row->setState(state);
        row->setProgress(0);
        database.updateWithModel(row, VelquorDownloadUpdateAll);
    }
    VelquorRowUpdate update;
    update.state = int(state);
    page.setRowOfVehicle(vehicle, update);
    page.reloadAllData();
}

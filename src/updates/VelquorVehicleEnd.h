#pragma once

#include "core/VelquorDownloadModel.h"

#include <QString>

class VelquorDownloadDataBaseManager;
class VelquorUpdatesPageServices;

// Ends a vehicle's work in a state that waits for the user (failed, or waiting to be installed):
// every one of its rows takes the state with no progress, is stored, and the page shows it so.
// Any thread.
void endVehicleIn(VelquorDownloadDataBaseManager &database, VelquorUpdatesPageServices &page, const QString &vehicle,
                  const VelquorDownloadModelList &rows, qint64 state);

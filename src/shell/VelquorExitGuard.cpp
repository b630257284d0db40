#include "shell/VelquorExitGuard.h"

#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorDownloadPageState.h"

namespace {

// Row states: 6 extracting, 7 downloaded and waiting to be installed.
constexpr qint64 kExtractingState = 6;
constexpr qint64 kWaitingToInstallState = 7;

bool anyRowInstalling(const QList<VelquorVehicleFamilyGroup> &groups)
{
    for (const auto &group : groups) {
        for (const auto &family : group) {
            const VelquorDownloadModelPtr record = family ? family->model() : nullptr;
            if (record && (record->state() == kExtractingState || record->state() == kWaitingToInstallState))
                return true;
        }
    }
    return false;
}

} // namespace

bool VelquorExitGuard::workInProgress(VelquorDownloadDataBaseManager *database, const VelquorDownloadManager *manager)
{
    if (!database)
        database = &VelquorDownloadDataBaseManager::sharedManager();
    if (!manager)
        manager = &VelquorDownloadManager::sharedManager();
    if (!manager->vehicles().isEmpty() || anyRowInstalling(manager->familyModels()))
        return true;
    // The rows are read before the joins: a vehicle's last row is downloaded in the same step that
    // begins the joining of its parts.
    return !database->getAllDownloadingData().isEmpty() || manager->isJoiningAnyVehicle();
}

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

bool VelquorExitGuard::workInProgress(VelquorDownloadDataBaseManager *database,
                                      const VelquorDownloadPageState *pageState)
{
    if (!database)
        database = &VelquorDownloadDataBaseManager::sharedManager();
    if (!pageState)
        pageState = &VelquorDownloadManager::sharedManager();
    if (!pageState->vehicles().isEmpty() || anyRowInstalling(pageState->familyModels()))
        return true;
    return !database->getAllDownloadingData().isEmpty();
}

#include "updates/VelquorCacheCleanup.h"

#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "platform/UserDefaults.h"
#include "updates/VelquorUpdatesConstants.h"

#include <QStringList>

#include <algorithm>

VelquorCacheCleanup::VelquorCacheCleanup(VelquorDownloadManager &downloadManager,
                                         VelquorDownloadDataBaseManager &database)
    : m_downloadManager(downloadManager), m_database(database)
{}

DispatchQueue &VelquorCacheCleanup::queue()
{
    static DispatchQueue cleanupQueue(VelquorUpdates::kDeleteCacheQueueLabel);
    return cleanupQueue;
}

void VelquorCacheCleanup::initApplicationDBCache(std::function<void()> finished)
{
    // The managers outlive every page; this object need not.
    queue().async([downloadManager = &m_downloadManager, database = &m_database, finished = std::move(finished)] {
        VelquorCacheCleanup(*downloadManager, *database).run();
        if (finished)
            finished();
    });
}

void VelquorCacheCleanup::run()
{
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setInteger(QString::fromLatin1(VelquorDownload::MaxConcurrentCountKey),
                        VelquorUpdates::kDefaultMaxConcurrentCount);
    defaults.setBool(QString::fromLatin1(VelquorDownload::AllowsCellularAccessKey), true);
    defaults.setBool(VelquorUpdates::kProjectOnceKey, true);
    defaults.synchronize();

    // Interrupted records go back to idle; paused, downloaded and installed ones stay.
    QStringList vehicles;
    QStringList halfWritten; // an extraction was interrupted or failed: the card folder is not whole
    QStringList notReset;    // the database took no write for them: their files stay with their records
    for (const VelquorDownloadModelPtr &record : m_database.getAllCacheData()) {
        if (!vehicles.contains(record->vehicle()))
            vehicles.append(record->vehicle());
        const qint64 state = record->state();
        if ((state == VelquorDownloadStateExtracting || state == VelquorDownloadStateInstallFailed) &&
            !halfWritten.contains(record->vehicle()))
            halfWritten.append(record->vehicle());
        if (state == VelquorDownloadStateInstalled || state == VelquorDownloadStateWaitingInstall ||
            state == VelquorDownloadStateDownloaded || state == VelquorDownloadStatePaused)
            continue;
        record->setState(VelquorDownloadStateNone);
        record->setProgress(0);
        if (!m_database.updateWithModel(record, VelquorDownloadUpdateAllWithZipPath) &&
            !notReset.contains(record->vehicle()))
            notReset.append(record->vehicle());
    }

    // Only vehicles wholly downloaded or wholly installed survive.
    for (const QString &vehicle : std::as_const(vehicles)) {
        const VelquorDownloadModelList records = m_database.getModelWithVehicle(vehicle);
        if (records.isEmpty())
            continue;
        const auto allIn = [&](qint64 state) {
            return std::all_of(records.begin(), records.end(), [state](const auto &r) { return r->state() == state; });
        };
        if (allIn(VelquorDownloadStateWaitingInstall) || allIn(VelquorDownloadStateInstalled) ||
            notReset.contains(vehicle))
            continue;
        // Any other card folder holds the version installed before, which stays on the tool.
        m_downloadManager.deleteTaskAndCache(records.first(), halfWritten.contains(vehicle)
                                                                  ? VelquorDownloadManager::CardFolders::Remove
                                                                  : VelquorDownloadManager::CardFolders::Keep);
        m_database.deleteModelWithVehicle(records.first()->vehicle());
    }
}

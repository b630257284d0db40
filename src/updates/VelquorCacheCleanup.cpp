#include "updates/VelquorCacheCleanup.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorUnfinishedFolder.h"
#include "platform/DispatchQueue.h"
#include "platform/UserDefaults.h"
#include "updates/VelquorUpdatesConstants.h"

#include <QStringList>

#include <algorithm>

VelquorCacheCleanup::VelquorCacheCleanup(VelquorDownloadManager &downloadManager,
                                         VelquorDownloadDataBaseManager &database, VelquorCommonTool &commonTool)
    : m_downloadManager(downloadManager), m_database(database), m_commonTool(commonTool)
{}

DispatchQueue &VelquorCacheCleanup::queue()
{
    static DispatchQueue cleanupQueue(VelquorUpdates::kDeleteCacheQueueLabel);
    return cleanupQueue;
}

void VelquorCacheCleanup::initApplicationDBCache(std::function<void()> finished)
{
    // The managers outlive every page; this object need not.
    queue().async([downloadManager = &m_downloadManager, database = &m_database, commonTool = &m_commonTool,
                   finished = std::move(finished)] {
        VelquorCacheCleanup(*downloadManager, *database, *commonTool).run();
        if (finished)
            finished();
    });
}

void VelquorCacheCleanup::queueUnfinishedFolderRemoval(std::function<void()> finished)
{
    queue().async([downloadManager = &m_downloadManager, database = &m_database, commonTool = &m_commonTool,
                   finished = std::move(finished)] {
        VelquorCacheCleanup(*downloadManager, *database, *commonTool).removeUnfinishedFolders();
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

    removeUnfinishedFolders();

    // Interrupted records go back to idle; paused, downloaded and installed ones stay.
    QStringList vehicles;
    QStringList notReset; // the database took no write for them: their files stay with their records
    for (const VelquorDownloadModelPtr &record : m_database.getAllCacheData()) {
        if (!vehicles.contains(record->vehicle()))
            vehicles.append(record->vehicle());
        const qint64 state = record->state();
        if (state == VelquorDownloadStateInstalled || state == VelquorDownloadStateWaitingInstall ||
            state == VelquorDownloadStateDownloaded || state == VelquorDownloadStatePaused)
            continue;
        record->setState(VelquorDownloadStateNone);
        record->setProgress(0);
        if (!m_database.updateWithModel(record, VelquorDownloadUpdateAllWithZipPath) &&
            !notReset.contains(record->vehicle()))
            notReset.append(record->vehicle());
    }

    // Only vehicles wholly downloaded or wholly installed survive. Their card folders stay: a folder an
    // extraction left half written carries its mark, and went above from the card that carries it.
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
        m_downloadManager.deleteTaskAndCache(records.first());
        m_database.deleteModelWithVehicle(records.first()->vehicle());
    }
}

void VelquorCacheCleanup::removeUnfinishedFolders()
{
    const QString root = m_commonTool.saveFilePath();
    if (root.isEmpty())
        return;
    // Folders outside the usual layout are looked for where the records place them.
    QStringList recorded;
    for (const VelquorDownloadModelPtr &record :
         m_database.getAllCacheDataForInstall() + m_database.getAllCacheData()) {
        const QString folder = VelquorCommonTool::getSoftwarePath(record, root);
        if (!folder.isEmpty() && !recorded.contains(folder))
            recorded.append(folder);
    }
    for (const VelquorUnfinishedFolder::Mark &mark : VelquorUnfinishedFolder::find(root, recorded)) {
        // A vehicle being extracted now writes its own marked folders.
        if (m_downloadManager.containsVehicle(mark.vehicle))
            continue;
        // Read from the card now, and removed only while it still carries this mark.
        if (!VelquorUnfinishedFolder::remove(mark.folder, mark.token) || mark.vehicle.isEmpty())
            continue;
        // The records described the folder only when they are the chosen device's own (a marker of an
        // older version names no device).
        if (!mark.device.isEmpty() && mark.device != m_database.uniqueIDString())
            continue;
        m_database.deleteModelWithVehicleForInstall(mark.vehicle);
        // Rows that wait to be installed keep their archives. A press installs them only where, with
        // what the card holds then, they make a whole version; an update planned onto the version
        // removed here is planned again. Rows that claim the folder installed go with it.
        m_database.deleteModelWithName(mark.vehicle, VelquorDownloadStateInstalled);
    }
}

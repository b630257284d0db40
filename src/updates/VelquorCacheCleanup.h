#pragma once

#include <functional>

class DispatchQueue;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;

// What a device choice clears away from an earlier run of that device: the download settings are
// written, interrupted records go back to idle, and every vehicle whose records are neither all
// downloaded (waiting to install) nor all installed is purged with its transfers, archives and partial
// files; its card directory goes too where an extraction may have left it half written (a record
// extracting or failed to install). Clean-ups run one after another on one shared serial queue, so two quick
// device choices never purge at the same time.
class VelquorCacheCleanup
{
public:
    VelquorCacheCleanup(VelquorDownloadManager &downloadManager, VelquorDownloadDataBaseManager &database);

    // Queues a clean-up of the current device's tables and returns at once; `finished` runs on the
    // clean-up queue after it.
    void initApplicationDBCache(std::function<void()> finished = {});
    // The clean-up itself, on the calling thread.
    void run();

    // "com.ostrelle.Velquor.deleteCache", shared by every clean-up.
    static DispatchQueue &queue();

private:
    VelquorDownloadManager &m_downloadManager;
    VelquorDownloadDataBaseManager &m_database;
};

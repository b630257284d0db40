#pragma once

#include <functional>

class DispatchQueue;
class VelquorCommonTool;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;

// What a device choice clears away from an earlier run of that device: the download settings are
// written, the package folders that the chosen card marks as half written or half removed go from
// that card with the install records of what they held, interrupted records go back to idle, and
// every vehicle whose records are neither all downloaded (waiting to install) nor all installed is
// purged with its transfers, archives and partial files. The records never decide a removal from the
// card: a card swapped in since holds its own folders, whole. Clean-ups run one after another on one
// shared serial queue, so two quick device choices never purge at the same time.
class VelquorCacheCleanup
{
public:
    VelquorCacheCleanup(VelquorDownloadManager &downloadManager, VelquorDownloadDataBaseManager &database,
                        VelquorCommonTool &commonTool);

    // Queues a clean-up of the current device's tables and returns at once; `finished` runs on the
    // clean-up queue after it.
    void initApplicationDBCache(std::function<void()> finished = {});
    // Queues only the removal of what the chosen card marks unfinished (another card was chosen).
    void queueUnfinishedFolderRemoval(std::function<void()> finished = {});
    // The clean-up itself, on the calling thread.
    void run();
    // Finishes what the chosen card marks as unfinished: each marked folder is removed, and with it
    // the install records of its vehicle and the rows that claim it installed. Calling thread.
    void removeUnfinishedFolders();

    // "com.ostrelle.Velquor.deleteCache", shared by every clean-up.
    static DispatchQueue &queue();

private:
    VelquorDownloadManager &m_downloadManager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
};

#pragma once

#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "updates/VelquorCacheCleanup.h"

namespace updatestest {

// The shared download manager's queues outlive a case: what a case's page queued runs out, and every
// transfer, retry and slot ends, before the case's end (or the next case's start). The data the
// application keeps (tables, settings, Documents, the shared objects' lists) is put back around
// every case by the test main. Call on the GUI thread with no page alive.
inline void clearSharedState()
{
    VelquorDownloadManager &manager = VelquorDownloadManager::sharedManager();
    // A page's probe runner is waited for as its hand-over goes.
    VelquorCacheCleanup::queue().sync([] {});
    for (const auto &queue :
         {manager.decompressSerialQueue(), manager.reloadSDCardQueue(), manager.unInstallSerialQueue()}) {
        if (queue)
            queue->sync([] {});
    }
    manager.deleteAllTask();
    manager.queue().sync([] {});
    manager.filesQueue().sync([] {});
}

} // namespace updatestest

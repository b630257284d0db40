#pragma once

#include "core/VelquorCommonTool.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorUserManager.h"
#include "platform/DispatchQueue.h"
#include "platform/MountedVolumes.h"
#include "updates/VelquorCacheCleanup.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>

#include <gtest/gtest.h>

namespace updatestest {

// What the application keeps for the whole process: the shared download manager with its queues,
// slots and page lists, the device tables in the one database file, the archive cache, the chosen
// card, the settings. A case of this executable starts with all of it as a fresh start finds it and
// leaves it so, whatever ran before it. Call on the GUI thread with no page alive.
inline void clearSharedState()
{
    VelquorDownloadManager &manager = VelquorDownloadManager::sharedManager();
    // Work the pages queued runs out first: none of it may land in the next case. (A page's probe
    // runner is waited for as its hand-over goes.)
    VelquorCacheCleanup::queue().sync([] {});
    for (const auto &queue :
         {manager.decompressSerialQueue(), manager.reloadSDCardQueue(), manager.unInstallSerialQueue()}) {
        if (queue)
            queue->sync([] {});
    }
    // Every transfer and slot ends, retries included, and the files they wrote go.
    manager.deleteAllTask();
    manager.queue().sync([] {});
    manager.filesQueue().sync([] {});
    manager.setFamilyModels({});
    manager.setDownloadModel({});
    manager.setDownloadPausedModels({});
    manager.setVehicles({});
    manager.setDecompressCount(0);
    manager.setNeedDownloadData({});
    manager.setListModels({});
    manager.setProductName({});
    manager.setUnInstalling(false);

    // The tables of both demo devices, the fixtures' own included (same serial, same account).
    VelquorDownloadDataBaseManager &database = VelquorDownloadDataBaseManager::sharedManager();
    for (const char *serial : {"VQ3B00654321", "VQ9A00123456"}) {
        database.creatDBWithSerialNumber(QString::fromLatin1(serial), QStringLiteral("demo"));
        database.deleteAll();
        for (const auto &record : database.getAllCacheDataForInstall()) {
            database.deleteModelWithVehicleForInstall(record->vehicle());
            database.deleteModelWithSoftwareForInstall(record->software());
        }
        EXPECT_TRUE(database.getAllCacheData().isEmpty()) << serial;
        EXPECT_TRUE(database.getAllCacheDataForInstall().isEmpty()) << serial;
    }

    VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    QDir(tool.getUpdateDirectory()).removeRecursively();
    tool.setSaveFilePath(QString());
    tool.setIndexOfSelectedItem(0);

    VelquorDeviceManager::sharedManager().setMountInfoPath(MountedVolumes::defaultMountInfoPath());
    qunsetenv("VELQUOR_CARD_VOLUMES");
    qunsetenv("VELQUOR_SERVICE_URL");
    QFile::remove(VelquorUserManager::userInfoPath());
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrelle"),
                       QStringLiteral("Velquor"));
    settings.clear();
    settings.sync();
}

} // namespace updatestest

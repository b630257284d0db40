#pragma once

// For executables that link velquor_ui: the application's shared objects back as a launch finds
// them. Included by the test main only there, so the support library itself needs no more than
// the platform.

#include "controls/VelquorAlert.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDatabaseConstants.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorHTTPSessionManager.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorNetworkConstants.h"
#include "platform/MountedVolumes.h"
#include "platform/StandardLocations.h"
#include "shell/VelquorLoginViewController.h"

#include <QDir>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Drops every table of the database file through a connection of its own, with the shared
// manager's lock held: its connection then reads nothing and writes nothing until the next
// creatDBWithSerialNumber makes the tables afresh, as before the first one in a new process.
inline void emptySharedDatabase()
{
    const QString path =
        QDir(StandardLocations::documentsDirectory()).filePath(QString::fromLatin1(VelquorDatabase::FileName));
    if (!QFileInfo::exists(path))
        return;
    VelquorDownloadDataBaseManager::sharedManager().runExclusively([&] {
        try {
            SQLite::Database database(path.toStdString(), SQLite::OPEN_READWRITE);
            database.setBusyTimeout(5000);
            std::vector<std::string> tables;
            SQLite::Statement query(database,
                                    "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'");
            while (query.executeStep())
                tables.push_back(query.getColumn(0).getString());
            for (const std::string &table : tables)
                database.exec("DROP TABLE IF EXISTS \"" + table + "\"");
        } catch (const std::exception &error) {
            ADD_FAILURE() << "the database of the last case could not be emptied: " << path.toStdString() << ": "
                          << error.what();
        }
    });
}

// The core's singletons (usable by any executable that links velquor_core).
inline void resetCoreSharedObjects()
{
    VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    tool.setSaveFilePath(QString());
    tool.setIndexOfSelectedItem(0);
    tool.setPreferredLanguagesOverride(std::nullopt);

    VelquorHTTPSessionManager::sharedManager().setTimeoutInterval(VelquorNetwork::kDefaultTimeoutMs);
    // A call the case queued lands now, not in the next case (nor after its keyring was emptied).
    VelquorKeychainManager &keychain = VelquorKeychainManager::sharedManager();
    if (!keychain.waitForQueuedCalls(60000))
        ADD_FAILURE() << "the keychain's queue still runs a call of the last case";
    keychain.setStore(nullptr);

    VelquorDeviceManager &devices = VelquorDeviceManager::sharedManager();
    devices.removeObservers();
    devices.setMountInfoPath(MountedVolumes::defaultMountInfoPath());
    devices.setSysfsRoot(MountedVolumes::defaultSysfsRoot());

    // What the pages share through the download manager.
    VelquorDownloadManager &downloads = VelquorDownloadManager::sharedManager();
    downloads.setFamilyModels({});
    downloads.setDownloadModel(nullptr);
    downloads.setDownloadPausedModels({});
    downloads.setVehicles({});
    downloads.setDecompressCount(0);
    downloads.setUnInstalling(false);
    downloads.setListModels({});
    downloads.setProductName(QString());
    downloads.setNeedDownloadData({});

    emptySharedDatabase();
}

inline void resetSharedObjects()
{
    VelquorAlert::setPresentationHook(nullptr);
    VelquorAlert::setMainWindow(nullptr);
    VelquorLoginViewController::setUrlOpener(nullptr);
    resetCoreSharedObjects();
}

#include "support/TestEnvironment.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "shell/VelquorExitGuard.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>

namespace {

TEST(VelquorExitGuard, AsksWhileAVehiclesPartsAreJoined)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    VelquorDownloadDataBaseManager database(scratch.filePath(QStringLiteral("Velquor.db")));
    database.creatDBWithSerialNumber(QStringLiteral("SN-0001"), QStringLiteral("tester"));
    VelquorCommonTool tool;
    // Every part is downloaded: starting the vehicle goes straight to joining them.
    for (int i = 1; i <= 2; ++i) {
        auto row = VelquorDownloadModel::create();
        row->setSoftware(QStringLiteral("TOYOTA"));
        row->setVehicle(QStringLiteral("TOYOTA"));
        row->setUrl(QStringLiteral("http://127.0.0.1:9/files/TOYOTA_V3.00_%1_part.zip").arg(i));
        row->setZipPath(tool.get7ZResourcePath(row->url()));
        row->setState(VelquorDownloadStateDownloaded);
        QFile part(row->zipPath());
        ASSERT_TRUE(part.open(QIODevice::WriteOnly));
        part.write(QByteArray(1024, char('0' + i)));
        database.insertModel(row);
    }
    auto manager = std::make_unique<VelquorDownloadManager>(&database, &tool);
    manager->setStartDelays(0, 0);
    EXPECT_FALSE(VelquorExitGuard::workInProgress(&database, manager.get()));

    // The join waits behind this.
    std::mutex gate;
    gate.lock();
    manager->filesQueue().async([&gate] { std::lock_guard wait(gate); });
    manager->startDownloadTask(database.getModelWithVehicle(QStringLiteral("TOYOTA")).first());
    ASSERT_TRUE(waitUntil([&] { return manager->isJoiningVehicle(QStringLiteral("TOYOTA")); }, 10000));
    EXPECT_TRUE(VelquorExitGuard::workInProgress(&database, manager.get()));

    gate.unlock();
    ASSERT_TRUE(waitUntil([&] { return !manager->isJoiningVehicle(QStringLiteral("TOYOTA")); }, 10000));
    EXPECT_FALSE(VelquorExitGuard::workInProgress(&database, manager.get()));
    manager.reset();
    QFile::remove(tool.getUpdateDirectory() + QStringLiteral("/TOYOTA_V3.00.7z"));
}

} // namespace

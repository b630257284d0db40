#include "UpdatesPageFixture.h"

#include "core/VelquorDownloadConstants.h"
#include "core/VelquorUnfinishedFolder.h"
#include "platform/DispatchQueue.h"
#include "platform/UserDefaults.h"
#include "updates/VelquorCacheCleanup.h"
#include "updates/VelquorUpdatesConstants.h"

#include <QFileInfo>

using namespace updatestest;

namespace {

void writeFile(const QString &path, const QByteArray &content = "bytes")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The vehicle's rows of the download table, each with its archive (or partial file) in the cache.
VelquorDownloadModelList rowsWithFiles(const QString &vehicle, const QList<qint64> &states, bool partial)
{
    const QString cache = VelquorCommonTool::sharedTool().getUpdateDirectory();
    VelquorDownloadModelList rows;
    for (int i = 0; i < states.size(); ++i) {
        const QString name = QStringLiteral("%1_%2.zip").arg(vehicle).arg(i + 1);
        auto row = record(vehicle, states.at(i), "http://127.0.0.1:1/files/" + name);
        row->setZipPath(cache + '/' + name);
        writeFile(partial ? VelquorDownloadManager::partialPathForArchive(row->zipPath()) : row->zipPath());
        VelquorDownloadDataBaseManager::sharedManager().insertModel(row);
        rows.append(row);
    }
    return rows;
}

} // namespace

TEST_F(UpdatesPageFixture, ChoosingADeviceClearsWhatAnEarlierRunLeftUnfinished)
{
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setInteger(VelquorDownload::MaxConcurrentCountKey, 7);
    defaults.setBool(VelquorDownload::AllowsCellularAccessKey, false);
    defaults.setBool(VelquorUpdates::kProjectOnceKey, false);

    openTables(kProDevice);
    const auto paused = rowsWithFiles("FORD", {3, 3, 3}, true);
    writeFile(cardPath() + "/Vehicles/Test/FORD/VERSION.TXT", "V0.50");
    const auto downloaded = rowsWithFiles("VW", {7, 7}, false);
    const auto mixed = rowsWithFiles("BMW", {8, 7}, false);
    const auto interrupted = rowsWithFiles("HONDA", {1, 2}, true);
    // As after a start: no device's tables are open yet (the other device's hold nothing).
    openTables(kLiteDevice);

    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 1; }));
    choose(page->serialNumberComboBox(), kProDevice);
    VelquorCacheCleanup::queue().sync([] {});

    EXPECT_TRUE(database().getModelWithVehicle("FORD").isEmpty());
    EXPECT_TRUE(database().getModelWithVehicle("BMW").isEmpty()) << "installed and downloaded rows mixed";
    EXPECT_TRUE(database().getModelWithVehicle("HONDA").isEmpty());
    const auto kept = database().getModelWithVehicle("VW");
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept.at(0)->state(), VelquorDownloadStateWaitingInstall);
    EXPECT_EQ(kept.at(1)->state(), VelquorDownloadStateWaitingInstall);

    // Files go after the transfers: partial archives of the purged vehicles. The package a paused
    // vehicle was to replace stays on the card.
    EXPECT_TRUE(waitUntil([&] {
        for (const auto &row : paused + interrupted + mixed)
            if (QFileInfo::exists(VelquorDownloadManager::partialPathForArchive(row->zipPath())) ||
                QFileInfo::exists(row->zipPath()))
                return false;
        return true;
    }));
    manager().queue().sync([] {});
    manager().filesQueue().sync([] {});
    EXPECT_TRUE(QFileInfo::exists(cardPath() + "/Vehicles/Test/FORD/VERSION.TXT"));
    for (const auto &row : downloaded)
        EXPECT_TRUE(QFileInfo::exists(row->zipPath()));

    EXPECT_EQ(defaults.integer(VelquorDownload::MaxConcurrentCountKey), 3);
    EXPECT_TRUE(defaults.boolValue(VelquorDownload::AllowsCellularAccessKey));
    EXPECT_TRUE(defaults.boolValue(VelquorUpdates::kProjectOnceKey));
}

TEST_F(UpdatesPageFixture, ChoosingADeviceRemovesExactlyTheFoldersTheChosenCardMarksWithTheirInstallRecords)
{
    openTables(kProDevice);
    // Installed before and whole on the card: a download failed, a download interrupted.
    const auto failed = rowsWithFiles("FORD", {5, 5}, true);
    const auto interrupted = rowsWithFiles("HONDA", {1, 2}, true);
    // Rows of an extraction interrupted and of an installation failed: their folders carry no mark,
    // so they are whole (the card may have been swapped since).
    const auto extracting = rowsWithFiles("BMW", {8, 6, 7}, false);
    const auto installFailed = rowsWithFiles("KIA", {9, 9}, false);
    for (const QString vehicle : {"FORD", "HONDA", "BMW", "KIA", "AUDI", "BENZ"}) {
        installOnCard("Vehicles/Test/" + vehicle, "V0.50");
        recordInstalled(vehicle, "V0.50", "Vehicles/Test/" + vehicle);
    }
    // Marked: an update of AUDI cut short (its rows wait to be installed again), an uninstall of
    // BENZ cut short (its rows claim it installed).
    rowsWithFiles("AUDI", {7, 7}, false);
    rowsWithFiles("BENZ", {8, 8}, false);
    ASSERT_TRUE(VelquorUnfinishedFolder::mark(cardPath() + "/Vehicles/Test/AUDI", "AUDI", "an update"));
    ASSERT_TRUE(VelquorUnfinishedFolder::mark(cardPath() + "/Vehicles/Test/BENZ", "BENZ", "an uninstall"));
    openTables(kLiteDevice);

    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 1; }));
    choose(page->serialNumberComboBox(), kProDevice);
    VelquorCacheCleanup::queue().sync([] {});
    manager().queue().sync([] {});
    manager().filesQueue().sync([] {});

    for (const auto &rows : {failed, interrupted, extracting, installFailed}) {
        const QString vehicle = rows.first()->vehicle();
        EXPECT_TRUE(database().getModelWithVehicle(vehicle).isEmpty()) << vehicle.toStdString();
        for (const auto &row : rows) {
            EXPECT_FALSE(QFileInfo::exists(row->zipPath())) << row->zipPath().toStdString();
            EXPECT_FALSE(QFileInfo::exists(VelquorDownloadManager::partialPathForArchive(row->zipPath())));
        }
    }
    for (const QString vehicle : {"FORD", "HONDA", "BMW", "KIA"}) {
        EXPECT_TRUE(QFileInfo::exists(cardPath() + "/Vehicles/Test/" + vehicle + "/VERSION.TXT"))
            << vehicle.toStdString();
        EXPECT_EQ(database().getAllDataWithVehicleForInstall(vehicle).size(), 1) << vehicle.toStdString();
    }
    for (const QString vehicle : {"AUDI", "BENZ"}) {
        EXPECT_FALSE(QFileInfo::exists(cardPath() + "/Vehicles/Test/" + vehicle)) << vehicle.toStdString();
        EXPECT_TRUE(database().getAllDataWithVehicleForInstall(vehicle).isEmpty()) << vehicle.toStdString();
    }
    EXPECT_TRUE(database().getModelWithVehicle("BENZ").isEmpty());
    const auto kept = database().getModelWithVehicle("AUDI");
    ASSERT_EQ(kept.size(), 2);
    for (const auto &row : kept) {
        EXPECT_EQ(row->state(), VelquorDownloadStateWaitingInstall);
        EXPECT_TRUE(QFileInfo::exists(row->zipPath())) << "a press installs it without downloading";
    }
}

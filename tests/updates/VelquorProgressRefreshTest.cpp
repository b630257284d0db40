#include "UpdatesPageFixture.h"

#include "controls/VelquorProgressView.h"
#include "controls/VelquorTableView.h"
#include "core/VelquorDownloadConstants.h"
#include "platform/ByteCountFormatter.h"
#include "platform/NotificationCenter.h"
#include "updates/VelquorProgressRefresh.h"
#include "updates/VelquorUpdatesConstants.h"

#include <QLabel>
#include <QTextDocumentFragment>
#include <QTimer>

#include <latch>
#include <thread>
#include <vector>

using namespace updatestest;

namespace {

QString plain(const QLabel *label)
{
    return QTextDocumentFragment::fromHtml(label->text()).toPlainText();
}

} // namespace

TEST_F(UpdatesPageFixture, TheOverallBarCountsInstalledVehiclesAndShowsTheSpeedWhileItIsFresh)
{
    openTables();
    VelquorDownloadModelList shown;
    for (const QString vehicle : {"BENZ", "BMW"}) {
        recordInstalled(vehicle, "V1.00", "Vehicles/Test/" + vehicle);
        auto installed = record(vehicle, VelquorDownloadStateInstalled);
        database().insertModel(installed);
        shown.append(installed);
    }
    const qint64 now = VelquorDownloadDataBaseManager::currentTimeMicroseconds();
    auto downloading = record("TOYOTA", VelquorDownloadStateDownloading);
    downloading->setSpeed(1200000);
    downloading->setLastSpeedTime(double(now - 500000));
    database().insertModel(downloading);
    shown.append(downloading);
    manager().setFamilyModels({group({shown.at(0)}), group({shown.at(1)}), group({shown.at(2)})});

    page->progressRefresh()->setNowForTesting(now);
    page->reloadAllData();
    ASSERT_TRUE(waitUntil([&] { return page->progressLabel()->isVisible(); }));
    EXPECT_NEAR(page->progressView()->progress(), 66.67, 0.01);
    EXPECT_EQ(plain(page->progressLabel()), QStringLiteral("2/3\uFF08%1/s\uFF09").arg(ByteCountFormatter::fileStyle(1200000)));
    EXPECT_TRUE(page->progressView()->isVisible());
    EXPECT_TRUE(page->isRefreshRunning()) << "a row is downloading";
    EXPECT_EQ(page->tableView()->numberOfRows(), 3);

    // The newest sample is more than two seconds old: nothing is moving.
    downloading->setLastSpeedTime(double(now - 3000000));
    database().updateWithModel(downloading, VelquorDownloadUpdateProgress);
    const QString stale = QStringLiteral("2/3\uFF08%1/s\uFF09").arg(ByteCountFormatter::fileStyle(0));
    EXPECT_TRUE(waitUntil([&] { return plain(page->progressLabel()) == stale; }, 3000)) << plain(page->progressLabel()).toStdString();
}

TEST_F(UpdatesPageFixture, WithOnlyPausedRowsTheRefreshStopsAtItsFirstTick)
{
    openTables();
    VelquorDownloadModelList paused;
    for (int part = 1; part <= 3; ++part) {
        paused.append(record("FORD", VelquorDownloadStatePaused, QStringLiteral("http://127.0.0.1:1/FORD_%1.zip").arg(part)));
        database().insertModel(paused.last());
    }
    manager().setFamilyModels({group(paused)});
    manager().setDownloadPausedModels({paused.first()});

    page->reloadAllData();
    EXPECT_TRUE(page->isRefreshRunning());
    ASSERT_TRUE(waitUntil([&] { return !page->isRefreshRunning(); }));
    EXPECT_EQ(plain(page->progressLabel()), text("Update32"));
    EXPECT_TRUE(page->progressLabel()->isVisible());
    manager().setDownloadPausedModels({});
}

TEST_F(UpdatesPageFixture, AskedFromFourThreadsAtOnceTheRefreshRunsOneTimer)
{
    openTables();
    auto downloading = record("BENZ", VelquorDownloadStateDownloading);
    database().insertModel(downloading);
    manager().setFamilyModels({group({downloading})});

    std::latch start(4);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            start.arrive_and_wait();
            page->reloadAllData();
        });
    for (auto &thread : threads)
        thread.join();
    ASSERT_TRUE(waitUntil([&] { return page->isRefreshRunning(); }));
    waitUntil([] { return false; }, 1300); // past the first ticks
    EXPECT_EQ(page->findChildren<QTimer *>("refreshTimer").size(), 1);
    EXPECT_TRUE(page->isRefreshRunning());

    // A deleted vehicle drops the refresh; nothing is downloading afterwards, so it stays stopped.
    NotificationCenter::workspace().post(VelquorUpdates::kDeleteCarInfoNotification);
    ASSERT_TRUE(waitUntil([&] { return !page->isRefreshRunning(); }));
    EXPECT_TRUE(database().getAllUnDownloadedData().isEmpty());
    // The rows are built again from the list, even though a vehicle was downloading before.
    EXPECT_TRUE(waitUntil([&] { return manager().familyModels().isEmpty(); }));
    EXPECT_FALSE(page->isRefreshRunning());
}

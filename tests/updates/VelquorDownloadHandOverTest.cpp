#include "DownloadWorkFixture.h"

#include "core/VelquorDatabaseConstants.h"
#include "platform/DispatchQueue.h"
#include "platform/StandardLocations.h"
#include "platform/UserDefaults.h"
#include "support/RefusedWrites.h"

#include <QScopeGuard>

#include <algorithm>
#include <latch>
#include <string>
#include <vector>

namespace {

class DownloadHandOverTest : public DownloadWorkFixture
{
protected:
    // A stored row of the vehicle's English package at `entry`, as a press stores it.
    VelquorDownloadModelPtr storedRow(const QString &vehicle, const QString &entry)
    {
        auto row = offered(vehicle, QStringLiteral("V1.00"), QStringLiteral("English"),
                           QStringLiteral("Vehicles/Europe/") + vehicle, entry);
        row->setVehicle(vehicle);
        row->setVid(vehicle);
        row->setUrl(server.baseUrl() + entry);
        row->setZipPath(tool().get7ZResourcePath(row->url()));
        return row;
    }
};

TEST_F(DownloadHandOverTest, APressOnANewVehicleMeasuresItsArchivesDownloadsThemAndHandsItToExtraction)
{
    const QString dataPath = QStringLiteral("files/BENZ/BENZ_V12.35.zip");
    const QString englishPath = QStringLiteral("files/BENZ/BENZ_V12.35_EN.zip");
    const QString germanPath = QStringLiteral("files/BENZ/BENZ_V12.35_DE.zip");
    serve(dataPath, 300 * 1024 + 17, 1);
    serve(englishPath, 20 * 1024 + 3, 2);
    serve(germanPath, 30 * 1024 + 5, 3);
    const QString sdPath = QStringLiteral("Vehicles/Europe/BENZ");
    manager->setFamilyModels({group(
        QStringLiteral("BENZ"),
        {offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("English"), sdPath, englishPath),
         offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("German"), sdPath, germanPath)})});
    makeHandOver();

    // Presses that mean nothing: a row extracting or installed, a row that is no longer shown.
    commands->downloadAction(0, VelquorDownloadStateExtracting);
    commands->downloadAction(0, VelquorDownloadStateInstalled);
    commands->downloadAction(1, VelquorDownloadStateNone);
    EXPECT_TRUE(database().getAllCacheData().isEmpty());

    press(0);
    // One waiting record per archive: the data package (named without its language) and both languages.
    EXPECT_EQ(storedEntries(QStringLiteral("BENZ")), (QStringList{dataPath, germanPath, englishPath}));
    for (const auto &row : database().getModelWithVehicle(QStringLiteral("BENZ"))) {
        EXPECT_EQ(row->zipPath(), tool().get7ZResourcePath(row->url()));
        EXPECT_TRUE(row->zipPath().endsWith(QLatin1String(".7z")));
        EXPECT_EQ(row->vid(), QStringLiteral("BENZ"));
    }
    ASSERT_FALSE(page->rowUpdates.isEmpty());
    EXPECT_EQ(page->rowUpdates.first().second.state, VelquorDownloadStateWaiting);

    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("BENZ")); }, 20000));
    const quint64 total = served[dataPath].size() + served[englishPath].size() + served[germanPath].size();
    double ratios = 0;
    const auto rows = database().getModelWithVehicle(QStringLiteral("BENZ"));
    ASSERT_EQ(rows.size(), 3);
    for (const auto &row : rows) {
        const QString relative = row->url().mid(server.baseUrl().size());
        EXPECT_EQ(row->state(), VelquorDownloadStateWaitingInstall);
        EXPECT_EQ(row->expectedContentLength(), quint64(served[relative].size()));
        EXPECT_EQ(row->totalFileSize(), total);
        EXPECT_FLOAT_EQ(row->ratio(), float(served[relative].size()) / float(total));
        ratios += row->ratio();
        EXPECT_EQ(fileContent(row->zipPath()), served[relative]) << qPrintable(relative);
        EXPECT_EQ(requests(relative, QStringLiteral("HEAD")), 1);
        EXPECT_EQ(requests(relative, QStringLiteral("GET")), 1);
        const auto head = server.requestsTo(u'/' + relative).front();
        EXPECT_EQ(head.method, QStringLiteral("HEAD"));
        EXPECT_EQ(head.headers.value(QStringLiteral("accept-encoding")), QStringLiteral("identity"));
    }
    EXPECT_NEAR(ratios, 1.0, 1e-5);

    const auto shown = page->lastRowUpdate(QStringLiteral("BENZ"));
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->state, VelquorDownloadStateWaitingInstall);
    EXPECT_EQ(shown->totalFileSize.value_or(0), total);
    EXPECT_TRUE(std::any_of(page->rowUpdates.begin(), page->rowUpdates.end(),
                            [](const auto &update) { return update.second.state == VelquorDownloadStateDownloading; }));
    EXPECT_EQ(shownState(0), VelquorDownloadStateWaitingInstall);
    EXPECT_EQ(decompressedVehicles(), QStringList{QStringLiteral("BENZ")});

    // A press on the downloaded row installs it again; with an archive gone from the cache the
    // vehicle counts as not downloaded instead, and the press after that fetches it anew.
    press(0);
    EXPECT_EQ(decompressedVehicles().size(), 2);
    ASSERT_TRUE(QFile::remove(rows.first()->zipPath()));
    press(0);
    EXPECT_EQ(decompressedVehicles().size(), 2);
    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateFailed));
    EXPECT_EQ(shownState(0), VelquorDownloadStateFailed);
    press(0);
    ASSERT_TRUE(waitUntil([&] { return decompressedVehicles().size() == 3; }, 20000));
    EXPECT_EQ(fileContent(rows.first()->zipPath()), served[rows.first()->url().mid(server.baseUrl().size())]);
    EXPECT_EQ(requests(dataPath, QStringLiteral("GET")), 2);
}

TEST_F(DownloadHandOverTest, ASplitVehicleAndAnAppendOverTheCardsPackageFetchOnlyWhatIsNeeded)
{
    QStringList toyotaEntries;
    QByteArray joined;
    for (int part = 1; part <= 3; ++part) {
        toyotaEntries << QStringLiteral("files/TOYOTA/TOYOTA_V20.10_%1_part.zip").arg(part);
        joined += serve(toyotaEntries.last(), 90 * 1024 + part, 10 + part);
    }
    toyotaEntries << QStringLiteral("files/TOYOTA/TOYOTA_V20.10_EN.zip");
    serve(toyotaEntries.last(), 12 * 1024, 14);
    serve(QStringLiteral("files/TOYOTA/TOYOTA_V20.10.zip"), 1024, 15);

    // The card holds BENZ V12.30 in English, which the V12.35 append applies to.
    putOnCard(QStringLiteral("Vehicles/Europe/BENZ/VERSION.TXT"), "V12.30");
    putOnCard(QStringLiteral("Vehicles/Europe/BENZ/english.cfg"), "LANGUAGE=English\r\n");
    page->appendVersionTable.insert(QStringLiteral("VEHICLES/EUROPE/BENZ"), QStringLiteral("V12.30"));
    const QString append = QStringLiteral("files/BENZ/BENZ_V12.35_APPEND.zip");
    for (const char *name : {"files/BENZ/BENZ_V12.35.zip", "files/BENZ/BENZ_V12.35_EN.zip",
                             "files/BENZ/BENZ_V12.35_DE.zip", "files/BENZ/BENZ_V12.35_APPEND.zip"})
        serve(QString::fromLatin1(name), 16 * 1024, qHash(QByteArray(name)));
    const QString sdPath = QStringLiteral("Vehicles/Europe/BENZ");
    manager->setFamilyModels(
        {group(QStringLiteral("TOYOTA"),
               {offered(QStringLiteral("TOYOTA"), QStringLiteral("V20.10"), QStringLiteral("English"),
                        QStringLiteral("Vehicles/Asia/TOYOTA"), toyotaEntries.join(u';'))}),
         group(QStringLiteral("BENZ"),
               {offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("English"), sdPath,
                        QStringLiteral("files/BENZ/BENZ_V12.35_EN.zip;") + append),
                offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("German"), sdPath,
                        QStringLiteral("files/BENZ/BENZ_V12.35_DE.zip;") + append)})});
    makeHandOver();
    EXPECT_TRUE(commands->getHasAppend(manager->familyModels().at(1).first()->model()));
    EXPECT_FALSE(commands->getHasAppend(manager->familyModels().at(0).first()->model()));

    press(0);
    press(1);
    QStringList sortedToyota = toyotaEntries;
    sortedToyota.sort();
    EXPECT_EQ(storedEntries(QStringLiteral("TOYOTA")), sortedToyota);
    // The append over the card's package, and the language the card lacks.
    EXPECT_EQ(storedEntries(QStringLiteral("BENZ")),
              (QStringList{append, QStringLiteral("files/BENZ/BENZ_V12.35_DE.zip")}));

    ASSERT_TRUE(waitUntil(
        [&] { return wasDecompressed(QStringLiteral("TOYOTA")) && wasDecompressed(QStringLiteral("BENZ")); }, 20000));
    for (const QString &entry : toyotaEntries)
        EXPECT_EQ(requests(entry, QStringLiteral("GET")), 1) << qPrintable(entry);
    for (const char *name :
         {"files/TOYOTA/TOYOTA_V20.10.zip", "files/BENZ/BENZ_V12.35.zip", "files/BENZ/BENZ_V12.35_EN.zip"}) {
        EXPECT_EQ(requests(QString::fromLatin1(name), QStringLiteral("GET")), 0) << name;
        EXPECT_EQ(requests(QString::fromLatin1(name), QStringLiteral("HEAD")), 0) << name;
    }
    EXPECT_EQ(requests(append, QStringLiteral("GET")), 1);

    // The parts became one archive beside the language archive.
    EXPECT_EQ(fileContent(tool().getUpdateDirectory() + QStringLiteral("/TOYOTA_V20.10.7z")), joined);
    EXPECT_EQ(fileContent(tool().getUpdateDirectory() + QStringLiteral("/TOYOTA_V20.10_EN.7z")),
              served[toyotaEntries.last()]);
    EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("TOYOTA")).size(), 2);
    EXPECT_TRUE(allRowsIn(QStringLiteral("TOYOTA"), VelquorDownloadStateWaitingInstall));
    EXPECT_EQ(fileContent(tool().getUpdateDirectory() + QStringLiteral("/BENZ_V12.35_APPEND.7z")), served[append]);
}

TEST_F(DownloadHandOverTest, AnUpdateWhoseVersionLeftTheCardIsPlannedAgainAroundTheArchivesItStillNeeds)
{
    // BENZ V12.30 in English is on the card: its V12.35 comes as an append and the German file.
    putOnCard(QStringLiteral("Vehicles/Europe/BENZ/VERSION.TXT"), "V12.30");
    putOnCard(QStringLiteral("Vehicles/Europe/BENZ/english.cfg"), "LANGUAGE=English\r\n");
    page->appendVersionTable.insert(QStringLiteral("VEHICLES/EUROPE/BENZ"), QStringLiteral("V12.30"));
    const QString data = QStringLiteral("files/BENZ/BENZ_V12.35.zip");
    const QString english = QStringLiteral("files/BENZ/BENZ_V12.35_EN.zip");
    const QString german = QStringLiteral("files/BENZ/BENZ_V12.35_DE.zip");
    const QString append = QStringLiteral("files/BENZ/BENZ_V12.35_APPEND.zip");
    for (const QString &entry : {data, english, german, append})
        serve(entry, 16 * 1024, qHash(entry));
    const QString sdPath = QStringLiteral("Vehicles/Europe/BENZ");
    manager->setFamilyModels(
        {group(QStringLiteral("BENZ"), {offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"),
                                                QStringLiteral("English"), sdPath, english + u';' + append),
                                        offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"),
                                                QStringLiteral("German"), sdPath, german + u';' + append)})});
    makeHandOver();
    press(0);
    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("BENZ")); }, 20000));
    EXPECT_EQ(storedEntries(QStringLiteral("BENZ")), (QStringList{append, german}));
    const QString appendArchive = tool().getUpdateDirectory() + QStringLiteral("/BENZ_V12.35_APPEND.7z");
    ASSERT_TRUE(QFileInfo::exists(appendArchive));

    // The installed version goes before the update is unpacked (a failure, a quit, an uninstall): the
    // installer asks for a new plan against the card as it is now.
    ASSERT_TRUE(QDir(card.filePath(sdPath)).removeRecursively());
    commands->replanVehicle(QStringLiteral("BENZ"));

    // The whole version, with both languages; the German archive kept, the append's gone.
    QStringList whole{data, english, german};
    whole.sort();
    EXPECT_EQ(storedEntries(QStringLiteral("BENZ")), whole);
    EXPECT_FALSE(QFileInfo::exists(appendArchive));
    ASSERT_TRUE(waitUntil([&] { return decompressedVehicles().size() == 2; }, 20000));
    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateWaitingInstall));
    EXPECT_EQ(requests(german, QStringLiteral("GET")), 1);
    EXPECT_EQ(requests(data, QStringLiteral("GET")), 1);
    EXPECT_EQ(requests(english, QStringLiteral("GET")), 1);
    EXPECT_EQ(fileContent(tool().getUpdateDirectory() + QStringLiteral("/BENZ_V12.35.7z")), served[data]);
}

TEST_F(DownloadHandOverTest, PressesPauseAndResumeAndADroppedConnectionResumesWhereItStopped)
{
    const QString dataPath = QStringLiteral("files/OPEL/OPEL_V2.00.zip");
    const QString englishPath = QStringLiteral("files/OPEL/OPEL_V2.00_EN.zip");
    serve(dataPath, 3 * 1024 * 1024, 21);
    serve(englishPath, 8 * 1024, 22);
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 512 * 1024;
    server.setFault(u'/' + dataPath, slow);
    manager->setFamilyModels({group(QStringLiteral("OPEL"),
                                    {offered(QStringLiteral("OPEL"), QStringLiteral("V2.00"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/Europe/OPEL"), englishPath)})});
    makeHandOver();

    press(0);
    const QString dataUrl = server.baseUrl() + dataPath;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto row = database().getModelWithUrl(dataUrl);
            return row && row->tmpFileSize() > 200 * 1024 && shownState(0) == VelquorDownloadStateDownloading;
        },
        15000));

    press(0);
    // The row shows the pause at once; the bytes the pause kept follow once the transfer has stopped
    // on the download queue.
    EXPECT_EQ(database().getModelWithUrl(dataUrl)->state(), VelquorDownloadStatePaused);
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    manager->queue().sync([] {});
    EXPECT_EQ(shownState(0), VelquorDownloadStatePaused);
    const auto rows = database().getModelWithVehicle(QStringLiteral("OPEL"));
    const auto data = database().getModelWithUrl(dataUrl);
    EXPECT_EQ(data->state(), VelquorDownloadStatePaused);
    EXPECT_EQ(data->tmpFileSize(),
              quint64(QFileInfo(VelquorDownloadManager::partialPathForArchive(data->zipPath())).size()));
    quint64 received = 0;
    for (const auto &row : rows)
        received += row->tmpFileSize();
    const auto paused = page->lastRowUpdate(QStringLiteral("OPEL"));
    ASSERT_TRUE(paused.has_value());
    EXPECT_EQ(paused->state, VelquorDownloadStatePaused);
    EXPECT_GT(paused->progress, 0);
    EXPECT_LE(paused->progress, double(received) / double(rows.last()->totalFileSize()) + 1e-6);
    EXPECT_EQ(manager->familyModels().at(0).first()->model()->totalFileSize(), rows.first()->totalFileSize());
    EXPECT_EQ(getsTo(dataPath).size(), 1);

    // Resumed, the transfer is cut once more on the way and picks up again.
    server.clearFaults();
    standin::Fault drop;
    drop.kind = standin::Fault::Kind::DropAfter;
    drop.bytes = 300 * 1024;
    drop.times = 1;
    server.setFault(u'/' + dataPath, drop);
    press(0);
    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("OPEL")); }, 20000));
    const auto gets = getsTo(dataPath);
    ASSERT_GE(gets.size(), 3);
    EXPECT_EQ(gets[1].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(data->tmpFileSize()));
    EXPECT_FALSE(gets.last().headers.value(QStringLiteral("range")).isEmpty());
    EXPECT_EQ(gets.last().status, 206);
    EXPECT_EQ(fileContent(data->zipPath()), served[dataPath]);
    EXPECT_TRUE(allRowsIn(QStringLiteral("OPEL"), VelquorDownloadStateWaitingInstall));
}

TEST_F(DownloadHandOverTest, OneFailedSizeProbeFailsTheVehicleAndTheNextPressStartsAfresh)
{
    const QStringList entries{QStringLiteral("files/AUDI/AUDI_V1.00.zip"),
                              QStringLiteral("files/AUDI/AUDI_V1.00_EN.zip"),
                              QStringLiteral("files/AUDI/AUDI_V1.00_DE.zip")};
    for (int i = 0; i < entries.size(); ++i)
        serve(entries[i], 40 * 1024 + i, 30 + i);
    standin::Fault missing;
    missing.kind = standin::Fault::Kind::Status;
    missing.status = 404;
    missing.times = 1;
    server.setFault(u'/' + entries[2], missing);
    const QString sdPath = QStringLiteral("Vehicles/Europe/AUDI");
    manager->setFamilyModels({group(
        QStringLiteral("AUDI"),
        {offered(QStringLiteral("AUDI"), QStringLiteral("V1.00"), QStringLiteral("English"), sdPath, entries[1]),
         offered(QStringLiteral("AUDI"), QStringLiteral("V1.00"), QStringLiteral("German"), sdPath, entries[2])})});
    makeHandOver();

    press(0);
    ASSERT_TRUE(waitUntil(
        [&] {
            return allRowsIn(QStringLiteral("AUDI"), VelquorDownloadStateFailed) &&
                   manager->needDownloadData().isEmpty();
        },
        15000));
    for (const auto &row : database().getModelWithVehicle(QStringLiteral("AUDI"))) {
        EXPECT_EQ(row->ratio(), 0.0f);
        EXPECT_EQ(row->totalFileSize(), 0u);
    }
    for (const QString &entry : entries)
        EXPECT_EQ(requests(entry, QStringLiteral("GET")), 0) << qPrintable(entry);
    EXPECT_EQ(page->lastRowUpdate(QStringLiteral("AUDI"))->state, VelquorDownloadStateFailed);
    EXPECT_EQ(shownState(0), VelquorDownloadStateFailed);
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    EXPECT_FALSE(wasDecompressed(QStringLiteral("AUDI")));

    // With a failed row the refresh only rebuilds the card state.
    commands->refreshAction();
    EXPECT_EQ(page->reloadSDCardCalls.load(), 1);
    EXPECT_EQ(page->updateListRequests.load(), 0);

    press(0);
    EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("AUDI")).size(), 3);
    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("AUDI")); }, 20000));
    for (const QString &entry : entries) {
        const auto gets = getsTo(entry);
        ASSERT_EQ(gets.size(), 1) << qPrintable(entry);
        EXPECT_TRUE(gets.first().headers.value(QStringLiteral("range")).isEmpty());
        EXPECT_EQ(requests(entry, QStringLiteral("HEAD")), 2);
    }
    EXPECT_TRUE(allRowsIn(QStringLiteral("AUDI"), VelquorDownloadStateWaitingInstall));
}

TEST_F(DownloadHandOverTest, APauseDuringTheProbeStandsAndOneRunnerProbesEachVehicleOnce)
{
    const QStringList kia{QStringLiteral("files/KIA/KIA_V1.00.zip"), QStringLiteral("files/KIA/KIA_V1.00_EN.zip")};
    const QStringList seat{QStringLiteral("files/SEAT/SEAT_V1.00.zip"), QStringLiteral("files/SEAT/SEAT_V1.00_EN.zip")};
    for (int i = 0; i < 2; ++i) {
        serve(kia[i], 50 * 1024 + i, 40 + i);
        serve(seat[i], 60 * 1024 + i, 50 + i);
    }
    standin::Fault stall;
    stall.kind = standin::Fault::Kind::Stall;
    stall.stallMs = 2000;
    stall.times = 1;
    server.setFault(u'/' + kia[0], stall);
    manager->setFamilyModels({group(QStringLiteral("KIA"),
                                    {offered(QStringLiteral("KIA"), QStringLiteral("V1.00"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/Asia/KIA"), kia[1])}),
                              group(QStringLiteral("SEAT"),
                                    {offered(QStringLiteral("SEAT"), QStringLiteral("V1.00"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/Europe/SEAT"), seat[1])})});
    makeHandOver();

    press(0);
    ASSERT_TRUE(waitUntil([&] { return requests(kia[0], QStringLiteral("HEAD")) == 1; }, 5000));
    // While KIA is measured: SEAT is queued behind it, and KIA is paused.
    press(1);
    EXPECT_EQ(manager->needDownloadData().size(), 2);
    press(0);
    EXPECT_TRUE(allRowsIn(QStringLiteral("KIA"), VelquorDownloadStatePaused));

    ASSERT_TRUE(waitUntil(
        [&] { return wasDecompressed(QStringLiteral("SEAT")) && manager->needDownloadData().isEmpty(); }, 20000));
    EXPECT_TRUE(allRowsIn(QStringLiteral("KIA"), VelquorDownloadStatePaused));
    double ratios = 0;
    for (const auto &row : database().getModelWithVehicle(QStringLiteral("KIA"))) {
        EXPECT_GT(row->expectedContentLength(), 0u);
        ratios += row->ratio();
    }
    EXPECT_NEAR(ratios, 1.0, 1e-5);
    EXPECT_EQ(page->lastRowUpdate(QStringLiteral("KIA"))->state, VelquorDownloadStatePaused);
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("KIA")));
    for (const QString &entry : kia + seat)
        EXPECT_EQ(requests(entry, QStringLiteral("HEAD")), 1) << qPrintable(entry);
    for (const QString &entry : kia)
        EXPECT_EQ(requests(entry, QStringLiteral("GET")), 0) << qPrintable(entry);

    press(0);
    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("KIA")); }, 20000));
    for (const QString &entry : kia) {
        EXPECT_EQ(requests(entry, QStringLiteral("GET")), 1) << qPrintable(entry);
        EXPECT_EQ(requests(entry, QStringLiteral("HEAD")), 1) << qPrintable(entry);
    }
}

TEST_F(DownloadHandOverTest, AVehicleThatFinishedDownloadingIsNeitherMeasuredAgainNorPausedByALateCommand)
{
    // Queued for its size probe by a second update-all, each vehicle finished before the runner
    // reached it: downloaded, unpacking, ready to install or installed.
    const QList<QPair<QString, qint64>> finished{{QStringLiteral("AUDI"), VelquorDownloadStateDownloaded},
                                                 {QStringLiteral("FORD"), VelquorDownloadStateExtracting},
                                                 {QStringLiteral("OPEL"), VelquorDownloadStateWaitingInstall},
                                                 {QStringLiteral("SEAT"), VelquorDownloadStateInstalled}};
    QStringList entries;
    for (const auto &[vehicle, state] : finished) {
        const QString entry = QStringLiteral("files/%1/%1_V1.00.zip").arg(vehicle);
        const QByteArray bytes = serve(entry, 40 * 1024, quint32(state));
        entries.append(entry);
        auto row = storedRow(vehicle, entry);
        row->setExpectedContentLength(bytes.size());
        row->setTmpFileSize(bytes.size());
        row->setTotalFileSize(bytes.size());
        row->setRatio(1);
        row->setProgress(1);
        row->setState(state);
        database().insertModel(row);
    }
    makeHandOver();

    for (const auto &entry : finished)
        handOver->addDownloadTask(entry.first, database().getModelWithVehicle(entry.first));
    handOver->startDownloadVehicle();
    ASSERT_TRUE(waitUntil([&] { return manager->needDownloadData().isEmpty(); }, 10000));
    // A pause that raced the end of the download (a press read the rows still downloading).
    for (const auto &entry : finished)
        manager->pauseDownloadTask(database().getModelWithVehicle(entry.first).first());
    manager->queue().sync([] {});
    manager->filesQueue().sync([] {});

    for (const auto &[vehicle, state] : finished) {
        EXPECT_TRUE(allRowsIn(vehicle, state)) << qPrintable(vehicle);
        const auto rows = database().getModelWithVehicle(vehicle);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows.first()->tmpFileSize(), 40u * 1024u) << qPrintable(vehicle);
    }
    for (const QString &entry : entries) {
        EXPECT_EQ(requests(entry, QStringLiteral("HEAD")), 0) << qPrintable(entry);
        EXPECT_EQ(requests(entry, QStringLiteral("GET")), 0) << qPrintable(entry);
    }
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
}

TEST_F(DownloadHandOverTest, WaitingVehiclesKeepTheirPlaceInLineThroughUpdateAllAndAResumeSendsOneToTheBack)
{
    // One slot, held by a long download; three vehicles wait for it, measured and handed over.
    UserDefaults::standard().setInteger(QString::fromLatin1(VelquorDownload::MaxConcurrentCountKey), 1);
    page.reset();
    manager = std::make_unique<VelquorDownloadManager>();
    manager->setStartDelays(10, 10);
    page = std::make_unique<RecordingPageServices>(*manager);
    auto probeQueue = std::make_shared<DispatchQueue>(QStringLiteral("probe-test"));
    manager->setGetContentQueue(probeQueue);
    const auto store = [this](const QString &vehicle, const QString &entry, qint64 state, quint64 received) {
        auto row = storedRow(vehicle, entry);
        row->setExpectedContentLength(1000);
        row->setTotalFileSize(2000);
        row->setRatio(0.5f);
        row->setTmpFileSize(received);
        row->setState(state);
        database().insertModel(row);
    };
    const QString blocking = QStringLiteral("files/TATA/TATA_V1.00.zip");
    serve(blocking, 4 * 1024 * 1024, 60);
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 64 * 1024;
    server.setFault(u'/' + blocking, slow);
    store(QStringLiteral("TATA"), blocking, VelquorDownloadStateWaiting, 0);
    // SEAT stopped half way: its first archive is complete, its second paused.
    store(QStringLiteral("SEAT"), QStringLiteral("files/SEAT/SEAT_V1.00.zip"), VelquorDownloadStateDownloaded, 1000);
    store(QStringLiteral("SEAT"), QStringLiteral("files/SEAT/SEAT_V1.00_EN.zip"), VelquorDownloadStatePaused, 300);
    for (const char *vehicle : {"KIA", "OPEL"}) {
        const QString name = QString::fromLatin1(vehicle);
        store(name, QStringLiteral("files/%1/%1_V1.00.zip").arg(name), VelquorDownloadStatePaused, 200);
        store(name, QStringLiteral("files/%1/%1_V1.00_EN.zip").arg(name), VelquorDownloadStatePaused, 0);
    }
    VelquorDownloadModelList shown;
    for (const char *vehicle : {"KIA", "SEAT", "OPEL"})
        shown.append(offered(QString::fromLatin1(vehicle), QStringLiteral("V1.00"), QStringLiteral("English"),
                             QStringLiteral("Vehicles/Europe/") + QString::fromLatin1(vehicle),
                             QStringLiteral("files/%1/%1_V1.00_EN.zip").arg(QString::fromLatin1(vehicle))));
    manager->setFamilyModels({group(QStringLiteral("KIA"), {shown[0]}), group(QStringLiteral("SEAT"), {shown[1]}),
                              group(QStringLiteral("OPEL"), {shown[2]})});
    makeHandOver();
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("TATA")).first());
    ASSERT_TRUE(waitUntil([&] { return allRowsIn(QStringLiteral("TATA"), VelquorDownloadStateDownloading); }, 10000));
    // Resumed one after another, they wait in that order.
    for (int tag = 0; tag < 3; ++tag)
        press(tag);

    // Each waiting vehicle in the order of its earliest stamp, and what its rows read.
    const auto line = [] {
        QList<QPair<quint64, QString>> stamps;
        for (const auto &row : database().getAllWaitingData())
            stamps.append({row->lastStateTime(), row->vehicle()});
        std::sort(stamps.begin(), stamps.end());
        std::vector<std::string> order;
        for (const auto &stamp : std::as_const(stamps)) {
            if (std::find(order.begin(), order.end(), stamp.second.toStdString()) == order.end())
                order.push_back(stamp.second.toStdString());
        }
        return order;
    };
    const auto rowsOf = [](const QString &vehicle) {
        std::vector<std::string> rows;
        for (const auto &row : database().getModelWithVehicle(vehicle))
            rows.push_back(QStringLiteral("%1 state %2 at %3")
                               .arg(row->url())
                               .arg(row->state())
                               .arg(row->lastStateTime())
                               .toStdString());
        return rows;
    };
    using Line = std::vector<std::string>;
    ASSERT_EQ(line(), (Line{"KIA", "SEAT", "OPEL"}));
    const auto kia = rowsOf(QStringLiteral("KIA"));
    const auto seat = rowsOf(QStringLiteral("SEAT"));
    const auto opel = rowsOf(QStringLiteral("OPEL"));

    // Update-all, twice, queues them for their probe again: they keep their rows and their place.
    for (int run = 0; run < 2; ++run) {
        commands->updateAllAction();
        ASSERT_TRUE(waitUntil([&] { return manager->needDownloadData().isEmpty(); }, 10000));
        probeQueue->sync([] {});
        EXPECT_EQ(rowsOf(QStringLiteral("KIA")), kia);
        EXPECT_EQ(rowsOf(QStringLiteral("SEAT")), seat);
        EXPECT_EQ(rowsOf(QStringLiteral("OPEL")), opel);
        EXPECT_EQ(line(), (Line{"KIA", "SEAT", "OPEL"}));
    }

    // Paused and resumed while update-all has it queued for its probe, SEAT waits again, now last.
    const auto gate = std::make_shared<std::latch>(1);
    probeQueue->async([gate] { gate->wait(); });
    const auto openGate = qScopeGuard([gate] {
        if (!gate->try_wait())
            gate->count_down();
    });
    commands->updateAllAction();
    ASSERT_EQ(manager->needDownloadData().size(), 3);
    press(1);
    EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("SEAT")).last()->state(), VelquorDownloadStatePaused);
    press(1);
    gate->count_down();
    ASSERT_TRUE(waitUntil([&] { return manager->needDownloadData().isEmpty(); }, 10000));
    probeQueue->sync([] {});
    EXPECT_EQ(line(), (Line{"KIA", "OPEL", "SEAT"}));
    EXPECT_EQ(rowsOf(QStringLiteral("KIA")), kia);
    EXPECT_EQ(rowsOf(QStringLiteral("OPEL")), opel);
    EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("SEAT")).first()->state(), VelquorDownloadStateDownloaded);
    EXPECT_EQ(manager->dataTaskVehicles(), QStringList{QStringLiteral("TATA")});
}

TEST_F(DownloadHandOverTest, ADownloadTheDatabaseCannotRecordStopsVisiblyAndAPressGoesOnOnceItCan)
{
    QStringList entries;
    QByteArray joined;
    for (int part = 1; part <= 3; ++part) {
        entries << QStringLiteral("files/JEEP/JEEP_V3.00_%1_part.zip").arg(part);
        joined += serve(entries.last(), part == 1 ? 64 * 1024 : 1024 * 1024, 60 + part);
    }
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + entries[1], slow);
    server.setFault(u'/' + entries[2], slow);
    manager->setFamilyModels({group(QStringLiteral("JEEP"),
                                    {offered(QStringLiteral("JEEP"), QStringLiteral("V3.00"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/America/JEEP"), entries.join(u';'))})});
    makeHandOver();
    press(0);
    const auto stored = [&](int part) { return database().getModelWithUrl(server.baseUrl() + entries[part]); };
    ASSERT_TRUE(waitUntil(
        [&] {
            return stored(0) && stored(0)->state() == VelquorDownloadStateDownloaded && stored(1)->tmpFileSize() > 0 &&
                   stored(2)->tmpFileSize() > 0;
        },
        15000));

    // The first part is stored; from now on the database takes no write.
    RefusedWrites refused(
        database(),
        QDir(StandardLocations::documentsDirectory()).filePath(QString::fromLatin1(VelquorDatabase::FileName)));
    SCOPED_TRACE(refused.how().toStdString());
    ASSERT_TRUE(waitUntil([&] { return !page->notRecordedVehicles().isEmpty(); }, 15000))
        << "told, not left downloading";
    manager->queue().sync([] {});
    EXPECT_EQ(page->notRecordedVehicles(), QStringList{QStringLiteral("JEEP")});
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    EXPECT_EQ(shownState(0), VelquorDownloadStatePaused);
    EXPECT_FALSE(wasDecompressed(QStringLiteral("JEEP")));
    QHash<int, qint64> kept; // bytes of the unfinished parts, still on disk
    for (int part : {1, 2}) {
        kept[part] = QFileInfo(VelquorDownloadManager::partialPathForArchive(stored(part)->zipPath())).size();
        EXPECT_GT(kept[part], 0);
    }

    // Once the file takes writes again, one press takes the download on from where it stopped.
    refused.lift();
    server.clearFaults();
    press(0);
    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("JEEP")); }, 20000));
    EXPECT_EQ(fileContent(tool().getUpdateDirectory() + QStringLiteral("/JEEP_V3.00.7z")), joined);
    for (int part : {1, 2}) {
        const auto gets = getsTo(entries[part]);
        ASSERT_GE(gets.size(), 2);
        EXPECT_EQ(gets.last().headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(kept[part]));
        EXPECT_EQ(gets.last().status, 206);
    }
    EXPECT_EQ(getsTo(entries[0]).size(), 1);
    EXPECT_EQ(page->notRecordedVehicles().size(), 1);
    EXPECT_TRUE(allRowsIn(QStringLiteral("JEEP"), VelquorDownloadStateWaitingInstall));
}

} // namespace

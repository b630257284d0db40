#include "DownloadWorkFixture.h"

#include "platform/DispatchQueue.h"

#include <QScopeGuard>

#include <latch>

namespace {

class DownloadCommandsTest : public DownloadWorkFixture
{
protected:
    // A stored record of the vehicle in the given state.
    void storeRow(const QString &vehicle, const QString &version, const QString &sdPath, const QString &entry,
                  qint64 state)
    {
        const VelquorDownloadModelPtr row = offered(vehicle, version, QStringLiteral("English"), sdPath, entry);
        row->setVehicle(vehicle);
        row->setVid(vehicle);
        row->setUrl(server.baseUrl() + entry);
        row->setZipPath(tool().get7ZResourcePath(row->url()));
        row->setState(state);
        row->setTotalFileSize(1000);
        row->setExpectedContentLength(1000);
        row->setRatio(1);
        database().insertModel(row);
    }
};

TEST_F(DownloadCommandsTest, UpdateAllPlansEveryVehicleThatNeedsWorkAndHandsThemOverInOrderOnce)
{
    const QString base = server.baseUrl();
    auto entry = [](const QString &vehicle, const QString &name) {
        return QStringLiteral("files/%1/%2").arg(vehicle, name);
    };
    // What the card holds: BENZ V12.30 in English (an append applies), VW V8.20 in English, HONDA V11.40.
    putOnCard(QStringLiteral("Vehicles/Europe/BENZ/VERSION.TXT"), "V12.30");
    putOnCard(QStringLiteral("Vehicles/Europe/BENZ/english.cfg"), "LANGUAGE=English\r\n");
    page->appendVersionTable.insert(QStringLiteral("VEHICLES/EUROPE/BENZ"), QStringLiteral("V12.30"));
    putOnCard(QStringLiteral("Vehicles/Europe/VW/VERSION.TXT"), "V8.20");
    putOnCard(QStringLiteral("Vehicles/Europe/VW/english.cfg"), "LANGUAGE=English\r\n");
    putOnCard(QStringLiteral("Vehicles/Asia/HONDA/VERSION.TXT"), "V11.40");
    putOnCard(QStringLiteral("Vehicles/Asia/HONDA/english.cfg"), "LANGUAGE=English\r\n");

    // What the update list offers, row group by row group.
    const QString benzAppend = entry(QStringLiteral("BENZ"), QStringLiteral("BENZ_V12.35_APPEND.zip"));
    QStringList toyota;
    for (int part = 1; part <= 3; ++part)
        toyota << entry(QStringLiteral("TOYOTA"), QStringLiteral("TOYOTA_V20.10_%1_part.zip").arg(part));
    toyota << entry(QStringLiteral("TOYOTA"), QStringLiteral("TOYOTA_V20.10_EN.zip"));
    QList<VelquorVehicleFamilyGroup> groups;
    groups << group(
        QStringLiteral("OS-SOFTWARE"),
        {offered(QStringLiteral("OS-SOFTWARE"), QStringLiteral("V3.20"), QStringLiteral("English"),
                 QStringLiteral("Scan"), entry(QStringLiteral("OS"), QStringLiteral("OS-SOFTWARE_V3.20.zip")))});
    groups << group(
        QStringLiteral("MAC_UPDATETOOLS"),
        {offered(QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("V1.00"), QStringLiteral("English"), QString(),
                 entry(QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("Velquor_V1.00.zip"))),
         offered(QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("V0.90"), QStringLiteral("English"), QString(),
                 entry(QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("Velquor_V0.90.zip")))});
    groups << group(QStringLiteral("BENZ"),
                    {offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("English"),
                             QStringLiteral("Vehicles/Europe/BENZ"),
                             entry(QStringLiteral("BENZ"), QStringLiteral("BENZ_V12.35_EN.zip;")) + benzAppend),
                     offered(QStringLiteral("BENZ"), QStringLiteral("V12.35"), QStringLiteral("German"),
                             QStringLiteral("Vehicles/Europe/BENZ"),
                             entry(QStringLiteral("BENZ"), QStringLiteral("BENZ_V12.35_DE.zip;")) + benzAppend)});
    groups << group(QStringLiteral("TOYOTA"),
                    {offered(QStringLiteral("TOYOTA"), QStringLiteral("V20.10"), QStringLiteral("English"),
                             QStringLiteral("Vehicles/Asia/TOYOTA"), toyota.join(u';'))});
    groups << group(QStringLiteral("VW"), {offered(QStringLiteral("VW"), QStringLiteral("V8.20"),
                                                   QStringLiteral("English"), QStringLiteral("Vehicles/Europe/VW"),
                                                   entry(QStringLiteral("VW"), QStringLiteral("VW_V8.20_EN.zip"))),
                                           offered(QStringLiteral("VW"), QStringLiteral("V8.20"),
                                                   QStringLiteral("French"), QStringLiteral("Vehicles/Europe/VW"),
                                                   entry(QStringLiteral("VW"), QStringLiteral("VW_V8.20_FR.zip")))});
    groups << group(QStringLiteral("FORD"),
                    {offered(QStringLiteral("FORD"), QStringLiteral("V30.00"), QStringLiteral("English"),
                             QStringLiteral("Vehicles/America/FORD"),
                             entry(QStringLiteral("FORD"), QStringLiteral("FORD_V30.00_EN.zip")))});
    groups << group(
        QStringLiteral("ADAS"),
        {offered(QStringLiteral("ADAS"), QStringLiteral("V1.05"), QStringLiteral("English"),
                 QStringLiteral("Special/ADAS"), entry(QStringLiteral("ADAS"), QStringLiteral("ADAS_V1.05_EN.zip")))});
    groups << group(QStringLiteral("HONDA"),
                    {offered(QStringLiteral("HONDA"), QStringLiteral("V11.40"), QStringLiteral("English"),
                             QStringLiteral("Vehicles/Asia/HONDA"),
                             entry(QStringLiteral("HONDA"), QStringLiteral("HONDA_V11.40_EN.zip")))});
    groups << group(QStringLiteral("SSANGYONG"),
                    {offered(QStringLiteral("SSANGYONG"), QStringLiteral("V2.10"), QStringLiteral("English"),
                             QStringLiteral("Maintenance/SSANGYONG"),
                             entry(QStringLiteral("SSANGYONG"), QStringLiteral("SSANGYONG_V2.10_EN.zip")))});
    groups.last().first()->model()->setState(VelquorDownloadStateWaitingInstall);
    groups[groups.size() - 2].first()->model()->setState(VelquorDownloadStateInstalled);
    groups[5].first()->model()->setState(VelquorDownloadStatePaused);
    groups[6].first()->model()->setState(VelquorDownloadStateFailed);
    manager->setFamilyModels(groups);

    // What is stored: FORD paused in an older version, ADAS failed, HONDA installed, SSANGYONG downloaded.
    storeRow(QStringLiteral("FORD"), QStringLiteral("V29.00"), QStringLiteral("Vehicles/America/FORD"),
             entry(QStringLiteral("FORD"), QStringLiteral("FORD_V29.00.zip")), VelquorDownloadStatePaused);
    storeRow(QStringLiteral("ADAS"), QStringLiteral("V1.05"), QStringLiteral("Special/ADAS"),
             entry(QStringLiteral("ADAS"), QStringLiteral("ADAS_V1.05.zip")), VelquorDownloadStateFailed);
    storeRow(QStringLiteral("HONDA"), QStringLiteral("V11.40"), QStringLiteral("Vehicles/Asia/HONDA"),
             entry(QStringLiteral("HONDA"), QStringLiteral("HONDA_V11.40.zip")), VelquorDownloadStateInstalled);
    storeRow(QStringLiteral("SSANGYONG"), QStringLiteral("V2.10"), QStringLiteral("Maintenance/SSANGYONG"),
             entry(QStringLiteral("SSANGYONG"), QStringLiteral("SSANGYONG_V2.10.zip")),
             VelquorDownloadStateWaitingInstall);
    const QString ssangyongArchive = database().getModelWithVehicle(QStringLiteral("SSANGYONG")).first()->zipPath();
    {
        QFile archive(ssangyongArchive);
        ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
        archive.write("7z archive");
    }

    // What is expected to be fetched, per vehicle, in the order the vehicles are queued.
    const QList<QPair<QString, QStringList>> expected{
        {QStringLiteral("OS-SOFTWARE"), {entry(QStringLiteral("OS"), QStringLiteral("OS-SOFTWARE_V3.20.zip"))}},
        {QStringLiteral("MAC_UPDATETOOLS"),
         {entry(QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("Velquor_V1.00.zip"))}},
        {QStringLiteral("BENZ"), {benzAppend, entry(QStringLiteral("BENZ"), QStringLiteral("BENZ_V12.35_DE.zip"))}},
        {QStringLiteral("TOYOTA"), toyota},
        {QStringLiteral("VW"),
         {entry(QStringLiteral("VW"), QStringLiteral("VW_V8.20.zip")),
          entry(QStringLiteral("VW"), QStringLiteral("VW_V8.20_FR.zip"))}},
        {QStringLiteral("FORD"),
         {entry(QStringLiteral("FORD"), QStringLiteral("FORD_V30.00.zip")),
          entry(QStringLiteral("FORD"), QStringLiteral("FORD_V30.00_EN.zip"))}},
        {QStringLiteral("ADAS"),
         {entry(QStringLiteral("ADAS"), QStringLiteral("ADAS_V1.05.zip")),
          entry(QStringLiteral("ADAS"), QStringLiteral("ADAS_V1.05_EN.zip"))}},
    };
    QHash<QString, QString> vehicleOfPath;
    quint32 seed = 100;
    for (const auto &[vehicle, entries] : expected) {
        for (const QString &path : entries) {
            serve(path, 80 * 1024 + int(seed), seed);
            vehicleOfPath.insert(u'/' + path, vehicle);
            ++seed;
        }
    }
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 160 * 1024;
    server.setFault(u'/' + expected[5].second.first(), slow); // FORD's data package takes a while

    // The probes wait behind a gate, so the queue can be read as update-all left it. An assertion
    // that ends the case early opens it too: the queue's thread is joined as the manager goes.
    auto probeQueue = std::make_shared<DispatchQueue>(QStringLiteral("probe-test"));
    manager->setGetContentQueue(probeQueue);
    const auto gate = std::make_shared<std::latch>(1);
    probeQueue->async([gate] { gate->wait(); });
    const auto openGate = qScopeGuard([gate] {
        if (!gate->try_wait())
            gate->count_down();
    });
    makeHandOver();

    commands->updateAllAction();
    EXPECT_EQ(page->reloadAllDataCalls.load() >= 1, true);
    const auto queued = manager->needDownloadData();
    ASSERT_EQ(queued.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto &[vehicle, entries] = expected[i];
        EXPECT_EQ(queued[i].first.toUpper(), vehicle);
        EXPECT_EQ(queued[i].second.size(), entries.size()) << qPrintable(vehicle);
        QStringList sorted = entries;
        sorted.sort();
        EXPECT_EQ(storedEntries(vehicle), sorted) << qPrintable(vehicle);
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateWaiting)) << qPrintable(vehicle);
    }
    const QString osZip = database().getModelWithVehicle(QStringLiteral("OS-SOFTWARE")).first()->zipPath();
    EXPECT_EQ(osZip, tool().getUpdateDirectory() + QStringLiteral("/OS-SOFTWARE_V3.20.zip"));
    EXPECT_TRUE(allRowsIn(QStringLiteral("HONDA"), VelquorDownloadStateInstalled));
    EXPECT_TRUE(wasDecompressed(QStringLiteral("SSANGYONG")));
    EXPECT_TRUE(allRowsIn(QStringLiteral("SSANGYONG"), VelquorDownloadStateWaitingInstall));

    gate->count_down();
    const QString fordData = server.baseUrl() + expected[5].second.first();
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto row = database().getModelWithUrl(fordData);
            return row && row->state() == VelquorDownloadStateDownloading;
        },
        20000));
    // A second update-all while work runs.
    commands->updateAllAction();
    ASSERT_TRUE(waitUntil(
        [&] {
            return std::all_of(expected.begin(), expected.end(),
                               [&](const auto &vehicle) { return wasDecompressed(vehicle.first); });
        },
        30000));

    // Each vehicle was measured once, one after another, in the order it was queued.
    QStringList probedOrder;
    for (const auto &request : server.requests()) {
        if (request.method != QLatin1String("HEAD"))
            continue;
        const QString vehicle = vehicleOfPath.value(request.path);
        if (probedOrder.isEmpty() || probedOrder.last() != vehicle)
            probedOrder.append(vehicle);
    }
    QStringList queuedOrder;
    for (const auto &item : expected)
        queuedOrder.append(item.first);
    EXPECT_EQ(probedOrder, queuedOrder);
    for (auto it = vehicleOfPath.cbegin(); it != vehicleOfPath.cend(); ++it) {
        const QString path = it.key().mid(1);
        EXPECT_EQ(requests(path, QStringLiteral("HEAD")), 1) << qPrintable(path);
        // Never restarted from its beginning; a resume would ask for a range.
        const auto gets = getsTo(path);
        ASSERT_GE(gets.size(), 1) << qPrintable(path);
        for (qsizetype i = 1; i < gets.size(); ++i)
            EXPECT_FALSE(gets[i].headers.value(QStringLiteral("range")).isEmpty()) << qPrintable(path);
    }
    // Never paused.
    EXPECT_TRUE(std::none_of(page->rowUpdates.begin(), page->rowUpdates.end(),
                             [](const auto &update) { return update.second.state == VelquorDownloadStatePaused; }));
    EXPECT_TRUE(server.requestsTo(QStringLiteral("/files/FORD/FORD_V29.00.zip")).empty());
    EXPECT_TRUE(allRowsIn(QStringLiteral("HONDA"), VelquorDownloadStateInstalled));
    for (const auto &[vehicle, entries] : expected)
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateWaitingInstall)) << qPrintable(vehicle);

    // Nothing under way: the refresh asks for a new list.
    probeQueue->sync([] {});
    commands->refreshAction();
    EXPECT_EQ(page->updateListRequests.load(), 1);
}

TEST_F(DownloadCommandsTest, UpdateAllAgainLeavesAVehicleWhosePackagesCarryDifferentVersionsAlone)
{
    // Two packages of one vehicle, each with its own version.
    const QString vwData = QStringLiteral("files/VW/VW_V8.20.zip");
    const QString vwLanguage = QStringLiteral("files/VW/VW_V8.20_EN.zip");
    const QString audiData = QStringLiteral("files/VW/AUDI_V9.00.zip");
    const QString audiLanguage = QStringLiteral("files/VW/AUDI_V9.00_EN.zip");
    const QStringList paths{vwData, vwLanguage, audiData, audiLanguage};
    serve(vwData, 400 * 1024, 1);
    serve(vwLanguage, 20 * 1024, 2);
    serve(audiData, 30 * 1024, 3);
    serve(audiLanguage, 20 * 1024, 4);
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + vwData, slow);
    manager->setFamilyModels({group(QStringLiteral("VW"),
                                    {offered(QStringLiteral("VW"), QStringLiteral("V8.20"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/Europe/VW"), vwLanguage),
                                     offered(QStringLiteral("AUDI"), QStringLiteral("V9.00"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/Europe/AUDI"), audiLanguage)})});
    makeHandOver();
    QStringList sorted = paths;
    sorted.sort();

    // While it downloads: every row has started, and the data package is still coming.
    commands->updateAllAction();
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto rows = database().getModelWithVehicle(QStringLiteral("VW"));
            return rows.size() == paths.size() &&
                   std::none_of(rows.begin(), rows.end(),
                                [](const auto &row) { return row->state() == VelquorDownloadStateWaiting; }) &&
                   database().getModelWithUrl(server.baseUrl() + vwData)->state() == VelquorDownloadStateDownloading;
        },
        20000));
    commands->updateAllAction();
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), sorted);
    // Even a newer first package, offered while it downloads, leaves the vehicle to finish.
    const VelquorDownloadModelPtr firstRecord = manager->familyModels().first().first()->model();
    firstRecord->setVersion(QStringLiteral("V8.30"));
    commands->updateAllAction();
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), sorted);
    EXPECT_EQ(database().getModelWithUrl(server.baseUrl() + vwData)->version(), QStringLiteral("V8.20"));
    firstRecord->setVersion(QStringLiteral("V8.20"));
    ASSERT_TRUE(waitUntil([&] { return wasDecompressed(QStringLiteral("VW")); }, 20000));
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), sorted);
    EXPECT_TRUE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStateWaitingInstall));
    for (const QString &path : paths) {
        EXPECT_EQ(requests(path, QStringLiteral("HEAD")), 1) << qPrintable(path);
        const auto gets = getsTo(path);
        ASSERT_GE(gets.size(), 1) << qPrintable(path);
        for (qsizetype i = 1; i < gets.size(); ++i)
            EXPECT_FALSE(gets[i].headers.value(QStringLiteral("range")).isEmpty()) << qPrintable(path);
    }

    // Once installed, with both packages and their languages on the card.
    for (const auto &row : database().getModelWithVehicle(QStringLiteral("VW"))) {
        row->setState(VelquorDownloadStateInstalled);
        database().updateWithModel(row, VelquorDownloadUpdateState);
    }
    putOnCard(QStringLiteral("Vehicles/Europe/VW/VERSION.TXT"), "V8.20");
    putOnCard(QStringLiteral("Vehicles/Europe/VW/english.cfg"), "LANGUAGE=English\r\n");
    putOnCard(QStringLiteral("Vehicles/Europe/AUDI/VERSION.TXT"), "V9.00");
    putOnCard(QStringLiteral("Vehicles/Europe/AUDI/english.cfg"), "LANGUAGE=English\r\n");
    commands->updateAllAction();
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), sorted);
    EXPECT_TRUE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStateInstalled));
    EXPECT_TRUE(manager->needDownloadData().isEmpty());
}

TEST_F(DownloadCommandsTest, OnlyAStoredPackageOlderThanItsOwnOfferRestartsAVehicle)
{
    // VW's first package is on the card at the offered version, so only its second one, AUDI, was
    // fetched and recorded; the two carry different versions.
    const QString vwData = QStringLiteral("files/VW/VW_V9.50.zip");
    const QString audiLanguage = QStringLiteral("files/VW/AUDI_V2.10_EN.zip");
    serve(vwData, 30 * 1024, 5);
    serve(audiLanguage, 10 * 1024, 6);
    putOnCard(QStringLiteral("Vehicles/Europe/VW/VERSION.TXT"), "V9.50");
    putOnCard(QStringLiteral("Vehicles/Europe/VW/english.cfg"), "LANGUAGE=English\r\n");
    putOnCard(QStringLiteral("Vehicles/Europe/AUDI/VERSION.TXT"), "V2.00");
    putOnCard(QStringLiteral("Vehicles/Europe/AUDI/english.cfg"), "LANGUAGE=English\r\n");
    const VelquorDownloadModelPtr audi =
        offered(QStringLiteral("AUDI"), QStringLiteral("V2.00"), QStringLiteral("English"),
                QStringLiteral("Vehicles/Europe/AUDI"), QStringLiteral("files/VW/AUDI_V2.00_EN.zip"));
    manager->setFamilyModels({group(QStringLiteral("VW"),
                                    {offered(QStringLiteral("VW"), QStringLiteral("V9.50"), QStringLiteral("English"),
                                             QStringLiteral("Vehicles/Europe/VW"),
                                             QStringLiteral("files/VW/VW_V9.50_EN.zip")),
                                     audi})});
    const VelquorDownloadModelPtr stored = audi->copy();
    stored->setVehicle(QStringLiteral("VW"));
    stored->setVid(QStringLiteral("AUDI"));
    stored->setUrl(server.baseUrl() + QStringLiteral("files/VW/AUDI_V2.00.zip"));
    stored->setZipPath(tool().get7ZResourcePath(stored->url()));
    stored->setState(VelquorDownloadStateInstalled);
    database().insertModel(stored);
    makeHandOver();

    // Installed and current, package by package: a press and update-all leave it alone.
    press(0);
    commands->updateAllAction();
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), QStringList{QStringLiteral("files/VW/AUDI_V2.00.zip")});
    EXPECT_TRUE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStateInstalled));
    // Paused midway, a press resumes it rather than starting over.
    stored->setState(VelquorDownloadStatePaused);
    database().updateWithModel(stored, VelquorDownloadUpdateState);
    commands->updateAllAction();
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), QStringList{QStringLiteral("files/VW/AUDI_V2.00.zip")});
    EXPECT_TRUE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStatePaused));
    press(0);
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), QStringList{QStringLiteral("files/VW/AUDI_V2.00.zip")});
    EXPECT_FALSE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStatePaused));

    // A newer AUDI is what restarts the vehicle.
    audi->setVersion(QStringLiteral("V2.10"));
    audi->setFilePath(audiLanguage);
    press(0);
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), (QStringList{audiLanguage, vwData}));
    ASSERT_TRUE(waitUntil([&] { return allRowsIn(QStringLiteral("VW"), VelquorDownloadStateWaitingInstall); }, 20000));
}

TEST_F(DownloadCommandsTest, APressAndUpdateAllFetchAnInstalledVehicleAgainWhenTheCardHoldsAnOlderPackage)
{
    // VW was recorded with its AUDI package first; the card holds AUDI as offered but VW older.
    putOnCard(QStringLiteral("Vehicles/Europe/VW/VERSION.TXT"), "V9.00");
    putOnCard(QStringLiteral("Vehicles/Europe/VW/english.cfg"), "LANGUAGE=English\r\n");
    putOnCard(QStringLiteral("Vehicles/Europe/AUDI/VERSION.TXT"), "V2.00");
    putOnCard(QStringLiteral("Vehicles/Europe/AUDI/english.cfg"), "LANGUAGE=English\r\n");
    const VelquorDownloadModelPtr audi =
        offered(QStringLiteral("AUDI"), QStringLiteral("V2.00"), QStringLiteral("English"),
                QStringLiteral("Vehicles/Europe/AUDI"), QStringLiteral("files/VW/AUDI_V2.00_EN.zip"));
    const VelquorDownloadModelPtr vw =
        offered(QStringLiteral("VW"), QStringLiteral("V9.50"), QStringLiteral("English"),
                QStringLiteral("Vehicles/Europe/VW"), QStringLiteral("files/VW/VW_V9.50_EN.zip"));
    manager->setFamilyModels({group(QStringLiteral("VW"), {vw, audi})});
    const auto recordInstalled = [&] {
        database().deleteModelWithVehicle(QStringLiteral("VW"));
        for (const auto &[model, entry] : {std::pair{audi, QStringLiteral("files/VW/AUDI_V2.00.zip")},
                                           std::pair{vw, QStringLiteral("files/VW/VW_V9.50.zip")}}) {
            const VelquorDownloadModelPtr row = model->copy();
            row->setVehicle(QStringLiteral("VW"));
            row->setVid(model->software());
            row->setUrl(server.baseUrl() + entry);
            row->setZipPath(tool().get7ZResourcePath(row->url()));
            row->setState(VelquorDownloadStateInstalled);
            database().insertModel(row);
        }
    };
    // The probes wait behind a gate, so the rows can be read as each command left them.
    auto probeQueue = std::make_shared<DispatchQueue>(QStringLiteral("probe-test"));
    manager->setGetContentQueue(probeQueue);
    const auto gate = std::make_shared<std::latch>(1);
    probeQueue->async([gate] { gate->wait(); });
    const auto openGate = qScopeGuard([gate] { gate->count_down(); });
    makeHandOver();
    // VW's data package again and its language; AUDI's data package, as the card holds its language.
    const QStringList fetched{QStringLiteral("files/VW/AUDI_V2.00.zip"), QStringLiteral("files/VW/VW_V9.50.zip"),
                              QStringLiteral("files/VW/VW_V9.50_EN.zip")};

    recordInstalled();
    press(0);
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), fetched);
    EXPECT_TRUE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStateWaiting));

    recordInstalled();
    commands->updateAllAction();
    EXPECT_EQ(storedEntries(QStringLiteral("VW")), fetched);
    EXPECT_TRUE(allRowsIn(QStringLiteral("VW"), VelquorDownloadStateWaiting));
}

} // namespace

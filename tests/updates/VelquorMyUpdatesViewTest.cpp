#include "UpdatesPageFixture.h"

#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorTableView.h"
#include "platform/DispatchQueue.h"
#include "standin/DemoCatalogue.h"
#include "support/FatCard.h"
#include "support/TestArchives.h"
#include "updates/VelquorMyUpdatesTableRowView.h"

#include <QApplication>
#include <QFileInfo>
#include <QWindow>

using namespace updatestest;

namespace {

// The demo service's archives of these vehicles (as its update list names them), made with 7zz.
QList<standin::DemoArchive> demoArchivesOfVehicles(const QStringList &softwares)
{
    QMap<QString, standin::DemoArchive> archives;
    for (const standin::DemoPackage &package : standin::demoUpdateList(1001)) {
        if (!softwares.contains(package.software))
            continue;
        for (const standin::DemoArchive &archive : standin::demoArchivesOf(package))
            archives.insert(archive.path, archive);
    }
    return archives.values();
}

// What the vehicle's archives put below the card folder their entries are relative to.
QMap<QString, QByteArray> contentsOf(const QList<standin::DemoArchive> &archives, const QString &vehicle)
{
    QMap<QString, QByteArray> files;
    for (const standin::DemoArchive &archive : archives) {
        if (!archive.path.startsWith(QStringLiteral("files/%1/").arg(vehicle)))
            continue;
        for (const standin::DemoArchiveEntry &entry : archive.entries)
            files.insert(entry.path, entry.content);
    }
    return files;
}

class MyUpdatesViewOnFatCardTest : public UpdatesPageFixture
{
protected:
    VelquorMyUpdatesTableRowView *rowOf(const QString &vehicle) const
    {
        const QList<VelquorVehicleFamilyGroup> groups = manager().familyModels();
        for (qsizetype row = 0; row < groups.size(); ++row) {
            if (!groups.at(row).isEmpty() && groups.at(row).first()->vehicle() == vehicle) {
                page->tableView()->scrollRowToVisible(row);
                return qobject_cast<VelquorMyUpdatesTableRowView *>(page->tableView()->rowViewAtRow(row));
            }
        }
        return nullptr;
    }

    // The state the vehicle's download button shows; -1 while the vehicle has no row.
    qint64 buttonState(const QString &vehicle) const
    {
        VelquorMyUpdatesTableRowView *row = rowOf(vehicle);
        return row ? row->downloadButton()->downloadState() : -1;
    }

    // A click on the vehicle's download button where the window shows it.
    void clickButtonOf(const QString &vehicle)
    {
        VelquorMyUpdatesTableRowView *row = rowOf(vehicle);
        ASSERT_NE(row, nullptr) << vehicle.toStdString();
        VelquorDownloadButton *button = row->downloadButton();
        ASSERT_TRUE(button->isVisible());
        // Two clicks in quick succession would make a double click.
        QTest::qWait(QApplication::doubleClickInterval() + 20);
        QTest::mouseClick(page->windowHandle(), Qt::LeftButton, {}, button->mapTo(page.get(), button->rect().center()));
    }

    static bool allRowsIn(const VelquorDownloadModelList &rows, qint64 state)
    {
        return !rows.isEmpty() &&
               std::all_of(rows.begin(), rows.end(), [&](const auto &row) { return row->state() == state; });
    }

    // Made before the page and gone after it: a case that ends early never pulls the card from
    // under an extraction, which would keep it busy and mounted.
    FatCard card;
};

} // namespace

TEST_F(MyUpdatesViewOnFatCardTest, ARowPressedPausedAndResumedInstallsOntoTheCardAndAWrongPasswordCostsOnlyItsFolder)
{
    VELQUOR_REQUIRE_FAT_CARD(card);
    qputenv("VELQUOR_CARD_VOLUMES", card.mountPath().toUtf8());
    QTemporaryDir served;
    const QList<standin::DemoArchive> archives = demoArchivesOfVehicles({"FORD", "BMW"});
    QString error;
    ASSERT_TRUE(standin::makeDemoArchives(served.path(), archives, &error)) << error.toStdString();
    server.setFileRoot(served.path());
    // BMW's data package was packed with another password.
    const QString bmwData = QStringLiteral("files/BMW/BMW_V15.02.zip");
    const QString source = served.filePath("wrong/BMW");
    ASSERT_TRUE(TestArchives::writeFile(source + "/VERSION.TXT", "V15.02"));
    ASSERT_TRUE(QFile::remove(served.filePath(bmwData)));
    ASSERT_TRUE(TestArchives::pack(served.filePath("wrong"), served.filePath(bmwData), "7z", "not the password"));
    // FORD's data package trickles until the pause.
    const QString fordData = QStringLiteral("files/FORD/FORD_V30.00.zip");
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 16 * 1024;
    server.setFault(u'/' + fordData, slow);

    // The card runs the current operating software, so the vehicles are offered.
    ASSERT_TRUE(TestArchives::writeFile(card.mountPath() + "/Scan/VERSION.TXT", "V3.20"));
    ASSERT_TRUE(TestArchives::writeFile(card.mountPath() + "/Scan/english.cfg", "LANGUAGE=English\r\n"));
    openTables(kProDevice);
    recordInstalled("OS-SOFTWARE", "V3.20", "Scan");

    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 1; }));
    choose(page->sdCardComboBox(), "SDCARD: (");
    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1 && buttonState("FORD") == 0; }, 10000));
    ASSERT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), card.mountPath());

    clickButtonOf("FORD");
    const QString fordDataUrl = server.baseUrl() + fordData;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto row = database().getModelWithUrl(fordDataUrl);
            return row && row->tmpFileSize() > 0 && buttonState("FORD") == VelquorDownloadStateDownloading;
        },
        15000));
    clickButtonOf("FORD");
    ASSERT_TRUE(waitUntil([&] { return buttonState("FORD") == VelquorDownloadStatePaused; }));
    const quint64 pausedAt = database().getModelWithUrl(fordDataUrl)->tmpFileSize();
    server.clearFaults();
    clickButtonOf("FORD");
    ASSERT_TRUE(waitUntil([&] { return buttonState("FORD") == VelquorDownloadStateInstalled; }, 30000));

    const QString america = card.mountPath() + "/Vehicles/America";
    const QMap<QString, QByteArray> ford = contentsOf(archives, "FORD");
    EXPECT_EQ(TestArchives::filesBelow(america), ford);
    const auto fordRows = database().getModelWithVehicle("FORD");
    EXPECT_TRUE(allRowsIn(fordRows, VelquorDownloadStateInstalled));
    EXPECT_TRUE(allRowsIn(database().getAllDataWithVehicleForInstall("FORD"), VelquorDownloadStateInstalled));
    EXPECT_EQ(database().getAllDataWithVehicleForInstall("FORD").size(), fordRows.size());
    // The transfer went on from where the pause left it; the archives left the cache once installed.
    QStringList ranges;
    for (const auto &request : server.requestsTo(u'/' + fordData))
        if (request.method == "GET")
            ranges.append(request.headers.value("range"));
    EXPECT_EQ(ranges, (QStringList{QString(), QStringLiteral("bytes=%1-").arg(pausedAt)}));
    EXPECT_TRUE(TestArchives::filesBelow(VelquorCommonTool::sharedTool().getUpdateDirectory()).isEmpty());

    clickButtonOf("BMW");
    ASSERT_TRUE(waitUntil([&] { return buttonState("BMW") == VelquorDownloadStateInstallFailed; }, 30000));
    manager().filesQueue().sync([] {});
    EXPECT_FALSE(QFileInfo::exists(card.mountPath() + "/Vehicles/Europe/BMW"));
    EXPECT_TRUE(database().getAllDataWithVehicleForInstall("BMW").isEmpty());
    EXPECT_EQ(TestArchives::filesBelow(america), ford);

    page.reset();
    ASSERT_TRUE(card.unmount());
    QString fsck;
    EXPECT_TRUE(card.fsckClean(&fsck)) << fsck.toStdString();
}

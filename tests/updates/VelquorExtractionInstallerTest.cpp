#include "updates/VelquorExtractionInstaller.h"

#include "core/LzmaTool.h"
#include "core/VelquorAppUpdateManager.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorUnfinishedFolder.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "updates/VelquorCacheCleanup.h"

#include "support/FatCard.h"
#include "support/TestArchives.h"
#include "support/TestEnvironment.h"
#include "updates/RecordingPageServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <semaphore>

using namespace TestArchives;

namespace {

// One archive of a vehicle: its name on the service and its content, packed at test time.
struct Package
{
    Package(const QString &fileName, const QMap<QString, QByteArray> &entries,
            const QString &type = QStringLiteral("7z"))
        : fileName(fileName), entries(entries), type(type)
    {}
    static Package prebuiltAt(const QString &fileName, const QString &path)
    {
        Package package(fileName, {});
        package.prebuilt = path;
        return package;
    }

    QString fileName;                  // last part of the URL
    QMap<QString, QByteArray> entries; // paths inside the archive
    QString type;
    QString password = archivePassword();
    QString prebuilt;     // an archive made otherwise, used as it is
    bool damaged = false; // its data damaged midway: its list reads, its unpacking fails
};

// Spoils a stretch in the middle of the archive's packed data, where neither the 7z header at its end
// nor the zip directory lies.
bool damageMidway(const QString &archive)
{
    QFile file(archive);
    if (!file.open(QIODevice::ReadWrite) || file.size() < 4096)
        return false;
    file.seek(file.size() / 3);
    QByteArray bytes = file.peek(64);
    for (char &byte : bytes)
        byte = char(~byte);
    return file.write(bytes) == bytes.size();
}

class ExtractionInstallerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        database.creatDBWithSerialNumber(QStringLiteral("VQ9A00123456"), QStringLiteral("tester"));
        launcher.setOpenCommand(QStringLiteral("/bin/sh"),
                                {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' \"$1\" >> \"$0\""), opened()});
        installer = std::make_unique<VelquorExtractionInstaller>(page, manager, database, tool, launcher, lzma);
    }

    void TearDown() override
    {
        installer.reset();
        tool.setSaveFilePath(QString());
        // The archive cache is one folder for the process: archives of a vehicle kept downloaded go.
        QDir(tool.getUpdateDirectory()).removeRecursively();
    }

    QString opened() const { return work.filePath(QStringLiteral("opened.txt")); }

    void useCard(const QString &root)
    {
        tool.setSaveFilePath(root);
        page.capacity = quint64(QStorageInfo(root).bytesAvailable());
    }

    // A downloaded vehicle: one row per archive in state 7, each archive in the cache, and its row
    // on the page.
    VelquorDownloadModelList addDownloadedVehicle(const QString &vehicle, const QString &software,
                                                  const QString &sdPath, const QList<Package> &packages,
                                                  const QString &version = QStringLiteral("V30.00"))
    {
        QList<QPair<VelquorDownloadModelPtr, QString>> made;
        quint64 total = 0;
        for (const Package &package : packages) {
            auto record = VelquorDownloadModel::create();
            record->setSoftware(software);
            record->setVid(software);
            record->setVehicle(vehicle);
            record->setVersion(version);
            record->setSdPath(sdPath);
            record->setFilePath(QStringLiteral("files/%1/%2").arg(vehicle, package.fileName));
            record->setUrl(QStringLiteral("http://127.0.0.1:8080/") + record->filePath());
            const bool keepsName =
                software == QLatin1String("OS-SOFTWARE") || software == QLatin1String("MAC_UPDATETOOLS");
            record->setZipPath(keepsName ? tool.getZipResourcePath(record->url())
                                         : tool.get7ZResourcePath(record->url()));
            QString archive = package.prebuilt;
            if (archive.isEmpty()) {
                const QString source = work.filePath(QStringLiteral("src/%1/%2").arg(vehicle, package.fileName));
                for (auto it = package.entries.cbegin(); it != package.entries.cend(); ++it)
                    EXPECT_TRUE(writeFile(source + QLatin1Char('/') + it.key(), it.value()));
                archive = work.filePath(QStringLiteral("built/%1/%2.%3").arg(vehicle, package.fileName, package.type));
                QDir().mkpath(QFileInfo(archive).absolutePath());
                EXPECT_TRUE(pack(source, archive, package.type, package.password));
                if (package.damaged) {
                    EXPECT_TRUE(damageMidway(archive));
                }
            }
            QFile::remove(record->zipPath());
            EXPECT_TRUE(QFile::copy(archive, record->zipPath()));
            record->setExpectedContentLength(quint64(QFileInfo(archive).size()));
            total += record->expectedContentLength();
            made.append({record, archive});
        }
        for (const auto &[record, archive] : made) {
            record->setTotalFileSize(total);
            record->setRatio(float(double(record->expectedContentLength()) / double(total)));
            record->setState(VelquorDownloadStateWaitingInstall);
            database.insertModel(record);
        }
        auto family = VelquorVehicleFamilyModel::create();
        family->setVehicle(vehicle);
        family->setModel(made.isEmpty() ? VelquorDownloadModel::create() : made.first().first->copy());
        QList<VelquorVehicleFamilyGroup> groups = manager.familyModels();
        groups.append({family});
        manager.setFamilyModels(groups);
        return database.getModelWithVehicle(vehicle);
    }

    // An earlier version of the vehicle, whole on the card at `sdPath` and recorded as installed.
    void installOlder(const QString &cardRoot, const QString &vehicle, const QString &sdPath, const QString &version,
                      quint32 seed)
    {
        const QString folder = cardRoot + u'/' + sdPath;
        ASSERT_TRUE(writeFile(folder + QStringLiteral("/VERSION.TXT"), version.toLatin1()));
        ASSERT_TRUE(writeFile(folder + QStringLiteral("/english.cfg"), "LANGUAGE=English\r\n"));
        ASSERT_TRUE(writeFile(folder + QStringLiteral("/DIAG/OLD.BIN"), randomBytes(64 * 1024, seed)));
        auto installed = VelquorDownloadModel::create();
        installed->setVehicle(vehicle);
        installed->setSoftware(vehicle);
        installed->setVersion(version);
        installed->setSdPath(sdPath);
        installed->setUrl(QStringLiteral("http://127.0.0.1:8080/files/%1/%1_%2.zip").arg(vehicle, version));
        installed->setState(VelquorDownloadStateInstalled);
        database.insertModelForInstall(installed);
    }

    // Waits until every queued vehicle has its result and the files it asked to delete are gone.
    void waitForExtractions(int giveUpMs = 60000)
    {
        ASSERT_TRUE(waitUntil([&] { return manager.vehicles().isEmpty(); }, giveUpMs));
        manager.decompressSerialQueue()->sync([] {});
        manager.queue().sync([] {});
        manager.filesQueue().sync([] {});
    }

    // What a device choice runs, at a start or a rescan, and the removals it queued.
    void cleanUp()
    {
        VelquorCacheCleanup(manager, database, tool).run();
        manager.queue().sync([] {});
        manager.filesQueue().sync([] {});
    }

    // Quits while FORD's one package, of large files of zeros (quick to pack, long to write out), is
    // being extracted: the vehicle is left downloaded, with its archive for a later press.
    void quitWhileExtracting(const QString &fileName, const QString &type, const QStringList &files, qint64 size,
                             const QString &version = QStringLiteral("V30.00"))
    {
        const QString source = work.filePath(QStringLiteral("src/zeros"));
        QDir().mkpath(source + QStringLiteral("/FORD"));
        for (const QString &name : files) {
            QFile zeros(source + QStringLiteral("/FORD/") + name);
            ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
            ASSERT_TRUE(zeros.resize(size));
        }
        const QString archive = work.filePath(QStringLiteral("zeros.") + type);
        ASSERT_TRUE(pack(source, archive, type, archivePassword()));
        const auto records = addDownloadedVehicle(QStringLiteral("FORD"), QStringLiteral("FORD"),
                                                  QStringLiteral("Vehicles/America/FORD"),
                                                  {Package::prebuiltAt(fileName, archive)}, version);

        installer->decompressVehicle(QStringLiteral("FORD"));
        ASSERT_TRUE(
            waitUntil([&] { return allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateExtracting); }, 20000));
        installer.reset();

        EXPECT_TRUE(manager.vehicles().isEmpty());
        EXPECT_TRUE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateWaitingInstall));
        EXPECT_EQ(shownState(QStringLiteral("FORD")), VelquorDownloadStateWaitingInstall);
        EXPECT_TRUE(QFileInfo::exists(records.first()->zipPath())) << "the download is kept for a later press";
        for (const auto &installed : database.getAllDataWithVehicleForInstall(QStringLiteral("FORD")))
            EXPECT_NE(installed->version(), version);
    }

    // FORD (two 7z archives around an append zip) is extracted onto card A while card B holds an
    // older FORD, recorded as installed. Once 7zz has finished the vehicle's `pullAfter`-th 7z archive,
    // A is pulled and the rescan chooses B, both before the installer goes on: the vehicle fails,
    // B keeps its FORD (folder and record) as it was, and nothing is written where A was. `afterwards`
    // goes on with both cards, A unmounted and B chosen.
    // With `atTheSamePath`, B is mounted where A was and the card stays chosen there, as when cards
    // are swapped in one reader: a FAT root has inode 1 and the device number comes back.
    void pullCardDuringVehicle(int pullAfter, const std::function<void(FatCard &a, FatCard &b)> &afterwards = {},
                               bool atTheSamePath = false)
    {
        FatCard a;
        VELQUOR_REQUIRE_FAT_CARD(a);
        FatCard b;
        ASSERT_TRUE(b.mounted());
        installOlder(b.mountPath(), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
                     QStringLiteral("V29.00"), 11);
        const QMap<QString, QByteArray> filesOnB = filesBelow(b.mountPath());
        const QStringList entriesOnB = entriesBelow(b.mountPath());

        useCard(a.mountPath());
        const auto records = addDownloadedVehicle(
            QStringLiteral("FORD"), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
            {{QStringLiteral("FORD_V30.00.zip"),
              {{QStringLiteral("FORD/VERSION.TXT"), "V30.00"},
               {QStringLiteral("FORD/DIAG/FORD.BIN"), randomBytes(256 * 1024, 12)}}},
             {QStringLiteral("FORD_V30.00_APPEND.zip"),
              {{QStringLiteral("FORD/DIAG/APPEND.BIN"), randomBytes(64 * 1024, 13)}},
              QStringLiteral("zip")},
             {QStringLiteral("FORD_V30.00_EN.zip"), {{QStringLiteral("FORD/english.cfg"), "LANGUAGE=English\r\n"}}}});
        ASSERT_EQ(records.size(), 3);

        // 7zz has ended when it announces its archive, and nothing holds a file open on A.
        std::atomic<int> finished{0};
        std::atomic<bool> pulled{false};
        struct Observer
        {
            ~Observer() { NotificationCenter::workspace().removeObserver(this); }
        } observer;
        NotificationCenter::workspace().addObserver(&observer, LzmaTool::decompressFinishedNotification(),
                                                    [&](const Notification &) {
                                                        if (++finished != pullAfter)
                                                            return;
                                                        const QString path = a.mountPath();
                                                        pulled = a.unmount();
                                                        if (atTheSamePath)
                                                            pulled = pulled && b.unmount() && b.remount(path);
                                                        tool.setSaveFilePath(b.mountPath());
                                                    });
        installer->decompressVehicle(QStringLiteral("FORD"));
        waitForExtractions();

        ASSERT_TRUE(pulled.load());
        EXPECT_TRUE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateInstallFailed));
        EXPECT_EQ(shownState(QStringLiteral("FORD")), VelquorDownloadStateInstallFailed);
        EXPECT_EQ(filesBelow(b.mountPath()), filesOnB);
        EXPECT_EQ(entriesBelow(b.mountPath()), entriesOnB);
        if (!atTheSamePath) {
            EXPECT_EQ(entriesBelow(a.mountPath()), QStringList());
        }
        const auto recorded = database.getAllDataWithVehicleForInstall(QStringLiteral("FORD"));
        ASSERT_EQ(recorded.size(), 1);
        EXPECT_EQ(recorded.first()->version(), QStringLiteral("V29.00"));
        if (afterwards)
            afterwards(a, b);
    }

    bool allRowsIn(const QString &vehicle, qint64 state)
    {
        const auto rows = database.getModelWithVehicle(vehicle);
        return !rows.isEmpty() &&
               std::all_of(rows.begin(), rows.end(), [&](const auto &row) { return row->state() == state; });
    }

    // The state the vehicle's row on the page shows.
    std::optional<qint64> shownState(const QString &vehicle) const
    {
        for (const VelquorVehicleFamilyGroup &group : manager.familyModels()) {
            for (const auto &family : group) {
                if (family->vehicle() == vehicle)
                    return family->model()->state();
            }
        }
        return std::nullopt;
    }

    QTemporaryDir work;
    VelquorCommonTool tool;
    VelquorDownloadDataBaseManager database{work.filePath(QStringLiteral("Velquor.db"))};
    VelquorDownloadManager manager{&database, &tool};
    RecordingPageServices page{manager};
    VelquorAppUpdateManager launcher;
    LzmaTool lzma;
    std::unique_ptr<VelquorExtractionInstaller> installer;
};

QMap<QString, QByteArray> prefixed(const QString &folder, const QMap<QString, QByteArray> &files)
{
    QMap<QString, QByteArray> result;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        result.insert(folder + QLatin1Char('/') + it.key(), it.value());
    return result;
}

} // namespace

TEST_F(ExtractionInstallerTest, ADownloadedVehicleIsInstalledOntoTheFatCardAndRecorded)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    const QMap<QString, QByteArray> data{{QStringLiteral("VERSION.TXT"), "V30.00"},
                                         {QStringLiteral("DIAG/FORD.BIN"), randomBytes(900 * 1024, 1)}};
    const QMap<QString, QByteArray> language{{QStringLiteral("english.cfg"), "LANGUAGE=English\r\n"}};
    const QMap<QString, QByteArray> append{{QStringLiteral("DIAG/APPEND.BIN"), randomBytes(200 * 1024, 2)}};
    const auto records = addDownloadedVehicle(
        QStringLiteral("FORD"), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
        {{QStringLiteral("FORD_V30.00.zip"), prefixed(QStringLiteral("FORD"), data)},
         {QStringLiteral("FORD_V30.00_EN.zip"), prefixed(QStringLiteral("FORD"), language)},
         {QStringLiteral("FORD_V30.00_APPEND.zip"), prefixed(QStringLiteral("FORD"), append), QStringLiteral("zip")}});
    ASSERT_EQ(records.size(), 3);
    // A record of an older installation gives way to the new one.
    auto older = records.first()->copy();
    older->setVersion(QStringLiteral("V29.00"));
    database.insertModelForInstall(older);

    installer->decompressVehicle(QStringLiteral("ford"));
    waitForExtractions();

    QMap<QString, QByteArray> expected = data;
    expected.insert(language);
    expected.insert(append);
    EXPECT_EQ(filesBelow(card.mountPath() + QStringLiteral("/Vehicles/America/FORD")), expected);
    EXPECT_TRUE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateInstalled));
    const auto installed = database.getAllDataWithVehicleForInstall(QStringLiteral("FORD"));
    ASSERT_EQ(installed.size(), 3);
    for (const auto &record : installed) {
        EXPECT_EQ(record->state(), VelquorDownloadStateInstalled);
        EXPECT_EQ(record->version(), QStringLiteral("V30.00"));
    }
    for (const auto &record : records)
        EXPECT_FALSE(QFileInfo::exists(record->zipPath())) << record->zipPath().toStdString();

    // The row followed the extraction, weighted by each archive's share, and ends installed.
    double last = 0;
    for (const auto &[vehicle, update] : page.rowUpdates) {
        EXPECT_GE(update.progress, last - 1e-9);
        EXPECT_LE(update.progress, 1.0);
        last = update.progress;
    }
    ASSERT_FALSE(page.rowUpdates.isEmpty());
    EXPECT_EQ(page.rowUpdates.last().second.state, VelquorDownloadStateInstalled);
    EXPECT_DOUBLE_EQ(page.rowUpdates.last().second.progress, 1.0);
    EXPECT_EQ(shownState(QStringLiteral("FORD")), VelquorDownloadStateInstalled);
    EXPECT_EQ(manager.decompressCount(), 0);
    EXPECT_EQ(page.updateListRequests.load(), 0);
    EXPECT_EQ(page.capacityAlerts.load(), 0);

    // What the table says is on the image itself once the card is pulled.
    ASSERT_TRUE(card.unmount());
    QString fsck;
    EXPECT_TRUE(card.fsckClean(&fsck)) << fsck.toStdString();
    ASSERT_TRUE(card.remount());
    EXPECT_EQ(filesBelow(card.mountPath() + QStringLiteral("/Vehicles/America/FORD")), expected);
}

TEST_F(ExtractionInstallerTest, AnInstallationTheDatabaseCannotRecordIsNotShownInstalledAndKeepsEverything)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    const QMap<QString, QByteArray> data{{QStringLiteral("VERSION.TXT"), "V30.00"},
                                         {QStringLiteral("DIAG/FORD.BIN"), randomBytes(256 * 1024, 21)}};
    const auto records =
        addDownloadedVehicle(QStringLiteral("FORD"), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
                             {{QStringLiteral("FORD_V30.00.zip"), prefixed(QStringLiteral("FORD"), data)}});
    ASSERT_EQ(records.size(), 1);

    // Once 7zz has written the package, another connection holds the write lock: from then on the
    // database takes no write, as when its disk has filled up meanwhile.
    SQLite::Database other(work.filePath(QStringLiteral("Velquor.db")).toStdString(), SQLite::OPEN_READWRITE);
    database.setBusyTimeout(50);
    std::atomic<bool> locked{false};
    struct Observer
    {
        ~Observer() { NotificationCenter::workspace().removeObserver(this); }
    } observer;
    NotificationCenter::workspace().addObserver(&observer, LzmaTool::decompressFinishedNotification(),
                                                [&](const Notification &) {
                                                    other.exec("BEGIN IMMEDIATE");
                                                    locked = true;
                                                });
    installer->decompressVehicle(QStringLiteral("FORD"));
    waitForExtractions();
    ASSERT_TRUE(locked.load());

    for (const auto &[vehicle, update] : page.rowUpdates)
        EXPECT_NE(update.state, VelquorDownloadStateInstalled) << "never shown installed";
    EXPECT_NE(shownState(QStringLiteral("FORD")), VelquorDownloadStateInstalled);
    EXPECT_EQ(page.notRecorded, QStringList{QStringLiteral("FORD")});
    EXPECT_TRUE(QFileInfo::exists(records.first()->zipPath())) << "kept for another press";
    EXPECT_EQ(filesBelow(card.mountPath() + QStringLiteral("/Vehicles/America/FORD")), data);
    other.exec("ROLLBACK");
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall(QStringLiteral("FORD")).isEmpty());
    EXPECT_FALSE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateInstalled));
}

TEST_F(ExtractionInstallerTest, FailedVehiclesLoseOnlyTheirOwnFoldersAndHoldNobodyBack)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    const QString root = card.mountPath();
    ASSERT_TRUE(writeFile(root + QStringLiteral("/Vehicles/Asia/HONDA/VERSION.TXT"), "V11.40"));
    ASSERT_TRUE(writeFile(root + QStringLiteral("/Vehicles/America/FORD/OLD.BIN"), "older package"));
    auto olderFord = VelquorDownloadModel::create();
    olderFord->setVehicle(QStringLiteral("FORD"));
    olderFord->setSoftware(QStringLiteral("FORD"));
    olderFord->setUrl(QStringLiteral("http://127.0.0.1:8080/files/FORD/FORD_V29.00.zip"));
    olderFord->setState(VelquorDownloadStateInstalled);
    database.insertModelForInstall(olderFord);

    const QMap<QString, QByteArray> entries{{QStringLiteral("VERSION.TXT"), "V30.00"},
                                            {QStringLiteral("DIAG/X.BIN"), randomBytes(64 * 1024, 9)}};
    Package damagedFord(QStringLiteral("FORD_V30.00.zip"), prefixed(QStringLiteral("FORD"), entries));
    damagedFord.damaged = true;
    addDownloadedVehicle(QStringLiteral("FORD"), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
                         {damagedFord});

    // A damaged append zip (tried again as 7z, in vain) beside a sound data package that extracts.
    const QString damaged = work.filePath(QStringLiteral("damaged.zip"));
    {
        const QString source = work.filePath(QStringLiteral("src/damaged"));
        ASSERT_TRUE(writeFile(source + QStringLiteral("/BMW/DIAG/APPEND.BIN"), randomBytes(128 * 1024, 4)));
        ASSERT_TRUE(pack(source, damaged, QStringLiteral("zip"), archivePassword()));
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.resize(file.size() * 2 / 3));
    }
    const Package broken = Package::prebuiltAt(QStringLiteral("BMW_V15.02_APPEND.zip"), damaged);
    addDownloadedVehicle(QStringLiteral("BMW"), QStringLiteral("BMW"), QStringLiteral("Vehicles/Europe/BMW"),
                         {{QStringLiteral("BMW_V15.02.zip"), prefixed(QStringLiteral("BMW"), entries)}, broken});

    const auto kia =
        addDownloadedVehicle(QStringLiteral("KIA"), QStringLiteral("KIA"), QStringLiteral("Vehicles/Asia/KIA"),
                             {{QStringLiteral("KIA_V2.00.zip"), prefixed(QStringLiteral("KIA"), entries)}});
    QFile::remove(kia.first()->zipPath()); // gone from the cache since it was downloaded

    const auto toyota =
        addDownloadedVehicle(QStringLiteral("TOYOTA"), QStringLiteral("TOYOTA"), QStringLiteral("Vehicles/Asia/TOYOTA"),
                             {{QStringLiteral("TOYOTA_V20.10.zip"), prefixed(QStringLiteral("TOYOTA"), entries)}});

    for (const char *vehicle : {"GHOST", "FORD", "BMW", "KIA", "TOYOTA"})
        installer->decompressVehicle(QString::fromLatin1(vehicle));
    waitForExtractions();

    for (const char *name : {"FORD", "BMW", "KIA"}) {
        const QString vehicle = QString::fromLatin1(name);
        SCOPED_TRACE(name);
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateInstallFailed));
        for (const auto &row : database.getModelWithVehicle(vehicle)) {
            EXPECT_EQ(row->progress(), 0.0);
            EXPECT_FALSE(QFileInfo::exists(row->zipPath()));
        }
        EXPECT_TRUE(database.getAllDataWithVehicleForInstall(vehicle).isEmpty());
        EXPECT_EQ(shownState(vehicle), VelquorDownloadStateInstallFailed);
        ASSERT_TRUE(page.lastRowUpdate(vehicle));
        EXPECT_EQ(page.lastRowUpdate(vehicle)->progress, 0.0);
    }
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/Vehicles/America/FORD")));
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/Vehicles/Europe/BMW")));
    EXPECT_EQ(filesBelow(root + QStringLiteral("/Vehicles/Asia/HONDA")),
              (QMap<QString, QByteArray>{{QStringLiteral("VERSION.TXT"), "V11.40"}}));

    // The vehicle queued behind them all was installed.
    EXPECT_TRUE(allRowsIn(QStringLiteral("TOYOTA"), VelquorDownloadStateInstalled));
    EXPECT_EQ(filesBelow(root + QStringLiteral("/Vehicles/Asia/TOYOTA")), entries);
    EXPECT_EQ(database.getAllDataWithVehicleForInstall(QStringLiteral("TOYOTA")).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(toyota.first()->zipPath()));
    EXPECT_EQ(manager.decompressCount(), 0);
}

TEST_F(ExtractionInstallerTest, ACardPulledBetweenArchivesFailsTheVehicleAndLeavesTheCardChosenSinceAlone)
{
    pullCardDuringVehicle(1);
}

TEST_F(ExtractionInstallerTest, ACardPulledBeforeTheFlushFailsTheVehicleAndLeavesTheCardChosenSinceAlone)
{
    pullCardDuringVehicle(2);
}

TEST_F(ExtractionInstallerTest, ACardSwappedInAtTheSamePathBetweenArchivesGetsNothingWrittenAndNothingRemoved)
{
    pullCardDuringVehicle(1, {}, true);
}

TEST_F(ExtractionInstallerTest, APulledCardsHalfWrittenFolderGoesOnlyFromThatCardWhenItIsChosenAgain)
{
    pullCardDuringVehicle(1, [&](FatCard &a, FatCard &b) {
        const QString ford = QStringLiteral("/Vehicles/America/FORD");
        const QMap<QString, QByteArray> filesOnB = filesBelow(b.mountPath());
        const QStringList entriesOnB = entriesBelow(b.mountPath());
        ASSERT_TRUE(filesOnB.contains(ford.mid(1) + QStringLiteral("/DIAG/OLD.BIN")));

        // B, chosen with the device: its whole FORD stays, with the record of what it holds.
        cleanUp();
        EXPECT_EQ(filesBelow(b.mountPath()), filesOnB);
        EXPECT_EQ(entriesBelow(b.mountPath()), entriesOnB);
        const auto recorded = database.getAllDataWithVehicleForInstall(QStringLiteral("FORD"));
        ASSERT_EQ(recorded.size(), 1);
        EXPECT_EQ(recorded.first()->version(), QStringLiteral("V29.00"));

        // A, back in another reader and chosen with the device: its half-written FORD goes.
        ASSERT_TRUE(a.remount(QFileInfo(a.mountPath()).absolutePath() + QStringLiteral("/READER2")));
        ASSERT_TRUE(QFileInfo::exists(a.mountPath() + ford + QStringLiteral("/DIAG/FORD.BIN")));
        useCard(a.mountPath());
        cleanUp();
        EXPECT_FALSE(QFileInfo::exists(a.mountPath() + ford));
        EXPECT_EQ(filesBelow(b.mountPath()), filesOnB);
    });
}

TEST_F(ExtractionInstallerTest, AFailedVehicleGoesFromItsOwnCardAtOnceAndACardSwappedInAtTheSamePathKeepsItsFolder)
{
    FatCard a;
    VELQUOR_REQUIRE_FAT_CARD(a);
    FatCard b;
    ASSERT_TRUE(b.mounted());
    // B holds a whole FORD where A's would be.
    const QString fordOnB = b.mountPath() + QStringLiteral("/Vehicles/America/FORD");
    ASSERT_TRUE(writeFile(fordOnB + QStringLiteral("/VERSION.TXT"), "V29.00"));
    ASSERT_TRUE(writeFile(fordOnB + QStringLiteral("/english.cfg"), "LANGUAGE=English\r\n"));
    ASSERT_TRUE(writeFile(fordOnB + QStringLiteral("/DIAG/FORD.BIN"), randomBytes(64 * 1024, 21)));
    const QMap<QString, QByteArray> filesOnB = filesBelow(b.mountPath());
    const QStringList entriesOnB = entriesBelow(b.mountPath());

    useCard(a.mountPath());
    Package damaged(QStringLiteral("FORD_V30.00.zip"),
                    {{QStringLiteral("FORD/VERSION.TXT"), "V30.00"},
                     {QStringLiteral("FORD/DIAG/FORD.BIN"), randomBytes(64 * 1024, 22)}});
    damaged.damaged = true;
    const auto records = addDownloadedVehicle(QStringLiteral("FORD"), QStringLiteral("FORD"),
                                              QStringLiteral("Vehicles/America/FORD"), {damaged});

    // The files queue is busy until the cards have been swapped.
    std::mutex gate;
    std::unique_lock hold(gate);
    manager.filesQueue().async([&gate] { std::lock_guard wait(gate); });
    installer->decompressVehicle(QStringLiteral("FORD"));
    ASSERT_TRUE(waitUntil([&] { return manager.vehicles().isEmpty(); }, 60000));
    manager.decompressSerialQueue()->sync([] {});
    manager.queue().sync([] {});
    EXPECT_TRUE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateInstallFailed));
    // Removed from A while A is there, not behind the files queue.
    EXPECT_FALSE(QFileInfo::exists(a.mountPath() + QStringLiteral("/Vehicles/America/FORD")));

    const QString path = a.mountPath();
    ASSERT_TRUE(a.unmount());
    ASSERT_TRUE(b.unmount());
    ASSERT_TRUE(b.remount(path));
    hold.unlock();
    manager.filesQueue().sync([] {});

    EXPECT_EQ(filesBelow(path), filesOnB);
    EXPECT_EQ(entriesBelow(path), entriesOnB);
    EXPECT_FALSE(QFileInfo::exists(records.first()->zipPath())) << "the vehicle's own files went";
}

TEST_F(ExtractionInstallerTest, ACardTooSmallAsksForSpaceAndKeepsTheVehiclesDownloaded)
{
    FatCard small(4);
    VELQUOR_REQUIRE_FAT_CARD(small);
    useCard(small.mountPath());
    const auto benz = addDownloadedVehicle(
        QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
        {{QStringLiteral("BENZ_V12.35.zip"), {{QStringLiteral("BENZ/DIAG/BENZ.BIN"), randomBytes(1024 * 1024, 5)}}}});
    const auto audi = addDownloadedVehicle(
        QStringLiteral("AUDI"), QStringLiteral("AUDI"), QStringLiteral("Vehicles/Europe/AUDI"),
        {{QStringLiteral("AUDI_V3.00.zip"), {{QStringLiteral("AUDI/DIAG/AUDI.BIN"), randomBytes(1024 * 1024, 6)}}}});
    ASSERT_LT(page.capacity.load(), 5 * benz.first()->totalFileSize());
    const QStringList before = entriesBelow(small.mountPath());

    installer->decompressVehicle(QStringLiteral("BENZ"));
    installer->decompressVehicle(QStringLiteral("AUDI"));

    // Each refusal asks the page for its sheet, which shows it once while it stands.
    EXPECT_EQ(page.capacityAlerts.load(), 2);
    EXPECT_TRUE(manager.vehicles().isEmpty());
    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateWaitingInstall));
    EXPECT_TRUE(allRowsIn(QStringLiteral("AUDI"), VelquorDownloadStateWaitingInstall));
    EXPECT_TRUE(QFileInfo::exists(benz.first()->zipPath()));
    EXPECT_EQ(entriesBelow(small.mountPath()), before);

    // On a card with room the same vehicle installs.
    FatCard big(64);
    ASSERT_TRUE(big.mounted());
    useCard(big.mountPath());
    installer->decompressVehicle(QStringLiteral("BENZ"));
    waitForExtractions();
    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateInstalled));
    EXPECT_EQ(QFileInfo(big.mountPath() + QStringLiteral("/Vehicles/Europe/BENZ/DIAG/BENZ.BIN")).size(), 1024 * 1024);
    EXPECT_EQ(page.capacityAlerts.load(), 2);
}

TEST_F(ExtractionInstallerTest, AHostileZipWritesNothingOutsideItsVehiclesFolder)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    ASSERT_TRUE(writeFile(card.mountPath() + QStringLiteral("/Vehicles/Europe/VW/VERSION.TXT"), "V8.20"));
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString hostile = work.filePath(QStringLiteral("hostile.zip"));
    ASSERT_TRUE(
        makeRawZip(hostile, {{QStringLiteral("BENZ/VERSION.TXT"), "V12.35"},
                             {QStringLiteral("../escape.txt"), "out"},
                             {QStringLiteral("../../../escape.txt"), "out"},
                             {outside.filePath(QStringLiteral("absolute.txt")), "out"},
                             {QStringLiteral("BENZ/link"), outside.path().toUtf8(), RawEntry::Kind::SymbolicLink},
                             {QStringLiteral("BENZ/link/through.txt"), "out"}}));
    const Package package = Package::prebuiltAt(QStringLiteral("BENZ_V12.35_APPEND.zip"), hostile);
    addDownloadedVehicle(QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
                         {package});
    const QStringList before = entriesBelow(card.mountPath());

    installer->decompressVehicle(QStringLiteral("BENZ"));
    waitForExtractions();

    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateInstallFailed));
    EXPECT_EQ(entriesBelow(card.mountPath()), before);
    EXPECT_EQ(entriesBelow(outside.path()), QStringList());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(card.mountPath()).absolutePath() + QStringLiteral("/escape.txt")));
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall(QStringLiteral("BENZ")).isEmpty());
}

TEST_F(ExtractionInstallerTest, AHostileBenzPackageTouchesNothingOfVwAndFailsBenz)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    const QString vw = card.mountPath() + QStringLiteral("/Vehicles/Europe/VW");
    ASSERT_TRUE(writeFile(vw + QStringLiteral("/VERSION.TXT"), "V8.20"));
    // Each as a BENZ data package (7z) and as its append package (zip), one vehicle each.
    QStringList vehicles;
    for (const QString &type : {QStringLiteral("7z"), QStringLiteral("zip")}) {
        const QString folder = work.filePath(QStringLiteral("hostile-") + type);
        QDir().mkpath(folder);
        const auto packages = makeHostileBenzPackages(folder, type);
        ASSERT_EQ(packages.size(), 6);
        for (const HostilePackage &package : packages) {
            const QString vehicle = QStringLiteral("BENZ%1").arg(vehicles.size());
            const QString suffix = type == QLatin1String("zip") ? QStringLiteral("_APPEND") : QString();
            addDownloadedVehicle(
                vehicle, QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
                {Package::prebuiltAt(vehicle + QStringLiteral("_V12.35%1.zip").arg(suffix), package.archive)});
            vehicles.append(vehicle);
        }
    }
    const QStringList before = entriesBelow(card.mountPath());

    for (const QString &vehicle : vehicles)
        installer->decompressVehicle(vehicle);
    waitForExtractions();

    for (const QString &vehicle : vehicles) {
        SCOPED_TRACE(vehicle.toStdString());
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateInstallFailed));
        EXPECT_TRUE(database.getAllDataWithVehicleForInstall(vehicle).isEmpty());
    }
    EXPECT_EQ(entriesBelow(card.mountPath()), before);
    EXPECT_EQ(filesBelow(vw), (QMap<QString, QByteArray>{{QStringLiteral("VERSION.TXT"), "V8.20"}}));
}

TEST_F(ExtractionInstallerTest, APackageThatFillsNoFolderOfItsOwnFailsAndIsNotRecorded)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    // Built under another maker's name: its files would go to Vehicles/Europe/MERCEDES.
    addDownloadedVehicle(QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
                         {{QStringLiteral("BENZ_V12.35.zip"),
                           {{QStringLiteral("MERCEDES/VERSION.TXT"), "V12.35"},
                            {QStringLiteral("MERCEDES/DIAG/BENZ.BIN"), randomBytes(64 * 1024, 21)}}}});
    // Nothing but its own empty folder.
    const QString empty = work.filePath(QStringLiteral("src/empty"));
    ASSERT_TRUE(QDir().mkpath(empty + QStringLiteral("/AUDI")));
    const QString emptyArchive = work.filePath(QStringLiteral("empty.7z"));
    ASSERT_TRUE(pack(empty, emptyArchive, QStringLiteral("7z"), archivePassword()));
    addDownloadedVehicle(QStringLiteral("AUDI"), QStringLiteral("AUDI"), QStringLiteral("Vehicles/Europe/AUDI"),
                         {Package::prebuiltAt(QStringLiteral("AUDI_V3.00.zip"), emptyArchive)});

    installer->decompressVehicle(QStringLiteral("BENZ"));
    installer->decompressVehicle(QStringLiteral("AUDI"));
    waitForExtractions();

    for (const char *name : {"BENZ", "AUDI"}) {
        SCOPED_TRACE(name);
        const QString vehicle = QString::fromLatin1(name);
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateInstallFailed));
        EXPECT_EQ(shownState(vehicle), VelquorDownloadStateInstallFailed);
        EXPECT_TRUE(database.getAllDataWithVehicleForInstall(vehicle).isEmpty());
    }
    EXPECT_EQ(entriesBelow(card.mountPath() + QStringLiteral("/Vehicles/Europe")), QStringList());
}

TEST_F(ExtractionInstallerTest, TheSystemAndTheApplicationsOwnPackagesFinishTheirWay)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    const QMap<QString, QByteArray> system{{QStringLiteral("Scan/VERSION.TXT"), "V3.20"},
                                           {QStringLiteral("Scan/SYSTEM.BIN"), randomBytes(192 * 1024, 8)}};
    // The system package is a 7z under a zip name: the zip attempt fails and 7z takes over.
    addDownloadedVehicle(QStringLiteral("OS-SOFTWARE"), QStringLiteral("OS-SOFTWARE"), QStringLiteral("Scan"),
                         {{QStringLiteral("OS-SOFTWARE_V3.20.zip"), system}});
    const QByteArray pkg = "Velquor installer package V1.00\n";
    addDownloadedVehicle(
        QStringLiteral("MAC_UPDATETOOLS"), QStringLiteral("MAC_UPDATETOOLS"), QString(),
        {{QStringLiteral("Velquor_V1.00.zip"), {{QStringLiteral("Velquor.pkg"), pkg}}, QStringLiteral("zip")}});

    installer->decompressVehicle(QStringLiteral("OS-SOFTWARE"));
    installer->decompressVehicle(QStringLiteral("MAC_UPDATETOOLS"));
    waitForExtractions();

    EXPECT_TRUE(allRowsIn(QStringLiteral("OS-SOFTWARE"), VelquorDownloadStateInstalled));
    EXPECT_EQ(filesBelow(card.mountPath() + QStringLiteral("/Scan")), below(system, QStringLiteral("Scan")));
    EXPECT_EQ(page.updateListRequests.load(), 1);

    EXPECT_TRUE(allRowsIn(QStringLiteral("MAC_UPDATETOOLS"), VelquorDownloadStateInstalled));
    EXPECT_EQ(database.getAllDataWithVehicleForInstall(QStringLiteral("MAC_UPDATETOOLS")).size(), 1);
    const QString package =
        tool.getSoftwareUpdatePathWithSoftware(QStringLiteral("MAC_UPDATETOOLS")) + QStringLiteral("/Velquor.pkg");
    QFile openedFile(opened());
    ASSERT_TRUE(openedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(openedFile.readAll(), package.toUtf8() + '\n');
    QFile packageFile(package);
    ASSERT_TRUE(packageFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(packageFile.readAll(), pkg);
    EXPECT_FALSE(QFileInfo::exists(card.mountPath() + QStringLiteral("/Velquor.pkg")));
}

TEST_F(ExtractionInstallerTest, AnExtractorThatCannotStartFailsTheVehicle)
{
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    useCard(card.path());
    lzma.setExecutable(work.filePath(QStringLiteral("no-such-7zz")));
    addDownloadedVehicle(QStringLiteral("FORD"), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
                         {{QStringLiteral("FORD_V30.00.zip"), {{QStringLiteral("FORD/VERSION.TXT"), "V30.00"}}}});

    installer->decompressVehicle(QStringLiteral("FORD"));
    waitForExtractions();

    EXPECT_TRUE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateInstallFailed));
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall(QStringLiteral("FORD")).isEmpty());
}

TEST_F(ExtractionInstallerTest, AVehiclesArchivesAreCheckedWhileTheQueueIsBusyAndListedOnlyOnce)
{
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    useCard(card.path());
    // Every run of 7zz leaves its command in a log.
    const QString log = work.filePath(QStringLiteral("7zz.log"));
    const QString logged = work.filePath(QStringLiteral("logged-7zz"));
    ASSERT_TRUE(
        writeFile(logged, QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\nexec 7zz \"$@\"\n").arg(log).toUtf8()));
    ASSERT_TRUE(QFile::setPermissions(logged, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    lzma.setExecutable(logged);
    const auto commands = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                              : QStringList();
    };
    const QMap<QString, QByteArray> data{{QStringLiteral("VERSION.TXT"), "V30.00"},
                                         {QStringLiteral("DIAG/FORD.BIN"), randomBytes(256 * 1024, 31)}};
    const QMap<QString, QByteArray> language{{QStringLiteral("english.cfg"), "LANGUAGE=English\r\n"}};
    addDownloadedVehicle(QStringLiteral("FORD"), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"),
                         {{QStringLiteral("FORD_V30.00.zip"), prefixed(QStringLiteral("FORD"), data)},
                          {QStringLiteral("FORD_V30.00_EN.zip"), prefixed(QStringLiteral("FORD"), language)}});

    // The extraction queue is busy with a vehicle before it: FORD's lists are read meanwhile.
    std::binary_semaphore busy{0};
    manager.decompressSerialQueue()->async([&busy] { busy.acquire(); });
    installer->decompressVehicle(QStringLiteral("FORD"));
    const bool checkedAhead = waitUntil([&] { return commands().size() == 2; }, 20000);
    busy.release();
    ASSERT_TRUE(checkedAhead) << commands().join(u' ').toStdString();
    EXPECT_EQ(commands(), (QStringList{QStringLiteral("l"), QStringLiteral("l")}));
    waitForExtractions();

    // At their turn the unchanged archives are extracted without being listed again.
    EXPECT_TRUE(allRowsIn(QStringLiteral("FORD"), VelquorDownloadStateInstalled));
    QMap<QString, QByteArray> expected = data;
    expected.insert(language);
    EXPECT_EQ(filesBelow(card.path() + QStringLiteral("/Vehicles/America/FORD")), expected);
    EXPECT_EQ(commands(),
              (QStringList{QStringLiteral("l"), QStringLiteral("l"), QStringLiteral("x"), QStringLiteral("x")}));
}

TEST_F(ExtractionInstallerTest, QuittingMidExtractionLeavesTheVehicleDownloaded)
{
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    useCard(card.path());
    quitWhileExtracting(QStringLiteral("FORD_V30.00.zip"), QStringLiteral("7z"), {QStringLiteral("ZEROS.BIN")},
                        qint64(1024) * 1024 * 1024);
}

TEST_F(ExtractionInstallerTest, QuittingMidZipStopsItAndLeavesTheVehicleDownloaded)
{
    QTemporaryDir card;
    ASSERT_TRUE(card.isValid());
    useCard(card.path());
    // An append package, always opened as zip, onto the version it applies to.
    installOlder(card.path(), QStringLiteral("FORD"), QStringLiteral("Vehicles/America/FORD"), QStringLiteral("V30.00"),
                 41);
    page.appendVersionTable.insert(QStringLiteral("VEHICLES/AMERICA/FORD"), QStringLiteral("V30.00"));
    quitWhileExtracting(QStringLiteral("FORD_V30.05_APPEND.zip"), QStringLiteral("zip"),
                        {QStringLiteral("ZEROS1.BIN"), QStringLiteral("ZEROS2.BIN")}, qint64(512) * 1024 * 1024,
                        QStringLiteral("V30.05"));
    // Stopped where it was, not written to its end.
    EXPECT_LT(QFileInfo(card.filePath(QStringLiteral("Vehicles/America/FORD/ZEROS2.BIN"))).size(),
              qint64(512) * 1024 * 1024);
}

TEST_F(ExtractionInstallerTest, AnUpdateCutShortByAQuitGoesWithItsOlderVersionAndIsNeverUnpackedOntoNothing)
{
    FatCard card(640);
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    // BENZ V29.00 is installed and recorded; its V29.05 comes as an append to it and a German file.
    const QString benz = card.mountPath() + QStringLiteral("/Vehicles/Europe/BENZ");
    installOlder(card.mountPath(), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
                 QStringLiteral("V29.00"), 31);
    page.appendVersionTable.insert(QStringLiteral("VEHICLES/EUROPE/BENZ"), QStringLiteral("V29.00"));

    // The append (always opened as zip): large files of zeros, quick to pack and long to write out.
    const qint64 size = qint64(128) * 1024 * 1024;
    const QString source = work.filePath(QStringLiteral("src/zeros"));
    QDir().mkpath(source + QStringLiteral("/BENZ/DIAG"));
    for (const QString &name : {QStringLiteral("ZEROS1.BIN"), QStringLiteral("ZEROS2.BIN")}) {
        QFile zeros(source + QStringLiteral("/BENZ/DIAG/") + name);
        ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
        ASSERT_TRUE(zeros.resize(size));
    }
    const QString archive = work.filePath(QStringLiteral("zeros.zip"));
    ASSERT_TRUE(pack(source, archive, QStringLiteral("zip"), archivePassword()));
    const auto records = addDownloadedVehicle(
        QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
        {Package::prebuiltAt(QStringLiteral("BENZ_V29.05_APPEND.zip"), archive),
         {QStringLiteral("BENZ_V29.05_DE.zip"), {{QStringLiteral("BENZ/german.cfg"), "LANGUAGE=German\r\n"}}}},
        QStringLiteral("V29.05"));
    ASSERT_EQ(records.size(), 2);

    // Quit while the append is written.
    installer->decompressVehicle(QStringLiteral("BENZ"));
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto rows = database.getModelWithVehicle(QStringLiteral("BENZ"));
            return !rows.isEmpty() && rows.first()->state() == VelquorDownloadStateExtracting;
        },
        20000));
    installer.reset();
    ASSERT_LT(QFileInfo(benz + QStringLiteral("/DIAG/ZEROS2.BIN")).size(), size) << "the quit came too late";

    // Started again, the device chosen: the half-written folder goes with the record of the older
    // version, and the vehicle stays downloaded.
    installer = std::make_unique<VelquorExtractionInstaller>(page, manager, database, tool, launcher, lzma);
    cleanUp();
    EXPECT_FALSE(QFileInfo::exists(benz));
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall(QStringLiteral("BENZ")).isEmpty());
    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateWaitingInstall));

    // A press: the append and the language have no version to go onto. Nothing is unpacked, nothing
    // is recorded, the archives stay, and the vehicle is planned again against the card.
    installer->decompressVehicle(QStringLiteral("BENZ"));
    waitForExtractions();
    EXPECT_FALSE(QFileInfo::exists(benz));
    EXPECT_TRUE(allRowsIn(QStringLiteral("BENZ"), VelquorDownloadStateWaitingInstall));
    EXPECT_EQ(shownState(QStringLiteral("BENZ")), VelquorDownloadStateWaitingInstall);
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall(QStringLiteral("BENZ")).isEmpty());
    for (const auto &record : records)
        EXPECT_TRUE(QFileInfo::exists(record->zipPath())) << record->zipPath().toStdString();
    EXPECT_EQ(page.replanned, QStringList{QStringLiteral("BENZ")});
}

TEST_F(ExtractionInstallerTest, ARefusedUpdateLeavesTheInstalledVersionWholeAndListed)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    installOlder(card.mountPath(), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
                 QStringLiteral("V29.00"), 51);
    installOlder(card.mountPath(), QStringLiteral("AUDI"), QStringLiteral("Vehicles/Europe/AUDI"),
                 QStringLiteral("V2.00"), 52);
    const QMap<QString, QByteArray> files = filesBelow(card.mountPath());
    const QStringList entries = entriesBelow(card.mountPath());

    // BENZ: a sound data package, then a language archive that reaches into AUDI's folder.
    addDownloadedVehicle(QStringLiteral("BENZ"), QStringLiteral("BENZ"), QStringLiteral("Vehicles/Europe/BENZ"),
                         {{QStringLiteral("BENZ_V30.00.zip"),
                           {{QStringLiteral("BENZ/VERSION.TXT"), "V30.00"},
                            {QStringLiteral("BENZ/DIAG/BENZ.BIN"), randomBytes(64 * 1024, 53)}}},
                          {QStringLiteral("BENZ_V30.00_EN.zip"), {{QStringLiteral("AUDI/english.cfg"), "taken"}}}});
    // AUDI: nothing but its own empty folder, where the older version's files would pass for the new.
    const QString empty = work.filePath(QStringLiteral("src/empty"));
    ASSERT_TRUE(QDir().mkpath(empty + QStringLiteral("/AUDI")));
    const QString emptyArchive = work.filePath(QStringLiteral("empty.7z"));
    ASSERT_TRUE(pack(empty, emptyArchive, QStringLiteral("7z"), archivePassword()));
    addDownloadedVehicle(QStringLiteral("AUDI"), QStringLiteral("AUDI"), QStringLiteral("Vehicles/Europe/AUDI"),
                         {Package::prebuiltAt(QStringLiteral("AUDI_V30.00.zip"), emptyArchive)});

    installer->decompressVehicle(QStringLiteral("BENZ"));
    installer->decompressVehicle(QStringLiteral("AUDI"));
    waitForExtractions();

    EXPECT_EQ(filesBelow(card.mountPath()), files);
    EXPECT_EQ(entriesBelow(card.mountPath()), entries);
    for (const auto &[name, version] : {std::pair{"BENZ", "V29.00"}, std::pair{"AUDI", "V2.00"}}) {
        SCOPED_TRACE(name);
        const QString vehicle = QString::fromLatin1(name);
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateInstallFailed));
        EXPECT_EQ(shownState(vehicle), VelquorDownloadStateInstallFailed);
        const auto recorded = database.getAllDataWithVehicleForInstall(vehicle);
        ASSERT_EQ(recorded.size(), 1);
        EXPECT_EQ(recorded.first()->version(), QString::fromLatin1(version));
    }
}

TEST_F(ExtractionInstallerTest, AHalfWrittenFolderTakesOnlyTheRecordsOfTheDeviceItWasWrittenFor)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    useCard(card.mountPath());
    const QString benz = card.mountPath() + QStringLiteral("/Vehicles/Europe/BENZ");
    ASSERT_TRUE(writeFile(benz + QStringLiteral("/DIAG/HALF.BIN"), "half"));
    // Written half for this device; then the card is chosen with another device of the account.
    ASSERT_TRUE(VelquorUnfinishedFolder::mark(benz, QStringLiteral("BENZ"), VelquorUnfinishedFolder::newToken(),
                                              database.uniqueIDString()));
    database.creatDBWithSerialNumber(QStringLiteral("VQ9A00999999"), QStringLiteral("tester"));
    installOlder(card.mountPath() + QStringLiteral("/elsewhere"), QStringLiteral("BENZ"),
                 QStringLiteral("Vehicles/Europe/BENZ"), QStringLiteral("V29.00"), 61);

    cleanUp();
    EXPECT_FALSE(QFileInfo::exists(benz));
    EXPECT_EQ(database.getAllDataWithVehicleForInstall(QStringLiteral("BENZ")).size(), 1);
}

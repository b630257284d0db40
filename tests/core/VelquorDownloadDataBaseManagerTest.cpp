#include "core/VelquorDownloadDataBaseManager.h"

#include "core/VelquorDatabaseConstants.h"
#include "platform/NotificationCenter.h"
#include "platform/StandardLocations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QVariantMap>

#include <SQLiteCpp/SQLiteCpp.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {
const QString kSerial = QStringLiteral("ab12cd");
const QString kAccount = QStringLiteral("Driver");

QString databasePath()
{
    return QDir(StandardLocations::documentsDirectory()).filePath(QStringLiteral("Velquor.db"));
}

VelquorDownloadModelPtr record(const QString &vehicle, const QString &url, qint64 state = 0, quint64 stamp = 0)
{
    auto model = VelquorDownloadModel::create();
    model->setSoftware(vehicle.toLower() + QStringLiteral("-sw"));
    model->setVehicle(vehicle);
    model->setUrl(url);
    model->setVersion(QStringLiteral("V1.00"));
    model->setState(state);
    model->setLastStateTime(stamp);
    return model;
}

QStringList urlsOf(const VelquorDownloadModelList &models)
{
    QStringList urls;
    for (const auto &model : models)
        urls << model->url();
    return urls;
}

// Every column of the row with this url, read over a separate connection.
QVariantMap rawRow(const QString &table, const QString &url)
{
    SQLite::Database db(databasePath().toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement query(db, QStringLiteral("SELECT * FROM %1 WHERE url = ?").arg(table).toStdString());
    query.bind(1, url.toStdString());
    QVariantMap row;
    if (!query.executeStep())
        return row;
    for (int i = 0; i < query.getColumnCount(); ++i) {
        const SQLite::Column column = query.getColumn(i);
        const QString name = QString::fromUtf8(column.getName());
        if (column.isNull())
            row.insert(name, QVariant());
        else if (column.isInteger())
            row.insert(name, static_cast<qlonglong>(column.getInt64()));
        else if (column.isFloat())
            row.insert(name, column.getDouble());
        else
            row.insert(name, QByteArray(static_cast<const char *>(column.getBlob()), column.getBytes()));
    }
    return row;
}

QSet<QString> changedColumns(const QVariantMap &before, const QVariantMap &after)
{
    QSet<QString> changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (after.value(it.key()) != it.value())
            changed.insert(it.key());
    }
    return changed;
}

class DownloadDatabaseTest : public ::testing::Test
{
protected:
    // Each case has its own tables, so the cases also pass when run in one process.
    void SetUp() override
    {
        manager.creatDBWithSerialNumber(
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()), kAccount);
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(this);
        NotificationCenter::workspace().removeObserver(this);
    }

    QString downloadTable() const { return QStringLiteral("t_downloadFiles_") + manager.uniqueIDString(); }

    VelquorDownloadDataBaseManager manager;
};

} // namespace

TEST(DownloadDatabaseSuffix, SerialCaseIgnoredAccountCaseKept)
{
    const QString suffix = VelquorDownloadDataBaseManager::uniqueIDStringFor(QStringLiteral("ab12cd"), kAccount);
    EXPECT_EQ(suffix, QString::fromLatin1(QCryptographicHash::hash("AB12CD_Driver", QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(suffix, VelquorDownloadDataBaseManager::uniqueIDStringFor(QStringLiteral("AB12CD"), kAccount));
    EXPECT_NE(suffix,
              VelquorDownloadDataBaseManager::uniqueIDStringFor(QStringLiteral("AB12CD"), QStringLiteral("driver")));
    EXPECT_EQ(VelquorDownloadDataBaseManager::uniqueIDStringFor(QString(200, QLatin1Char('x')), QString()).size(), 32);
}

TEST(DownloadDatabaseLifecycle, NothingHappensBeforeATableIsChosen)
{
    VelquorDownloadDataBaseManager manager;
    manager.insertModel(record(QStringLiteral("FORD"), QStringLiteral("u1"), 1));
    manager.updateWithModel(record(QStringLiteral("FORD"), QStringLiteral("u1"), 2), 63);
    manager.deleteAll();
    EXPECT_TRUE(manager.getAllCacheData().isEmpty());
    EXPECT_EQ(manager.getModelWithUrl(QStringLiteral("u1")), nullptr);
    EXPECT_TRUE(manager.getAllCacheDataForInstall().isEmpty());
}

TEST(DownloadDatabaseLifecycle, TablesHaveTheColumnsInOrderAndRowsSurviveReopening)
{
    {
        VelquorDownloadDataBaseManager manager;
        manager.creatDBWithSerialNumber(kSerial, kAccount);
        manager.insertModel(record(QStringLiteral("FORD"), QStringLiteral("u1"), 3));
        manager.insertModelForInstall(record(QStringLiteral("FORD"), QStringLiteral("u1"), 8));
    }
    const QStringList expected =
        QStringLiteral(
            "id software version language releaseVerion isUpdate filePath sdPath updateInfo price vehicle zipPath vid "
            "url "
            "resumeData progress state totalFileSize tmpFileSize speed lastSpeedTime intervalFileSize lastStateTime "
            "expectedContentLength ratio")
            .split(QLatin1Char(' '));
    SQLite::Database db(databasePath().toStdString(), SQLite::OPEN_READONLY);
    const QString suffix = VelquorDownloadDataBaseManager::uniqueIDStringFor(kSerial, kAccount);
    for (const QString &table :
         {QStringLiteral("t_downloadFiles_") + suffix, QStringLiteral("t_installFinishFiles_") + suffix}) {
        SQLite::Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(table).toStdString());
        QStringList columns;
        while (info.executeStep())
            columns << QString::fromUtf8(info.getColumn(1).getText());
        EXPECT_EQ(columns, expected) << table.toStdString();
        SQLite::Statement schema(db, "SELECT sql FROM sqlite_master WHERE name = ?");
        schema.bind(1, table.toStdString());
        ASSERT_TRUE(schema.executeStep());
        const QString created = QString::fromUtf8(schema.getColumn(0).getText());
        const QString statement = QString::fromLatin1(VelquorDatabase::CreateTable).arg(table);
        EXPECT_EQ(created.mid(created.indexOf(QLatin1Char('('))), statement.mid(statement.indexOf(QLatin1Char('('))));
    }
    SQLite::Statement mode(db, "PRAGMA journal_mode");
    ASSERT_TRUE(mode.executeStep());
    EXPECT_EQ(std::string(mode.getColumn(0).getText()), "wal");

    VelquorDownloadDataBaseManager reopened;
    reopened.creatDBWithSerialNumber(kSerial.toUpper(), kAccount);
    ASSERT_EQ(reopened.getAllCacheData().size(), 1);
    EXPECT_EQ(reopened.getAllCacheData().first()->state(), 3);
    EXPECT_EQ(reopened.getAllCacheDataForInstall().size(), 1);

    // Another account on the same device sees its own, empty tables.
    reopened.creatDBWithSerialNumber(kSerial, kAccount.toLower());
    EXPECT_TRUE(reopened.getAllCacheData().isEmpty());
}

TEST(DownloadDatabaseLifecycle, AFileThatCannotBeReadIsToldOncePerTableChoiceAndNothingTakesItsPlace)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    QStringList told;
    struct Observer
    {
        ~Observer() { NotificationCenter::workspace().removeObserver(this); }
    } observer;
    NotificationCenter::workspace().addObserver(&observer,
                                                QString::fromLatin1(VelquorDatabase::UnavailableNotification),
                                                [&](const Notification &notification) {
                                                    const auto *path = std::any_cast<QString>(&notification.object);
                                                    told << (path ? *path : QStringLiteral("?"));
                                                });

    // Garbage bytes where the file should be.
    const QString garbled = work.filePath(QStringLiteral("garbled/Velquor.db"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(garbled).absolutePath()));
    QByteArray garbage;
    for (int i = 0; i < 8192; ++i)
        garbage.append(char((i * 131 + 7) % 251));
    {
        QFile file(garbled);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(garbage), garbage.size());
    }
    VelquorDownloadDataBaseManager manager(garbled);
    manager.creatDBWithSerialNumber(kSerial, kAccount);
    // Every page reading and every press writing after it adds nothing.
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(manager.getAllCacheData().isEmpty());
        EXPECT_TRUE(manager.getModelWithVehicle(QStringLiteral("FORD")).isEmpty());
        EXPECT_TRUE(manager.getAllCacheDataForInstall().isEmpty());
        EXPECT_FALSE(manager.insertModel(record(QStringLiteral("FORD"), QStringLiteral("u1"), 1)));
    }
    EXPECT_EQ(told, QStringList{garbled});
    manager.creatDBWithSerialNumber(kSerial, kAccount);
    EXPECT_EQ(told, (QStringList{garbled, garbled})) << "each choice tries the file again";
    QFile file(garbled);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbage) << "no empty database is made in its place";
    EXPECT_EQ(QDir(QFileInfo(garbled).absolutePath()).entryList(QDir::Files),
              QStringList{QStringLiteral("Velquor.db")});

    // A file gone since it was opened: its records are not silently replaced by an empty file.
    told.clear();
    const QString gone = work.filePath(QStringLiteral("gone/Velquor.db"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(gone).absolutePath()));
    VelquorDownloadDataBaseManager reopened(gone);
    reopened.creatDBWithSerialNumber(kSerial, kAccount);
    EXPECT_TRUE(reopened.insertModelForInstall(record(QStringLiteral("FORD"), QStringLiteral("u1"), 8)));
    EXPECT_TRUE(told.isEmpty());
    for (const QString &name : QDir(QFileInfo(gone).absolutePath()).entryList(QDir::Files))
        ASSERT_TRUE(QFile::remove(QFileInfo(gone).absolutePath() + QLatin1Char('/') + name));
    reopened.creatDBWithSerialNumber(kSerial, kAccount);
    EXPECT_TRUE(reopened.getAllCacheDataForInstall().isEmpty());
    EXPECT_EQ(told, QStringList{gone});
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(DownloadDatabaseTest, InsertKeepsOneRowPerSoftwareVehicleAndUrl)
{
    manager.insertModel(record(QStringLiteral("Ford"), QStringLiteral("http://h/a.zip"), 2));
    auto again = record(QStringLiteral("FORD"), QStringLiteral("http://h/a.zip"), 5);
    again->setSoftware(again->software().toUpper());
    manager.insertModel(again);
    manager.insertModel(record(QStringLiteral("ford"), QStringLiteral("http://h/b.zip"), 2));

    const auto rows = manager.getModelWithVehicle(QStringLiteral("fOrD"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0)->software(), QStringLiteral("FORD-SW"));
    EXPECT_EQ(rows.at(0)->vehicle(), QStringLiteral("FORD"));
    EXPECT_EQ(rows.at(0)->state(), 2) << "the first row stays unchanged";
    EXPECT_EQ(manager.getModelWithName(QStringLiteral("ford-sw")).size(), 2);
}

TEST_F(DownloadDatabaseTest, ValuesComeBackAsStored)
{
    auto model = record(QStringLiteral("BMW"), QStringLiteral("http://h/bmw.zip"), 2);
    model->setVersion(QString()); // absent: stored as NULL
    model->setProgress(0.1);
    model->setRatio(0.25f);
    model->setPrice(9.99);
    model->setIsUpdate(true);
    model->setResumeData(QByteArray("\x00\x01resume", 8));
    model->setTotalFileSize(16 * 1024 * 1024 + 12345);
    manager.insertModel(model);

    const auto row = manager.getModelWithUrl(QStringLiteral("http://h/bmw.zip"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->version(), QStringLiteral("<null>"));
    EXPECT_EQ(row->progress(), 0.10000000149011612);
    EXPECT_EQ(row->ratio(), 0.25f);
    EXPECT_EQ(row->price(), 9.99);
    EXPECT_TRUE(row->isUpdate());
    EXPECT_EQ(row->resumeData(), QByteArray("\x00\x01resume", 8));
    EXPECT_EQ(rawRow(downloadTable(), QStringLiteral("http://h/bmw.zip")).value(QStringLiteral("progress")).toDouble(),
              0.10000000149011612);

    model->setTotalFileSize(16 * 1024 * 1024 + 54321);
    manager.updateWithModel(model, VelquorDownloadUpdateProgress);
    EXPECT_EQ(manager.getModelWithUrl(QStringLiteral("http://h/bmw.zip"))->totalFileSize(), 16u * 1024 * 1024 + 54321);

    model->setResumeData(QByteArray());
    manager.updateWithModel(model, VelquorDownloadUpdateResumeData);
    EXPECT_TRUE(manager.getModelWithUrl(QStringLiteral("http://h/bmw.zip"))->resumeData().isNull());
}

TEST_F(DownloadDatabaseTest, EachMaskWritesExactlyItsColumns)
{
    const QString url = QStringLiteral("http://h/vw.zip");
    const QSet<QString> keys = {QStringLiteral("id"), QStringLiteral("vehicle"), QStringLiteral("url")};
    QSet<QString> everything;
    const QVariantMap initial = [&] {
        manager.insertModel(record(QStringLiteral("VW"), url, 2, 1));
        return rawRow(downloadTable(), url);
    }();
    for (auto it = initial.cbegin(); it != initial.cend(); ++it)
        if (!keys.contains(it.key()))
            everything.insert(it.key());

    auto changedModel = [&] {
        auto model = record(QStringLiteral("vw"), url, 3, 77);
        model->setSoftware(QStringLiteral("other"));
        model->setVersion(QStringLiteral("V2.00"));
        model->setLanguage(QStringLiteral("English"));
        model->setReleaseVerion(QStringLiteral("R2"));
        model->setIsUpdate(true);
        model->setFilePath(QStringLiteral("p/vw.zip"));
        model->setSdPath(QStringLiteral("Scan/VW"));
        model->setUpdateInfo(QStringLiteral("notes"));
        model->setPrice(1.5);
        model->setZipPath(QStringLiteral("/tmp/vw.zip"));
        model->setVid(QStringLiteral("VW"));
        model->setResumeData(QByteArray("r"));
        model->setProgress(0.5);
        model->setTotalFileSize(100);
        model->setTmpFileSize(50);
        model->setSpeed(10);
        model->setLastSpeedTime(123.0);
        model->setIntervalFileSize(5);
        model->setExpectedContentLength(100);
        model->setRatio(1.0f);
        return model;
    };

    const struct
    {
        unsigned mask;
        QSet<QString> columns;
    } cases[] = {
        {1, {QStringLiteral("state")}},
        {2, {QStringLiteral("lastStateTime")}},
        {4, {QStringLiteral("resumeData")}},
        {8,
         {QStringLiteral("tmpFileSize"), QStringLiteral("totalFileSize"), QStringLiteral("progress"),
          QStringLiteral("lastSpeedTime"), QStringLiteral("intervalFileSize"), QStringLiteral("speed")}},
        {16, everything - QSet<QString>{QStringLiteral("zipPath")}},
        {32, everything},
        {5, {QStringLiteral("state"), QStringLiteral("resumeData")}},
    };
    for (const auto &testCase : cases) {
        manager.deleteAll();
        manager.insertModel(record(QStringLiteral("VW"), url, 2, 1));
        const QVariantMap before = rawRow(downloadTable(), url);
        const qint64 start = VelquorDownloadDataBaseManager::currentTimeMicroseconds();
        auto model = changedModel();
        manager.updateWithModel(model, testCase.mask);
        const QVariantMap after = rawRow(downloadTable(), url);
        EXPECT_EQ(changedColumns(before, after), testCase.columns) << "mask " << testCase.mask;
        if (testCase.columns.contains(QStringLiteral("lastStateTime"))) {
            EXPECT_GE(after.value(QStringLiteral("lastStateTime")).toLongLong(), start);
            EXPECT_EQ(model->lastStateTime(), 77u) << "the record's own stamp is not changed";
        }
    }
}

TEST_F(DownloadDatabaseTest, ReadersSelectTheirStatesInOrder)
{
    // url "s<state>", stamped so that higher states are later, except the unstamped ones.
    for (qint64 state = 0; state <= 9; ++state)
        manager.insertModel(record(QStringLiteral("V") + QString::number(state), QStringLiteral("s%1").arg(state),
                                   state, 1000 + state));
    manager.insertModel(record(QStringLiteral("W1"), QStringLiteral("d-late"), 1, 5000));
    manager.insertModel(record(QStringLiteral("W2"), QStringLiteral("d-zero"), 1, 0));
    manager.insertModel(record(QStringLiteral("W3"), QStringLiteral("w-zero"), 2, 0));
    manager.insertModel(record(QStringLiteral("W4"), QStringLiteral("w-late"), 2, 9000));

    QStringList undownloaded = urlsOf(manager.getAllUnDownloadedData());
    undownloaded.sort();
    EXPECT_EQ(undownloaded, QStringList({"d-late", "d-zero", "s1", "s2", "s3", "s5", "w-late", "w-zero"}));
    EXPECT_EQ(urlsOf(manager.getAllDownloadingData()), QStringList({"d-late", "s1", "d-zero"}));
    EXPECT_EQ(urlsOf(manager.getAllDownloadedData()), QStringList({"s4"}));
    EXPECT_EQ(urlsOf(manager.getAllWaitingData()), QStringList({"s2", "w-zero", "w-late"}));
    EXPECT_EQ(manager.getAllCacheData().size(), 14);

    ASSERT_NE(manager.getWaitingModel(), nullptr);
    EXPECT_EQ(manager.getWaitingModel()->url(), QStringLiteral("s2"));
    ASSERT_NE(manager.getLastDownloadingModel(), nullptr);
    EXPECT_EQ(manager.getLastDownloadingModel()->url(), QStringLiteral("d-late"));
    EXPECT_NE(manager.getModelWithUrl(QStringLiteral("s7"), 7), nullptr);
    EXPECT_EQ(manager.getModelWithUrl(QStringLiteral("s7"), 8), nullptr);

    EXPECT_TRUE(manager.getDateWithOption(5).isEmpty());
    EXPECT_EQ(manager.getModelWithOption(4, QStringLiteral("s2")), nullptr);
    EXPECT_TRUE(manager.getDateWithOption(7, QStringLiteral("V1")).isEmpty());
    EXPECT_EQ(manager.getModelWithOption(6, QStringLiteral("s2"), 2), nullptr);
}

TEST_F(DownloadDatabaseTest, WaitingAndDownloadingSingleReadersSkipUnstampedRows)
{
    manager.insertModel(record(QStringLiteral("A"), QStringLiteral("a"), 2, 0));
    manager.insertModel(record(QStringLiteral("B"), QStringLiteral("b"), 1, 0));
    EXPECT_EQ(manager.getWaitingModel(), nullptr);
    EXPECT_EQ(manager.getLastDownloadingModel(), nullptr);
}

TEST_F(DownloadDatabaseTest, DeletesAndInstallTable)
{
    manager.insertModel(record(QStringLiteral("FORD"), QStringLiteral("f1"), 4));
    manager.insertModel(record(QStringLiteral("FORD"), QStringLiteral("f2"), 2));
    manager.insertModel(record(QStringLiteral("BMW"), QStringLiteral("b1"), 2));
    manager.insertModel(record(QStringLiteral("AUDI"), QStringLiteral("a1"), 2));

    manager.deleteModelWithName(QStringLiteral("ford"), 4);
    EXPECT_EQ(urlsOf(manager.getModelWithVehicle(QStringLiteral("FORD"))), QStringList({"f2"}));
    manager.deleteModelWithUrl(QStringLiteral("f2"));
    EXPECT_TRUE(manager.getModelWithVehicle(QStringLiteral("FORD")).isEmpty());
    manager.deleteModelWithSoftware(QStringLiteral("bmw-sw"));
    EXPECT_TRUE(manager.getModelWithVehicle(QStringLiteral("BMW")).isEmpty());
    manager.deleteModelWithVehicle(QStringLiteral("audi"));
    EXPECT_TRUE(manager.getAllCacheData().isEmpty());

    manager.insertModel(record(QStringLiteral("AUDI"), QStringLiteral("a1"), 2));
    manager.deleteAll();
    EXPECT_TRUE(manager.getAllCacheData().isEmpty());

    manager.insertModelForInstall(record(QStringLiteral("Ford"), QStringLiteral("f1"), 8));
    manager.insertModelForInstall(record(QStringLiteral("FORD"), QStringLiteral("f1"), 8));
    manager.insertModelForInstall(record(QStringLiteral("BMW"), QStringLiteral("b1"), 8));
    EXPECT_EQ(manager.getAllCacheDataForInstall().size(), 2);
    EXPECT_EQ(manager.getAllDataWithVehicleForInstall(QStringLiteral("ford")).size(), 1);
    EXPECT_EQ(manager.getAllDataWithSoftwareForInstall(QStringLiteral("Bmw-Sw")).size(), 1);
    EXPECT_TRUE(manager.getAllCacheData().isEmpty()) << "install rows stay in their own table";
    manager.deleteModelWithVehicleForInstall(QStringLiteral("ford"));
    manager.deleteModelWithSoftwareForInstall(QStringLiteral("bmw-sw"));
    EXPECT_TRUE(manager.getAllCacheDataForInstall().isEmpty());
}

TEST_F(DownloadDatabaseTest, StateChangeNotificationFollowsTheStoredState)
{
    int posted = 0;
    VelquorDownloadModelPtr postedModel;
    NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(VelquorDatabase::StateChangeNotification), [&](const Notification &note) {
            ++posted;
            postedModel = std::any_cast<VelquorDownloadModelPtr>(note.object);
        });
    NotificationCenter::workspace().addObserver(this, QString::fromLatin1(VelquorDatabase::StateChangeNotification),
                                                [&](const Notification &) { ADD_FAILURE() << "posted on workspace"; });

    auto update = [&](const QString &url, qint64 stored, qint64 next, unsigned mask) {
        manager.deleteModelWithUrl(url);
        manager.insertModel(record(QStringLiteral("kia"), url, stored));
        posted = 0;
        manager.updateWithModel(record(QStringLiteral("kia"), url, next), mask);
        EXPECT_EQ(manager.getModelWithUrl(url)->state(), (mask & (1 | 16 | 32)) ? next : stored);
        return posted;
    };
    EXPECT_EQ(update(QStringLiteral("k"), 1, 3, 1), 1);
    ASSERT_NE(postedModel, nullptr);
    EXPECT_EQ(postedModel->state(), 3);
    EXPECT_EQ(update(QStringLiteral("k"), 3, 3, 1), 0);
    for (qint64 next : {7, 5, 0})
        EXPECT_EQ(update(QStringLiteral("k"), 4, next, 1), 0) << "a stored 4 never notifies, to " << next;
    EXPECT_EQ(update(QStringLiteral("k"), 2, 1, 16), 1);
    EXPECT_EQ(update(QStringLiteral("k"), 2, 1, 32), 1);
    EXPECT_EQ(update(QStringLiteral("k"), 2, 1, 8), 0) << "the progress group checks nothing";
    EXPECT_EQ(update(QStringLiteral("k"), 2, 1, 1 | 16), 1) << "bit 4 finds the state bit 0 just stored";

    // An observer may read the database from inside the notification.
    NotificationCenter::defaultCenter().removeObserver(this);
    int seenRows = -1;
    NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(VelquorDatabase::StateChangeNotification),
        [&](const Notification &) { seenRows = manager.getAllCacheData().size(); });
    manager.updateWithModel(record(QStringLiteral("kia"), QStringLiteral("k"), 5), 1);
    EXPECT_EQ(seenRows, 1);
    NotificationCenter::defaultCenter().removeObserver(this);
    NotificationCenter::workspace().removeObserver(this);
}

TEST_F(DownloadDatabaseTest, ConcurrentWritersLoseNothing)
{
    constexpr int kThreads = 8;
    constexpr int kRows = 40;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kRows; ++i) {
                auto model = record(QStringLiteral("T%1").arg(t), QStringLiteral("u%1-%2").arg(t).arg(i), 2);
                manager.insertModel(model);
                model->setState(1);
                model->setTmpFileSize(static_cast<quint64>(i));
                manager.updateWithModel(model, VelquorDownloadUpdateState | VelquorDownloadUpdateStateTime |
                                                   VelquorDownloadUpdateProgress);
                manager.getAllDownloadingData();
            }
        });
    }
    // A second connection on the same file while the writers run.
    threads.emplace_back([] {
        VelquorDownloadDataBaseManager other;
        other.creatDBWithSerialNumber(QStringLiteral("OTHER"), kAccount);
        for (int i = 0; i < kRows; ++i)
            other.insertModel(record(QStringLiteral("O"), QStringLiteral("o%1").arg(i), 2));
    });
    for (auto &thread : threads)
        thread.join();

    EXPECT_EQ(manager.getAllDownloadingData().size(), kThreads * kRows);
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(manager.getModelWithVehicle(QStringLiteral("t%1").arg(t)).size(), kRows);
    VelquorDownloadDataBaseManager other;
    other.creatDBWithSerialNumber(QStringLiteral("OTHER"), kAccount);
    EXPECT_EQ(other.getAllWaitingData().size(), kRows);
}

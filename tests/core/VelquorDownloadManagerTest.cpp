#include "core/VelquorDownloadManager.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDatabaseConstants.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorPartJoiner.h"
#include "core/VelquorResumeData.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/StandardLocations.h"
#include "platform/UserDefaults.h"

#include "standin/StandinServer.h"
#include "support/RefusedWrites.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <mutex>

namespace {

struct Posted
{
    QString name;
    QString vehicle;
    QString url;
    qint64 state = 0;
    bool notRecorded = false;
};

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

QByteArray sha256(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

class DownloadManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(serverFiles.isValid());
        server.setFileRoot(serverFiles.path());
        ASSERT_TRUE(server.start());
        database().creatDBWithSerialNumber(QStringLiteral("SN-0001"), QStringLiteral("tester"));
        UserDefaults::standard().remove(QString::fromLatin1(VelquorDownload::MaxConcurrentCountKey));
        NotificationCenter &center = NotificationCenter::workspace();
        for (const char *name : {VelquorDownload::ProgressNotification, VelquorDownload::RequestCompleteNotification,
                                 VelquorDownload::RequestErrorNotification}) {
            center.addObserver(this, QString::fromLatin1(name), [this](const Notification &notification) {
                const auto *row = std::any_cast<VelquorDownloadModelPtr>(&notification.object);
                std::lock_guard lock(mutex);
                posted.append(
                    {notification.name, row && *row ? (*row)->vehicle() : QString(),
                     row && *row ? (*row)->url() : QString(), row && *row ? (*row)->state() : -1,
                     notification.userInfo.value(QString::fromLatin1(VelquorDownload::NotRecordedKey)).toBool()});
            });
        }
    }

    void TearDown() override
    {
        NotificationCenter::workspace().removeObserver(this);
        manager.reset();
        server.stop();
    }

    // The case's own tables and card choice: nothing of an earlier case's vehicles is left in them.
    VelquorDownloadDataBaseManager &database() { return m_database; }
    VelquorCommonTool &tool() { return m_tool; }

    void makeManager()
    {
        manager = std::make_unique<VelquorDownloadManager>(&m_database, &m_tool);
        manager->setStartDelays(10, 10);
        manager->setRetryBaseDelay(50);
    }

    // Serves the files and stores one waiting row per file for the vehicle.
    VelquorDownloadModelList addVehicle(const QString &vehicle, const QList<QPair<QString, QByteArray>> &files)
    {
        quint64 total = 0;
        for (const auto &file : files)
            total += file.second.size();
        for (const auto &[relative, content] : files) {
            const QString path = serverFiles.filePath(relative);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile out(path);
            EXPECT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(content);
            auto row = VelquorDownloadModel::create();
            row->setSoftware(vehicle);
            row->setVid(vehicle);
            row->setVehicle(vehicle);
            row->setVersion(QStringLiteral("V1.00"));
            row->setFilePath(relative);
            row->setSdPath(QStringLiteral("Scan/") + vehicle);
            row->setUrl(server.baseUrl() + relative);
            row->setZipPath(tool().get7ZResourcePath(row->url()));
            row->setState(VelquorDownloadStateWaiting);
            row->setExpectedContentLength(content.size());
            row->setTotalFileSize(total);
            row->setRatio(float(double(content.size()) / double(total)));
            database().insertModel(row);
        }
        return database().getModelWithVehicle(vehicle);
    }

    QList<Posted> postedNamed(const char *name) const
    {
        std::lock_guard lock(mutex);
        QList<Posted> result;
        for (const auto &entry : posted) {
            if (entry.name == QLatin1String(name))
                result.append(entry);
        }
        return result;
    }

    int completed(const QString &vehicle) const
    {
        int count = 0;
        for (const auto &entry : postedNamed(VelquorDownload::RequestCompleteNotification))
            count += entry.vehicle == vehicle ? 1 : 0;
        return count;
    }

    bool allRowsIn(const QString &vehicle, qint64 state)
    {
        const auto rows = database().getModelWithVehicle(vehicle);
        return !rows.isEmpty() &&
               std::all_of(rows.begin(), rows.end(), [&](const auto &row) { return row->state() == state; });
    }

    QList<standin::LoggedRequest> getsTo(const QString &relative) const
    {
        QList<standin::LoggedRequest> gets;
        for (const auto &request : server.requestsTo(u'/' + relative)) {
            if (request.method == QLatin1String("GET"))
                gets.append(request);
        }
        return gets;
    }

    QTemporaryDir serverFiles;
    standin::StandinServer server;
    VelquorDownloadDataBaseManager m_database;
    VelquorCommonTool m_tool;
    std::unique_ptr<VelquorDownloadManager> manager;
    mutable std::mutex mutex;
    QList<Posted> posted;
};

TEST_F(DownloadManagerTest, AtMostThreeVehiclesRunAndTheOthersStartInWaitingOrder)
{
    const QStringList vehicles{"ALFA", "BMW", "CITROEN", "DACIA", "FORD"};
    QHash<QString, QByteArray> contents;
    for (int i = 0; i < vehicles.size(); ++i) {
        const QString relative = QStringLiteral("files/%1_V1.00.zip").arg(vehicles[i]);
        contents.insert(vehicles[i], randomBytes(600 * 1024, 10 + i));
        addVehicle(vehicles[i], {{relative, contents[vehicles[i]]}});
        standin::Fault slow;
        slow.kind = standin::Fault::Kind::Throttle;
        slow.bytesPerSecond = 1024 * 1024;
        server.setFault(u'/' + relative, slow);
    }
    makeManager();
    EXPECT_EQ(manager->maxConcurrentCount(), 3);
    for (const QString &vehicle : vehicles)
        manager->startDownloadTask(database().getModelWithVehicle(vehicle).first());

    int mostRunning = 0;
    int mostTransferring = 0;
    QStringList slotOrder; // vehicles in the order they got a slot
    ASSERT_TRUE(waitUntil(
        [&] {
            const QStringList running = manager->dataTaskVehicles();
            mostRunning = std::max(mostRunning, int(running.size()));
            mostTransferring = std::max(mostTransferring, int(database().getAllDownloadingData().size()));
            for (const QString &vehicle : running) {
                if (!slotOrder.contains(vehicle))
                    slotOrder.append(vehicle);
            }
            for (const QString &vehicle : vehicles) {
                if (completed(vehicle) != 1)
                    return false;
            }
            return true;
        },
        30000));
    EXPECT_LE(mostRunning, 3);
    EXPECT_LE(mostTransferring, 3);
    EXPECT_EQ(mostRunning, 3);
    // The first three start at once; the fourth and fifth follow in the order they were queued.
    ASSERT_EQ(slotOrder.size(), 5);
    EXPECT_EQ(QSet<QString>(slotOrder.begin(), slotOrder.begin() + 3), QSet<QString>({"ALFA", "BMW", "CITROEN"}));
    EXPECT_EQ(slotOrder.mid(3), QStringList({"DACIA", "FORD"}));

    for (const QString &vehicle : vehicles) {
        EXPECT_TRUE(allRowsIn(vehicle, VelquorDownloadStateDownloaded)) << vehicle.toStdString();
        const auto row = database().getModelWithVehicle(vehicle).first();
        EXPECT_EQ(sha256(row->zipPath()), QCryptographicHash::hash(contents[vehicle], QCryptographicHash::Sha256));
        EXPECT_EQ(row->tmpFileSize(), quint64(contents[vehicle].size()));
        EXPECT_DOUBLE_EQ(row->progress(), 1.0);
        EXPECT_FALSE(QFileInfo::exists(VelquorDownloadManager::partialPathForArchive(row->zipPath())));
        // Every request asked for the bytes as they are.
        for (const auto &get : getsTo(row->filePath()))
            EXPECT_EQ(get.headers.value(QStringLiteral("accept-encoding")), QStringLiteral("identity"));
    }
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    EXPECT_TRUE(postedNamed(VelquorDownload::RequestErrorNotification).isEmpty());
}

// Pauses the vehicle's one transfer after some bytes arrived and checks what the pause leaves.
VelquorDownloadModelPtr pauseMidway(VelquorDownloadManager &manager, VelquorDownloadDataBaseManager &database,
                                    const QString &vehicle)
{
    const VelquorDownloadModelPtr first = database.getModelWithVehicle(vehicle).first();
    manager.startDownloadTask(first);
    EXPECT_TRUE(waitUntil(
        [&] {
            const auto row = database.getModelWithUrl(first->url());
            return row && row->tmpFileSize() > 100 * 1024;
        },
        15000));
    manager.pauseDownloadTask(first);
    // Read at once: the rows show the pause when the call returns; the transfer stops on the queue.
    EXPECT_EQ(database.getModelWithUrl(first->url())->state(), VelquorDownloadStatePaused);
    EXPECT_FALSE(manager.dataTaskVehicles().contains(vehicle));
    manager.queue().sync([] {});
    const auto paused = database.getModelWithUrl(first->url());
    EXPECT_EQ(paused->state(), VelquorDownloadStatePaused);
    EXPECT_FALSE(paused->resumeData().isEmpty());
    const auto resume = VelquorResumeData::decode(paused->resumeData());
    EXPECT_TRUE(resume.has_value());
    const QString partial = VelquorDownloadManager::partialPathForArchive(paused->zipPath());
    EXPECT_FALSE(QFileInfo::exists(paused->zipPath()));
    EXPECT_TRUE(QFileInfo::exists(partial));
    if (resume) {
        EXPECT_EQ(resume->url, paused->url());
        EXPECT_EQ(resume->offset, QFileInfo(partial).size());
        EXPECT_GT(resume->offset, 0);
        EXPECT_FALSE(resume->validator().isEmpty());
    }
    EXPECT_EQ(paused->tmpFileSize(), quint64(QFileInfo(partial).size()));
    EXPECT_FALSE(manager.dataTaskVehicles().contains(vehicle));
    return paused;
}

TEST_F(DownloadManagerTest, PauseKeepsTheReceivedBytesAndResumeAsksForTheRest)
{
    const QByteArray content = randomBytes(3 * 1024 * 1024, 7);
    const QString relative = QStringLiteral("files/OPEL_V2.00.zip");
    addVehicle(QStringLiteral("OPEL"), {{relative, content}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 512 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();

    const VelquorDownloadModelPtr paused = pauseMidway(*manager, database(), QStringLiteral("OPEL"));
    const qint64 offset = VelquorResumeData::decode(paused->resumeData())->offset;
    EXPECT_EQ(completed(QStringLiteral("OPEL")), 0);

    server.clearFaults();
    manager->startDownloadTask(paused);
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("OPEL")) == 1; }, 15000));
    const auto gets = getsTo(relative);
    ASSERT_GE(gets.size(), 2);
    EXPECT_EQ(gets.last().headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(offset));
    EXPECT_FALSE(gets.last().headers.value(QStringLiteral("if-range")).isEmpty());
    EXPECT_EQ(gets.last().status, 206);
    EXPECT_EQ(sha256(paused->zipPath()), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
    EXPECT_TRUE(allRowsIn(QStringLiteral("OPEL"), VelquorDownloadStateDownloaded));
}

TEST_F(DownloadManagerTest, APauseWithinTheStartsSettlingTimeWinsAndHoldsNoSlot)
{
    addVehicle(QStringLiteral("MINI"), {{QStringLiteral("files/MINI_V1.00.zip"), randomBytes(64 * 1024, 61)}});
    addVehicle(QStringLiteral("SMART"), {{QStringLiteral("files/SMART_V1.00.zip"), randomBytes(64 * 1024, 62)}});
    makeManager();
    manager->setStartDelays(200, 10);

    const VelquorDownloadModelPtr mini = database().getModelWithVehicle(QStringLiteral("MINI")).first();
    manager->startDownloadTask(mini);
    manager->pauseDownloadTask(mini);
    EXPECT_TRUE(allRowsIn(QStringLiteral("MINI"), VelquorDownloadStatePaused));

    // Started after MINI's settling time began, so it ends after MINI's start was due.
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("SMART")).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("SMART")) == 1; }, 15000));
    manager->queue().sync([] {});
    EXPECT_TRUE(allRowsIn(QStringLiteral("MINI"), VelquorDownloadStatePaused));
    EXPECT_TRUE(getsTo(QStringLiteral("files/MINI_V1.00.zip")).isEmpty());
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("MINI")));

    // A start after the pause runs as usual.
    manager->startDownloadTask(mini);
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("MINI")) == 1; }, 15000));
}

TEST_F(DownloadManagerTest, APauseShowsAtOnceWhileTheQueuesAreBusyAndTheTransferStopsAfterwards)
{
    const QString relative = QStringLiteral("files/LADA_V1.00.zip");
    addVehicle(QStringLiteral("LADA"), {{relative, randomBytes(2 * 1024 * 1024, 141)}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();
    const auto row = database().getModelWithVehicle(QStringLiteral("LADA")).first();
    manager->startDownloadTask(row);
    ASSERT_TRUE(waitUntil([&] { return database().getModelWithUrl(row->url())->tmpFileSize() > 0; }, 10000));

    // The files queue removes a folder from a slow card for a second, and the download queue waits for
    // it (as a start waits for its vehicle's earlier deletion).
    std::atomic<bool> busy{false};
    manager->filesQueue().async([&busy] {
        busy = true;
        QThread::msleep(1000);
    });
    manager->queue().async([this] { manager->filesQueue().sync([] {}); });
    ASSERT_TRUE(waitUntil([&] { return busy.load(); }, 5000));
    QThread::msleep(50);

    QElapsedTimer clock;
    clock.start();
    manager->pauseDownloadTask(row);
    EXPECT_LT(clock.elapsed(), 50);
    EXPECT_TRUE(allRowsIn(QStringLiteral("LADA"), VelquorDownloadStatePaused));
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("LADA")));

    // Once the queue is free the transfer stops, keeping its bytes for a resume.
    ASSERT_TRUE(waitUntil([&] { return server.abortedTransfers() >= 1; }, 10000));
    manager->queue().sync([] {});
    const auto paused = database().getModelWithUrl(row->url());
    EXPECT_EQ(paused->state(), VelquorDownloadStatePaused);
    const auto resume = VelquorResumeData::decode(paused->resumeData());
    ASSERT_TRUE(resume.has_value());
    EXPECT_EQ(resume->offset, QFileInfo(VelquorDownloadManager::partialPathForArchive(row->zipPath())).size());
    EXPECT_EQ(paused->tmpFileSize(), quint64(resume->offset));
}

TEST_F(DownloadManagerTest, AFileOfAnotherSizeThanTheProbeMeasuredFailsItsVehicle)
{
    // The server answers 200 with a short body where the probe measured the whole archive.
    addVehicle(QStringLiteral("JEEP"), {{QStringLiteral("files/JEEP_V1.00.zip"), randomBytes(32, 71)}});
    const VelquorDownloadModelPtr row = database().getModelWithVehicle(QStringLiteral("JEEP")).first();
    row->setExpectedContentLength(5 * 1024 * 1024);
    database().updateWithModel(row, VelquorDownloadUpdateAll);
    makeManager();
    manager->setRetryBaseDelay(1); // a wrong answer is retried before the vehicle fails

    manager->startDownloadTask(row);
    ASSERT_TRUE(waitUntil([&] { return !postedNamed(VelquorDownload::RequestErrorNotification).isEmpty(); }, 15000));
    manager->queue().sync([] {});
    EXPECT_EQ(postedNamed(VelquorDownload::RequestErrorNotification).first().state, VelquorDownloadStateFailed);
    EXPECT_TRUE(allRowsIn(QStringLiteral("JEEP"), VelquorDownloadStateFailed));
    EXPECT_EQ(completed(QStringLiteral("JEEP")), 0);
    EXPECT_FALSE(QFileInfo::exists(row->zipPath()));
    EXPECT_FALSE(QFileInfo::exists(VelquorDownloadManager::partialPathForArchive(row->zipPath())));
    EXPECT_TRUE(database().getModelWithVehicle(QStringLiteral("JEEP")).first()->resumeData().isEmpty());
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
}

TEST_F(DownloadManagerTest, ALaterRunResumesFromTheStoredResumeData)
{
    const QByteArray content = randomBytes(2 * 1024 * 1024, 9);
    const QString relative = QStringLiteral("files/SEAT_V3.10.zip");
    addVehicle(QStringLiteral("SEAT"), {{relative, content}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 512 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();
    const VelquorDownloadModelPtr paused = pauseMidway(*manager, database(), QStringLiteral("SEAT"));
    const qint64 offset = VelquorResumeData::decode(paused->resumeData())->offset;

    // The application quits and starts again.
    manager.reset();
    server.clearFaults();
    makeManager();
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("SEAT")).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("SEAT")) == 1; }, 15000));
    EXPECT_EQ(getsTo(relative).last().headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(offset));
    EXPECT_EQ(sha256(paused->zipPath()), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
}

// The ETag the stand-in gives a file, from a HEAD request.
QByteArray etagOf(const QString &url)
{
    QNetworkAccessManager network;
    QNetworkReply *reply = network.head(QNetworkRequest(QUrl(url)));
    waitUntil([&] { return reply->isFinished(); }, 5000);
    const QByteArray etag = reply->rawHeader("ETag");
    delete reply;
    return etag;
}

TEST_F(DownloadManagerTest, StoredBytesAreCheckedAgainstTheServedFileBeforeTheyAreKept)
{
    const QByteArray served = randomBytes(300 * 1024, 51);
    addVehicle(QStringLiteral("AUDI"), {{QStringLiteral("files/AUDI_V1.00.zip"), served}});
    addVehicle(QStringLiteral("SAAB"), {{QStringLiteral("files/SAAB_V1.00.zip"), served}});
    // AUDI: every byte is already in the partial file (416: nothing left to send).
    // SAAB: the bytes came from an older edition of the file (200: the file starts again).
    const struct
    {
        QString vehicle;
        QByteArray partial;
        QByteArray validator;
        int status;
    } cases[] = {
        {QStringLiteral("AUDI"), served, etagOf(server.baseUrl() + QStringLiteral("files/AUDI_V1.00.zip")), 416},
        {QStringLiteral("SAAB"), randomBytes(100 * 1024, 52), QByteArray("\"an-older-edition\""), 200}};
    for (const auto &c : cases) {
        ASSERT_FALSE(c.validator.isEmpty());
        const auto row = database().getModelWithVehicle(c.vehicle).first();
        VelquorResumeData resume;
        resume.url = row->url();
        resume.partialPath = VelquorDownloadManager::partialPathForArchive(row->zipPath());
        resume.offset = c.partial.size();
        resume.etag = QString::fromLatin1(c.validator);
        QFile partial(resume.partialPath);
        ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
        partial.write(c.partial);
        partial.close();
        row->setResumeData(resume.encode());
        row->setState(VelquorDownloadStatePaused);
        database().updateWithModel(row, VelquorDownloadUpdateState | VelquorDownloadUpdateResumeData);
    }
    makeManager();
    for (const auto &c : cases)
        manager->startDownloadTask(database().getModelWithVehicle(c.vehicle).first());
    ASSERT_TRUE(waitUntil(
        [&] { return completed(QStringLiteral("AUDI")) == 1 && completed(QStringLiteral("SAAB")) == 1; }, 10000));
    for (const auto &c : cases) {
        const auto row = database().getModelWithVehicle(c.vehicle).first();
        const auto gets = getsTo(row->filePath());
        ASSERT_EQ(gets.size(), 1);
        EXPECT_EQ(gets[0].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(c.partial.size()));
        EXPECT_EQ(gets[0].status, c.status);
        EXPECT_EQ(sha256(row->zipPath()), QCryptographicHash::hash(served, QCryptographicHash::Sha256));
        EXPECT_FALSE(QFileInfo::exists(VelquorDownloadManager::partialPathForArchive(row->zipPath())));
    }
}

TEST_F(DownloadManagerTest, ALostNetworkPausesTheWholeVehicle)
{
    const QString relative = QStringLiteral("files/ROVER_V1.00.zip");
    addVehicle(QStringLiteral("ROVER"), {{relative, randomBytes(2 * 1024 * 1024, 61)}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + relative, slow);
    // A second archive of the vehicle on a host that no name service knows.
    auto unreachable = database().getModelWithVehicle(QStringLiteral("ROVER")).first()->copy();
    unreachable->setUrl(QStringLiteral("http://velquor-test.invalid/files/ROVER_EN_V1.00.zip"));
    unreachable->setZipPath(tool().get7ZResourcePath(unreachable->url()));
    database().insertModel(unreachable);
    makeManager();
    manager->setStartDelays(10, 10);
    manager->startDownloadTask(unreachable);

    ASSERT_TRUE(waitUntil([&] { return !postedNamed(VelquorDownload::RequestErrorNotification).isEmpty(); }, 30000));
    const auto errors = postedNamed(VelquorDownload::RequestErrorNotification);
    EXPECT_EQ(errors[0].state, VelquorDownloadStatePaused);
    EXPECT_TRUE(waitUntil([&] { return allRowsIn(QStringLiteral("ROVER"), VelquorDownloadStatePaused); }, 5000));
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("ROVER")));
    for (const auto &row : database().getModelWithVehicle(QStringLiteral("ROVER")))
        EXPECT_TRUE(VelquorResumeData::decode(row->resumeData()).has_value()) << row->url().toStdString();
}

TEST_F(DownloadManagerTest, AServiceStoppedMidDownloadPausesTheVehicleAndAPressAfterItsRestartResumes)
{
    const QByteArray content = randomBytes(3 * 1024 * 1024, 161);
    const QString relative = QStringLiteral("files/LANCIA_V1.00.zip");
    addVehicle(QStringLiteral("LANCIA"), {{relative, content}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 512 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();
    const auto row = database().getModelWithVehicle(QStringLiteral("LANCIA")).first();
    manager->startDownloadTask(row);
    ASSERT_TRUE(waitUntil([&] { return database().getModelWithUrl(row->url())->tmpFileSize() > 100 * 1024; }, 15000));

    // The service restarts: the answer breaks off and connections are refused for a while.
    const quint16 port = server.port();
    server.stop();
    ASSERT_TRUE(waitUntil([&] { return !postedNamed(VelquorDownload::RequestErrorNotification).isEmpty(); }, 15000));
    manager->queue().sync([] {});
    EXPECT_EQ(postedNamed(VelquorDownload::RequestErrorNotification).first().state, VelquorDownloadStatePaused);
    EXPECT_TRUE(allRowsIn(QStringLiteral("LANCIA"), VelquorDownloadStatePaused));
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("LANCIA")));
    const auto paused = database().getModelWithUrl(row->url());
    ASSERT_TRUE(VelquorResumeData::decode(paused->resumeData()).has_value());
    const qint64 offset = QFileInfo(VelquorDownloadManager::partialPathForArchive(row->zipPath())).size();
    EXPECT_GT(offset, 0);

    ASSERT_TRUE(server.start(port));
    server.clearFaults();
    manager->startDownloadTask(paused);
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("LANCIA")) == 1; }, 15000));
    const auto last = getsTo(relative).last();
    EXPECT_EQ(last.headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(offset));
    EXPECT_EQ(last.status, 206);
    EXPECT_EQ(sha256(row->zipPath()), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
}

TEST_F(DownloadManagerTest, ADroppedOrStalledTransferIsRetriedWithRangeAndCompletes)
{
    const QByteArray dropped = randomBytes(1024 * 1024, 21);
    const QByteArray stalled = randomBytes(256 * 1024, 22);
    addVehicle(QStringLiteral("KIA"), {{QStringLiteral("files/KIA_V1.00.zip"), dropped}});
    addVehicle(QStringLiteral("MAZDA"), {{QStringLiteral("files/MAZDA_V1.00.zip"), stalled}});
    standin::Fault drop;
    drop.kind = standin::Fault::Kind::DropAfter;
    drop.bytes = 300 * 1024;
    drop.times = 2;
    server.setFault(QStringLiteral("/files/KIA_V1.00.zip"), drop);
    standin::Fault stall;
    stall.kind = standin::Fault::Kind::Stall;
    stall.stallMs = 3000;
    stall.times = 1;
    server.setFault(QStringLiteral("/files/MAZDA_V1.00.zip"), stall);
    makeManager();
    manager->setRequestTimeout(400);
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("KIA")).first());
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("MAZDA")).first());

    ASSERT_TRUE(waitUntil(
        [&] { return completed(QStringLiteral("KIA")) == 1 && completed(QStringLiteral("MAZDA")) == 1; }, 20000));
    EXPECT_TRUE(postedNamed(VelquorDownload::RequestErrorNotification).isEmpty());
    const auto kiaGets = getsTo(QStringLiteral("files/KIA_V1.00.zip"));
    // Each retry asks for what is still missing: the bytes already received are kept.
    ASSERT_GE(kiaGets.size(), 3);
    EXPECT_TRUE(kiaGets[0].headers.value(QStringLiteral("range")).isEmpty());
    qint64 lastStart = 0;
    for (qsizetype i = 1; i < kiaGets.size(); ++i) {
        const QString range = kiaGets[i].headers.value(QStringLiteral("range"));
        const qint64 start = range.mid(6, range.size() - 7).toLongLong();
        EXPECT_TRUE(range.isEmpty() || (range.startsWith(QLatin1String("bytes=")) && start % (300 * 1024) == 0))
            << range.toStdString();
        EXPECT_GE(start, lastStart);
        lastStart = start;
    }
    EXPECT_GE(lastStart, 300 * 1024);
    EXPECT_GE(getsTo(QStringLiteral("files/MAZDA_V1.00.zip")).size(), 2);
    for (const auto &[vehicle, content] :
         {std::pair{QStringLiteral("KIA"), dropped}, std::pair{QStringLiteral("MAZDA"), stalled}}) {
        const auto row = database().getModelWithVehicle(vehicle).first();
        EXPECT_EQ(row->state(), VelquorDownloadStateDownloaded);
        EXPECT_EQ(sha256(row->zipPath()), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
    }
}

TEST_F(DownloadManagerTest, AnAnswerThatAlwaysStopsShortFailsItsVehicleOnceRetriesGetNoFurther)
{
    const QString relative = QStringLiteral("files/SEAT_V1.00.zip");
    addVehicle(QStringLiteral("SEAT"), {{relative, randomBytes(256 * 1024, 161)}});
    // No validator to resume with, and every answer ends at the same byte: each attempt starts over
    // from 0 and receives bytes, but none gets further than the first.
    server.setFileValidators(false);
    standin::Fault cut;
    cut.kind = standin::Fault::Kind::DropAfter;
    cut.bytes = 100 * 1024;
    server.setFault(u'/' + relative, cut);
    makeManager();
    manager->setRetryBaseDelay(1);
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("SEAT")).first());

    ASSERT_TRUE(waitUntil([&] { return allRowsIn(QStringLiteral("SEAT"), VelquorDownloadStateFailed); }, 20000));
    const auto errors = postedNamed(VelquorDownload::RequestErrorNotification);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].vehicle, QStringLiteral("SEAT"));
    EXPECT_EQ(errors[0].state, VelquorDownloadStateFailed);
    const auto gets = getsTo(relative);
    // Nine attempts that get no further end it. An attempt whose last bytes were still on their way
    // when the cut was seen gets less far than a later one, which then counts as progress: a busy
    // machine needs a few more. Hundreds, as before, is the fault.
    EXPECT_GE(gets.size(), 3);
    EXPECT_LE(gets.size(), 40);
    for (const auto &get : gets)
        EXPECT_TRUE(get.headers.value(QStringLiteral("range")).isEmpty());
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    EXPECT_EQ(completed(QStringLiteral("SEAT")), 0);
}

// A partial file of the row's archive, as an earlier run left it, with the resume data naming it.
void leavePartial(VelquorDownloadDataBaseManager &database, const VelquorDownloadModelPtr &row, const QByteArray &bytes,
                  const QByteArray &validator)
{
    VelquorResumeData resume;
    resume.url = row->url();
    resume.partialPath = VelquorDownloadManager::partialPathForArchive(row->zipPath());
    resume.offset = bytes.size();
    resume.etag = QString::fromLatin1(validator);
    QFile partial(resume.partialPath);
    ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
    partial.write(bytes);
    partial.close();
    row->setResumeData(resume.encode());
    database.updateWithModel(row, VelquorDownloadUpdateResumeData);
}

TEST_F(DownloadManagerTest, AnAnswerOfAnotherSizeThanMeasuredIsNeverWrittenPastTheFileAndEndsWithTheRetries)
{
    // The probe measured each file; then every answer claims another size and sends more than the file.
    const QByteArray served = randomBytes(300 * 1000, 171);
    const QStringList vehicles{"FIAT", "ALPINE", "CUPRA"};
    for (const QString &vehicle : vehicles)
        addVehicle(vehicle, {{QStringLiteral("files/%1_V1.00.zip").arg(vehicle), served}});
    standin::Fault claim;
    claim.kind = standin::Fault::Kind::Overlong;
    claim.bytes = 64 * 1024;
    // FIAT starts afresh and is told of a petabyte (200 with that length, then 206s with that total).
    claim.announcedSize = 1000000000000000;
    server.setFault(QStringLiteral("/files/FIAT_V1.00.zip"), claim);
    // ALPINE resumes the bytes of an earlier run: a 206 with a petabyte's total.
    const auto alpine = database().getModelWithVehicle(QStringLiteral("ALPINE")).first();
    leavePartial(database(), alpine, served.left(100 * 1000), etagOf(alpine->url()));
    server.setFault(QStringLiteral("/files/ALPINE_V1.00.zip"), claim);
    // CUPRA gets a complete answer without any length that runs past the file.
    claim.announcedSize = 0;
    server.setFault(QStringLiteral("/files/CUPRA_V1.00.zip"), claim);
    makeManager();
    manager->setRetryBaseDelay(1);
    for (const QString &vehicle : vehicles)
        manager->startDownloadTask(database().getModelWithVehicle(vehicle).first());

    QHash<QString, qint64> longest; // the longest each partial file was seen
    const auto failed = [&](const QString &vehicle) {
        for (const auto &error : postedNamed(VelquorDownload::RequestErrorNotification)) {
            if (error.vehicle == vehicle && error.state == VelquorDownloadStateFailed)
                return true;
        }
        return false;
    };
    const bool ended = waitUntil(
        [&] {
            for (const QString &vehicle : vehicles) {
                const auto row = database().getModelWithVehicle(vehicle).first();
                const qint64 size = QFileInfo(VelquorDownloadManager::partialPathForArchive(row->zipPath())).size();
                longest[vehicle] = std::max(longest.value(vehicle), size);
            }
            return std::all_of(vehicles.begin(), vehicles.end(), failed);
        },
        20000);
    for (const QString &vehicle : vehicles) {
        SCOPED_TRACE(vehicle.toStdString());
        const auto row = database().getModelWithVehicle(vehicle).first();
        EXPECT_TRUE(failed(vehicle));
        EXPECT_LE(longest.value(vehicle), served.size()) << "never longer than the file";
        EXPECT_LE(QFileInfo(VelquorDownloadManager::partialPathForArchive(row->zipPath())).size(), served.size());
        EXPECT_FALSE(QFileInfo::exists(row->zipPath()));
        // Retried as any answer that did not bring the file, up to the limit of attempts that get no
        // further: nine. A connection lost before its request was logged, or a request Qt sent once
        // more, moves the count a little on a busy machine. Thousands, as before, is the fault.
        const auto gets = getsTo(row->filePath());
        EXPECT_GE(gets.size(), 2);
        EXPECT_LE(gets.size(), 20);
        EXPECT_EQ(completed(vehicle), 0);
    }
    ASSERT_TRUE(ended);
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
}

TEST_F(DownloadManagerTest, AnAnswerThatStartsTheFileOverStartsTheFurthestPointOverToo)
{
    // The bytes of an earlier run came from an older edition: the first answer starts the file over
    // (200 to the range), and every answer is cut after 100 KiB. Each attempt gets further than the
    // last, though none as far as the stale bytes went.
    const QString relative = QStringLiteral("files/DODGE_V1.00.zip");
    const QByteArray content = randomBytes(12 * 100 * 1024, 181);
    addVehicle(QStringLiteral("DODGE"), {{relative, content}});
    const auto row = database().getModelWithVehicle(QStringLiteral("DODGE")).first();
    leavePartial(database(), row, randomBytes(1024 * 1024, 182), "\"an-older-edition\"");
    standin::Fault cut;
    cut.kind = standin::Fault::Kind::DropAfter;
    cut.bytes = 100 * 1024;
    server.setFault(u'/' + relative, cut);
    makeManager();
    manager->setRetryBaseDelay(1);
    manager->startDownloadTask(row);

    ASSERT_TRUE(waitUntil(
        [&] {
            return completed(QStringLiteral("DODGE")) == 1 ||
                   !postedNamed(VelquorDownload::RequestErrorNotification).isEmpty();
        },
        20000));
    EXPECT_TRUE(postedNamed(VelquorDownload::RequestErrorNotification).isEmpty());
    EXPECT_EQ(completed(QStringLiteral("DODGE")), 1);
    EXPECT_EQ(sha256(row->zipPath()), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
    const auto gets = getsTo(relative);
    ASSERT_GE(gets.size(), 12);
    EXPECT_EQ(gets[0].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(1024 * 1024));
    EXPECT_EQ(gets[0].status, 200);
    EXPECT_EQ(gets.last().status, 206);
}

TEST_F(DownloadManagerTest, AFailedTransferFailsItsVehicleAndTheNextWaitingOneStarts)
{
    UserDefaults::standard().setInteger(QString::fromLatin1(VelquorDownload::MaxConcurrentCountKey), 0);
    addVehicle(QStringLiteral("LADA"), {{QStringLiteral("files/LADA_V1.00.zip"), randomBytes(64 * 1024, 31)},
                                        {QStringLiteral("files/LADA_EN_V1.00.zip"), randomBytes(64 * 1024, 32)}});
    addVehicle(QStringLiteral("SKODA"), {{QStringLiteral("files/SKODA_V1.00.zip"), randomBytes(64 * 1024, 33)}});
    // The second vehicle's archive path is taken by a directory: the finished file cannot be moved there.
    addVehicle(QStringLiteral("VOLVO"), {{QStringLiteral("files/VOLVO_V1.00.zip"), randomBytes(64 * 1024, 34)}});
    QDir().mkpath(database().getModelWithVehicle(QStringLiteral("VOLVO")).first()->zipPath() + QStringLiteral("/x"));
    standin::Fault missing;
    missing.kind = standin::Fault::Kind::Status;
    missing.status = 404;
    server.setFault(QStringLiteral("/files/LADA_EN_V1.00.zip"), missing);
    makeManager();
    EXPECT_EQ(manager->maxConcurrentCount(), 1); // below 1 counts as 1

    for (const QString &vehicle : {QStringLiteral("LADA"), QStringLiteral("VOLVO"), QStringLiteral("SKODA")})
        manager->startDownloadTask(database().getModelWithVehicle(vehicle).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("SKODA")) == 1; }, 15000));

    const auto errors = postedNamed(VelquorDownload::RequestErrorNotification);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0].vehicle, QStringLiteral("LADA"));
    EXPECT_EQ(errors[0].state, VelquorDownloadStateFailed);
    EXPECT_EQ(errors[1].vehicle, QStringLiteral("VOLVO"));
    // The vehicle's unfinished rows fail with it; a file that did arrive keeps its state.
    for (const auto &row : database().getModelWithVehicle(QStringLiteral("LADA"))) {
        if (row->url().contains(QLatin1String("LADA_EN"))) {
            EXPECT_EQ(row->state(), VelquorDownloadStateFailed);
        }
        EXPECT_NE(row->state(), VelquorDownloadStateDownloading);
    }
    const auto failedRow = database().getModelWithUrl(server.baseUrl() + QStringLiteral("files/LADA_EN_V1.00.zip"));
    // The error page was written nowhere: neither as the archive nor as received bytes.
    EXPECT_FALSE(QFileInfo::exists(failedRow->zipPath()));
    EXPECT_LE(QFileInfo(VelquorDownloadManager::partialPathForArchive(failedRow->zipPath())).size(), 0);
    EXPECT_TRUE(allRowsIn(QStringLiteral("VOLVO"), VelquorDownloadStateFailed));
    EXPECT_EQ(completed(QStringLiteral("LADA")) + completed(QStringLiteral("VOLVO")), 0);
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
}

TEST_F(DownloadManagerTest, SplitPartsAreJoinedInTheOrderOfTheirNumbers)
{
    QList<QPair<QString, QByteArray>> parts;
    QByteArray whole;
    for (int i = 1; i <= 11; ++i) {
        const QByteArray content = randomBytes(32 * 1024 + i * 4, 100 + i);
        parts.append({QStringLiteral("files/HONDA_V5.00_%1_part.zip").arg(i), content});
        whole += content;
    }
    addVehicle(QStringLiteral("HONDA"), parts);
    addVehicle(QStringLiteral("HONDA"), {{QStringLiteral("files/HONDA_EN_V5.00.zip"), QByteArray("language")}});
    makeManager();
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("HONDA")).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("HONDA")) == 1; }, 20000));

    const QString joined = tool().getUpdateDirectory() + QStringLiteral("/HONDA_V5.00.7z");
    EXPECT_EQ(sha256(joined), QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
    const auto rows = database().getModelWithVehicle(QStringLiteral("HONDA"));
    ASSERT_EQ(rows.size(), 2); // the language archive and the joined package
    for (const auto &row : rows) {
        EXPECT_EQ(row->state(), VelquorDownloadStateDownloaded);
        EXPECT_FALSE(row->url().contains(QLatin1String("part.zip")) && row->zipPath() != joined);
    }
    for (int i = 1; i <= 11; ++i)
        EXPECT_FALSE(QFileInfo::exists(tool().get7ZResourcePath(server.baseUrl() + parts[i - 1].first)));
}

TEST_F(DownloadManagerTest, APartMissingAtJoinTimeFailsTheVehicleAndKeepsEverything)
{
    // Part 1 arrives at once; part 2 trickles in, so part 1's archive can go missing meanwhile.
    const QByteArray first = randomBytes(64 * 1024, 71);
    const QByteArray second = randomBytes(512 * 1024, 72);
    addVehicle(QStringLiteral("LANCIA"), {{QStringLiteral("files/LANCIA_V2.00_1_part.zip"), first},
                                          {QStringLiteral("files/LANCIA_V2.00_2_part.zip"), second}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 512 * 1024;
    server.setFault(QStringLiteral("/files/LANCIA_V2.00_2_part.zip"), slow);
    makeManager();
    const auto partOne = database().getModelWithUrl(server.baseUrl() + QStringLiteral("files/LANCIA_V2.00_1_part.zip"));
    const auto partTwo = database().getModelWithUrl(server.baseUrl() + QStringLiteral("files/LANCIA_V2.00_2_part.zip"));
    manager->startDownloadTask(partOne);
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto row = database().getModelWithUrl(partOne->url());
            return row && row->state() == VelquorDownloadStateDownloaded;
        },
        10000));
    ASSERT_TRUE(QFile::remove(partOne->zipPath()));

    ASSERT_TRUE(waitUntil([&] { return !postedNamed(VelquorDownload::RequestErrorNotification).isEmpty(); }, 15000));
    manager->queue().sync([] {});
    QThread::msleep(200);
    EXPECT_EQ(postedNamed(VelquorDownload::RequestErrorNotification).size(), 1);
    EXPECT_EQ(completed(QStringLiteral("LANCIA")), 0);
    // Nothing was written or deleted: both part rows stay, in state 5, and part 2's archive is kept.
    const auto rows = database().getModelWithVehicle(QStringLiteral("LANCIA"));
    EXPECT_EQ(rows.size(), 2);
    EXPECT_TRUE(allRowsIn(QStringLiteral("LANCIA"), VelquorDownloadStateFailed));
    EXPECT_EQ(sha256(partTwo->zipPath()), QCryptographicHash::hash(second, QCryptographicHash::Sha256));
    EXPECT_FALSE(QFileInfo::exists(tool().getUpdateDirectory() + QStringLiteral("/LANCIA_V2.00.7z")));
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("LANCIA")));
}

TEST_F(DownloadManagerTest, AJoinTheDatabaseCannotRecordKeepsThePartsAndIsTakenOnByTheNextStart)
{
    QList<QPair<QString, QByteArray>> parts;
    QByteArray whole;
    for (int i = 1; i <= 3; ++i) {
        parts.append({QStringLiteral("files/ISUZU_V2.00_%1_part.zip").arg(i), randomBytes(64 * 1024, 190 + i)});
        whole += parts.last().second;
    }
    addVehicle(QStringLiteral("ISUZU"), parts);
    makeManager();
    // The join waits until the database refuses writes.
    std::promise<void> release;
    manager->filesQueue().async([released = release.get_future().share()] { released.wait(); });
    bool released = false;
    const auto letJoin = [&] {
        if (!std::exchange(released, true))
            release.set_value();
    };
    const auto atEnd = qScopeGuard(letJoin);
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("ISUZU")).first());
    ASSERT_TRUE(waitUntil([&] { return manager->isJoiningVehicle(QStringLiteral("ISUZU")); }, 15000));
    RefusedWrites refused(
        database(),
        QDir(StandardLocations::documentsDirectory()).filePath(QString::fromLatin1(VelquorDatabase::FileName)));
    SCOPED_TRACE(refused.how().toStdString());
    letJoin();

    ASSERT_TRUE(waitUntil([&] { return !postedNamed(VelquorDownload::RequestErrorNotification).isEmpty(); }, 15000));
    manager->queue().sync([] {});
    const auto errors = postedNamed(VelquorDownload::RequestErrorNotification);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].notRecorded);
    EXPECT_EQ(errors[0].state, VelquorDownloadStatePaused);
    EXPECT_EQ(completed(QStringLiteral("ISUZU")), 0);
    EXPECT_TRUE(manager->isUnrecordedVehicle(QStringLiteral("ISUZU")));
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    // Nothing downloaded is lost: the parts keep their files and their rows, and no joined archive
    // stands beside rows that do not name it.
    const QString joined = tool().getUpdateDirectory() + QStringLiteral("/ISUZU_V2.00.7z");
    EXPECT_FALSE(QFileInfo::exists(joined));
    const auto rows = database().getModelWithVehicle(QStringLiteral("ISUZU"));
    ASSERT_EQ(rows.size(), 3);
    for (const auto &row : rows)
        EXPECT_TRUE(QFileInfo::exists(row->zipPath())) << row->url().toStdString();

    refused.lift();
    manager->startDownloadTask(rows.first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("ISUZU")) == 1; }, 15000));
    EXPECT_EQ(sha256(joined), QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
    EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("ISUZU")).size(), 1);
    for (const auto &part : parts)
        EXPECT_EQ(getsTo(part.first).size(), 1) << part.first.toStdString();
    EXPECT_FALSE(manager->isUnrecordedVehicle(QStringLiteral("ISUZU")));
}

TEST(VelquorPartJoinerTest, AMissingPartWritesNothingAndKeepsTheParts)
{
    QTemporaryDir work;
    QStringList paths;
    for (int i = 1; i <= 3; ++i) {
        paths.append(work.filePath(QStringLiteral("p_%1_part.7z").arg(i)));
        QFile file(paths.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(10, char('a' + i)));
    }
    const QString output = work.filePath(QStringLiteral("p.7z"));
    QFile::remove(paths[1]);
    QString error;
    EXPECT_FALSE(VelquorPartJoiner::join(paths, output, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_TRUE(QFileInfo::exists(paths[0]));
    EXPECT_TRUE(QFileInfo::exists(paths[2]));

    QStringList names{"x_10_part.zip", "x_2_part.zip", "X_1_part.zip", "x_9_part.zip", "x_11_part.zip"};
    std::sort(names.begin(), names.end(), VelquorPartJoiner::naturalLess);
    EXPECT_EQ(names, QStringList({"X_1_part.zip", "x_2_part.zip", "x_9_part.zip", "x_10_part.zip", "x_11_part.zip"}));
}

TEST_F(DownloadManagerTest, DeletingAVehicleMidTransferAbortsItAndRemovesItsFiles)
{
    const QString relative = QStringLiteral("files/FIAT_V1.00.zip");
    addVehicle(QStringLiteral("FIAT"), {{relative, randomBytes(2 * 1024 * 1024, 41)}});
    addVehicle(QStringLiteral("JEEP"), {{QStringLiteral("files/JEEP_V1.00.zip"), randomBytes(2 * 1024 * 1024, 42)}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + relative, slow);
    server.setFault(QStringLiteral("/files/JEEP_V1.00.zip"), slow);
    makeManager();
    const auto fiat = database().getModelWithVehicle(QStringLiteral("FIAT")).first();
    const auto jeep = database().getModelWithVehicle(QStringLiteral("JEEP")).first();
    manager->startDownloadTask(fiat);
    manager->startDownloadTask(jeep);
    const QString partial = VelquorDownloadManager::partialPathForArchive(fiat->zipPath());
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto a = database().getModelWithUrl(fiat->url());
            const auto b = database().getModelWithUrl(jeep->url());
            return a->tmpFileSize() > 0 && b->tmpFileSize() > 0;
        },
        10000));
    EXPECT_TRUE(QFileInfo::exists(partial));

    manager->deleteTaskAndCache(fiat);
    database().deleteModelWithVehicle(QStringLiteral("FIAT"));
    ASSERT_TRUE(waitUntil([&] { return server.abortedTransfers() >= 1 && !QFileInfo::exists(partial); }, 10000));
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("FIAT")));

    // A row deleted under a running transfer ends that transfer too, without a word.
    database().deleteModelWithVehicle(QStringLiteral("JEEP"));
    ASSERT_TRUE(waitUntil([&] { return server.abortedTransfers() >= 2; }, 10000));
    QThread::msleep(300);
    EXPECT_EQ(completed(QStringLiteral("FIAT")) + completed(QStringLiteral("JEEP")), 0);
    EXPECT_TRUE(postedNamed(VelquorDownload::RequestErrorNotification).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(fiat->zipPath()));
}

TEST_F(DownloadManagerTest, ADeletionStillQueuedNeverRemovesTheFilesOfTheVehiclesNextDownload)
{
    // A failed installation: the vehicle's archive is to go.
    const QString relative = QStringLiteral("files/FIAT_V1.00.zip");
    const QByteArray first = randomBytes(300 * 1024, 51);
    addVehicle(QStringLiteral("FIAT"), {{relative, first}});
    makeManager();
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("FIAT")).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("FIAT")) == 1; }, 10000));
    const QString zipPath = database().getModelWithVehicle(QStringLiteral("FIAT")).first()->zipPath();

    // The files queue is busy (a long join) while the deletion is asked for.
    std::mutex gate;
    std::unique_lock hold(gate);
    manager->filesQueue().async([&gate] { std::lock_guard wait(gate); });
    manager->deleteTaskAndCache(database().getModelWithVehicle(QStringLiteral("FIAT")).first());
    manager->queue().sync([] {});

    // Pressed again: the rows are made anew and downloaded again, while the deletion still waits.
    database().deleteModelWithVehicle(QStringLiteral("FIAT"));
    const QByteArray second = randomBytes(300 * 1024, 52);
    addVehicle(QStringLiteral("FIAT"), {{relative, second}});
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("FIAT")).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("FIAT")) == 2; }, 10000));

    hold.unlock();
    manager->filesQueue().sync([] {});
    ASSERT_TRUE(QFileInfo::exists(zipPath));
    EXPECT_EQ(sha256(zipPath), QCryptographicHash::hash(second, QCryptographicHash::Sha256));
    EXPECT_TRUE(allRowsIn(QStringLiteral("FIAT"), VelquorDownloadStateDownloaded));
}

TEST_F(DownloadManagerTest, DeletionsWaitingForTheFilesQueueLeaveEveryCardAndItsInstallRecordsAlone)
{
    // The same package folders on two cards.
    QTemporaryDir asked;
    QTemporaryDir chosenLater;
    ASSERT_TRUE(asked.isValid() && chosenLater.isValid());
    const QStringList folders{QStringLiteral("Scan/FIAT"), QStringLiteral("Scan/JEEP")};
    for (const QTemporaryDir *card : {&asked, &chosenLater}) {
        for (const QString &folder : folders) {
            QDir().mkpath(card->filePath(folder));
            QFile(card->filePath(folder + QStringLiteral("/VERSION.TXT"))).open(QIODevice::WriteOnly);
        }
    }
    addVehicle(QStringLiteral("FIAT"), {{QStringLiteral("files/FIAT_V1.00.zip"), randomBytes(1024, 61)}});
    addVehicle(QStringLiteral("JEEP"), {{QStringLiteral("files/JEEP_V1.00.zip"), randomBytes(1024, 62)}});
    // JEEP V0.90 is installed; its V1.00 is the unfinished download.
    const VelquorDownloadModelPtr installed = database().getModelWithVehicle(QStringLiteral("JEEP")).first()->copy();
    installed->setVersion(QStringLiteral("V0.90"));
    installed->setState(VelquorDownloadStateInstalled);
    database().insertModelForInstall(installed);
    makeManager();
    tool().setSaveFilePath(asked.path());

    // The files queue is busy while one vehicle and then everything unfinished is deleted.
    std::mutex gate;
    std::unique_lock hold(gate);
    manager->filesQueue().async([&gate] { std::lock_guard wait(gate); });
    manager->deleteTaskAndCache(database().getModelWithVehicle(QStringLiteral("FIAT")).first());
    manager->deleteAllTask();
    manager->queue().sync([] {});

    // Another card is chosen before the removals run.
    tool().setSaveFilePath(chosenLater.path());
    hold.unlock();
    manager->filesQueue().sync([] {});
    // Deleting downloads leaves every card as it is: only an extraction's own marked folders are ever
    // removed, by its installer. Deleting everything unfinished (after an uninstall) leaves JEEP's
    // installed version and its record, so that it is still listed and can be uninstalled.
    EXPECT_TRUE(database().getModelWithVehicle(QStringLiteral("JEEP")).isEmpty());
    const auto records = database().getAllDataWithVehicleForInstall(QStringLiteral("JEEP"));
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.first()->version(), QStringLiteral("V0.90"));
    for (const QTemporaryDir *card : {&asked, &chosenLater}) {
        for (const QString &folder : folders)
            EXPECT_TRUE(QFileInfo::exists(card->filePath(folder + QStringLiteral("/VERSION.TXT"))))
                << qPrintable(card->filePath(folder));
    }
    tool().setSaveFilePath(QString());
}

TEST_F(DownloadManagerTest, ARowWhoseStateChangesUnderItsTransferStopsItAndKeepsItsBytes)
{
    const QString relative = QStringLiteral("files/MINI_V1.00.zip");
    addVehicle(QStringLiteral("MINI"), {{relative, randomBytes(2 * 1024 * 1024, 81)}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();
    const auto row = database().getModelWithVehicle(QStringLiteral("MINI")).first();
    manager->startDownloadTask(row);
    ASSERT_TRUE(waitUntil([&] { return database().getModelWithUrl(row->url())->tmpFileSize() > 0; }, 10000));

    // Another page sets the row's state behind the manager's back; the next progress report notices.
    const auto changed = database().getModelWithUrl(row->url());
    changed->setState(VelquorDownloadStatePaused);
    database().updateWithModel(changed, VelquorDownloadUpdateState);
    ASSERT_TRUE(waitUntil([&] { return !manager->dataTaskVehicles().contains(QStringLiteral("MINI")); }, 10000));
    ASSERT_TRUE(waitUntil([&] { return server.abortedTransfers() >= 1; }, 10000));
    const auto stopped = database().getModelWithUrl(row->url());
    EXPECT_EQ(stopped->state(), VelquorDownloadStatePaused);
    const auto resume = VelquorResumeData::decode(stopped->resumeData());
    ASSERT_TRUE(resume.has_value());
    EXPECT_EQ(resume->offset, QFileInfo(VelquorDownloadManager::partialPathForArchive(row->zipPath())).size());
    EXPECT_FALSE(QFileInfo::exists(row->zipPath()));
}

TEST_F(DownloadManagerTest, ARowDeletedWhileItsRetryWaitsGivesUpTheSlot)
{
    UserDefaults::standard().setInteger(QString::fromLatin1(VelquorDownload::MaxConcurrentCountKey), 1);
    addVehicle(QStringLiteral("TATA"), {{QStringLiteral("files/TATA_V1.00.zip"), randomBytes(256 * 1024, 91)}});
    addVehicle(QStringLiteral("OPEL"), {{QStringLiteral("files/OPEL_V1.00.zip"), randomBytes(64 * 1024, 92)}});
    standin::Fault drop;
    drop.kind = standin::Fault::Kind::DropAfter;
    drop.bytes = 64 * 1024;
    server.setFault(QStringLiteral("/files/TATA_V1.00.zip"), drop);
    makeManager();
    manager->setRetryBaseDelay(1500);
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("TATA")).first());
    // The first answer is cut off; its retry waits. Meanwhile the vehicle's rows are deleted.
    ASSERT_TRUE(waitUntil([&] { return getsTo(QStringLiteral("files/TATA_V1.00.zip")).size() == 1; }, 10000));
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto rows = database().getModelWithVehicle(QStringLiteral("TATA"));
            return !rows.isEmpty() && !rows.first()->resumeData().isEmpty();
        },
        10000));
    database().deleteModelWithVehicle(QStringLiteral("TATA"));
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("OPEL")).first());
    EXPECT_TRUE(waitUntil([&] { return completed(QStringLiteral("OPEL")) == 1; }, 10000));
    EXPECT_FALSE(manager->dataTaskVehicles().contains(QStringLiteral("TATA")));
}

TEST_F(DownloadManagerTest, StartingAVehicleWhileItsPartsAreJoinedCompletesItOnce)
{
    QList<QPair<QString, QByteArray>> parts;
    for (int i = 1; i <= 3; ++i)
        parts.append({QStringLiteral("files/DAEWOO_V1.00_%1_part.zip").arg(i), randomBytes(24 * 1024 * 1024, 120 + i)});
    addVehicle(QStringLiteral("DAEWOO"), parts);
    makeManager();
    manager->setStartDelays(0, 0);
    // The moment the last byte is stored the page asks for the vehicle again (a quick pause and resume).
    std::atomic<int> received{0};
    NotificationCenter::workspace().addObserver(
        &received, QString::fromLatin1(VelquorDownload::ProgressNotification), [&](const Notification &notification) {
            const auto *row = std::any_cast<VelquorDownloadModelPtr>(&notification.object);
            if (!row || !*row || (*row)->tmpFileSize() != (*row)->expectedContentLength())
                return;
            if (++received == 3)
                manager->startDownloadTask(*row);
        });
    manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("DAEWOO")).first());
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("DAEWOO")) == 1; }, 30000));
    QThread::msleep(500);
    manager->queue().sync([] {});
    NotificationCenter::workspace().removeObserver(&received);
    EXPECT_EQ(completed(QStringLiteral("DAEWOO")), 1);
    EXPECT_TRUE(postedNamed(VelquorDownload::RequestErrorNotification).isEmpty());
    EXPECT_TRUE(allRowsIn(QStringLiteral("DAEWOO"), VelquorDownloadStateDownloaded));
    EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("DAEWOO")).size(), 1);
}

TEST_F(DownloadManagerTest, ADeviceChangeStopsThePreviousDevicesTransfersAndTheyResumeOnItsReturn)
{
    const QString relative = QStringLiteral("files/SKODA_V1.00.zip");
    const QByteArray content = randomBytes(3 * 1024 * 1024, 151);
    // The next device is offered the same archive.
    database().creatDBWithSerialNumber(QStringLiteral("SN-0002"), QStringLiteral("tester"));
    addVehicle(QStringLiteral("SKODA"), {{relative, content}});
    database().creatDBWithSerialNumber(QStringLiteral("SN-0001"), QStringLiteral("tester"));
    addVehicle(QStringLiteral("SKODA"), {{relative, content}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 512 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();
    const auto row = database().getModelWithVehicle(QStringLiteral("SKODA")).first();
    manager->startDownloadTask(row);
    ASSERT_TRUE(waitUntil([&] { return database().getModelWithUrl(row->url())->tmpFileSize() > 100 * 1024; }, 15000));

    database().creatDBWithSerialNumber(QStringLiteral("SN-0002"), QStringLiteral("tester"));
    EXPECT_TRUE(manager->dataTaskVehicles().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return server.abortedTransfers() >= 1; }, 10000));
    QThread::msleep(300);
    manager->queue().sync([] {});
    // Nothing of the previous device's transfer reaches the new device's row of the same archive.
    const auto other = database().getModelWithUrl(row->url());
    EXPECT_EQ(other->state(), VelquorDownloadStateWaiting);
    EXPECT_EQ(other->tmpFileSize(), 0u);
    EXPECT_EQ(other->intervalFileSize(), 0u);
    EXPECT_TRUE(other->resumeData().isEmpty());
    EXPECT_TRUE(postedNamed(VelquorDownload::RequestErrorNotification).isEmpty());

    // Back on the first device, its vehicle is paused with what it received and a press resumes it.
    database().creatDBWithSerialNumber(QStringLiteral("SN-0001"), QStringLiteral("tester"));
    const auto paused = database().getModelWithUrl(row->url());
    EXPECT_EQ(paused->state(), VelquorDownloadStatePaused);
    EXPECT_GT(paused->tmpFileSize(), 0u);
    ASSERT_TRUE(VelquorResumeData::decode(paused->resumeData()).has_value());
    const qint64 offset = QFileInfo(VelquorDownloadManager::partialPathForArchive(row->zipPath())).size();
    EXPECT_GT(offset, 0);
    server.clearFaults();
    manager->startDownloadTask(paused);
    ASSERT_TRUE(waitUntil([&] { return completed(QStringLiteral("SKODA")) == 1; }, 15000));
    EXPECT_EQ(getsTo(relative).last().headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(offset));
    EXPECT_EQ(getsTo(relative).last().status, 206);
    EXPECT_EQ(sha256(row->zipPath()), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
}

TEST_F(DownloadManagerTest, QuittingDuringATransferStopsItCleanly)
{
    const QString relative = QStringLiteral("files/SMART_V1.00.zip");
    addVehicle(QStringLiteral("SMART"), {{relative, randomBytes(2 * 1024 * 1024, 131)}});
    standin::Fault slow;
    slow.kind = standin::Fault::Kind::Throttle;
    slow.bytesPerSecond = 256 * 1024;
    server.setFault(u'/' + relative, slow);
    makeManager();
    const auto row = database().getModelWithVehicle(QStringLiteral("SMART")).first();
    manager->startDownloadTask(row);
    ASSERT_TRUE(waitUntil([&] { return database().getModelWithUrl(row->url())->tmpFileSize() > 0; }, 10000));

    // As at the end of main: the manager's queues stop (its objects die on its thread), then it goes.
    // Only its own: the queues of other objects in this process serve the cases after this one.
    manager->queue().shutdown();
    manager->filesQueue().shutdown();
    manager.reset();
    EXPECT_TRUE(waitUntil([&] { return server.abortedTransfers() >= 1; }, 10000));
    EXPECT_FALSE(QFileInfo::exists(row->zipPath()));
}

TEST_F(DownloadManagerTest, QuittingWhileAVehiclesPartsAreJoinedKeepsItWaitingToBeInstalled)
{
    QList<QPair<QString, QByteArray>> parts;
    QByteArray whole;
    for (int i = 1; i <= 3; ++i) {
        const QByteArray content = randomBytes(128 * 1024, 170 + i);
        parts.append({QStringLiteral("files/TOYOTA_V3.00_%1_part.zip").arg(i), content});
        whole += content;
    }
    // At the end of main the queues stop in no set order; the joining outlives either.
    enum class FirstToStop { TransferQueue, FilesQueue };
    for (const FirstToStop first : {FirstToStop::TransferQueue, FirstToStop::FilesQueue}) {
        SCOPED_TRACE(int(first));
        database().deleteAll();
        addVehicle(QStringLiteral("TOYOTA"), parts);
        addVehicle(QStringLiteral("TOYOTA"), {{QStringLiteral("files/TOYOTA_EN_V3.00.zip"), QByteArray("language")}});
        makeManager();
        // The join waits behind this until the quit has begun.
        std::mutex gate;
        gate.lock();
        manager->filesQueue().async([&gate] { std::lock_guard wait(gate); });
        manager->startDownloadTask(database().getModelWithVehicle(QStringLiteral("TOYOTA")).first());
        ASSERT_TRUE(waitUntil([&] { return manager->isJoiningVehicle(QStringLiteral("TOYOTA")); }, 15000));

        if (first == FirstToStop::TransferQueue) {
            manager->queue().shutdown();
            gate.unlock();
            manager->filesQueue().shutdown();
        } else {
            gate.unlock();
            manager->filesQueue().shutdown();
            manager->queue().shutdown();
        }
        manager.reset();

        // The next start keeps the vehicle, and a press installs it without fetching anything.
        const QString joined = tool().getUpdateDirectory() + QStringLiteral("/TOYOTA_V3.00.7z");
        EXPECT_EQ(sha256(joined), QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
        EXPECT_EQ(database().getModelWithVehicle(QStringLiteral("TOYOTA")).size(), 2);
        EXPECT_TRUE(allRowsIn(QStringLiteral("TOYOTA"), VelquorDownloadStateWaitingInstall));
        for (const auto &[relative, content] : parts)
            EXPECT_FALSE(QFileInfo::exists(tool().get7ZResourcePath(server.baseUrl() + relative)));
        EXPECT_EQ(completed(QStringLiteral("TOYOTA")), 0);
        QFile::remove(joined);
    }
}

} // namespace

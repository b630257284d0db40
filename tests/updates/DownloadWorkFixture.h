#pragma once

#include "RecordingPageServices.h"
#include "SharedState.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/NotificationCenter.h"
#include "updates/VelquorDownloadCommands.h"
#include "updates/VelquorDownloadHandOver.h"

#include "standin/StandinServer.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>

// The download work of the updates page without its widgets: the real download manager, database
// and stand-in service over loopback, a temporary card folder, the page replaced by a recording
// double, and the manager's notifications wired to the hand-over as the page wires them.
class DownloadWorkFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        updatestest::clearSharedState();
        ASSERT_TRUE(serverFiles.isValid());
        ASSERT_TRUE(card.isValid());
        server.setFileRoot(serverFiles.path());
        ASSERT_TRUE(server.start());
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
        database().creatDBWithSerialNumber(QStringLiteral("VQ9A00123456"), QStringLiteral("demo"));
        tool().setSaveFilePath(card.path());

        manager = std::make_unique<VelquorDownloadManager>();
        manager->setStartDelays(10, 10);
        manager->setRetryBaseDelay(50);
        page = std::make_unique<RecordingPageServices>(*manager);
    }

    // The page's part: the hand-over and the commands, fed by the manager's notifications.
    void makeHandOver()
    {
        handOver = std::make_unique<VelquorDownloadHandOver>(
            *page,
            [this](const QString &vehicle) {
                std::lock_guard lock(mutex);
                decompressed.append(vehicle);
            },
            manager.get());
        commands = std::make_unique<VelquorDownloadCommands>(*page, *handOver, manager.get());
        NotificationCenter &center = NotificationCenter::workspace();
        const auto record = [](const Notification &notification) {
            const auto *row = std::any_cast<VelquorDownloadModelPtr>(&notification.object);
            return row ? *row : VelquorDownloadModelPtr();
        };
        center.addObserver(this, QString::fromLatin1(VelquorDownload::ProgressNotification),
                           [this, record](const Notification &n) { handOver->downLoadProgress(record(n)); });
        center.addObserver(this, QString::fromLatin1(VelquorDownload::RequestCompleteNotification),
                           [this, record](const Notification &n) { handOver->downloadRequestComplete(record(n)); });
        center.addObserver(this, QString::fromLatin1(VelquorDownload::RequestErrorNotification),
                           [this, record](const Notification &n) {
                               handOver->downloadRequestError(
                                   record(n),
                                   n.userInfo.value(QString::fromLatin1(VelquorDownload::NotRecordedKey)).toBool());
                           });
    }

    void TearDown() override
    {
        NotificationCenter::workspace().removeObserver(this);
        commands.reset();
        handOver.reset();
        manager.reset();
        server.stop();
        updatestest::clearSharedState();
    }

    static VelquorDownloadDataBaseManager &database() { return VelquorDownloadDataBaseManager::sharedManager(); }
    static VelquorCommonTool &tool() { return VelquorCommonTool::sharedTool(); }

    static QByteArray randomBytes(qsizetype size, quint32 seed)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator generator(seed);
        for (char &byte : bytes)
            byte = char(generator.generate() & 0xff);
        return bytes;
    }

    static QByteArray fileContent(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Serves the bytes at base address + relative path.
    QByteArray serve(const QString &relative, qsizetype size, quint32 seed)
    {
        const QByteArray content = randomBytes(size, seed);
        const QString path = serverFiles.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        served.insert(relative, content);
        return content;
    }

    // A file on the card, under its root.
    void putOnCard(const QString &relative, const QByteArray &content)
    {
        const QString path = QDir(card.path()).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // An offered record as the update list gives it.
    static VelquorDownloadModelPtr offered(const QString &software, const QString &version, const QString &language,
                                           const QString &sdPath, const QString &filePath)
    {
        const VelquorDownloadModelPtr record = VelquorDownloadModel::create();
        record->setSoftware(software);
        record->setVersion(version);
        record->setLanguage(language);
        record->setSdPath(sdPath);
        record->setFilePath(filePath);
        record->setUpdateInfo(QStringLiteral("Notes of %1 %2").arg(software, version));
        record->setIsUpdate(true);
        return record;
    }

    // One shown row group of the vehicle with these records.
    static VelquorVehicleFamilyGroup group(const QString &vehicle, const VelquorDownloadModelList &records)
    {
        VelquorVehicleFamilyGroup families;
        for (const auto &record : records) {
            auto family = VelquorVehicleFamilyModel::create();
            family->setVehicle(vehicle);
            family->setSubVehicles({vehicle});
            family->setModel(record);
            families.append(family);
        }
        return families;
    }

    // The shown row state of the first record of a row group.
    qint64 shownState(int tag) const { return manager->familyModels().at(tag).first()->model()->state(); }

    void press(int tag) { commands->downloadAction(tag, shownState(tag)); }

    bool wasDecompressed(const QString &vehicle) const
    {
        std::lock_guard lock(mutex);
        return decompressed.contains(vehicle, Qt::CaseInsensitive);
    }

    QStringList decompressedVehicles() const
    {
        std::lock_guard lock(mutex);
        return decompressed;
    }

    int requests(const QString &relative, const QString &method) const
    {
        int count = 0;
        for (const auto &request : server.requestsTo(u'/' + relative))
            count += request.method == method ? 1 : 0;
        return count;
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

    static bool allRowsIn(const QString &vehicle, qint64 state)
    {
        const auto rows = database().getModelWithVehicle(vehicle);
        return !rows.isEmpty() &&
               std::all_of(rows.begin(), rows.end(), [&](const auto &row) { return row->state() == state; });
    }

    // Stored archive URLs of the vehicle, relative to the base address, sorted.
    QStringList storedEntries(const QString &vehicle) const
    {
        QStringList entries;
        for (const auto &row : database().getModelWithVehicle(vehicle))
            entries.append(row->url().mid(server.baseUrl().size()));
        entries.sort();
        return entries;
    }

    QTemporaryDir serverFiles;
    QTemporaryDir card;
    standin::StandinServer server;
    QHash<QString, QByteArray> served;
    std::unique_ptr<VelquorDownloadManager> manager;
    std::unique_ptr<RecordingPageServices> page;
    std::unique_ptr<VelquorDownloadHandOver> handOver;
    std::unique_ptr<VelquorDownloadCommands> commands;
    mutable std::mutex mutex;
    QStringList decompressed;
};

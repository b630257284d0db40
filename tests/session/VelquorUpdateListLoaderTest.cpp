#include "ShellTestSupport.h"
#include "support/TestEnvironment.h"

#include "core/VelquorMyUpdatesListModel.h"
#include "session/VelquorUpdateListLoader.h"
#include "standin/StandinServer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using namespace shelltest;

namespace {

QByteArray upgradeAnswer(const VelquorDownloadModelList &records)
{
    QJsonArray upgrade;
    for (const auto &r : records)
        upgrade.append(r->toJson());
    return QJsonDocument(QJsonObject{{"MSG_CODE", 1}, {"MSG_INFO", "OK"}, {"UPGRADE", upgrade}})
        .toJson(QJsonDocument::Compact);
}

} // namespace

TEST(UpdateListLoader, AnAnswerForAnEarlierChoiceIsDropped)
{
    standin::StandinServer server;
    ASSERT_TRUE(server.start());
    qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
    server.setOperation("ProductUpdateInformation", [](const standin::LoggedRequest &request) {
        if (request.json.toObject().value("serialid").toInt() == 1) {
            // The first device's answer is slow: it arrives after the second device's.
            QThread::msleep(700);
            return upgradeAnswer({record("BENZ", "V12.10", "Vehicles/Europe/BENZ", "English")});
        }
        return upgradeAnswer({record("MAC_UPDATETOOLS", "V9.00"), record("BMW", "V7.00")});
    });

    VelquorUpdateListLoader loader;
    std::mutex mutex;
    QStringList deleted;
    loader.setInstalledVersion([](const QString &) { return QString(); });
    loader.setHasSoftwarePath([](const VelquorDownloadModelPtr &) { return true; });
    loader.setDeleteVehicle([&](const QString &vehicle) {
        std::lock_guard lock(mutex);
        deleted.append(vehicle);
    });

    auto list = std::make_shared<VelquorMyUpdatesListModel>();
    std::atomic<int> deliveries{0};
    auto delivered = [&](const VelquorUpdateListComposer::Result &) { ++deliveries; };

    list->setSerialID(1);
    list->setProductName("VQ900 PRO");
    loader.reloadHomeData(list, delivered);
    EXPECT_EQ(list->appendVersions().value("VEHICLES/EUROPE/BENZ"), "12.10"); // the product's own table
    list->setSerialID(2);
    list->setProductName("VQ500");
    loader.reloadHomeData(list, delivered);
    EXPECT_EQ(list->appendVersions().value("VEHICLES/EUROPE/BENZ"), "12.20"); // the "other" table

    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1; }, 10000));
    ASSERT_TRUE(waitUntil(
        [&] {
            return server.requestsTo("/webs/WebService.asmx/ProductUpdateInformation").size() == 2 &&
                   server.requestsTo("/webs/WebService.asmx/ProductUpdateInformation")[0].status != 0 &&
                   server.requestsTo("/webs/WebService.asmx/ProductUpdateInformation")[1].status != 0;
        },
        10000));
    waitUntil([] { return false; }, 300); // time for the late answer to be handled, were it not dropped

    EXPECT_EQ(deliveries.load(), 1);
    EXPECT_EQ(describe(list->familyModels()), QStringList{"MAC_UPDATETOOLS [MAC_UPDATETOOLS] = MAC_UPDATETOOLS V9.00"});
    EXPECT_EQ(describe(loader.vehicleArray()), QStringList{"BMW [BMW] = BMW V7.00"});
    std::lock_guard lock(mutex);
    EXPECT_EQ(deleted, QStringList{"MAC_UPDATETOOLS"});
}

TEST(UpdateListLoader, AnAnswerStillBeingComposedWhenAnotherDeviceFailsIsDropped)
{
    standin::StandinServer server;
    ASSERT_TRUE(server.start());
    qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
    server.setOperation("ProductUpdateInformation", [](const standin::LoggedRequest &) {
        return upgradeAnswer(
            {record("OS-SOFTWARE", "V5.00", "Scan"), record("BENZ", "V12.10", "Vehicles/Europe/BENZ")});
    });

    // Shared with the client's queue, which may still hold the hooks when the test ends.
    struct State
    {
        std::atomic<bool> composing{false};
        std::atomic<bool> release{false};
        std::atomic<bool> composed{false};
        std::atomic<int> deliveries{0};
        std::mutex mutex;
        QStringList deleted;
        QList<VelquorUpdateListComposer::Result::Kind> kinds;
    };
    const auto state = std::make_shared<State>();
    struct Release
    {
        std::shared_ptr<State> state;
        ~Release() { state->release = true; }
    } releaseAtEnd{state};

    VelquorUpdateListLoader loader;
    // The first device's answer is held while it is composed.
    loader.setInstalledVersion([state](const QString &) {
        state->composing = true;
        while (!state->release)
            QThread::msleep(5);
        return QString();
    });
    loader.setHasSoftwarePath([state](const VelquorDownloadModelPtr &) {
        state->composed = true;
        return true;
    });
    loader.setDeleteVehicle([state](const QString &vehicle) {
        std::lock_guard lock(state->mutex);
        state->deleted.append(vehicle);
    });
    auto delivered = [state](const VelquorUpdateListComposer::Result &result) {
        std::lock_guard lock(state->mutex);
        state->kinds.append(result.kind);
        ++state->deliveries;
    };

    auto list = std::make_shared<VelquorMyUpdatesListModel>();
    list->setSerialID(1);
    list->setProductName("VQ900 PRO");
    loader.reloadHomeData(list, delivered);
    ASSERT_TRUE(waitUntil([&] { return state->composing.load(); }, 10000));

    // The second device's request fails at once; its failure is handled here, on the GUI thread.
    standin::Fault fault;
    fault.kind = standin::Fault::Kind::Status;
    fault.status = 503;
    server.setFault("/webs/WebService.asmx/ProductUpdateInformation", fault);
    list->setSerialID(2);
    list->setProductName("VQ500");
    loader.reloadHomeData(list, delivered);
    ASSERT_TRUE(waitUntil([&] { return state->deliveries.load() == 1; }, 10000));

    state->release = true;
    ASSERT_TRUE(waitUntil([&] { return state->composed.load(); }, 10000));
    waitUntil([] { return false; }, 300); // time for the held answer to be applied, were it not dropped

    EXPECT_EQ(state->deliveries.load(), 1);
    EXPECT_TRUE(list->familyModels().isEmpty());
    EXPECT_TRUE(loader.osArray().isEmpty());
    std::lock_guard lock(state->mutex);
    EXPECT_EQ(state->kinds,
              QList<VelquorUpdateListComposer::Result::Kind>{VelquorUpdateListComposer::Result::Kind::ErrorAlert});
    EXPECT_TRUE(state->deleted.isEmpty());
}

TEST(UpdateListLoader, AnswersAreAppliedOnTheGuiThreadWhereTheNextRequestMayStart)
{
    standin::StandinServer server;
    ASSERT_TRUE(server.start());
    qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
    server.setOperation("ProductUpdateInformation", [](const standin::LoggedRequest &request) {
        if (request.json.toObject().value("serialid").toInt() == 1)
            return upgradeAnswer({record("OS-SOFTWARE", "V5.00", "Scan"), record("BENZ", "V12.10", "Vehicles/BENZ")});
        return upgradeAnswer({record("HONDA", "V11.40", "Vehicles/HONDA")});
    });

    VelquorUpdateListLoader loader;
    QString installedOs;
    bool osOnCard = false;
    QStringList deleted;
    loader.setInstalledVersion([&](const QString &) { return installedOs; });
    loader.setHasSoftwarePath([&](const VelquorDownloadModelPtr &) { return osOnCard; });
    loader.setDeleteVehicle([&](const QString &vehicle) {
        EXPECT_TRUE(QThread::currentThread() == qApp->thread());
        deleted.append(vehicle);
    });

    auto list = std::make_shared<VelquorMyUpdatesListModel>();
    QList<QStringList> delivered;
    std::function<void(const VelquorUpdateListComposer::Result &)> deliver =
        [&](const VelquorUpdateListComposer::Result &) {
            EXPECT_TRUE(QThread::currentThread() == qApp->thread());
            delivered.append(describe(list->familyModels()));
            // The first answer asks for the next device from inside its own delivery.
            if (delivered.size() == 1) {
                list->setSerialID(2);
                loader.reloadHomeData(list, deliver);
            }
        };
    list->setSerialID(1);
    list->setProductName("VQ500");
    loader.reloadHomeData(list, deliver);
    ASSERT_TRUE(waitUntil([&] { return delivered.size() == 2; }, 10000));
    EXPECT_EQ(delivered.at(0), QStringList{"OS-SOFTWARE [OS-SOFTWARE] = OS-SOFTWARE V5.00"});
    EXPECT_EQ(delivered.at(1), QStringList{"HONDA [HONDA] = HONDA V11.40"});
    EXPECT_EQ(deleted, QStringList{"OS-SOFTWARE"}); // newer than the installed one: its old downloads go

    // After a delete, the operating software of the last answer holding one returns while it is
    // still needed (missing on the card), and the packages once it is installed and present.
    list->setSerialID(1);
    loader.reloadHomeData(list, deliver);
    ASSERT_TRUE(waitUntil([&] { return delivered.size() == 3; }, 10000));
    deleted.clear();
    installedOs = "V5.00";
    EXPECT_EQ(describe(loader.deleteResetHomeData(*list)),
              QStringList{"OS-SOFTWARE [OS-SOFTWARE] = OS-SOFTWARE V5.00"});
    EXPECT_TRUE(deleted.isEmpty());
    osOnCard = true;
    loader.deleteResetHomeData(*list);
    EXPECT_EQ(describe(list->familyModels()), QStringList{"BENZ [BENZ] = BENZ V12.10"});
}

#include "ShellTestSupport.h"
#include "support/TestEnvironment.h"

#include "core/VelquorUserManager.h"
#include "session/VelquorDeviceModelTable.h"
#include "session/VelquorMainViewModel.h"
#include "standin/StandinServer.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using namespace shelltest;

TEST(MainViewModelRules, FilterKeepsTheNewestOfConsecutiveRecordsOfOneSoftware)
{
    const auto a = record("BENZ", "V2");
    const auto b = record("benz", "V2");
    const auto c = record("BENZ", "V3");
    const auto d = record("BMW", "V1.5");
    const auto e = record("BMW", "V1.25"); // older: dropped
    const auto f = record("OBD", "1.9");   // no "V": read from the first digit
    const auto g = record("OBD", "V1.10");
    const auto h = record("BENZ", "V1");   // BENZ again, but not after a BENZ: kept
    const auto i = record("X", "build V"); // nothing after "V" reads 0
    const auto j = record("X", "Vbeta");
    EXPECT_EQ(VelquorMainViewModel::filterLastestSoftware({a, b, c, d, e, f, g, h, i, j}),
              (VelquorDownloadModelList{a, c, d, f, h, i, j}));
}

TEST(MainViewModelRules, VersionReadings)
{
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::filterVersionNumber("V12.34"), 12.34);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::filterVersionNumber("AV1.5x"), 1.5);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::filterVersionNumber("1.75"), 1.75);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::filterVersionNumber("Vx1"), 0);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::versionNumberAfterPrefix("ver 3.5.1"), 3.5);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::versionNumberAfterPrefix(""), 0);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::leadingNumber(u" -2.5abc"), -2.5);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::leadingNumber(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(VelquorMainViewModel::leadingNumber(u"."), 0);
}

TEST(MainViewModelRules, BrandTableMatchesKeysIgnoringCase)
{
    const QStringList fallback{"FALLBACK"};
    EXPECT_EQ(VelquorMainViewModel::getPaySubVehicles("land_rover", fallback), (QStringList{"LAND ROVER", "JAGUAR"}));
    EXPECT_EQ(VelquorMainViewModel::getPaySubVehicles("vag", fallback).size(), 8);
    EXPECT_EQ(VelquorMainViewModel::getPaySubVehicles("Peugeot", fallback), (QStringList{"PEUGEOT", "CITROEN"}));
    EXPECT_EQ(VelquorMainViewModel::getPaySubVehicles("AUDI", fallback), fallback);
    EXPECT_EQ(VelquorMainViewModel::getPaySubVehicles("FORDAU", fallback), fallback);
}

TEST(MainViewModelRules, ModelTestsAndProductFamilies)
{
    EXPECT_TRUE(VelquorMainViewModel::isBasicSeriesDefault("vq mini s"));
    EXPECT_FALSE(VelquorMainViewModel::isBasicSeriesDefault("VQ MINI S2")); // whole name only
    EXPECT_TRUE(VelquorMainViewModel::getIsProduct("My vq fleet unit"));    // contained
    EXPECT_FALSE(VelquorMainViewModel::getIsProduct("VQ900 PRO"));
    EXPECT_EQ(VelquorDeviceModelTable::basicSeriesDefaultModels().size(), 7);
    EXPECT_EQ(VelquorDeviceModelTable::paidProductModels().size(), 7);
    EXPECT_EQ(VelquorDeviceModelTable::familyKeyChain().size(), 110);

    // Longer names are tried before the shorter names they contain.
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("vq900 pro max"), "VQ900 PRO");
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("VQ900 ELITE"), "VQ900 ELITE");
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("VQ900X"), "VQ900");
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("VQ300 LITE BT"), "VQ300 LITE");
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("VQ100 MINI"), "VQ100");
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("vq700 oem edition"), "VQ700 OEM EDITION"); // own family
    EXPECT_EQ(VelquorMainViewModel::getAppendProduct("Other tool"), "OTHER TOOL");

    const QHash<QString, QHash<QString, QString>> table{
        {"VQ900 PRO", {{"VEHICLES/EUROPE/BENZ", "12.10"}}},
        {"other", {{"VEHICLES/EUROPE/BENZ", "12.20"}}},
    };
    EXPECT_EQ(VelquorMainViewModel::appendVersionsFor("VQ900 PRO S", table).value("VEHICLES/EUROPE/BENZ"), "12.10");
    EXPECT_EQ(VelquorMainViewModel::appendVersionsFor("VQ300", table).value("VEHICLES/EUROPE/BENZ"), "12.20");
}

TEST(MainViewModelRules, GroupingSortsIgnoringCaseAndGroupsEqualVehicleTexts)
{
    QList<VelquorVehicleFamilyModelPtr> families;
    for (const auto &[vehicle, software] :
         QList<QPair<QString, QString>>{{"bmw", "B1"}, {"BENZ", "Z1"}, {"BMW", "B2"}, {"bmw", "B3"}, {"audi", "A1"}}) {
        auto family = VelquorVehicleFamilyModel::create();
        family->setVehicle(vehicle);
        family->setModel(record(software, "V1"));
        families.append(family);
    }
    const auto groups = VelquorMainViewModel::getGroupArray(families, "VQ900 PRO");
    EXPECT_EQ(describe(groups), (QStringList{"audi [A1] = A1 V1", "BENZ [Z1] = Z1 V1",
                                             "bmw [B1] = B1 V1 + bmw [B3] = B3 V1", "BMW [B2] = B2 V1"}));
}

namespace {

// The view model against the stand-in service, with a saved user.
class MainViewModelRequests : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        for (const char *operation :
             {"UserProductInformation", "ProductUpdateInformation", "SoftwareInfo", "ProductInfo", "UserComplaint"})
            server.setOperation(operation, [](const standin::LoggedRequest &) {
                return QByteArray(R"({"MSG_CODE":1,"MSG_INFO":"OK"})");
            });
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
        saveUserName("driver one");
    }

    static void saveUserName(const QString &name)
    {
        VelquorLoginResultModel user;
        user.setMsgCode(1);
        user.setUserReName(name);
        ASSERT_TRUE(VelquorUserManager::sharedManager().saveUserInfo(user));
    }

    // Runs a request and waits for its one completion; answers the JSON the service received.
    template <class Model, class Send> QJsonObject sent(const QString &operation, Send send, bool expectAnswer = true)
    {
        struct Calls
        {
            std::atomic<int> count{0};
            std::atomic<bool> answered{false};
            std::atomic<bool> failed{false};
        };
        auto calls = std::make_shared<Calls>();
        server.clearRequests();
        send([calls](std::shared_ptr<Model> answer, const std::optional<VelquorNetworkError> &error) {
            ++calls->count;
            calls->answered = answer != nullptr && !error;
            calls->failed = answer == nullptr && error.has_value();
        });
        EXPECT_TRUE(waitUntil([&] { return calls->count.load() > 0; }, 10000));
        waitUntil([] { return false; }, 50);
        EXPECT_EQ(calls->count.load(), 1);
        EXPECT_EQ(calls->answered.load(), expectAnswer);
        EXPECT_EQ(calls->failed.load(), !expectAnswer);
        const auto requests = server.requestsTo("/webs/WebService.asmx/" + operation);
        return requests.empty() ? QJsonObject() : requests.front().json.toObject();
    }

    standin::StandinServer server;
    VelquorMainViewModel viewModel;
};

} // namespace

TEST_F(MainViewModelRequests, EachOperationSendsItsParameters)
{
    using Upgrade = VelquorUpgradeResultModel;
    EXPECT_EQ(
        sent<VelquorProductResultModel>("UserProductInformation",
                                        [&](auto done) { viewModel.requestProductSerialNumbersWithCompletion(done); }),
        (QJsonObject{{"user_name", "driver one"}}));
    EXPECT_EQ(
        sent<Upgrade>("ProductUpdateInformation", [&](auto done) { viewModel.requestMyUpdatesWithSerialID(11, done); }),
        (QJsonObject{{"login_name", "driver one"}, {"serialid", 11}}));
    EXPECT_EQ(sent<Upgrade>("ProductUpdateInformation",
                            [&](auto done) { viewModel.requestMyUpdatesWithSerialID(std::nullopt, done); }),
              (QJsonObject{{"login_name", "driver one"}, {"serialid", 0}}));
    EXPECT_EQ(sent<VelquorSoftwareResultModel>("SoftwareInfo",
                                               [&](auto done) { viewModel.requestSoftwareInfoWithProductID(7, done); }),
              (QJsonObject{{"product_id", 7}}));
    EXPECT_EQ(sent<VelquorProductResultModel>("ProductInfo",
                                              [&](auto done) { viewModel.requestProductIDsWithCompletion(done); }),
              QJsonObject());

    VelquorSupportTicketsModel ticket;
    ticket.setSubject("No start");
    ticket.setScanner("VQ900 PRO");
    ticket.setSoftware("BENZ");
    ticket.setYear("2019");
    ticket.setEngineSize("2.0");
    ticket.setProblem("Cranks");
    ticket.setVin("WDB0000000000001");
    ticket.setVersion("V12.10");
    EXPECT_EQ(
        sent<VelquorResultModel>("UserComplaint", [&](auto done) { viewModel.requestUserComplaint(ticket, done); }),
        (QJsonObject{{"user_name", "driver one"},
                     {"title", "No start"},
                     {"product_name", "VQ900 PRO"},
                     {"software_name", "BENZ"},
                     {"years", "2019"},
                     {"engine", "2.0"},
                     {"problem", "Cranks"},
                     {"vin", "WDB0000000000001"},
                     {"version", "V12.10"},
                     {"vech", "null"},
                     {"car_m", "null"},
                     {"part_number", "null"}}));
}

TEST_F(MainViewModelRequests, UnusableUserNamesAreSentEmpty)
{
    for (const QString &name : {QStringLiteral("(null)"), QStringLiteral(" \n"), QStringLiteral("<null>")}) {
        saveUserName(name);
        EXPECT_EQ(sent<VelquorProductResultModel>(
                      "UserProductInformation",
                      [&](auto done) { viewModel.requestProductSerialNumbersWithCompletion(done); }),
                  (QJsonObject{{"user_name", ""}}));
    }
    saveUserName(" padded ");
    EXPECT_EQ(
        sent<VelquorProductResultModel>("UserProductInformation",
                                        [&](auto done) { viewModel.requestProductSerialNumbersWithCompletion(done); }),
        (QJsonObject{{"user_name", " padded "}}));
}

TEST_F(MainViewModelRequests, TransportFailureCompletesOnceWithTheError)
{
    standin::Fault fault;
    fault.kind = standin::Fault::Kind::Status;
    fault.status = 500;
    server.setFault("/webs/WebService.asmx/ProductUpdateInformation", fault);
    sent<VelquorUpgradeResultModel>(
        "ProductUpdateInformation", [&](auto done) { viewModel.requestMyUpdatesWithSerialID(3, done); }, false);
}

#include "ShellTestSupport.h"

#include "session/VelquorUpdateListComposer.h"

#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

using namespace shelltest;
using Kind = VelquorUpdateListComposer::Result::Kind;

namespace {

VelquorVehicleModel carRow(const QString &path, const QString &vehicle)
{
    VelquorVehicleModel row;
    row.setPath(path);
    row.setVehicle(vehicle);
    row.setSubVehicle(path.section(QLatin1Char('/'), -1));
    return row;
}

// Every kind of record the service sends, in answer order.
struct Answer
{
    VelquorDownloadModelPtr installer = record("MAC_UPDATETOOLS", "V1.00");
    VelquorDownloadModelPtr os = record("OS-SOFTWARE", "V5.00", "Scan");
    VelquorDownloadModelList all;

    Answer()
    {
        all = {
            installer,
            os,
            record("UPDATETOOLS", "V9.00", "Tools"),
            record("UpdateTools", "V9.00", "Tools2"),
            record(QString(), "V1.00", "Nothing"),
            record("BENZ", "V12.10", "Vehicles/Europe/BENZ", "English"),
            record("BENZ", "V12.30", "Vehicles/Europe/BENZ", "English"), // higher: replaces the one before
            record("TOYOTA", "V20.00", "Vehicles/Asia/TOYOTA", "English"),
            record("TOYOTA", "V20.00", "Vehicles/Asia/TOYOTA", "English"), // equal: the earlier stays
            record("HONDA", "V11.00", "Vehicles/Asia/HONDA", "English"),
            record("HONDA", "V10.50", "Vehicles/Asia/HONDA", "English"), // lower: dropped
            record("OBD", "2.50", "Diagnostics/OBD", "English"),
            record("OBD", "3.0", "Diagnostics/OBD", "English"), // no "V": read from the first digit
            record("MAINTENANCE_SANGYONG", "V1.00", "Maintenance/SANGYONG", "English"),
            record("MAINTENANCE_JAL", "V2.00", "Maintenance/JAL", "English"),
            record("FORDAU", "V3.00", "Vehicles/Australia/FORDAU", "English", 10),
            record("AUDI", "V8.00", "Vehicles/Europe/AUDI", "English", 25),
            record("BMW", "V7.00"),
        };
    }

    std::shared_ptr<VelquorUpgradeResultModel> model(qint64 code = 1) const
    {
        auto answer = std::make_shared<VelquorUpgradeResultModel>();
        answer->setMsgCode(code);
        answer->setUpgrade(all);
        return answer;
    }
};

class UpdateListComposition : public ::testing::Test
{
protected:
    UpdateListComposition()
    {
        environment.vehicleModels = {
            {QStringLiteral("VEHICLES/EUROPE/BENZ"), carRow("Vehicles/Europe/BENZ", "BENZ")},
            {QStringLiteral("VEHICLES/ASIA/TOYOTA"), carRow("Vehicles/Asia/TOYOTA", "TOYOTA")},
            {QStringLiteral("VEHICLES/ASIA/HONDA"), carRow("Vehicles/Asia/HONDA", "HONDA")},
            {QStringLiteral("VEHICLES/EUROPE/AUDI"), carRow("Vehicles/Europe/AUDI", "VW")},
        };
        environment.productName = QStringLiteral("VQ900 PRO");
        environment.applicationVersion = QStringLiteral("V1.0.0");
        environment.installedVersion = [this](const QString &vehicle) { return installed.value(vehicle); };
        environment.hasSoftwarePath = [this](const VelquorDownloadModelPtr &r) { return onCard.contains(r->sdPath()); };
        installed.insert(QStringLiteral("OS-SOFTWARE"), QStringLiteral("V5.00"));
        onCard.insert(QStringLiteral("Scan"));
    }

    VelquorUpdateListComposer::Result compose()
    {
        return VelquorUpdateListComposer::compose(answer.model(), environment);
    }

    Answer answer;
    VelquorUpdateListComposer::Environment environment;
    QHash<QString, QString> installed;
    QSet<QString> onCard;
};

const QStringList kPackageGroups{
    "BENZ [BENZ] = BENZ V12.30",
    "BMW [BMW] = BMW V7.00",
    "FORDAU [FORDAU] = FORDAU V3.00",
    "HONDA [HONDA] = HONDA V11.00",
    "MAINTENANCE_LANDROVER [MAINTENANCE_JAL] = MAINTENANCE_JAL V2.00",
    "MAINTENANCE_SSANGYONG [MAINTENANCE_SANGYONG] = MAINTENANCE_SANGYONG V1.00",
    "OBD [OBD] = OBD 3.0",
    "TOYOTA [TOYOTA] = TOYOTA V20.00",
    "VW [AUDI] = AUDI V8.00",
};

} // namespace

TEST_F(UpdateListComposition, UpToDateDeviceShowsThePackagesGroupedByVehicle)
{
    const auto result = compose();
    EXPECT_EQ(result.kind, Kind::List);
    EXPECT_EQ(describe(result.familyModels), kPackageGroups);
    EXPECT_EQ(describe(result.vehicleGroups), kPackageGroups);
    EXPECT_EQ(describe(result.osGroups), QStringList{"OS-SOFTWARE [OS-SOFTWARE] = OS-SOFTWARE V5.00"});
    EXPECT_EQ(describe(result.installerGroups),
              QStringList{"MAC_UPDATETOOLS [MAC_UPDATETOOLS] = MAC_UPDATETOOLS V1.00"});
    EXPECT_TRUE(result.vehicleToDelete.isEmpty());
}

TEST_F(UpdateListComposition, RecordsTakeTheCarTableVehicleButRenamesStayOnTheRow)
{
    const auto result = compose();
    const QHash<QString, QString> vehicleOf = [&] {
        QHash<QString, QString> map;
        for (const auto &group : result.vehicleGroups)
            for (const auto &family : group)
                map.insert(family->model()->software(), family->model()->vehicle());
        return map;
    }();
    EXPECT_EQ(vehicleOf.value("AUDI"), "VW");                         // car table hit
    EXPECT_EQ(vehicleOf.value("FORDAU"), "FORDAU");                   // miss: the software
    EXPECT_EQ(vehicleOf.value("MAINTENANCE_JAL"), "MAINTENANCE_JAL"); // row renamed, record not
    EXPECT_EQ(vehicleOf.value("MAINTENANCE_SANGYONG"), "MAINTENANCE_SANGYONG");
}

TEST_F(UpdateListComposition, NewerInstallerIsShownAloneAndForgetsItsOldDownloads)
{
    answer.installer->setVersion("V1.10");
    const auto result = compose();
    EXPECT_EQ(result.kind, Kind::List);
    EXPECT_EQ(describe(result.familyModels), QStringList{"MAC_UPDATETOOLS [MAC_UPDATETOOLS] = MAC_UPDATETOOLS V1.10"});
    EXPECT_EQ(result.vehicleToDelete, "MAC_UPDATETOOLS");
}

TEST_F(UpdateListComposition, InstallerEqualToTheApplicationWithinAThousandthIsNotNewer)
{
    answer.installer->setVersion("V1.0009");
    EXPECT_EQ(describe(compose().familyModels), kPackageGroups);
}

TEST_F(UpdateListComposition, NewerOperatingSoftwareComesFirstAndForgetsItsOldDownloads)
{
    answer.os->setVersion("V5.10");
    const auto result = compose();
    EXPECT_EQ(describe(result.familyModels), QStringList{"OS-SOFTWARE [OS-SOFTWARE] = OS-SOFTWARE V5.10"});
    EXPECT_EQ(result.vehicleToDelete, "OS-SOFTWARE");
}

TEST_F(UpdateListComposition, InstalledOperatingSoftwareMissingFromTheCardIsOfferedAgain)
{
    onCard.clear();
    const auto result = compose();
    EXPECT_EQ(describe(result.familyModels), QStringList{"OS-SOFTWARE [OS-SOFTWARE] = OS-SOFTWARE V5.00"});
    EXPECT_TRUE(result.vehicleToDelete.isEmpty());
}

TEST_F(UpdateListComposition, OperatingSoftwareVersionIsLookedUpByItsOwnVehicle)
{
    // The card table names the operating software's directory, so its records carry that vehicle.
    environment.vehicleModels.insert("SCAN", carRow("Scan", "SYSTEM"));
    installed.clear();
    installed.insert("SYSTEM", "V5.00");
    const auto result = compose();
    EXPECT_EQ(describe(result.familyModels), kPackageGroups);
}

TEST_F(UpdateListComposition, WithoutAnOperatingSoftwareRecordThePackagesAreShown)
{
    answer.all.removeAll(answer.os);
    onCard.clear(); // no card chosen yet
    installed.clear();
    const auto result = compose();
    EXPECT_EQ(result.kind, Kind::List);
    EXPECT_EQ(describe(result.familyModels), kPackageGroups);
    EXPECT_TRUE(result.osGroups.isEmpty());
}

TEST_F(UpdateListComposition, PaidAndBasicSeriesProductsListTheMakesOfEachPackage)
{
    environment.productName = QStringLiteral("VQ SCAN"); // paid product: only priced packages
    EXPECT_EQ(describe(compose().familyModels),
              (QStringList{
                  "BENZ [BENZ] = BENZ V12.30",
                  "BMW [BMW] = BMW V7.00",
                  "FORDAU [FORDAU] = FORDAU V3.00",
                  "HONDA [HONDA] = HONDA V11.00",
                  "MAINTENANCE_LANDROVER [MAINTENANCE_JAL] = MAINTENANCE_JAL V2.00",
                  "MAINTENANCE_SSANGYONG [MAINTENANCE_SANGYONG] = MAINTENANCE_SANGYONG V1.00",
                  "OBD [OBD] = OBD 3.0",
                  "TOYOTA [TOYOTA] = TOYOTA V20.00",
                  "VW [VW, AUDI, SKODA, SEAT, BENTLEY, BUGATTI, LAMBORGHINI, VW COMMERCIAL] = AUDI V8.00",
              }));

    answer = Answer();
    environment.productName = QStringLiteral("vq100"); // basic series: every package, whatever its price
    EXPECT_EQ(describe(compose().familyModels),
              (QStringList{
                  "BENZ [BENZ, SPRINTER] = BENZ V12.30",
                  "BMW [BMW, MINI, ROLLS-ROYCE] = BMW V7.00",
                  "FORDAU [FORDAU] = FORDAU V3.00",
                  "HONDA [HONDA, ACURA] = HONDA V11.00",
                  "MAINTENANCE_LANDROVER [MAINTENANCE_LANDROVER] = MAINTENANCE_JAL V2.00",
                  "MAINTENANCE_SSANGYONG [MAINTENANCE_SSANGYONG] = MAINTENANCE_SANGYONG V1.00",
                  "OBD [OBD] = OBD 3.0",
                  "TOYOTA [TOYOTA, LEXUS, SCION] = TOYOTA V20.00",
                  "VW [VW, AUDI, SKODA, SEAT, BENTLEY, BUGATTI, LAMBORGHINI, VW COMMERCIAL] = AUDI V8.00",
              }));
}

TEST_F(UpdateListComposition, FailedAndRefusedAnswersNameTheirMessage)
{
    struct Case
    {
        std::shared_ptr<VelquorUpgradeResultModel> answer;
        Kind kind;
        QString key;
    };
    const Case cases[] = {
        {nullptr, Kind::ErrorAlert, "UpdateHint4"},
        {answer.model(0), Kind::ErrorAlert, "UpdateHint4"},
        {answer.model(-1), Kind::ErrorAlert, "App5"},
        {answer.model(2), Kind::NoUpdateAlert, "UpdateHint12"},
        {std::make_shared<VelquorUpgradeResultModel>(), Kind::ErrorAlert, "UpdateHint4"}, // no MSG_CODE
    };
    for (const Case &c : cases) {
        const auto result = VelquorUpdateListComposer::compose(c.answer, environment);
        EXPECT_EQ(result.kind, c.kind) << c.key.toStdString();
        EXPECT_EQ(result.alertKey, c.key);
        EXPECT_TRUE(result.familyModels.isEmpty());
        EXPECT_FALSE(result.answered);
    }
    auto empty = std::make_shared<VelquorUpgradeResultModel>();
    empty->setMsgCode(1);
    const auto result = VelquorUpdateListComposer::compose(empty, environment);
    EXPECT_EQ(result.kind, Kind::NoUpdateAlert); // nothing to show: missing OS record shows the packages, none
    EXPECT_EQ(result.alertKey, "UpdateHint12");
}

TEST(UpdateListSplit, RepeatedKeysKeepTheHighestVersionAtTheEnd)
{
    const auto low = record("BENZ", "V1.10", "Vehicles/Europe/BENZ", "English");
    const auto high = record("BENZ", "V1.20", "Vehicles/Europe/BENZ", "English");
    const auto other = record("BMW", "V2.00", "Vehicles/Europe/BMW", "English");
    const auto german = record("BENZ", "V1.00", "Vehicles/Europe/BENZ", "German"); // other language: own key
    const auto noLanguageA = record("VW", "V3", "Vehicles/Europe/VW");
    const auto noLanguageB = record("VW", "V4", "Vehicles/Europe/VW");
    // The pair is the key: "A" + "BC" and "AB" + "C" are different packages.
    const auto pairA = record("X", "V1", "A", "BC");
    const auto pairB = record("X", "V2", "AB", "C");
    const auto split = VelquorUpdateListComposer::splitUpgradeRecords(
        {low, other, high, german, noLanguageA, noLanguageB, pairA, pairB});
    EXPECT_EQ(split.packages, (VelquorDownloadModelList{other, german, pairA, pairB, high, noLanguageB}));
}

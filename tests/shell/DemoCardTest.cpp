#include "support/TestEnvironment.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorUpgradeResultModel.h"
#include "session/VelquorUpdateListComposer.h"
#include "session/VelquorUpdateListLoader.h"
#include "standin/DemoCard.h"
#include "standin/DemoOperations.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"
#include "standin/profile/DemoInstallRecords.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The offered package of a vehicle in the composed rows; null when the vehicle is not offered.
VelquorDownloadModelPtr offered(const VelquorUpdateListComposer::Result &result, const QString &vehicle,
                                const QString &language = QStringLiteral("English"))
{
    for (const auto &group : result.familyModels) {
        for (const auto &family : group) {
            if (family->vehicle() == vehicle && family->model()->language() == language)
                return family->model();
        }
    }
    return nullptr;
}

} // namespace

TEST(DemoCard, HoldsTheCurrentOperatingSoftwareAndTwoVehiclesOneOfThemBehindTheCatalogue)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString card = work.filePath(QStringLiteral("card"));
    const QString databasePath = work.filePath(QStringLiteral("Velquor.db"));
    QString error;
    ASSERT_TRUE(standin::writeDemoCard(card, &error)) << qPrintable(error);
    ASSERT_TRUE(standin::writeDemoInstallRecords(databasePath, &error)) << qPrintable(error);

    // What the application gets for the full demo device, read as it reads every answer.
    const standin::DemoDevice device = standin::demoDevices().first();
    const auto answer = VelquorNetworkManager::answerObject(standin::StandinServer::envelope(
        standin::DemoOperations::updateListAnswer(standin::demoUpdateList(device.serialId))));
    ASSERT_TRUE(answer);
    const auto upgrade = std::make_shared<VelquorUpgradeResultModel>(VelquorUpgradeResultModel::fromJson(*answer));

    VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    tool.setSaveFilePath(card);
    VelquorDownloadDataBaseManager database(databasePath);
    database.creatDBWithSerialNumber(device.serialNumber, QLatin1String(standin::demoAccountName));

    VelquorUpdateListComposer::Environment environment;
    environment.vehicleModels = tool.getNewAllVehicleModelsFromBundle();
    environment.productName = standin::demoProductName(device.productId);
    environment.applicationVersion = VelquorUpdateListLoader::applicationVersion();
    environment.installedVersion = [&](const QString &vehicle) {
        const auto installed = database.getAllDataWithVehicleForInstall(vehicle);
        return installed.isEmpty() ? QString() : installed.first()->version();
    };
    environment.hasSoftwarePath = [&](const VelquorDownloadModelPtr &record) { return tool.getHasSoftwarePath(record); };
    const auto result = VelquorUpdateListComposer::compose(upgrade, environment);

    // The operating software on the card is current, so the vehicles are listed, not the system.
    ASSERT_EQ(result.kind, VelquorUpdateListComposer::Result::Kind::List);
    EXPECT_TRUE(result.vehicleToDelete.isEmpty());
    EXPECT_FALSE(offered(result, QStringLiteral("OS-SOFTWARE")));

    // HONDA is installed at the catalogue's version with its language; BENZ one version behind.
    const auto installedVersion = [&](const QString &vehicle) {
        const auto records = database.getAllDataWithVehicleForInstall(vehicle);
        EXPECT_FALSE(records.isEmpty()) << qPrintable(vehicle);
        EXPECT_TRUE(!records.isEmpty() && tool.getHasSoftwarePath(records.first())) << qPrintable(vehicle);
        return tool.getMaxVersionFromList(records);
    };
    const auto honda = offered(result, QStringLiteral("HONDA"));
    ASSERT_TRUE(honda);
    EXPECT_EQ(installedVersion(QStringLiteral("HONDA")), QStringLiteral("V11.40"));
    EXPECT_FALSE(VelquorCommonTool::compareVersion1(honda->version(), installedVersion(QStringLiteral("HONDA"))));
    EXPECT_TRUE(tool.getIsHasLanFromModel(honda));

    const auto benz = offered(result, QStringLiteral("BENZ"));
    ASSERT_TRUE(benz);
    EXPECT_EQ(installedVersion(QStringLiteral("BENZ")), QStringLiteral("V12.30"));
    EXPECT_TRUE(VelquorCommonTool::compareVersion1(benz->version(), installedVersion(QStringLiteral("BENZ"))));
    EXPECT_TRUE(benz->filePath().contains(QLatin1String("APPEND.zip"))) << "the update is an APPEND package";

    // The rest of the catalogue is new to the card, among it the package delivered in parts.
    const auto toyota = offered(result, QStringLiteral("TOYOTA"));
    ASSERT_TRUE(toyota);
    EXPECT_TRUE(toyota->filePath().contains(QLatin1String("part.zip")));
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall(QStringLiteral("TOYOTA")).isEmpty());
    EXPECT_FALSE(QDir(card).exists(QStringLiteral("Vehicles/Asia/TOYOTA")));
    tool.setSaveFilePath(QString());
}

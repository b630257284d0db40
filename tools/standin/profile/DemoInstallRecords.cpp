#include "DemoInstallRecords.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorUpgradeResultModel.h"
#include "session/VelquorMainViewModel.h"
#include "standin/DemoCard.h"
#include "standin/DemoOperations.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"

namespace standin {

namespace {

constexpr qint64 kInstalledState = 8;

// The card's packages as the application reads them from an update-list answer and names their
// vehicles for this device's product.
VelquorDownloadModelList installedRecords(const QString &productName)
{
    const auto answer =
        VelquorNetworkManager::answerObject(StandinServer::envelope(DemoOperations::updateListAnswer(demoCardPackages())));
    if (!answer)
        return {};
    VelquorDownloadModelList records = VelquorUpgradeResultModel::fromJson(*answer).upgrade();
    VelquorMainViewModel::transformFullDwonloadModels(
        records, VelquorCommonTool::sharedTool().getNewAllVehicleModelsFromBundle(), productName);
    for (const auto &record : records) {
        record->setVid(record->software());
        record->setState(kInstalledState);
        record->setProgress(1.0);
    }
    return records;
}

} // namespace

bool writeDemoInstallRecords(const QString &databasePath, QString *error)
{
    VelquorDownloadDataBaseManager database(databasePath);
    for (const DemoDevice &device : demoDevices()) {
        const VelquorDownloadModelList records = installedRecords(demoProductName(device.productId));
        database.creatDBWithSerialNumber(device.serialNumber, QLatin1String(demoAccountName));
        for (const auto &record : records)
            database.deleteModelWithVehicleForInstall(record->vehicle());
        for (const auto &record : records)
            database.insertModelForInstall(record);
        if (records.isEmpty() || database.getAllCacheDataForInstall().size() < records.size()) {
            if (error)
                *error = QStringLiteral("the install records could not be written to %1").arg(databasePath);
            return false;
        }
    }
    return true;
}

} // namespace standin

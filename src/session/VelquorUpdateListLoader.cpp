#include "session/VelquorUpdateListLoader.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"

// What an answer in flight needs after the loader itself may be gone. Touched on the GUI thread
// only, but for the request number, which the client's queue reads to skip composing a stale answer.
struct VelquorUpdateListLoader::Shared
{
    std::atomic<quint64> latestRequest{0};
    QList<VelquorVehicleFamilyGroup> osArray;
    QList<VelquorVehicleFamilyGroup> vehicleArray;
    DeleteVehicle deleteVehicle;
};

VelquorUpdateListLoader::VelquorUpdateListLoader(VelquorNetworkManager *network)
    : m_viewModel(network), m_shared(std::make_shared<Shared>())
{
    m_installedVersion = [](const QString &vehicle) {
        const auto installed = VelquorDownloadDataBaseManager::sharedManager().getAllDataWithVehicleForInstall(vehicle);
        return installed.isEmpty() ? QString() : installed.first()->version();
    };
    m_hasSoftwarePath = [](const VelquorDownloadModelPtr &record) {
        return VelquorCommonTool::sharedTool().getHasSoftwarePath(record);
    };
    m_shared->deleteVehicle = [](const QString &vehicle) {
        VelquorDownloadDataBaseManager::sharedManager().deleteModelWithVehicle(vehicle);
    };
}

VelquorUpdateListLoader::~VelquorUpdateListLoader() = default;

QString VelquorUpdateListLoader::applicationVersion()
{
    return QStringLiteral("V%1").arg(AppInfo::version());
}

QHash<QString, VelquorVehicleModel> VelquorUpdateListLoader::allVehicles()
{
    if (m_allVehicles.isEmpty())
        m_allVehicles = VelquorCommonTool::sharedTool().getNewAllVehicleModelsFromBundle();
    return m_allVehicles;
}

QHash<QString, QString> VelquorUpdateListLoader::resetAllAppendVersion(const QString &productName,
                                                                       VelquorMyUpdatesListModel &listModel)
{
    if (m_allAppendVersions.isEmpty())
        m_allAppendVersions = VelquorCommonTool::sharedTool().getAllVersionModelsFromBundle();
    m_appendVersions = VelquorMainViewModel::appendVersionsFor(productName, m_allAppendVersions);
    listModel.setAppendVersions(m_appendVersions);
    return m_appendVersions;
}

QHash<QString, QString> VelquorUpdateListLoader::appendVersions() const
{
    return m_appendVersions;
}

VelquorUpdateListComposer::Environment VelquorUpdateListLoader::environmentFor(const QString &productName)
{
    VelquorUpdateListComposer::Environment environment;
    environment.vehicleModels = allVehicles();
    environment.productName = productName;
    environment.applicationVersion = applicationVersion();
    environment.installedVersion = m_installedVersion;
    environment.hasSoftwarePath = m_hasSoftwarePath;
    return environment;
}

void VelquorUpdateListLoader::reloadHomeData(const std::shared_ptr<VelquorMyUpdatesListModel> &listModel,
                                             Delivered delivered)
{
    if (!listModel)
        return;
    const QString productName = listModel->productName();
    resetAllAppendVersion(productName, *listModel);
    const VelquorUpdateListComposer::Environment environment = environmentFor(productName);

    const quint64 request = ++m_shared->latestRequest;
    std::weak_ptr<Shared> weakShared = m_shared;
    std::weak_ptr<VelquorMyUpdatesListModel> weakList = listModel;
    m_viewModel.requestMyUpdatesWithSerialID(
        listModel->serialID(), [weakShared, weakList, request, environment,
                                delivered](std::shared_ptr<VelquorUpgradeResultModel> answer, const auto &) {
            {
                // A newer request (another device, or a refresh) supersedes this answer.
                const auto shared = weakShared.lock();
                if (!shared || shared->latestRequest.load() != request)
                    return;
            }
            // Composed here, off the GUI thread: it reads the install records and the card.
            auto result = VelquorUpdateListComposer::compose(answer, environment);
            DispatchQueue::main().async([weakShared, weakList, request, delivered, result = std::move(result)] {
                const auto shared = weakShared.lock();
                const auto list = weakList.lock();
                // Another device may have been chosen while this answer was on its way.
                if (!shared || !list || shared->latestRequest.load() != request)
                    return;
                if (result.answered) {
                    shared->osArray = result.osGroups;
                    shared->vehicleArray = result.vehicleGroups;
                }
                if (!result.vehicleToDelete.isEmpty() && shared->deleteVehicle)
                    shared->deleteVehicle(result.vehicleToDelete);
                list->setFamilyModels(result.familyModels);
                if (delivered)
                    delivered(result);
            });
        });
}

QList<VelquorVehicleFamilyGroup> VelquorUpdateListLoader::deleteResetHomeData(VelquorMyUpdatesListModel &listModel)
{
    const QList<VelquorVehicleFamilyGroup> osGroups = m_shared->osArray;
    VelquorDownloadModelPtr osRecord;
    if (!osGroups.isEmpty() && !osGroups.first().isEmpty() && osGroups.first().first())
        osRecord = osGroups.first().first()->model();

    bool newer = false;
    const bool showOperatingSoftware =
        VelquorUpdateListComposer::operatingSoftwareNeeded(osRecord, environmentFor(listModel.productName()), &newer);
    if (showOperatingSoftware && newer && m_shared->deleteVehicle)
        m_shared->deleteVehicle(osRecord->vehicle());
    const QList<VelquorVehicleFamilyGroup> groups = showOperatingSoftware ? osGroups : m_shared->vehicleArray;
    listModel.setFamilyModels(groups);
    return groups;
}

QList<VelquorVehicleFamilyGroup> VelquorUpdateListLoader::osArray() const
{
    return m_shared->osArray;
}

QList<VelquorVehicleFamilyGroup> VelquorUpdateListLoader::vehicleArray() const
{
    return m_shared->vehicleArray;
}

void VelquorUpdateListLoader::setInstalledVersion(InstalledVersion installedVersion)
{
    m_installedVersion = std::move(installedVersion);
}

void VelquorUpdateListLoader::setHasSoftwarePath(HasSoftwarePath hasSoftwarePath)
{
    m_hasSoftwarePath = std::move(hasSoftwarePath);
}

void VelquorUpdateListLoader::setDeleteVehicle(DeleteVehicle deleteVehicle)
{
    m_shared->deleteVehicle = std::move(deleteVehicle);
}

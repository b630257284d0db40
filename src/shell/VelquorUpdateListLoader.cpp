#include "shell/VelquorUpdateListLoader.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "platform/AppInfo.h"

// What an answer in flight needs after the loader itself may be gone.
struct VelquorUpdateListLoader::Shared
{
    std::atomic<quint64> latestRequest{0};
    // Held while a new request is numbered and while an answer is applied, so an answer is applied
    // only while it is still the latest request. Failures are handled on the GUI thread, answers on
    // the client's queue: without it an answer composed meanwhile could overwrite a newer one.
    std::mutex applyMutex;
    mutable std::mutex mutex; // guards the two arrays and the hooks
    QList<VelquorVehicleFamilyGroup> osArray;
    QList<VelquorVehicleFamilyGroup> vehicleArray;
    InstalledVersion installedVersion;
    HasSoftwarePath hasSoftwarePath;
    DeleteVehicle deleteVehicle;
};

VelquorUpdateListLoader::VelquorUpdateListLoader(VelquorNetworkManager *network)
    : m_viewModel(network), m_shared(std::make_shared<Shared>())
{
    m_shared->installedVersion = [](const QString &vehicle) {
        const auto installed = VelquorDownloadDataBaseManager::sharedManager().getAllDataWithVehicleForInstall(vehicle);
        return installed.isEmpty() ? QString() : installed.first()->version();
    };
    m_shared->hasSoftwarePath = [](const VelquorDownloadModelPtr &record) {
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

void VelquorUpdateListLoader::reloadHomeData(const std::shared_ptr<VelquorMyUpdatesListModel> &listModel,
                                             Delivered delivered)
{
    if (!listModel)
        return;
    const QString productName = listModel->productName();
    resetAllAppendVersion(productName, *listModel);

    VelquorUpdateListComposer::Environment environment;
    environment.vehicleModels = allVehicles();
    environment.productName = productName;
    environment.applicationVersion = applicationVersion();
    {
        std::lock_guard lock(m_shared->mutex);
        environment.installedVersion = m_shared->installedVersion;
        environment.hasSoftwarePath = m_shared->hasSoftwarePath;
    }

    quint64 request = 0;
    {
        std::lock_guard apply(m_shared->applyMutex);
        request = ++m_shared->latestRequest;
    }
    std::weak_ptr<Shared> weakShared = m_shared;
    std::weak_ptr<VelquorMyUpdatesListModel> weakList = listModel;
    m_viewModel.requestMyUpdatesWithSerialID(
        listModel->serialID(), [weakShared, weakList, request, environment,
                                delivered](std::shared_ptr<VelquorUpgradeResultModel> answer, const auto &) {
            const auto shared = weakShared.lock();
            const auto list = weakList.lock();
            // A newer request (another device, or a refresh) supersedes this answer.
            if (!shared || !list || shared->latestRequest.load() != request)
                return;
            const auto result = VelquorUpdateListComposer::compose(answer, environment);
            // Another device may have been chosen while this answer was composed.
            std::lock_guard apply(shared->applyMutex);
            if (shared->latestRequest.load() != request)
                return;
            DeleteVehicle deleteVehicle;
            {
                std::lock_guard lock(shared->mutex);
                if (result.answered) {
                    shared->osArray = result.osGroups;
                    shared->vehicleArray = result.vehicleGroups;
                }
                deleteVehicle = shared->deleteVehicle;
            }
            if (!result.vehicleToDelete.isEmpty() && deleteVehicle)
                deleteVehicle(result.vehicleToDelete);
            list->setFamilyModels(result.familyModels);
            if (delivered)
                delivered(result);
        });
}

QList<VelquorVehicleFamilyGroup> VelquorUpdateListLoader::osArray() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->osArray;
}

QList<VelquorVehicleFamilyGroup> VelquorUpdateListLoader::vehicleArray() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->vehicleArray;
}

void VelquorUpdateListLoader::setInstalledVersion(InstalledVersion installedVersion)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->installedVersion = std::move(installedVersion);
}

void VelquorUpdateListLoader::setHasSoftwarePath(HasSoftwarePath hasSoftwarePath)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->hasSoftwarePath = std::move(hasSoftwarePath);
}

void VelquorUpdateListLoader::setDeleteVehicle(DeleteVehicle deleteVehicle)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->deleteVehicle = std::move(deleteVehicle);
}

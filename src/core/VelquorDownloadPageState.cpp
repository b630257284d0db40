#include "VelquorDownloadPageState.h"

#include "platform/DispatchQueue.h"

QList<VelquorVehicleFamilyGroup> VelquorDownloadPageState::familyModels() const
{
    std::lock_guard lock(m_mutex);
    return m_familyModels;
}

void VelquorDownloadPageState::setFamilyModels(const QList<VelquorVehicleFamilyGroup> &value)
{
    std::lock_guard lock(m_mutex);
    m_familyModels = value;
}

VelquorDownloadModelPtr VelquorDownloadPageState::downloadModel() const
{
    std::lock_guard lock(m_mutex);
    return m_downloadModel;
}

void VelquorDownloadPageState::setDownloadModel(const VelquorDownloadModelPtr &value)
{
    std::lock_guard lock(m_mutex);
    m_downloadModel = value;
}

VelquorDownloadModelList VelquorDownloadPageState::downloadPausedModels() const
{
    std::lock_guard lock(m_mutex);
    return m_downloadPausedModels;
}

void VelquorDownloadPageState::setDownloadPausedModels(const VelquorDownloadModelList &value)
{
    std::lock_guard lock(m_mutex);
    m_downloadPausedModels = value;
}

void VelquorDownloadPageState::addDownloadPausedModel(const VelquorDownloadModelPtr &model)
{
    if (!model)
        return;
    std::lock_guard lock(m_mutex);
    m_downloadPausedModels.append(model);
}

bool VelquorDownloadPageState::removeDownloadPausedModelsWithVehicle(const QString &vehicle)
{
    std::lock_guard lock(m_mutex);
    return m_downloadPausedModels.removeIf([&](const VelquorDownloadModelPtr &model) {
        return model && model->vehicle().compare(vehicle, Qt::CaseInsensitive) == 0;
    }) > 0;
}

bool VelquorDownloadPageState::isDownloadPausedVehicle(const QString &vehicle) const
{
    std::lock_guard lock(m_mutex);
    for (const auto &model : m_downloadPausedModels) {
        if (model && model->vehicle().compare(vehicle, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList VelquorDownloadPageState::vehicles() const
{
    std::lock_guard lock(m_mutex);
    return m_vehicles;
}

void VelquorDownloadPageState::setVehicles(const QStringList &value)
{
    std::lock_guard lock(m_mutex);
    m_vehicles.clear();
    for (const QString &vehicle : value) {
        if (!m_vehicles.contains(vehicle.toUpper()))
            m_vehicles.append(vehicle.toUpper());
    }
}

bool VelquorDownloadPageState::addVehicle(const QString &vehicle)
{
    std::lock_guard lock(m_mutex);
    const QString key = vehicle.toUpper();
    if (m_vehicles.contains(key))
        return false;
    m_vehicles.append(key);
    return true;
}

void VelquorDownloadPageState::removeVehicle(const QString &vehicle)
{
    std::lock_guard lock(m_mutex);
    m_vehicles.removeAll(vehicle.toUpper());
}

bool VelquorDownloadPageState::containsVehicle(const QString &vehicle) const
{
    std::lock_guard lock(m_mutex);
    return m_vehicles.contains(vehicle.toUpper());
}

std::shared_ptr<DispatchQueue> VelquorDownloadPageState::decompressSerialQueue() const
{
    std::lock_guard lock(m_mutex);
    return m_decompressSerialQueue;
}

void VelquorDownloadPageState::setDecompressSerialQueue(const std::shared_ptr<DispatchQueue> &queue)
{
    std::lock_guard lock(m_mutex);
    m_decompressSerialQueue = queue;
}

std::shared_ptr<DispatchQueue> VelquorDownloadPageState::getContentQueue() const
{
    std::lock_guard lock(m_mutex);
    return m_getContentQueue;
}

void VelquorDownloadPageState::setGetContentQueue(const std::shared_ptr<DispatchQueue> &queue)
{
    std::lock_guard lock(m_mutex);
    m_getContentQueue = queue;
}

std::shared_ptr<DispatchQueue> VelquorDownloadPageState::reloadSDCardQueue() const
{
    std::lock_guard lock(m_mutex);
    return m_reloadSDCardQueue;
}

void VelquorDownloadPageState::setReloadSDCardQueue(const std::shared_ptr<DispatchQueue> &queue)
{
    std::lock_guard lock(m_mutex);
    m_reloadSDCardQueue = queue;
}

std::shared_ptr<DispatchQueue> VelquorDownloadPageState::unInstallSerialQueue() const
{
    std::lock_guard lock(m_mutex);
    return m_unInstallSerialQueue;
}

void VelquorDownloadPageState::setUnInstallSerialQueue(const std::shared_ptr<DispatchQueue> &queue)
{
    std::lock_guard lock(m_mutex);
    m_unInstallSerialQueue = queue;
}

VelquorDownloadModelList VelquorDownloadPageState::listModels() const
{
    std::lock_guard lock(m_mutex);
    return m_listModels;
}

void VelquorDownloadPageState::setListModels(const VelquorDownloadModelList &value)
{
    std::lock_guard lock(m_mutex);
    m_listModels = value;
}

QString VelquorDownloadPageState::productName() const
{
    std::lock_guard lock(m_mutex);
    return m_productName;
}

void VelquorDownloadPageState::setProductName(const QString &value)
{
    std::lock_guard lock(m_mutex);
    m_productName = value;
}

QList<VelquorDownloadPageState::NeedDownloadEntry> VelquorDownloadPageState::needDownloadData() const
{
    std::lock_guard lock(m_mutex);
    return m_needDownloadData;
}

void VelquorDownloadPageState::setNeedDownloadData(const QList<NeedDownloadEntry> &value)
{
    std::lock_guard lock(m_mutex);
    m_needDownloadData = value;
}

bool VelquorDownloadPageState::addNeedDownloadData(const QString &vehicle, const VelquorDownloadModelList &rows)
{
    std::lock_guard lock(m_mutex);
    for (const auto &entry : m_needDownloadData) {
        if (entry.first.compare(vehicle, Qt::CaseInsensitive) == 0)
            return false;
    }
    m_needDownloadData.append({vehicle, rows});
    return true;
}

std::optional<VelquorDownloadPageState::NeedDownloadEntry> VelquorDownloadPageState::firstNeedDownloadData() const
{
    std::lock_guard lock(m_mutex);
    if (m_needDownloadData.isEmpty())
        return std::nullopt;
    return m_needDownloadData.first();
}

void VelquorDownloadPageState::removeFirstNeedDownloadData()
{
    std::lock_guard lock(m_mutex);
    if (!m_needDownloadData.isEmpty())
        m_needDownloadData.removeFirst();
}

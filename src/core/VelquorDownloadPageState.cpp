#include "VelquorDownloadPageState.h"

#include <algorithm>

namespace {
bool isOfVehicle(const VelquorDownloadModelPtr &model, const QString &vehicle)
{
    return model && model->vehicle().compare(vehicle, Qt::CaseInsensitive) == 0;
}
} // namespace

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
    return m_downloadPausedModels.removeIf([&](const auto &model) { return isOfVehicle(model, vehicle); }) > 0;
}

bool VelquorDownloadPageState::isDownloadPausedVehicle(const QString &vehicle) const
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_downloadPausedModels.begin(), m_downloadPausedModels.end(),
                       [&](const auto &model) { return isOfVehicle(model, vehicle); });
}

void VelquorDownloadPageState::setVehicles(const QStringList &value)
{
    QStringList unique;
    for (const QString &vehicle : value) {
        if (!unique.contains(vehicle.toUpper()))
            unique.append(vehicle.toUpper());
    }
    write(m_vehicles, unique);
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

bool VelquorDownloadPageState::addNeedDownloadData(const QString &vehicle, const VelquorDownloadModelList &rows)
{
    std::lock_guard lock(m_mutex);
    for (const auto &entry : std::as_const(m_needDownloadData)) {
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

bool VelquorDownloadPageState::removeNeedDownloadData(const NeedDownloadEntry &entry)
{
    std::lock_guard lock(m_mutex);
    for (qsizetype i = 0; i < m_needDownloadData.size(); ++i) {
        // The records are compared as objects, not by value: a later entry of the same vehicle stays.
        if (m_needDownloadData[i].first == entry.first && m_needDownloadData[i].second == entry.second) {
            m_needDownloadData.removeAt(i);
            return true;
        }
    }
    return false;
}

bool VelquorDownloadPageState::containsNeedDownloadData(const QString &vehicle) const
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_needDownloadData.begin(), m_needDownloadData.end(), [&](const NeedDownloadEntry &entry) {
        return entry.first.compare(vehicle, Qt::CaseInsensitive) == 0;
    });
}

#pragma once

#include "core/VelquorDownloadModel.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

class VelquorVehicleFamilyModel;
using VelquorVehicleFamilyModelPtr = std::shared_ptr<VelquorVehicleFamilyModel>;
// One row group of the updates list: the family models of one vehicle.
using VelquorVehicleFamilyGroup = QList<VelquorVehicleFamilyModelPtr>;

// One row of the updates list. Rows are shared between the list model, the download manager and
// the updates page, and are changed from the worker queues while the GUI thread draws them, so every
// accessor takes the row's own lock (never held while calling out).
class VelquorVehicleFamilyModel
{
public:
    VelquorVehicleFamilyModel() = default;
    VelquorVehicleFamilyModel(const VelquorVehicleFamilyModel &) = delete;
    VelquorVehicleFamilyModel &operator=(const VelquorVehicleFamilyModel &) = delete;

    static VelquorVehicleFamilyModelPtr create() { return std::make_shared<VelquorVehicleFamilyModel>(); }

    // Vehicle (package family) name.
    QString vehicle() const
    {
        std::lock_guard lock(m_mutex);
        return m_vehicle;
    }
    void setVehicle(const QString &value)
    {
        std::lock_guard lock(m_mutex);
        m_vehicle = value;
    }
    // The makes grouped into this row.
    QStringList subVehicles() const
    {
        std::lock_guard lock(m_mutex);
        return m_subVehicles;
    }
    void setSubVehicles(const QStringList &value)
    {
        std::lock_guard lock(m_mutex);
        m_subVehicles = value;
    }
    // The record the row shows: the same object as in the list, not a copy.
    VelquorDownloadModelPtr model() const
    {
        std::lock_guard lock(m_mutex);
        return m_model;
    }
    void setModel(const VelquorDownloadModelPtr &value)
    {
        std::lock_guard lock(m_mutex);
        m_model = value;
    }
    // Row height in points, set by the updates page.
    double height() const
    {
        std::lock_guard lock(m_mutex);
        return m_height;
    }
    void setHeight(double value)
    {
        std::lock_guard lock(m_mutex);
        m_height = value;
    }

private:
    mutable std::mutex m_mutex;
    QString m_vehicle;
    QStringList m_subVehicles;
    VelquorDownloadModelPtr m_model;
    double m_height = 0;
};

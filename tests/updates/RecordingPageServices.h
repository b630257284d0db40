#pragma once

#include "core/VelquorDownloadManager.h"
#include "core/VelquorDownloadModel.h"
#include "core/VelquorVehicleFamilyModel.h"
#include "updates/VelquorUpdatesPageServices.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <atomic>
#include <limits>
#include <mutex>
#include <optional>

// Stands in for the updates page where a piece of its download work is tested without the widgets:
// records what was asked of the page and applies row changes to the manager's family models at once.
class RecordingPageServices : public VelquorUpdatesPageServices
{
public:
    explicit RecordingPageServices(VelquorDownloadManager &manager) : m_manager(manager) {}

    void reloadAllData() override { ++reloadAllDataCalls; }
    void reloadSDCard(bool askAccess) override { ++reloadSDCardCalls; }
    quint64 availableCapacity() const override { return capacity.load(); }
    void setRowOfVehicle(const QString &vehicle, const VelquorRowUpdate &update) override
    {
        std::lock_guard lock(m_mutex);
        rowUpdates.append({vehicle, update});
        for (const VelquorVehicleFamilyGroup &group : m_manager.familyModels()) {
            bool changed = false;
            for (const VelquorVehicleFamilyModelPtr &family : group) {
                if (family->vehicle().compare(vehicle, Qt::CaseInsensitive) != 0 || !family->model())
                    continue;
                family->model()->setState(update.state);
                family->model()->setProgress(update.progress);
                if (update.totalFileSize)
                    family->model()->setTotalFileSize(*update.totalFileSize);
                changed = true;
            }
            if (changed && update.firstGroupOnly)
                break;
        }
    }
    void requestUpdateList() override { ++updateListRequests; }
    void openSDMemory() override { ++capacityAlerts; }
    void openInstallNotRecorded(const QString &vehicle) override
    {
        std::lock_guard lock(m_mutex);
        notRecorded.append(vehicle);
    }
    QHash<QString, QString> appendVersions() const override { return appendVersionTable; }
    void replanVehicle(const QString &vehicle) override
    {
        std::lock_guard lock(m_mutex);
        replanned.append(vehicle);
    }

    // The vehicles told so far that what they did is not recorded (the list is filled on other threads).
    QStringList notRecordedVehicles() const
    {
        std::lock_guard lock(m_mutex);
        return notRecorded;
    }

    // The last row change asked for the vehicle (letter case ignored).
    std::optional<VelquorRowUpdate> lastRowUpdate(const QString &vehicle) const
    {
        std::lock_guard lock(m_mutex);
        for (auto it = rowUpdates.crbegin(); it != rowUpdates.crend(); ++it)
            if (it->first.compare(vehicle, Qt::CaseInsensitive) == 0)
                return it->second;
        return std::nullopt;
    }

    std::atomic<int> reloadAllDataCalls{0};
    std::atomic<int> reloadSDCardCalls{0};
    std::atomic<int> updateListRequests{0};
    std::atomic<int> capacityAlerts{0};
    std::atomic<quint64> capacity{std::numeric_limits<quint64>::max()};
    QHash<QString, QString> appendVersionTable;
    QList<QPair<QString, VelquorRowUpdate>> rowUpdates;
    QStringList notRecorded; // vehicles whose installation the user was told is not recorded
    QStringList replanned;   // vehicles the page was asked to plan again

private:
    VelquorDownloadManager &m_manager;
    mutable std::mutex m_mutex;
};

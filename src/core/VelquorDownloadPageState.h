#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorSoftwareManagementListModel.h"
#include "core/VelquorVehicleFamilyModel.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class DispatchQueue;

// State the pages share through the download manager. It has no behaviour of its own; each value
// is exchanged under a lock, and the read-modify-write helpers do their change in one step because
// the pages use them from several threads.
class VelquorDownloadPageState
{
public:
    using NeedDownloadEntry = QPair<QString, VelquorDownloadModelList>; // vehicle -> its rows

    // The updates list: one group of family models per vehicle.
    QList<VelquorVehicleFamilyGroup> familyModels() const { return read(m_familyModels); }
    void setFamilyModels(const QList<VelquorVehicleFamilyGroup> &value) { write(m_familyModels, value); }

    // The record being extracted.
    VelquorDownloadModelPtr downloadModel() const { return read(m_downloadModel); }
    void setDownloadModel(const VelquorDownloadModelPtr &value) { write(m_downloadModel, value); }

    // The first record of each vehicle the user paused.
    VelquorDownloadModelList downloadPausedModels() const { return read(m_downloadPausedModels); }
    void setDownloadPausedModels(const VelquorDownloadModelList &value) { write(m_downloadPausedModels, value); }
    void addDownloadPausedModel(const VelquorDownloadModelPtr &model);
    // Removes the records of that vehicle (letter case ignored); answers whether any was there.
    bool removeDownloadPausedModelsWithVehicle(const QString &vehicle);
    bool isDownloadPausedVehicle(const QString &vehicle) const;

    // Upper-cased vehicles queued for or in extraction, in order.
    QStringList vehicles() const { return read(m_vehicles); }
    void setVehicles(const QStringList &value);
    bool addVehicle(const QString &vehicle); // false when already there
    void removeVehicle(const QString &vehicle);
    bool containsVehicle(const QString &vehicle) const;

    // Extraction results received for the current vehicle.
    qint64 decompressCount() const { return m_decompressCount; }
    void setDecompressCount(qint64 value) { m_decompressCount = value; }

    // Queues made by the pages.
    std::shared_ptr<DispatchQueue> decompressSerialQueue() const { return read(m_decompressSerialQueue); }
    void setDecompressSerialQueue(const std::shared_ptr<DispatchQueue> &queue)
    {
        write(m_decompressSerialQueue, queue);
    }
    std::shared_ptr<DispatchQueue> getContentQueue() const { return read(m_getContentQueue); }
    void setGetContentQueue(const std::shared_ptr<DispatchQueue> &queue) { write(m_getContentQueue, queue); }
    std::shared_ptr<DispatchQueue> reloadSDCardQueue() const { return read(m_reloadSDCardQueue); }
    void setReloadSDCardQueue(const std::shared_ptr<DispatchQueue> &queue) { write(m_reloadSDCardQueue, queue); }
    std::shared_ptr<DispatchQueue> unInstallSerialQueue() const { return read(m_unInstallSerialQueue); }
    void setUnInstallSerialQueue(const std::shared_ptr<DispatchQueue> &queue) { write(m_unInstallSerialQueue, queue); }

    bool unInstalling() const { return m_unInstalling; }
    void setUnInstalling(bool value) { m_unInstalling = value; }

    // Rows of the software-management list.
    VelquorSoftwareManagementList listModels() const { return read(m_listModels); }
    void setListModels(const VelquorSoftwareManagementList &value) { write(m_listModels, value); }

    // Product name of the selected device.
    QString productName() const { return read(m_productName); }
    void setProductName(const QString &value) { write(m_productName, value); }

    // Vehicles waiting for their size probe; the first one is being probed.
    QList<NeedDownloadEntry> needDownloadData() const { return read(m_needDownloadData); }
    void setNeedDownloadData(const QList<NeedDownloadEntry> &value) { write(m_needDownloadData, value); }
    // Appends unless that vehicle (letter case ignored) is queued already; answers whether it did.
    bool addNeedDownloadData(const QString &vehicle, const VelquorDownloadModelList &rows);
    std::optional<NeedDownloadEntry> firstNeedDownloadData() const;
    void removeFirstNeedDownloadData();
    // Removes exactly this entry (same vehicle, same record objects), wherever it stands now.
    bool removeNeedDownloadData(const NeedDownloadEntry &entry);
    bool containsNeedDownloadData(const QString &vehicle) const; // letter case ignored

private:
    // Every value is copied in or out under the one lock.
    template <typename T> T read(const T &field) const
    {
        std::lock_guard lock(m_mutex);
        return field;
    }
    template <typename T> void write(T &field, const T &value)
    {
        std::lock_guard lock(m_mutex);
        field = value;
    }

    mutable std::mutex m_mutex;
    QList<VelquorVehicleFamilyGroup> m_familyModels;
    VelquorDownloadModelPtr m_downloadModel;
    VelquorDownloadModelList m_downloadPausedModels;
    QStringList m_vehicles;
    std::atomic<qint64> m_decompressCount{0};
    std::shared_ptr<DispatchQueue> m_decompressSerialQueue;
    std::shared_ptr<DispatchQueue> m_getContentQueue;
    std::shared_ptr<DispatchQueue> m_reloadSDCardQueue;
    std::shared_ptr<DispatchQueue> m_unInstallSerialQueue;
    std::atomic<bool> m_unInstalling{false};
    VelquorSoftwareManagementList m_listModels;
    QString m_productName;
    QList<NeedDownloadEntry> m_needDownloadData;
};

#pragma once

#include "core/VelquorVehicleFamilyModel.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

// The account's devices and the chosen device's packages as the updates page sees them. Filled by
// the main view controller, read by the updates page; every field is written on the GUI thread, and
// every field but familyModels is read there only. familyModels is read everywhere, so it is
// exchanged under a lock as a whole list.
class VelquorMyUpdatesListModel
{
public:
    VelquorMyUpdatesListModel() = default;
    VelquorMyUpdatesListModel(const VelquorMyUpdatesListModel &) = delete;
    VelquorMyUpdatesListModel &operator=(const VelquorMyUpdatesListModel &) = delete;

    // Serial numbers and product names of all the account's devices.
    QStringList allSerialNumbers() const { return m_allSerialNumbers; }
    void setAllSerialNumbers(const QStringList &value) { m_allSerialNumbers = value; }
    QStringList allProductNames() const { return m_allProductNames; }
    void setAllProductNames(const QStringList &value) { m_allProductNames = value; }
    // The selected product's section of car_version (upper-case card path -> version). Read also by
    // the extraction, off the GUI thread.
    QHash<QString, QString> appendVersions() const
    {
        std::lock_guard lock(m_appendMutex);
        return m_appendVersions;
    }
    void setAppendVersions(const QHash<QString, QString> &value)
    {
        std::lock_guard lock(m_appendMutex);
        m_appendVersions = value;
    }

    // Rows of the updates list: one group per vehicle.
    QList<VelquorVehicleFamilyGroup> familyModels() const
    {
        std::lock_guard lock(m_familyMutex);
        return m_familyModels;
    }
    void setFamilyModels(const QList<VelquorVehicleFamilyGroup> &value)
    {
        std::lock_guard lock(m_familyMutex);
        m_familyModels = value;
    }

    // The device box: sorted serial numbers with their ids and product names in parallel.
    QStringList serialNumbers() const { return m_serialNumbers; }
    void setSerialNumbers(const QStringList &value) { m_serialNumbers = value; }
    QList<qint64> serialIDs() const { return m_serialIDs; }
    void setSerialIDs(const QList<qint64> &value) { m_serialIDs = value; }
    QStringList productNames() const { return m_productNames; }
    void setProductNames(const QStringList &value) { m_productNames = value; }
    // The card box: one item text per card volume, and the chosen one.
    QStringList sdPaths() const { return m_sdPaths; }
    void setSdPaths(const QStringList &value) { m_sdPaths = value; }
    QString sdPath() const { return m_sdPath; }
    void setSdPath(const QString &value) { m_sdPath = value; }
    // The chosen device.
    QString serialNumber() const { return m_serialNumber; }
    void setSerialNumber(const QString &value) { m_serialNumber = value; }
    QString productName() const { return m_productName; }
    void setProductName(const QString &value) { m_productName = value; }
    std::optional<qint64> serialID() const { return m_serialID; }
    void setSerialID(std::optional<qint64> value) { m_serialID = value; }
    // The list is being reloaded with the busy overlay shown.
    bool refresh() const { return m_refresh; }
    void setRefresh(bool value) { m_refresh = value; }

private:
    QStringList m_allSerialNumbers;
    QStringList m_allProductNames;
    mutable std::mutex m_appendMutex;
    QHash<QString, QString> m_appendVersions;
    mutable std::mutex m_familyMutex;
    QList<VelquorVehicleFamilyGroup> m_familyModels;
    QStringList m_serialNumbers;
    QList<qint64> m_serialIDs;
    QStringList m_productNames;
    QStringList m_sdPaths;
    QString m_sdPath;
    QString m_serialNumber;
    QString m_productName;
    std::optional<qint64> m_serialID;
    bool m_refresh = false;
};

#pragma once

#include "core/VelquorDeviceAttributes.h"
#include "core/VelquorDeviceMonitorDelegate.h"
#include "platform/WeakDelegate.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

class MountWatcher;
struct MountEntry;

// Which mounted volumes can be the scan tool's card, and when volumes come and go. Candidates are
// the removable, writable and unmountable volumes of the mount table, then the directories named
// in VELQUOR_CARD_VOLUMES (colon-separated; demo and tests). Scans may run on any thread; the
// name and path lists of the last scan are handed out as copies.
class VelquorDeviceManager
{
public:
    VelquorDeviceManager();
    ~VelquorDeviceManager();
    VelquorDeviceManager(const VelquorDeviceManager &) = delete;
    VelquorDeviceManager &operator=(const VelquorDeviceManager &) = delete;

    static VelquorDeviceManager &sharedManager();

    // Held without ownership; cleared by its owner before it goes away.
    void setDelegate(VelquorDeviceMonitorDelegate *delegate);
    VelquorDeviceMonitorDelegate *delegate() const;

    // Starts watching the mount table; events reach the delegate on the GUI thread. Called once,
    // at launch, on the GUI thread.
    void addObservers();
    // Stops watching, so that a later addObservers starts afresh (tests share the one manager).
    // On the GUI thread.
    void removeObservers();

    // Scans the mounted volumes; answers the candidates and refills the name and path lists.
    QList<VelquorDeviceAttributes> getDeviceInfoByUSBSerialPort();
    QStringList getDeviceNames() const;
    QStringList getDevicePaths() const;

    static QString getAvailableCapacityWithDeviceAttributes(const VelquorDeviceAttributes &attributes);
    static QString getTotalCapacityWithDeviceAttributes(const VelquorDeviceAttributes &attributes);
    // Run a scan; the figure of the last candidate, empty when there is none.
    QString getLastDeviceTotalCapacity();
    QString getLastDeviceAvailableCapacity();

    // The directories of VELQUOR_CARD_VOLUMES, in their order.
    static QStringList configuredCardVolumes();

    // Test seams: where the mount table and sysfs are read, and the event gathering time.
    void setMountInfoPath(const QString &path);
    void setSysfsRoot(const QString &path);
    void setDebounceInterval(int milliseconds);
    // Reads the mount table now instead of waiting for the kernel's signal (after addObservers).
    void checkMountsNow();

private:
    void deviceMounted(const MountEntry &entry);
    void deviceUnmounted(const MountEntry &entry);
    static bool concernsCards(const MountEntry &entry);

    WeakDelegate<VelquorDeviceMonitorDelegate> m_delegate;
    mutable std::mutex m_mutex;
    QStringList m_deviceNames;
    QStringList m_devicePaths;
    QString m_mountInfoPath;
    QString m_sysfsRoot;
    int m_debounceMs = 250;
    std::unique_ptr<MountWatcher> m_watcher; // lives on the GUI thread
    // Work handed to the GUI thread holds this weakly, so it does nothing once the manager is gone.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

#include "VelquorDeviceManager.h"

#include "platform/ByteCountFormatter.h"
#include "platform/DispatchQueue.h"
#include "platform/MountWatcher.h"
#include "platform/MountedVolumes.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace {

constexpr const char *CardVolumesVariable = "VELQUOR_CARD_VOLUMES";

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

Notification makeEvent(const char *name, const MountEntry &entry)
{
    return Notification{QString::fromLatin1(name),
                        {},
                        {{QStringLiteral("path"), entry.mountPoint},
                         {QStringLiteral("device"), entry.source},
                         {QStringLiteral("fsType"), entry.fsType}}};
}

} // namespace

VelquorDeviceManager::VelquorDeviceManager()
    : m_mountInfoPath(MountedVolumes::defaultMountInfoPath()), m_sysfsRoot(MountedVolumes::defaultSysfsRoot())
{}

VelquorDeviceManager::~VelquorDeviceManager() = default;

VelquorDeviceManager &VelquorDeviceManager::sharedManager()
{
    // Never destroyed: its watcher's notifier must not outlive the application object's dispatcher.
    static auto *manager = new VelquorDeviceManager;
    return *manager;
}

void VelquorDeviceManager::setDelegate(VelquorDeviceMonitorDelegate *delegate)
{
    m_delegate.set(delegate);
}

VelquorDeviceMonitorDelegate *VelquorDeviceManager::delegate() const
{
    return m_delegate.get();
}

void VelquorDeviceManager::setMountInfoPath(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_mountInfoPath = path;
}

void VelquorDeviceManager::setSysfsRoot(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_sysfsRoot = path;
}

void VelquorDeviceManager::setDebounceInterval(int milliseconds)
{
    m_debounceMs = milliseconds;
    if (m_watcher)
        m_watcher->setDebounceInterval(milliseconds);
}

void VelquorDeviceManager::addObservers()
{
    if (!DispatchQueue::main().isCurrent()) {
        // The watcher and its events belong to the GUI thread.
        DispatchQueue::main().async([this, lifetime = std::weak_ptr<int>(m_lifetime)] {
            if (lifetime.lock())
                addObservers();
        });
        return;
    }
    if (m_watcher)
        return;
    QString mountInfoPath;
    {
        std::lock_guard lock(m_mutex);
        m_deviceNames.clear();
        m_devicePaths.clear();
        mountInfoPath = m_mountInfoPath;
    }
    m_watcher = std::make_unique<MountWatcher>(mountInfoPath);
    m_watcher->setDebounceInterval(m_debounceMs);
    QObject::connect(m_watcher.get(), &MountWatcher::mounted, m_watcher.get(),
                     [this](const MountEntry &entry) { deviceMounted(entry); });
    QObject::connect(m_watcher.get(), &MountWatcher::unmounted, m_watcher.get(),
                     [this](const MountEntry &entry) { deviceUnmounted(entry); });
    m_watcher->start();
}

void VelquorDeviceManager::removeObservers()
{
    m_watcher.reset();
}

void VelquorDeviceManager::checkMountsNow()
{
    if (m_watcher)
        m_watcher->checkNow();
}

bool VelquorDeviceManager::concernsCards(const MountEntry &entry)
{
    if (entry.isBlockDevice() && entry.source.startsWith(QLatin1String("/dev/")))
        return true;
    const QString mountPoint = canonical(entry.mountPoint);
    for (const QString &directory : configuredCardVolumes()) {
        if (canonical(directory) == mountPoint)
            return true;
    }
    return false;
}

void VelquorDeviceManager::deviceMounted(const MountEntry &entry)
{
    if (!concernsCards(entry))
        return;
    const Notification event = makeEvent(MountWatcher::DidMountNotification, entry);
    m_delegate.call([&](VelquorDeviceMonitorDelegate &delegate) { delegate.deviceDidMounted(event); });
}

void VelquorDeviceManager::deviceUnmounted(const MountEntry &entry)
{
    if (!concernsCards(entry))
        return;
    const Notification event = makeEvent(MountWatcher::DidUnmountNotification, entry);
    m_delegate.call([&](VelquorDeviceMonitorDelegate &delegate) { delegate.deviceDidUnMounted(event); });
}

QStringList VelquorDeviceManager::configuredCardVolumes()
{
    const QString value = qEnvironmentVariable(CardVolumesVariable);
    QStringList directories;
    for (const QString &part : value.split(u':', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            directories.append(trimmed);
    }
    return directories;
}

QList<VelquorDeviceAttributes> VelquorDeviceManager::getDeviceInfoByUSBSerialPort()
{
    QString mountInfoPath;
    QString sysfsRoot;
    {
        std::lock_guard lock(m_mutex);
        mountInfoPath = m_mountInfoPath;
        sysfsRoot = m_sysfsRoot;
    }

    QStringList paths;
    for (const VolumeCandidate &volume : MountedVolumes::candidates(mountInfoPath, sysfsRoot))
        paths.append(volume.path);
    for (const QString &directory : configuredCardVolumes()) {
        if (QFileInfo(directory).isDir())
            paths.append(directory);
    }

    QList<VelquorDeviceAttributes> result;
    QStringList names;
    QStringList devicePaths;
    QSet<QString> seen;
    for (const QString &path : paths) {
        const QString key = canonical(path);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        const QStorageInfo storage(path);
        if (!storage.isValid() || !storage.isReady())
            continue; // its figures cannot be read
        VelquorDeviceAttributes attributes;
        attributes.path = path;
        attributes.name = path == QLatin1String("/") ? path : QFileInfo(QDir::cleanPath(path)).fileName();
        attributes.freeSize = storage.bytesAvailable();
        attributes.totalSize = storage.bytesTotal();
        result.append(attributes);
        names.append(attributes.name);
        devicePaths.append(attributes.path);
    }

    std::lock_guard lock(m_mutex);
    m_deviceNames = names;
    m_devicePaths = devicePaths;
    return result;
}

QStringList VelquorDeviceManager::getDeviceNames() const
{
    std::lock_guard lock(m_mutex);
    return m_deviceNames;
}

QStringList VelquorDeviceManager::getDevicePaths() const
{
    std::lock_guard lock(m_mutex);
    return m_devicePaths;
}

QString VelquorDeviceManager::getAvailableCapacityWithDeviceAttributes(const VelquorDeviceAttributes &attributes)
{
    return ByteCountFormatter::fileStyle(attributes.freeSize);
}

QString VelquorDeviceManager::getTotalCapacityWithDeviceAttributes(const VelquorDeviceAttributes &attributes)
{
    return ByteCountFormatter::fileStyle(attributes.totalSize);
}

QString VelquorDeviceManager::getLastDeviceTotalCapacity()
{
    const auto volumes = getDeviceInfoByUSBSerialPort();
    return volumes.isEmpty() ? QString() : getTotalCapacityWithDeviceAttributes(volumes.last());
}

QString VelquorDeviceManager::getLastDeviceAvailableCapacity()
{
    const auto volumes = getDeviceInfoByUSBSerialPort();
    return volumes.isEmpty() ? QString() : getAvailableCapacityWithDeviceAttributes(volumes.last());
}

#include "MountedVolumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

QByteArray readAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(256).trimmed();
}

bool isUnderMediaDirectory(const QString &mountPoint)
{
    return mountPoint.startsWith(QLatin1String("/media/")) || mountPoint.startsWith(QLatin1String("/run/media/"));
}

// The sysfs directory of the whole disk a block device's directory belongs to: a partition's
// directory holds "partition" and lies inside its disk's.
QString diskOf(const QString &device)
{
    return QFileInfo::exists(device + QStringLiteral("/partition")) ? QFileInfo(device).path() : device;
}

// The disk of a device and, below a mapped or RAID device, the disks of what it is made of.
void collectDisks(const QString &device, QSet<QString> &disks)
{
    const QString disk = diskOf(device);
    if (disk.isEmpty() || disks.contains(disk))
        return;
    disks.insert(disk);
    for (const QFileInfo &slave :
         QDir(disk + QStringLiteral("/slaves")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        collectDisks(slave.canonicalFilePath(), disks);
}

// The sysfs directory of a device named as the mount table names it. A mapped device (an encrypted
// or logical volume) is listed as /dev/mapper/NAME but lives in sysfs as dm-N, named in dm/name.
QString blockDirectoryOfSource(const QString &source, const QString &sysfsRoot)
{
    const QString name = QFileInfo(source).fileName();
    const QString classBlock = sysfsRoot + QStringLiteral("/class/block/");
    if (!source.startsWith(QLatin1String("/dev/mapper/")))
        return QFileInfo(classBlock + name).canonicalFilePath();
    for (const QFileInfo &device : QDir(classBlock).entryInfoList({QStringLiteral("dm-*")}, QDir::Dirs)) {
        QFile mappedName(device.filePath() + QStringLiteral("/dm/name"));
        if (mappedName.open(QIODevice::ReadOnly) && QString::fromUtf8(mappedName.readAll()).trimmed() == name)
            return device.canonicalFilePath();
    }
    return {};
}

bool isHidden(const QString &mountPoint)
{
    const auto parts = QStringView(mountPoint).split(u'/', Qt::SkipEmptyParts);
    for (const auto &part : parts) {
        if (part.startsWith(u'.'))
            return true;
    }
    return false;
}

} // namespace

bool MountEntry::isReadOnly() const
{
    return mountOptions.contains(QLatin1String("ro")) || superOptions.contains(QLatin1String("ro"));
}

bool MountEntry::operator==(const MountEntry &other) const
{
    return mountId == other.mountId && mountPoint == other.mountPoint && source == other.source &&
           major == other.major && minor == other.minor;
}

QString MountedVolumes::defaultMountInfoPath()
{
    return QStringLiteral("/proc/self/mountinfo");
}

QString MountedVolumes::defaultSysfsRoot()
{
    return QStringLiteral("/sys");
}

QString MountedVolumes::unescape(const QByteArray &field)
{
    // The kernel writes space, tab, line feed and backslash as three octal digits after a backslash.
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = digits.size() == 3;
            for (char d : digits)
                ok = ok && d >= '0' && d <= '7';
            if (ok) {
                out.append(char(digits.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return QString::fromUtf8(out);
}

QList<MountEntry> MountedVolumes::parseMountInfo(const QByteArray &text)
{
    // id parent major:minor root mount-point options [optional fields...] - fstype source super-options
    QList<MountEntry> entries;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (separator < 6 || separator + 2 >= fields.size())
            continue;
        MountEntry entry;
        bool idOk = false;
        bool parentOk = false;
        entry.mountId = fields[0].toInt(&idOk);
        entry.parentId = fields[1].toInt(&parentOk);
        const QList<QByteArray> numbers = fields[2].split(':');
        if (!idOk || !parentOk || numbers.size() != 2)
            continue;
        bool majorOk = false;
        bool minorOk = false;
        entry.major = numbers[0].toUInt(&majorOk);
        entry.minor = numbers[1].toUInt(&minorOk);
        if (!majorOk || !minorOk)
            continue;
        entry.root = unescape(fields[3]);
        entry.mountPoint = unescape(fields[4]);
        entry.mountOptions = QString::fromUtf8(fields[5]).split(u',', Qt::SkipEmptyParts);
        entry.fsType = unescape(fields[separator + 1]);
        entry.source = unescape(fields[separator + 2]);
        if (separator + 3 < fields.size())
            entry.superOptions = QString::fromUtf8(fields[separator + 3]).split(u',', Qt::SkipEmptyParts);
        entries.append(entry);
    }
    return entries;
}

QList<MountEntry> MountedVolumes::readMountInfo(const QString &mountInfoPath)
{
    QFile file(mountInfoPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A procfs file has no size; read until the end.
    return parseMountInfo(file.readAll());
}

BlockDeviceInfo MountedVolumes::readBlockDevice(const QString &sysfsRoot, quint32 major, quint32 minor)
{
    BlockDeviceInfo info;
    const QString link = sysfsRoot + QStringLiteral("/dev/block/%1:%2").arg(major).arg(minor);
    const QString device = QFileInfo(link).canonicalFilePath();
    if (device.isEmpty())
        return info;
    info.found = true;
    info.name = QFileInfo(device).fileName();

    const QString disk = diskOf(device);
    const QString diskName = QFileInfo(disk).fileName();
    info.disk = disk;

    info.removableFlag = readAttribute(disk + QStringLiteral("/removable")) == "1";
    info.readOnly =
        readAttribute(device + QStringLiteral("/ro")) == "1" || readAttribute(disk + QStringLiteral("/ro")) == "1";
    info.isLoop = diskName.startsWith(QLatin1String("loop"));

    bool onUsbBus = false;
    const QString relative = disk.mid(QFileInfo(sysfsRoot).canonicalFilePath().size());
    for (const auto &component : QStringView(relative).split(u'/', Qt::SkipEmptyParts)) {
        onUsbBus = onUsbBus || component.startsWith(u"usb");
        info.onMmcBus = info.onMmcBus || component.startsWith(u"mmc");
    }
    // An MMC controller also carries the eMMC soldered to a board; the card reports its type.
    const bool sdCard = info.onMmcBus && readAttribute(disk + QStringLiteral("/device/type")) == "SD";
    info.onRemovableBus = onUsbBus || sdCard;
    return info;
}

QSet<QString> MountedVolumes::systemDisks(const QList<MountEntry> &mounts, const QString &sysfsRoot)
{
    QSet<QString> disks;
    for (const MountEntry &mount : mounts) {
        if (mount.mountPoint != QLatin1String("/"))
            continue;
        QString directory;
        if (mount.isBlockDevice())
            directory = QFileInfo(sysfsRoot + QStringLiteral("/dev/block/%1:%2").arg(mount.major).arg(mount.minor))
                            .canonicalFilePath();
        else if (mount.source.startsWith(QLatin1String("/dev/"))) // btrfs shows no device numbers
            directory = blockDirectoryOfSource(mount.source, sysfsRoot);
        if (!directory.isEmpty())
            collectDisks(directory, disks);
    }
    return disks;
}

VolumeCandidate MountedVolumes::judge(const MountEntry &mount, const QString &sysfsRoot,
                                      const QSet<QString> &systemDisks)
{
    VolumeCandidate volume;
    volume.path = mount.mountPoint;
    volume.name = mount.mountPoint == QLatin1String("/") ? mount.mountPoint : QFileInfo(mount.mountPoint).fileName();
    volume.device = mount.source;
    volume.unmountable = mount.mountPoint != QLatin1String("/");
    if (!mount.isBlockDevice())
        return volume; // tmpfs, proc, network and other virtual file systems
    const BlockDeviceInfo device = readBlockDevice(sysfsRoot, mount.major, mount.minor);
    if (!device.found)
        return volume;
    // On an MMC controller the removable flag is not trusted: only an SD card counts there.
    const bool removableDisk = device.onRemovableBus || (device.removableFlag && !device.onMmcBus);
    volume.removable = !systemDisks.contains(device.disk) &&
                       (removableDisk || (device.isLoop && isUnderMediaDirectory(mount.mountPoint)));
    volume.writable = !mount.isReadOnly() && !device.readOnly;
    return volume;
}

QList<VolumeCandidate> MountedVolumes::scan(const QString &mountInfoPath, const QString &sysfsRoot)
{
    QList<VolumeCandidate> volumes;
    QSet<QString> seenDevices;
    const QList<MountEntry> mounts = readMountInfo(mountInfoPath);
    const QSet<QString> system = systemDisks(mounts, sysfsRoot);
    for (const MountEntry &mount : mounts) {
        if (mount.root != QLatin1String("/") || isHidden(mount.mountPoint))
            continue;
        if (mount.isBlockDevice()) {
            const QString key = QStringLiteral("%1:%2").arg(mount.major).arg(mount.minor);
            if (seenDevices.contains(key))
                continue;
            seenDevices.insert(key);
        }
        volumes.append(judge(mount, sysfsRoot, system));
    }
    return volumes;
}

QList<VolumeCandidate> MountedVolumes::candidates(const QString &mountInfoPath, const QString &sysfsRoot)
{
    QList<VolumeCandidate> result;
    for (const VolumeCandidate &volume : scan(mountInfoPath, sysfsRoot)) {
        if (volume.isCandidate())
            result.append(volume);
    }
    return result;
}

#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QStringList>

// One line of /proc/<pid>/mountinfo.
struct MountEntry
{
    int mountId = -1;
    int parentId = -1;
    quint32 major = 0;
    quint32 minor = 0;
    QString root;       // the subtree of the file system mounted here ("/" unless a bind mount)
    QString mountPoint; // escapes (\040 ...) decoded
    QStringList mountOptions;
    QString fsType;
    QString source; // "/dev/sdb1", "server:/export", "tmpfs"
    QStringList superOptions;

    // A mount of a real block device (device numbers with a non-zero major).
    bool isBlockDevice() const { return major != 0; }
    bool isReadOnly() const;
    bool operator==(const MountEntry &other) const;
};
Q_DECLARE_METATYPE(MountEntry)

// What sysfs says about one block device (a partition is judged by its whole disk).
struct BlockDeviceInfo
{
    bool found = false;
    QString name;                // "sdb1", "mmcblk0p1", "loop3"
    QString disk;                // the sysfs directory of its whole disk
    bool removableFlag = false;  // the disk's "removable" attribute
    bool onRemovableBus = false; // below a USB controller, or an SD card on an MMC controller
    bool onMmcBus = false;       // below an MMC controller, whatever the card (soldered eMMC too)
    bool isLoop = false;
    bool readOnly = false; // the partition's or disk's "ro" attribute
};

// A mounted volume as the card chooser judges it.
struct VolumeCandidate
{
    QString path;
    QString name;   // display name: the mount point's last component
    QString device; // mount source
    bool removable = false;
    bool writable = false;
    bool unmountable = false;

    bool isCandidate() const { return removable && writable && unmountable; }
};

// Mounted volumes from mountinfo and sysfs. The readers take their root paths so that tests run on
// fixture trees: a mountinfo file and a directory laid out like /sys.
class MountedVolumes
{
public:
    static QString defaultMountInfoPath(); // "/proc/self/mountinfo"
    static QString defaultSysfsRoot();     // "/sys"

    static QList<MountEntry> parseMountInfo(const QByteArray &text);
    static QList<MountEntry> readMountInfo(const QString &mountInfoPath);
    static BlockDeviceInfo readBlockDevice(const QString &sysfsRoot, quint32 major, quint32 minor);

    // Removable: the disk's removable flag, a USB bus, an SD card on an MMC bus (there only an SD
    // card counts, whatever the flag), or a loop device (a disk image) mounted under /media or
    // /run/media; never a partition of a disk that holds "/". Writable: mounted read-write on a
    // device that is not read-only. Unmountable: not the root file system. Bind mounts of a subtree,
    // hidden mount points and second mounts of the same device are left out; the order is mountinfo's.
    static QList<VolumeCandidate> scan(const QString &mountInfoPath, const QString &sysfsRoot);
    // systemDisks: the sysfs directories of the disks that hold "/" (see systemDisks()).
    static VolumeCandidate judge(const MountEntry &mount, const QString &sysfsRoot,
                                 const QSet<QString> &systemDisks = {});
    // The disks under the root file system, those below a mapped or RAID device included.
    static QSet<QString> systemDisks(const QList<MountEntry> &mounts, const QString &sysfsRoot);
    // Only the volumes that are removable, writable and unmountable.
    static QList<VolumeCandidate> candidates(const QString &mountInfoPath, const QString &sysfsRoot);

    static QString unescape(const QByteArray &field);
};

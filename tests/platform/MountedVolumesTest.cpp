#include "platform/MountedVolumes.h"
#include "platform/MountWatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A directory laid out like /sys with the block devices of a typical desktop.
class SysfsFixture
{
public:
    SysfsFixture()
    {
        // Internal SATA disk with the root partition.
        addDevice("8:1", "devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda", "sda1", "0");
        // USB card reader: the removable flag is not set, the bus makes it removable.
        addDevice("8:17", "devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb",
                  "sdb1", "0");
        // Built-in SD slot.
        addDevice("179:1", "devices/platform/soc/fe340000.mmc/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0", "mmcblk0p1", "0");
        setCardType("devices/platform/soc/fe340000.mmc/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0", "SD");
        // Disk images.
        addDevice("7:0", "devices/virtual/block/loop0", QString(), "0", "1");
        addDevice("7:1", "devices/virtual/block/loop1", QString(), "0");
    }

    QString root() const { return m_dir.path(); }

    QString writeMountInfo(const QByteArray &text) const
    {
        const QString path = m_dir.filePath(QStringLiteral("mountinfo"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        return path;
    }

    void addDevice(const QString &numbers, const QString &disk, const QString &partition, const QString &removable,
                   const QString &readOnly = QStringLiteral("0"))
    {
        const QString diskPath = m_dir.filePath(disk);
        QDir().mkpath(diskPath);
        write(diskPath + QStringLiteral("/removable"), removable);
        write(diskPath + QStringLiteral("/ro"), readOnly);
        QString device = diskPath;
        if (!partition.isEmpty()) {
            device = diskPath + u'/' + partition;
            QDir().mkpath(device);
            write(device + QStringLiteral("/partition"), QStringLiteral("1"));
            write(device + QStringLiteral("/ro"), readOnly);
        }
        QDir().mkpath(m_dir.filePath(QStringLiteral("dev/block")));
        QFile::link(device, m_dir.filePath(QStringLiteral("dev/block/") + numbers));
        QDir().mkpath(m_dir.filePath(QStringLiteral("class/block")));
        QFile::link(device, m_dir.filePath(QStringLiteral("class/block/") + QFileInfo(device).fileName()));
    }

    // The type of the card an MMC disk is: "SD", or "MMC" for a soldered eMMC (.../mmc0:aaaa/block/mmcblk0).
    void setCardType(const QString &disk, const QString &type)
    {
        const QString card = QDir::cleanPath(m_dir.filePath(disk) + QStringLiteral("/../.."));
        write(card + QStringLiteral("/type"), type);
        QFile::link(card, m_dir.filePath(disk) + QStringLiteral("/device"));
    }

    // A mapped device (an encrypted or logical volume) made of a partition.
    void addSlave(const QString &holder, const QString &partition)
    {
        const QString slaves = m_dir.filePath(holder) + QStringLiteral("/slaves");
        QDir().mkpath(slaves);
        QFile::link(m_dir.filePath(partition), slaves + u'/' + QFileInfo(partition).fileName());
    }

    // The name a mapped device is listed by in the mount table (/dev/mapper/NAME).
    void setMappedName(const QString &holder, const QString &name)
    {
        QDir().mkpath(m_dir.filePath(holder) + QStringLiteral("/dm"));
        write(m_dir.filePath(holder) + QStringLiteral("/dm/name"), name);
    }

private:
    static void write(const QString &path, const QString &text)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8() + '\n');
    }

    QTemporaryDir m_dir;
};

const QByteArray DesktopMounts =
    "26 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 26 0:25 / /tmp rw,nosuid,nodev shared:5 - tmpfs tmpfs rw,size=812k\n"
    "41 26 7:0 / /media/user/IMAGE ro,nosuid,nodev,relatime shared:60 - iso9660 /dev/loop0 ro\n"
    "42 26 0:50 / /mnt/share rw,relatime shared:61 - nfs4 server:/export rw,vers=4.2\n"
    "43 26 8:17 / /media/user/MY\\040CARD rw,nosuid,nodev,relatime shared:62 - vfat /dev/sdb1 rw,fmask=0022\n"
    "44 26 8:17 /Scan /home/user/scan rw,relatime shared:62 - vfat /dev/sdb1 rw\n"
    "45 26 179:1 / /media/user/SDSLOT rw,nosuid,nodev,relatime shared:63 - exfat /dev/mmcblk0p1 rw\n"
    "46 26 7:1 / /run/media/user/DISKIMAGE rw,nosuid,nodev shared:64 - vfat /dev/loop1 rw\n"
    "47 26 7:1 / /srv/loopdisk rw shared:65 - vfat /dev/loop1 rw\n";

TEST(MountedVolumesTest, ParsesMountInfoLines)
{
    const QList<MountEntry> entries = MountedVolumes::parseMountInfo(DesktopMounts + "garbage line\n\n");
    ASSERT_EQ(entries.size(), 9);
    const MountEntry &card = entries[4];
    EXPECT_EQ(card.mountId, 43);
    EXPECT_EQ(card.major, 8u);
    EXPECT_EQ(card.minor, 17u);
    EXPECT_EQ(card.mountPoint, QStringLiteral("/media/user/MY CARD"));
    EXPECT_EQ(card.fsType, QStringLiteral("vfat"));
    EXPECT_EQ(card.source, QStringLiteral("/dev/sdb1"));
    EXPECT_FALSE(card.isReadOnly());
    EXPECT_TRUE(entries[2].isReadOnly());
    EXPECT_FALSE(entries[3].isBlockDevice());
}

TEST(MountedVolumesTest, OnlyRemovableWritableUnmountableVolumesAreCandidatesInScanOrder)
{
    SysfsFixture sysfs;
    const QString mountInfo = sysfs.writeMountInfo(DesktopMounts);

    const QList<VolumeCandidate> all = MountedVolumes::scan(mountInfo, sysfs.root());
    auto find = [&](const QString &path) {
        for (const auto &volume : all) {
            if (volume.path == path)
                return volume;
        }
        ADD_FAILURE() << "no volume " << path.toStdString();
        return VolumeCandidate();
    };
    EXPECT_FALSE(find(QStringLiteral("/")).isCandidate());                 // internal, and the root
    EXPECT_FALSE(find(QStringLiteral("/tmp")).isCandidate());              // tmpfs
    EXPECT_FALSE(find(QStringLiteral("/mnt/share")).isCandidate());        // network
    EXPECT_FALSE(find(QStringLiteral("/media/user/IMAGE")).isCandidate()); // read-only disk image
    EXPECT_TRUE(find(QStringLiteral("/media/user/IMAGE")).removable);

    const QList<VolumeCandidate> candidates = MountedVolumes::candidates(mountInfo, sysfs.root());
    ASSERT_EQ(candidates.size(), 3);
    EXPECT_EQ(candidates[0].path, QStringLiteral("/media/user/MY CARD")); // USB bus
    EXPECT_EQ(candidates[0].name, QStringLiteral("MY CARD"));
    EXPECT_EQ(candidates[1].path, QStringLiteral("/media/user/SDSLOT"));        // MMC bus
    EXPECT_EQ(candidates[2].path, QStringLiteral("/run/media/user/DISKIMAGE")); // writable disk image
    // The bind mount of a subtree and the second mount of the image are not listed again.
    for (const auto &volume : all) {
        EXPECT_NE(volume.path, QStringLiteral("/home/user/scan"));
        EXPECT_NE(volume.path, QStringLiteral("/srv/loopdisk"));
    }
}

TEST(MountedVolumesTest, ALoopDeviceOutsideTheMediaDirectoriesIsNotRemovable)
{
    SysfsFixture sysfs;
    const QString mountInfo = sysfs.writeMountInfo("47 26 7:1 / /srv/loopdisk rw shared:65 - vfat /dev/loop1 rw\n");
    const QList<VolumeCandidate> volumes = MountedVolumes::scan(mountInfo, sysfs.root());
    ASSERT_EQ(volumes.size(), 1);
    EXPECT_FALSE(volumes[0].removable);
    EXPECT_TRUE(volumes[0].writable);
}

TEST(MountedVolumesTest, NoPartitionOfTheSystemDiskNorOfAnEmmcIsACard)
{
    SysfsFixture sysfs;
    const QString sdCard = QStringLiteral("devices/platform/soc/fe340000.mmc/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0");
    sysfs.addDevice("179:2", sdCard, "mmcblk0p2", "0");
    const QString emmc = QStringLiteral("devices/platform/soc/fe330000.mmc/mmc_host/mmc1/mmc1:0001/block/mmcblk1");
    sysfs.addDevice("179:9", emmc, "mmcblk1p1", "1"); // the flag is not what tells a card on this bus
    sysfs.addDevice("179:10", emmc, "mmcblk1p2", "1");
    sysfs.addDevice("179:11", emmc, "mmcblk1p3", "1");
    sysfs.setCardType(emmc, "MMC");
    sysfs.addDevice("259:2", "devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1", "nvme0n1p2", "0");
    sysfs.addDevice("253:0", "devices/virtual/block/dm-0", QString(), "0");
    sysfs.addSlave("devices/virtual/block/dm-0", sdCard + QStringLiteral("/mmcblk0p2"));
    sysfs.setMappedName("devices/virtual/block/dm-0", "root");

    const QByteArray usbCard = "40 26 8:17 / /media/user/CARD rw,nosuid,nodev - vfat /dev/sdb1 rw\n";
    const QByteArray bootFirmware = "27 26 179:1 / /boot/firmware rw,relatime - vfat /dev/mmcblk0p1 rw\n";
    const struct
    {
        const char *machine;
        QByteArray mounts;
        QStringList cards;
    } cases[] = {
        {"laptop booted from its eMMC, an SD card in its slot",
         "26 1 179:10 / / rw,relatime - ext4 /dev/mmcblk1p2 rw\n"
         "27 26 179:9 / /boot/efi rw,relatime - vfat /dev/mmcblk1p1 rw\n"
         "28 26 179:11 / /home rw,relatime - ext4 /dev/mmcblk1p3 rw\n"
         "29 26 179:1 / /media/user/SDSLOT rw,nosuid,nodev - exfat /dev/mmcblk0p1 rw\n",
         {QStringLiteral("/media/user/SDSLOT")}},
        {"laptop booted from NVMe, its eMMC mounted by the desktop",
         "26 1 259:2 / / rw,relatime - ext4 /dev/nvme0n1p2 rw\n"
         "29 26 179:9 / /media/user/EMMC rw,nosuid,nodev - vfat /dev/mmcblk1p1 rw\n" +
             usbCard,
         {QStringLiteral("/media/user/CARD")}},
        {"board booted from its SD card, root on btrfs",
         "26 1 0:31 / / rw,relatime - btrfs /dev/mmcblk0p2 rw,subvol=/\n" + bootFirmware + usbCard,
         {QStringLiteral("/media/user/CARD")}},
        {"board booted from its SD card, root on encrypted btrfs",
         "26 1 0:31 / / rw,relatime - btrfs /dev/mapper/root rw,subvol=/\n" + bootFirmware + usbCard,
         {QStringLiteral("/media/user/CARD")}},
        {"board booted from its SD card, root encrypted",
         "26 1 253:0 / / rw,relatime - ext4 /dev/mapper/root rw\n" + bootFirmware + usbCard,
         {QStringLiteral("/media/user/CARD")}},
    };
    for (const auto &machine : cases) {
        SCOPED_TRACE(machine.machine);
        QStringList cards;
        for (const VolumeCandidate &volume :
             MountedVolumes::candidates(sysfs.writeMountInfo(machine.mounts), sysfs.root()))
            cards.append(volume.path);
        EXPECT_EQ(cards.join(u' ').toStdString(), machine.cards.join(u' ').toStdString());
    }
}

TEST(MountWatcherTest, ReportsMountsAndUnmountsByComparingTheTable)
{
    SysfsFixture sysfs;
    const QString mountInfo = sysfs.writeMountInfo("26 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                   "30 26 0:25 / /tmp rw - tmpfs tmpfs rw\n");
    MountWatcher watcher(mountInfo);
    ASSERT_TRUE(watcher.start());
    QSignalSpy mounted(&watcher, &MountWatcher::mounted);
    QSignalSpy unmounted(&watcher, &MountWatcher::unmounted);

    sysfs.writeMountInfo("26 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                         "43 26 8:17 / /media/user/CARD rw - vfat /dev/sdb1 rw\n");
    watcher.checkNow();
    ASSERT_EQ(mounted.size(), 1);
    EXPECT_EQ(mounted[0][0].value<MountEntry>().mountPoint, QStringLiteral("/media/user/CARD"));
    ASSERT_EQ(unmounted.size(), 1);
    EXPECT_EQ(unmounted[0][0].value<MountEntry>().mountPoint, QStringLiteral("/tmp"));

    watcher.checkNow(); // nothing changed
    EXPECT_EQ(mounted.size(), 1);
    EXPECT_EQ(unmounted.size(), 1);
}

} // namespace

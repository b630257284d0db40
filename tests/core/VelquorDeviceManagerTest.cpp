#include "core/VelquorDeviceManager.h"
#include "platform/ByteCountFormatter.h"
#include "platform/MountWatcher.h"

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include <unistd.h>

namespace {

class RecordingMonitor : public VelquorDeviceMonitorDelegate
{
public:
    void deviceDidMounted(const Notification &notification) override
    {
        mounted.append(notification.userInfo.value(QStringLiteral("path")).toString());
    }
    void deviceDidUnMounted(const Notification &notification) override
    {
        unmounted.append(notification.userInfo.value(QStringLiteral("path")).toString());
    }
    QStringList mounted;
    QStringList unmounted;
};

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(VelquorDeviceManagerTest, ConfiguredDirectoriesAreListedWithTheirSpace)
{
    QTemporaryDir work;
    const QString cardA = work.filePath(QStringLiteral("CARD_A"));
    const QString cardB = work.filePath(QStringLiteral("CARD_B"));
    QDir().mkpath(cardA);
    QDir().mkpath(cardB);
    qputenv("VELQUOR_CARD_VOLUMES", (cardA + u':' + work.filePath(QStringLiteral("absent")) + u':' + cardB).toUtf8());
    const QString emptyTable = work.filePath(QStringLiteral("mountinfo"));
    writeText(emptyTable, "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n");

    VelquorDeviceManager manager;
    manager.setMountInfoPath(emptyTable);
    manager.setSysfsRoot(work.filePath(QStringLiteral("sys")));
    const QList<VelquorDeviceAttributes> volumes = manager.getDeviceInfoByUSBSerialPort();
    qunsetenv("VELQUOR_CARD_VOLUMES");

    ASSERT_EQ(volumes.size(), 2); // the absent directory is left out
    EXPECT_EQ(manager.getDevicePaths(), QStringList({cardA, cardB}));
    EXPECT_EQ(manager.getDeviceNames(), QStringList({QStringLiteral("CARD_A"), QStringLiteral("CARD_B")}));
    const QStorageInfo storage(cardA);
    EXPECT_GT(volumes[0].freeSize, 0);
    EXPECT_EQ(volumes[0].totalSize, storage.bytesTotal());
    EXPECT_EQ(VelquorDeviceManager::getAvailableCapacityWithDeviceAttributes(volumes[0]),
              ByteCountFormatter::fileStyle(volumes[0].freeSize));
    EXPECT_EQ(VelquorDeviceManager::getTotalCapacityWithDeviceAttributes(volumes[1]),
              ByteCountFormatter::fileStyle(storage.bytesTotal()));
}

TEST(VelquorDeviceManagerTest, OnlyBlockDeviceMountsAndConfiguredDirectoriesReachTheDelegate)
{
    QTemporaryDir work;
    const QString card = work.filePath(QStringLiteral("DEMO"));
    QDir().mkpath(card);
    qputenv("VELQUOR_CARD_VOLUMES", card.toUtf8());
    const QString table = work.filePath(QStringLiteral("mountinfo"));
    writeText(table, "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n");

    VelquorDeviceManager manager;
    RecordingMonitor monitor;
    manager.setDelegate(&monitor);
    manager.setMountInfoPath(table);
    manager.addObservers();

    writeText(table, "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                     "40 26 0:60 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n"
                     "43 26 8:17 / /media/user/CARD rw - vfat /dev/sdb1 rw\n" +
                         QByteArray("44 26 0:61 / ") + card.toUtf8() + " rw - tmpfs tmpfs rw\n");
    manager.checkMountsNow();
    EXPECT_EQ(monitor.mounted, QStringList({QStringLiteral("/media/user/CARD"), card}));

    writeText(table, "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    manager.checkMountsNow();
    EXPECT_EQ(monitor.unmounted, QStringList({QStringLiteral("/media/user/CARD"), card}));
    manager.setDelegate(nullptr);
    qunsetenv("VELQUOR_CARD_VOLUMES");
}

// Runs a command; true when it exited with 0.
bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitCode() == 0;
}

// An image mounted through a loop device under /media, as a desktop mounts a card: FAT where the
// kernel has vfat, else ext2, which reaches the manager by the same mount events.
class RealCard
{
public:
    ~RealCard()
    {
        unmount();
        if (!m_loop.isEmpty())
            run(QStringLiteral("losetup"), {QStringLiteral("-d"), m_loop});
        if (!m_mountPoint.isEmpty())
            QDir().rmdir(m_mountPoint);
    }

    // Empty when it worked, else why the test cannot run here.
    QString prepare(const QString &workDir)
    {
        if (::geteuid() != 0)
            return QStringLiteral("loop mounting needs root");
        const QString image = workDir + QStringLiteral("/card.img");
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(32 * 1024 * 1024))
            return QStringLiteral("cannot make the image");
        file.close();
        if (!run(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image}, &m_loop) ||
            m_loop.isEmpty())
            return QStringLiteral("no loop device may be set up here");
        m_mountPoint = QStringLiteral("/media/velquor-test-%1").arg(::getpid());
        if (!QDir().mkpath(m_mountPoint))
            return QStringLiteral("cannot create %1").arg(m_mountPoint);
        return {};
    }

    // Makes the file system the first time and mounts it; false when no kind can be mounted.
    bool mount()
    {
        if (m_fileSystem.isEmpty()) {
            const std::pair<QString, QStringList> kinds[] = {
                {QStringLiteral("vfat"), {QStringLiteral("mkfs.vfat"), QStringLiteral("-n"), QStringLiteral("VELQUORTEST")}},
                {QStringLiteral("ext2"), {QStringLiteral("mkfs.ext2"), QStringLiteral("-q"), QStringLiteral("-F")}},
            };
            for (const auto &[kind, make] : kinds) {
                if (run(make.first(), make.mid(1) + QStringList{m_loop}) && mountAs(kind)) {
                    m_fileSystem = kind;
                    return true;
                }
            }
            return false;
        }
        return mountAs(m_fileSystem);
    }

    bool unmount()
    {
        if (!m_mounted)
            return true;
        m_mounted = !run(QStringLiteral("umount"), {m_mountPoint});
        return !m_mounted;
    }

    QString mountPoint() const { return m_mountPoint; }

private:
    bool mountAs(const QString &kind)
    {
        m_mounted = run(QStringLiteral("mount"), {QStringLiteral("-t"), kind, m_loop, m_mountPoint});
        return m_mounted;
    }

    QString m_loop;
    QString m_mountPoint;
    QString m_fileSystem;
    bool m_mounted = false;
};

TEST(VelquorDeviceManagerTest, ARealCardIsSeenComingAndGoing)
{
    QTemporaryDir work;
    RealCard card;
    const QString reason = card.prepare(work.path());
    if (!reason.isEmpty())
        GTEST_SKIP() << reason.toStdString();

    VelquorDeviceManager manager;
    RecordingMonitor monitor;
    manager.setDelegate(&monitor);
    manager.setDebounceInterval(50);
    manager.addObservers();

    if (!card.mount()) {
        manager.setDelegate(nullptr);
        GTEST_SKIP() << "the kernel mounts neither vfat nor ext2 from a loop device here";
    }
    EXPECT_TRUE(waitUntil([&] { return monitor.mounted.contains(card.mountPoint()); }, 10000));
    const QList<VelquorDeviceAttributes> volumes = manager.getDeviceInfoByUSBSerialPort();
    bool found = false;
    for (const auto &volume : volumes) {
        if (volume.path == card.mountPoint()) {
            found = true;
            EXPECT_GT(volume.freeSize, 0);
            EXPECT_LE(volume.freeSize, volume.totalSize);
        }
    }
    EXPECT_TRUE(found);

    ASSERT_TRUE(card.unmount());
    EXPECT_TRUE(waitUntil([&] { return monitor.unmounted.contains(card.mountPoint()); }, 10000));
    manager.getDeviceInfoByUSBSerialPort();
    EXPECT_FALSE(manager.getDevicePaths().contains(card.mountPoint()));

    // Put back in, it is seen again.
    ASSERT_TRUE(card.mount());
    EXPECT_TRUE(waitUntil([&] { return monitor.mounted.count(card.mountPoint()) == 2; }, 10000));
    manager.getDeviceInfoByUSBSerialPort();
    EXPECT_TRUE(manager.getDevicePaths().contains(card.mountPoint()));
    ASSERT_TRUE(card.unmount());
    manager.setDelegate(nullptr);
}

} // namespace

namespace {

TEST(VelquorDeviceManagerTest, AManagerGoneBeforeItsObservationStartsIsLeftAlone)
{
    QTemporaryDir work;
    const QString table = work.filePath(QStringLiteral("mountinfo"));
    writeText(table, "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    auto manager = std::make_unique<VelquorDeviceManager>();
    manager->setMountInfoPath(table);
    // Started off the GUI thread, the observation is handed to it; the manager goes first.
    std::thread([&] { manager->addObservers(); }).join();
    manager.reset();
    waitUntil([] { return false; }, 100);
}

} // namespace

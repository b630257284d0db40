#include "FatCard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

namespace {

struct Run
{
    bool ok = false;
    QString output;
};

Run run(const QString &program, const QStringList &arguments, int timeoutMs = 30000)
{
    Run result;
    if (QStandardPaths::findExecutable(program).isEmpty()
        && QStandardPaths::findExecutable(program, {"/sbin", "/usr/sbin"}).isEmpty()) {
        result.output = program + " is not installed";
        return result;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(program, {"/sbin", "/usr/sbin"});
    process.start(path, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.output = program + " did not finish";
        return result;
    }
    result.output = QString::fromLocal8Bit(process.readAll());
    result.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return result;
}

// Whether /proc/self/mountinfo lists the folder as a mount point.
bool isMountPoint(const QString &path)
{
    QFile mountinfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountinfo.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QDir(path).canonicalPath().toLocal8Bit();
    for (const QByteArray &line : mountinfo.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 4 && fields.at(4) == wanted)
            return true;
    }
    return false;
}

bool waitForMountState(const QString &path, bool mounted)
{
    QDeadlineTimer deadline(10000);
    while (isMountPoint(path) != mounted) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

FatCard::FatCard(int megabytes)
    : m_dir(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velquor-card-XXXXXX")))
{
    m_imagePath = m_dir->filePath(QStringLiteral("card.img"));
    m_mountPath = m_dir->filePath(QStringLiteral("SDCARD"));
    QDir().mkpath(m_mountPath);
    const Run made = run(QStringLiteral("mkfs.vfat"),
                         {QStringLiteral("-C"), QStringLiteral("-n"), QStringLiteral("SDCARD"), m_imagePath,
                          QString::number(qint64(megabytes) * 1024)});
    if (!made.ok) {
        m_skipReason = QStringLiteral("no FAT image could be made: ") + made.output;
        return;
    }
    m_mounted = mountImage();
}

FatCard::~FatCard()
{
    unmount();
}

bool FatCard::mountImage()
{
    // The kernel's vfat first: it is what a real card reader gives.
    const Run loop = run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("vfat"), QStringLiteral("-o"),
                                                   QStringLiteral("loop,uid=%1,gid=%2").arg(getuid()).arg(getgid()),
                                                   m_imagePath, m_mountPath});
    if (loop.ok && waitForMountState(m_mountPath, true)) {
        m_driver = QStringLiteral("vfat");
        return true;
    }
    const Run fuse = run(QStringLiteral("fusefat"), {QStringLiteral("-o"), QStringLiteral("rw+"), m_imagePath, m_mountPath});
    if (fuse.ok && waitForMountState(m_mountPath, true)) {
        m_driver = QStringLiteral("fusefat");
        return true;
    }
    m_skipReason = QStringLiteral("neither the kernel's vfat (%1) nor fusefat (%2) could mount a FAT image here")
                       .arg(loop.output.trimmed(), fuse.output.trimmed());
    return false;
}

bool FatCard::unmount()
{
    if (!m_mounted)
        return true;
    run(QStringLiteral("sync"), {});
    // Another process looking at the mount point just then (a volume scan of a test running beside
    // this one) keeps it busy for a moment: try again for a while.
    QDeadlineTimer deadline(30000);
    for (;;) {
        const Run done = m_driver == QStringLiteral("fusefat")
                             ? run(QStringLiteral("fusermount"), {QStringLiteral("-u"), m_mountPath})
                             : run(QStringLiteral("umount"), {m_mountPath});
        if (done.ok)
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(200);
    }
    if (!waitForMountState(m_mountPath, false))
        return false;
    m_mounted = false;
    return true;
}

bool FatCard::remount(const QString &mountPath)
{
    if (m_mounted)
        return mountPath.isEmpty() || mountPath == m_mountPath;
    if (!mountPath.isEmpty()) {
        QDir().mkpath(mountPath);
        m_mountPath = mountPath;
    }
    m_mounted = mountImage();
    return m_mounted;
}

bool FatCard::fsckClean(QString *output) const
{
    const Run checked = run(QStringLiteral("fsck.vfat"), {QStringLiteral("-n"), m_imagePath});
    if (output)
        *output = checked.output;
    return checked.ok;
}

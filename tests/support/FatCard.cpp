#include "FatCard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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

// The source of the mount at the folder, as /proc/self/mountinfo lists it ("/dev/loop3", "fusefat"),
// or an empty text when the folder is no mount point.
QByteArray mountSource(const QString &path)
{
    QFile mountinfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountinfo.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wanted = QDir(path).canonicalPath().toLocal8Bit();
    for (const QByteArray &line : mountinfo.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() <= 4 || fields.at(4) != wanted)
            continue;
        // The optional fields end with "-", then come the type and the source.
        const qsizetype separator = fields.indexOf("-", 5);
        return separator >= 0 && separator + 2 < fields.size() ? fields.at(separator + 2) : QByteArray("?");
    }
    return {};
}

bool isMountPoint(const QString &path)
{
    return !mountSource(path).isEmpty();
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

// Whether the child has ended (and is reaped); waits for it at most `timeoutMs`.
bool waitForExit(pid_t pid, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const pid_t ended = waitpid(pid, nullptr, WNOHANG);
        if (ended == pid || (ended < 0 && errno == ECHILD))
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
}

// Whether the loop device (for example "loop3") still has the image as its backing file.
bool loopHoldsImage(const QByteArray &device, const QString &imagePath)
{
    QFile backing(QStringLiteral("/sys/block/%1/loop/backing_file").arg(QString::fromLocal8Bit(device)));
    if (!backing.open(QIODevice::ReadOnly))
        return false;
    return QString::fromLocal8Bit(backing.readAll()).trimmed() == QFileInfo(imagePath).canonicalFilePath();
}

} // namespace

FatCard::FatCard(int megabytes)
    : m_dir(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velquor-card-XXXXXX")))
{
    m_imagePath = m_dir->filePath(QStringLiteral("card.img"));
    m_mountPath = m_dir->filePath(QStringLiteral("SDCARD"));
    QDir().mkpath(m_mountPath);
    const Run made =
        run(QStringLiteral("mkfs.vfat"), {QStringLiteral("-C"), QStringLiteral("-n"), QStringLiteral("SDCARD"),
                                          m_imagePath, QString::number(qint64(megabytes) * 1024)});
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
    const Run loop = run(QStringLiteral("mount"),
                         {QStringLiteral("-t"), QStringLiteral("vfat"), QStringLiteral("-o"),
                          QStringLiteral("loop,uid=%1,gid=%2").arg(getuid()).arg(getgid()), m_imagePath, m_mountPath});
    if (loop.ok && waitForMountState(m_mountPath, true)) {
        m_driver = QStringLiteral("vfat");
        const QByteArray source = mountSource(m_mountPath);
        m_loopDevice = source.startsWith("/dev/") ? source.mid(5) : QByteArray();
        return true;
    }
    QString fuseOutput;
    if (startFusefat(&fuseOutput)) {
        m_driver = QStringLiteral("fusefat");
        return true;
    }
    m_skipReason = QStringLiteral("neither the kernel's vfat (%1) nor fusefat (%2) could mount a FAT image here")
                       .arg(loop.output.trimmed(), fuseOutput.trimmed());
    return false;
}

bool FatCard::startFusefat(QString *output)
{
    // In the foreground, as our own child: it writes the image's tables when it ends, so the unmount
    // waits for that process and not only for the mount to go.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("fusefat"));
    if (program.isEmpty()) {
        *output = QStringLiteral("fusefat is not installed");
        return false;
    }
    const QString logPath = m_dir->filePath(QStringLiteral("fusefat.log"));
    const QByteArray log = logPath.toLocal8Bit();
    QList<QByteArray> arguments{program.toLocal8Bit(),    "-f", "-o", "rw+", m_imagePath.toLocal8Bit(),
                                m_mountPath.toLocal8Bit()};
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    // Its output goes to a file: a pipe nobody reads could stop it mid-write.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv.front(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        *output = QStringLiteral("fusefat could not be started: ") + QString::fromLocal8Bit(strerror(spawned));
        return false;
    }
    // Mounted, or ended without mounting.
    QDeadlineTimer deadline(10000);
    while (!isMountPoint(m_mountPath)) {
        if (waitForExit(pid, 20) || deadline.hasExpired()) {
            QFile file(logPath);
            *output = file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll())
                                                     : QStringLiteral("fusefat ended");
            if (!waitForExit(pid, 0)) {
                kill(pid, SIGTERM);
                waitForExit(pid, 10000);
            }
            return false;
        }
    }
    m_fusefatPid = pid;
    return true;
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
    // The mount is gone before its writer is done: fusefat still writes the image's tables, and the
    // loop device lets go of the image only once the kernel has written it out.
    if (m_fusefatPid > 0) {
        if (!waitForExit(m_fusefatPid, 60000))
            return false;
        m_fusefatPid = -1;
    }
    if (!m_loopDevice.isEmpty()) {
        QDeadlineTimer released(60000);
        while (loopHoldsImage(m_loopDevice, m_imagePath)) {
            if (released.hasExpired())
                return false;
            QThread::msleep(10);
        }
        m_loopDevice.clear();
    }
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

#include "FileSync.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool flushOne(const QString &path, bool directory)
{
    const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | (directory ? O_DIRECTORY : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return false;
    // EINVAL: this kind of file takes no flush (nothing of it is waiting to be written).
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
    const bool closed = ::close(fd) == 0;
    return flushed && closed;
}

} // namespace

bool FileSync::flushTree(const QString &path)
{
    const QFileInfo root(path);
    if (root.isSymLink() || !root.exists())
        return false;
    if (!root.isDir())
        return flushOne(path, false);
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString entry = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink() || !(info.isFile() || info.isDir()))
            continue;
        if (!flushOne(entry, info.isDir()))
            return false;
    }
    // The folder last: its entries name the files flushed above.
    return flushOne(path, true);
}

bool FileSync::flushEntry(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.exists())
        return false;
    return flushOne(path, info.isDir());
}

bool FileSync::syncFileSystem(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::syncfs(fd) == 0;
    const bool closed = ::close(fd) == 0;
    return synced && closed;
}

#include "FileSync.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool flushOne(const QString &path, bool directory, bool followLink = false)
{
    const int flags = O_RDONLY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW) | (directory ? O_DIRECTORY : 0);
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

bool FileSync::flushParents(const QString &path, const QString &root)
{
    const QString top = QDir::cleanPath(root);
    QString folder = QDir::cleanPath(path);
    if (top.isEmpty() || !folder.startsWith(top.endsWith(QLatin1Char('/')) ? top : top + QLatin1Char('/')))
        return false;
    for (folder = QFileInfo(folder).path(); folder.size() > top.size(); folder = QFileInfo(folder).path()) {
        if (!flushEntry(folder))
            return false;
    }
    // The root may be reached through a link, as the card's mount path is given.
    return flushOne(top, true, true);
}

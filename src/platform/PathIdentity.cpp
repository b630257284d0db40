#include "PathIdentity.h"

#include <QFile>

#include <sys/stat.h>

PathIdentity PathIdentity::of(const QString &path)
{
    PathIdentity identity;
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.device = quint64(info.st_dev);
    identity.inode = quint64(info.st_ino);
    return identity;
}

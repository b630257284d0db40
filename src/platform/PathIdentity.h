#pragma once

#include <QString>

// Which file-system object a path names: its device and inode. A folder that is a mount point
// names another object once its medium is unmounted, and so does a folder removed and made again;
// a path that names nothing has no identity.
struct PathIdentity
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;

    static PathIdentity of(const QString &path);
    bool operator==(const PathIdentity &other) const = default;
};

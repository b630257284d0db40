#pragma once

#include <QString>

// What a file's metadata says about it when it was looked at. The same device, inode, size and
// modification and change times later mean that nothing was written to it and no other file was
// put in its place since.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    // Follows a link to the file it names, as a program opening the path does.
    static FileStamp of(const QString &path);
    bool operator==(const FileStamp &other) const = default;
};

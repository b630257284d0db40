#pragma once

#include <QString>

// Puts written files on their device, so that a medium pulled right afterwards holds them.
class FileSync
{
public:
    // fsync of every file and folder below path (path included), never through a link; false at
    // the first one that cannot be opened or flushed.
    static bool flushTree(const QString &path);
    // fsync of the file or folder itself (a folder's own entries, not what they name).
    static bool flushEntry(const QString &path);
    // fsync of every folder from path's parent up to root, root included, so that each names the one
    // below it; false when path does not lie below root or a folder cannot be flushed.
    static bool flushParents(const QString &path, const QString &root);
};

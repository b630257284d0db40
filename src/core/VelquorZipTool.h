#pragma once

#include <QString>

#include <atomic>
#include <functional>

// Extracts a zip archive (optionally password-protected) into a directory with libzip.
//
// Every entry name is checked before anything is written (VelquorArchiveEntryCheck): an absolute
// name, a name with a ".." component, a symbolic link, an entry outside the package folder or two
// names a FAT card would merge refuse the whole archive, and a link already standing on the way
// below the destination is never followed. Every write is checked, so a full or removed card is an
// error. Files are not flushed one by one (a stop would wait for a large entry to reach a slow
// card): the caller flushes the destination once the archive is out. Work runs synchronously on
// the calling thread and ends in exactly one result.
class VelquorZipTool
{
public:
    struct Result
    {
        enum class Kind {
            Success,
            MissingArchive, // no archive file at the path
            CorruptArchive, // not a zip, damaged, or an entry the library cannot read
            WrongPassword,  // no password or the wrong one for an encrypted entry
            UnsafeEntry,    // an entry would land outside the package folder, is a link, or merges with another
            NoSpace,        // the destination ran out of space
            WriteFailed,    // any other failure to create, write or close a file
            Stopped,        // a stop was asked before every entry was written
        };

        Kind kind = Kind::Success;
        QString message;

        bool succeeded() const { return kind == Kind::Success; }
    };

    // Bytes extracted so far and the archive's total uncompressed size.
    using ProgressHandler = std::function<void(quint64 done, quint64 total)>;

    // Extracts every entry below destination (created when missing), replacing files already there
    // when overwrite is set and keeping them otherwise. An empty password means none. Once *stop is
    // set (from any thread, before or during the work) the extraction ends at the next entry or chunk.
    // packageFolder: the folder below destination that must hold every entry ("BENZ"); empty for
    // anywhere below destination.
    // Reads and checks the entry list as unzipFileAtPath() does before it writes, writing nothing.
    static Result checkEntries(const QString &path, const QString &password, const QString &packageFolder = {});
    static Result unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                  const QString &password, const ProgressHandler &progress = {},
                                  const std::atomic<bool> *stop = nullptr, const QString &packageFolder = {});
};

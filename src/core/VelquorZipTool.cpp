#include "VelquorZipTool.h"

#include "core/VelquorArchiveEntryCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace {

using Result = VelquorZipTool::Result;
using Kind = Result::Kind;

constexpr zip_uint64_t ChunkSize = 256 * 1024;

Result failure(Kind kind, const QString &message)
{
    Result result;
    result.kind = kind;
    result.message = message;
    return result;
}

// A failed system call on the destination, as a result.
Result writeFailure(int error, const QString &what, const QString &path)
{
    const Kind kind = (error == ENOSPC || error == EDQUOT) ? Kind::NoSpace : Kind::WriteFailed;
    return failure(kind, QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error))));
}

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using EntryHandle = std::unique_ptr<zip_file_t, FileCloser>;

struct Entry
{
    zip_uint64_t index = 0;
    QStringList components; // below the destination
    bool directory = false;
    bool encrypted = false;
    quint64 size = 0;
};

bool isSymbolicLink(zip_t *archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

bool isDirectoryEntry(zip_t *archive, zip_uint64_t index, const QString &name)
{
    if (name.endsWith(QLatin1Char('/')) || name.endsWith(QLatin1Char('\\')))
        return true;
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFDIR;
}

Kind readFailureKind(int zipError, bool encrypted)
{
    if (zipError == ZIP_ER_WRONGPASSWD || zipError == ZIP_ER_NOPASSWD)
        return Kind::WrongPassword;
    // With the traditional encryption a wrong password passes its check byte once in 256 tries
    // and only the checksum shows it.
    if (zipError == ZIP_ER_CRC && encrypted)
        return Kind::WrongPassword;
    return Kind::CorruptArchive;
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// Makes sure every folder of the entry's path exists below the destination, never through a link.
std::optional<Result> makeFolders(const QString &destination, const QStringList &components, qsizetype count)
{
    QString path = destination;
    for (qsizetype i = 0; i < count; ++i) {
        path += QLatin1Char('/') + components.at(i);
        struct stat info;
        if (::lstat(encoded(path).constData(), &info) != 0) {
            if (errno != ENOENT)
                return writeFailure(errno, QStringLiteral("Cannot read"), path);
            if (::mkdir(encoded(path).constData(), 0777) != 0 && errno != EEXIST)
                return writeFailure(errno, QStringLiteral("Cannot create the folder"), path);
            if (::lstat(encoded(path).constData(), &info) != 0)
                return writeFailure(errno, QStringLiteral("Cannot read"), path);
        }
        if (S_ISLNK(info.st_mode))
            return failure(Kind::UnsafeEntry, QStringLiteral("A link stands on the way at %1").arg(path));
        if (!S_ISDIR(info.st_mode))
            return failure(Kind::WriteFailed, QStringLiteral("A file stands where a folder belongs: %1").arg(path));
    }
    return std::nullopt;
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

class Extraction
{
public:
    Extraction(zip_t *archive, const QString &destination, bool overwrite,
               const VelquorZipTool::ProgressHandler &progress, const std::atomic<bool> *stop)
        : m_archive(archive), m_destination(destination), m_overwrite(overwrite), m_progress(progress), m_stop(stop)
    {}

    // Reads and checks every entry name before anything is written.
    std::optional<Result> plan(const QString &packageFolder)
    {
        using EntryKind = VelquorArchiveEntryCheck::EntryKind;
        VelquorArchiveEntryCheck check(packageFolder);
        const zip_int64_t count = zip_get_num_entries(m_archive, 0);
        if (count < 0)
            return failure(Kind::CorruptArchive, QStringLiteral("The archive's entries cannot be read"));
        for (zip_uint64_t index = 0; index < zip_uint64_t(count); ++index) {
            const char *rawName = zip_get_name(m_archive, index, ZIP_FL_ENC_GUESS);
            zip_stat_t stat;
            zip_stat_init(&stat);
            if (!rawName || zip_stat_index(m_archive, index, 0, &stat) != 0)
                return failure(Kind::CorruptArchive, QStringLiteral("Entry %1 cannot be read").arg(index));
            const QString name = QString::fromUtf8(rawName);
            const bool directory = isDirectoryEntry(m_archive, index, name);
            const EntryKind kind = isSymbolicLink(m_archive, index) ? EntryKind::Link
                                   : directory                      ? EntryKind::Folder
                                                                    : EntryKind::File;
            if (!check.add(name, kind))
                return failure(Kind::UnsafeEntry, check.reason());
            const QStringList components = *VelquorArchiveEntryCheck::componentsOf(name);
            if (components.isEmpty())
                continue;
            Entry entry;
            entry.index = index;
            entry.components = components;
            entry.directory = directory;
            entry.encrypted = (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
            entry.size = entry.directory || !(stat.valid & ZIP_STAT_SIZE) ? 0 : stat.size;
            m_total += entry.size;
            m_entries.push_back(entry);
        }
        if (!check.finish())
            return failure(Kind::UnsafeEntry, check.reason());
        return std::nullopt;
    }

    Result run()
    {
        if (!QDir().mkpath(m_destination) || !QFileInfo(m_destination).isDir())
            return failure(Kind::WriteFailed, QStringLiteral("Cannot create the folder %1").arg(m_destination));
        report();
        for (const Entry &entry : m_entries) {
            if (stopRequested())
                return stopped();
            const qsizetype folders = entry.directory ? entry.components.size() : entry.components.size() - 1;
            if (auto error = makeFolders(m_destination, entry.components, folders))
                return *error;
            if (entry.directory)
                continue;
            if (auto error = extractFile(entry))
                return *error;
        }
        return {};
    }

private:
    std::optional<Result> extractFile(const Entry &entry)
    {
        const QString path = m_destination + QLatin1Char('/') + entry.components.join(QLatin1Char('/'));
        struct stat info;
        if (::lstat(encoded(path).constData(), &info) == 0) {
            if (S_ISLNK(info.st_mode))
                return failure(Kind::UnsafeEntry, QStringLiteral("A link stands at %1").arg(path));
            if (S_ISDIR(info.st_mode))
                return failure(Kind::WriteFailed, QStringLiteral("A folder stands where a file belongs: %1").arg(path));
            if (!m_overwrite) {
                m_done += entry.size;
                report();
                return std::nullopt;
            }
            // Replaced by a new file rather than truncated: not every FAT driver truncates on open.
            if (::unlink(encoded(path).constData()) != 0)
                return writeFailure(errno, QStringLiteral("Cannot replace"), path);
        }

        EntryHandle source(zip_fopen_index(m_archive, entry.index, 0));
        if (!source) {
            const int error = zip_error_code_zip(zip_get_error(m_archive));
            return failure(readFailureKind(error, entry.encrypted),
                           QStringLiteral("Cannot open the entry %1: %2")
                               .arg(entry.components.join(QLatin1Char('/')),
                                    QString::fromUtf8(zip_error_strerror(zip_get_error(m_archive)))));
        }
        const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == ELOOP)
                return failure(Kind::UnsafeEntry, QStringLiteral("A link stands at %1").arg(path));
            return writeFailure(errno, QStringLiteral("Cannot create"), path);
        }
        auto closeFile = [fd] { return ::close(fd); };

        std::vector<char> buffer(ChunkSize);
        quint64 received = 0;
        for (;;) {
            const zip_int64_t read = zip_fread(source.get(), buffer.data(), ChunkSize);
            if (read < 0) {
                const int error = zip_error_code_zip(zip_file_get_error(source.get()));
                const QString reason = QString::fromUtf8(zip_file_strerror(source.get()));
                closeFile();
                return failure(readFailureKind(error, entry.encrypted),
                               QStringLiteral("Cannot read the entry %1: %2")
                                   .arg(entry.components.join(QLatin1Char('/')), reason));
            }
            if (read == 0)
                break;
            // A large entry is not written to its end once a stop is asked; what stands is left as it is.
            if (stopRequested()) {
                closeFile();
                return stopped();
            }
            if (!writeAll(fd, buffer.data(), read)) {
                const int error = errno;
                closeFile();
                return writeFailure(error, QStringLiteral("Cannot write"), path);
            }
            received += quint64(read);
            m_done += quint64(read);
            report();
        }
        if (received != entry.size) {
            closeFile();
            return failure(Kind::CorruptArchive,
                           QStringLiteral("The entry %1 is shorter than it says").arg(entry.components.join(u'/')));
        }
        // Not flushed here: a stop must not wait for a large entry to reach a slow card. The caller
        // flushes what it keeps once the whole archive is out.
        if (closeFile() != 0)
            return writeFailure(errno, QStringLiteral("Cannot close"), path);
        if (const int error = zip_fclose(source.release()); error != 0)
            return failure(readFailureKind(error, entry.encrypted),
                           QStringLiteral("The entry %1 is damaged").arg(entry.components.join(u'/')));
        return std::nullopt;
    }

    bool stopRequested() const { return m_stop && m_stop->load(); }
    static Result stopped() { return failure(Kind::Stopped, QStringLiteral("Stopped on request")); }

    void report()
    {
        if (m_progress)
            m_progress(m_done, m_total);
    }

    zip_t *m_archive;
    QString m_destination;
    bool m_overwrite;
    const VelquorZipTool::ProgressHandler &m_progress;
    const std::atomic<bool> *m_stop;
    std::vector<Entry> m_entries;
    quint64 m_total = 0;
    quint64 m_done = 0;
};

// Opens the archive for reading with the password set; the failure otherwise.
std::variant<ArchiveHandle, Result> openArchive(const QString &path, const QString &password)
{
    if (!QFileInfo(path).isFile())
        return failure(Kind::MissingArchive, QStringLiteral("No archive at %1").arg(path));
    int openError = 0;
    ArchiveHandle archive(zip_open(encoded(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return failure(Kind::CorruptArchive, QStringLiteral("Cannot open %1 as a zip archive: %2").arg(path, reason));
    }
    if (!password.isEmpty() && zip_set_default_password(archive.get(), password.toUtf8().constData()) != 0)
        return failure(Kind::CorruptArchive, QStringLiteral("The password cannot be used"));
    return archive;
}

} // namespace

VelquorZipTool::Result VelquorZipTool::checkEntries(const QString &path, const QString &password,
                                                    const QString &packageFolder)
{
    auto opened = openArchive(path, password);
    if (auto *refused = std::get_if<Result>(&opened))
        return *refused;
    const ProgressHandler none;
    Extraction extraction(std::get<ArchiveHandle>(opened).get(), QString(), false, none, nullptr);
    if (auto refused = extraction.plan(packageFolder))
        return *refused;
    return {};
}

VelquorZipTool::Result VelquorZipTool::unzipFileAtPath(const QString &path, const QString &destination, bool overwrite,
                                                       const QString &password, const ProgressHandler &progress,
                                                       const std::atomic<bool> *stop, const QString &packageFolder)
{
    if (!QFileInfo(path).isFile())
        return failure(Kind::MissingArchive, QStringLiteral("No archive at %1").arg(path));
    if (destination.isEmpty() || !QDir::isAbsolutePath(destination))
        return failure(Kind::WriteFailed, QStringLiteral("No destination folder"));
    auto opened = openArchive(path, password);
    if (auto *refused = std::get_if<Result>(&opened))
        return *refused;
    Extraction extraction(std::get<ArchiveHandle>(opened).get(), QDir::cleanPath(destination), overwrite, progress,
                          stop);
    if (auto refused = extraction.plan(packageFolder))
        return *refused;
    return extraction.run();
}

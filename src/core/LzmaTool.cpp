#include "LzmaTool.h"

#include "core/SevenZipOutput.h"
#include "core/VelquorArchiveEntryCheck.h"
#include "platform/ChildProcess.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>
#include <optional>

namespace {

constexpr int PollIntervalMs = 100;           // longest wait for an abort to be noticed
constexpr qsizetype MaxErrorText = 64 * 1024; // error lines kept for the report

LzmaToolError makeError(LzmaToolError::Kind kind, const QString &message)
{
    LzmaToolError error;
    error.kind = kind;
    error.message = message;
    return error;
}

} // namespace

class LzmaTool::Running
{
public:
    explicit Running(Job &job) : m_job(job)
    {
        std::lock_guard lock(m_job.mutex);
        m_job.running = true;
        m_job.abortRequested = false;
    }
    ~Running()
    {
        std::lock_guard lock(m_job.mutex);
        m_job.running = false;
        m_job.abortRequested = false;
    }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

private:
    Job &m_job;
};

LzmaTool::LzmaTool()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("7zz"));
    m_executable = found.isEmpty() ? QStringLiteral("7zz") : found;
}

LzmaTool::~LzmaTool()
{
    abortDecompress();
    abortCompress();
}

LzmaTool &LzmaTool::tool()
{
    static LzmaTool *shared = [] {
        auto *tool = new LzmaTool; // lives until the process ends
        if (auto *app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, [tool] {
                tool->abortDecompress();
                tool->abortCompress();
            });
        }
        return tool;
    }();
    return *shared;
}

QString LzmaTool::decompressFinishedNotification()
{
    return QStringLiteral("DecompressFinished");
}

QString LzmaTool::compressFinishedNotification()
{
    return QStringLiteral("CompressFinished");
}

void LzmaTool::setDelegate(LzmaToolDelegate *delegate)
{
    m_delegate.set(delegate);
}

LzmaToolDelegate *LzmaTool::delegate() const
{
    return m_delegate.get();
}

void LzmaTool::setExecutable(const QString &program)
{
    std::lock_guard lock(m_executableMutex);
    m_executable = program;
}

QString LzmaTool::executable() const
{
    std::lock_guard lock(m_executableMutex);
    return m_executable;
}

namespace {

// What a finished 7zz run means, when it is not a success.
template <typename Result> std::optional<LzmaToolError> failureOf(const Result &result)
{
    if (!result.started)
        return makeError(LzmaToolError::Kind::ToolUnavailable, result.errorText);
    if (result.crashed)
        return SevenZipOutput::errorFor(result.exitCode, result.errorText);
    // A FAT card holds no permissions: complaints about those alone leave every file written.
    const bool onlyAttributes = result.attributeComplaints > 0 && result.errorText.trimmed().isEmpty();
    if (result.exitCode != 0 && !onlyAttributes)
        return SevenZipOutput::errorFor(result.exitCode, result.errorText);
    return std::nullopt;
}

} // namespace

QString LzmaTool::typeSwitch(int fileType)
{
    switch (fileType) {
    case FileType7z:
        return QStringLiteral("-t7z");
    case FileTypeXz:
        return QStringLiteral("-txz");
    case FileTypeTar:
        return QStringLiteral("-ttar");
    default:
        return {};
    }
}

void LzmaTool::decompressWithPath(const QString &path, const QString &password, int fileType,
                                  const QString &destinationPath, const std::atomic<bool> *stop,
                                  const QString &packageFolder, bool entriesChecked)
{
    auto fail = [this](const LzmaToolError &error) {
        m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.decompressErrorWithError(error); });
    };
    const QString type = typeSwitch(fileType);
    if (type.isEmpty()) {
        fail(makeError(LzmaToolError::Kind::UnsupportedFileType,
                       QStringLiteral("Unsupported file type %1").arg(fileType)));
        return;
    }
    if (!QFileInfo(path).isFile()) {
        fail(makeError(LzmaToolError::Kind::MissingArchive, QStringLiteral("No archive at %1").arg(path)));
        return;
    }
    if (destinationPath.isEmpty()) {
        fail(makeError(LzmaToolError::Kind::ToolFailed, QStringLiteral("No destination directory")));
        return;
    }

    const Running running(m_decompress);
    const QByteArray input = passwordInput(password);
    bool aborted = false;
    if (!entriesChecked) {
        if (const auto refused = checkEntries(path, type, input, packageFolder, stop, &aborted)) {
            fail(*refused);
            return;
        }
        if (aborted)
            return;
    }

    const QStringList arguments{QStringLiteral("x"),
                                type,
                                QStringLiteral("-y"),
                                QStringLiteral("-aoa"),
                                QStringLiteral("-bso0"),
                                QStringLiteral("-bsp1"),
                                QStringLiteral("-bse2"),
                                QStringLiteral("-sccUTF-8"),
                                QStringLiteral("-o") + destinationPath,
                                QStringLiteral("--"),
                                path};
    const RunResult result = run(
        m_decompress, arguments, input,
        [this](double fraction, const QString &item) {
            m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.decompressWithProgress(fraction, item); });
        },
        stop);

    if (result.aborted)
        return;
    if (const auto error = failureOf(result)) {
        fail(*error);
        return;
    }
    // 7-Zip never prints 100%: the exit code is what says the work is complete.
    m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.decompressWithProgress(1.0, result.lastPath); });
    NotificationCenter::workspace().post(decompressFinishedNotification());
}

QByteArray LzmaTool::passwordInput(const QString &password)
{
    // Without -p, 7zz asks for the password on its standard input when the archive needs one.
    return password.isNull() ? QByteArray() : password.toUtf8() + '\n';
}

std::optional<LzmaToolError> LzmaTool::checkEntriesWithPath(const QString &path, const QString &password, int fileType,
                                                            const QString &packageFolder, const std::atomic<bool> *stop,
                                                            bool *aborted)
{
    bool stopped = false;
    if (aborted)
        *aborted = false;
    const QString type = typeSwitch(fileType);
    if (type.isEmpty())
        return makeError(LzmaToolError::Kind::UnsupportedFileType,
                         QStringLiteral("Unsupported file type %1").arg(fileType));
    if (!QFileInfo(path).isFile())
        return makeError(LzmaToolError::Kind::MissingArchive, QStringLiteral("No archive at %1").arg(path));
    const Running running(m_decompress);
    const auto refused = checkEntries(path, type, passwordInput(password), packageFolder, stop, &stopped);
    if (aborted)
        *aborted = stopped;
    return refused;
}

std::optional<LzmaToolError> LzmaTool::checkEntries(const QString &path, const QString &type, const QByteArray &input,
                                                    const QString &packageFolder, const std::atomic<bool> *stop,
                                                    bool *aborted)
{
    // 7zz itself rewrites ".." and absolute names into the destination rather than refusing them,
    // so the list is read, and judged, before a single item is written.
    const QStringList arguments{QStringLiteral("l"),     type,
                                QStringLiteral("-slt"),  QStringLiteral("-bsp0"),
                                QStringLiteral("-bse2"), QStringLiteral("-sccUTF-8"),
                                QStringLiteral("--"),    path};
    QByteArray listing;
    const RunResult result = run(m_decompress, arguments, input, {}, stop, &listing);
    if (result.aborted) {
        *aborted = true;
        return std::nullopt;
    }
    if (const auto error = failureOf(result))
        return error;
    VelquorArchiveEntryCheck check(packageFolder);
    using EntryKind = VelquorArchiveEntryCheck::EntryKind;
    for (const SevenZipOutput::ListedItem &item : SevenZipOutput::parseListing(listing)) {
        const EntryKind kind = item.link ? EntryKind::Link : item.folder ? EntryKind::Folder : EntryKind::File;
        if (!check.add(item.path, kind))
            return makeError(LzmaToolError::Kind::UnsafeEntry, check.reason());
    }
    if (!check.finish())
        return makeError(LzmaToolError::Kind::UnsafeEntry, check.reason());
    return std::nullopt;
}

void LzmaTool::abortDecompress()
{
    abort(m_decompress);
}

void LzmaTool::compressWithDestinationPath(const QString &destinationPath, const QString &password, int fileType,
                                           const QString &sourcePath)
{
    auto fail = [this](const LzmaToolError &error) {
        m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.compressErrorWithError(error); });
    };
    const QString type = typeSwitch(fileType);
    if (type.isEmpty()) {
        fail(makeError(LzmaToolError::Kind::UnsupportedFileType,
                       QStringLiteral("Unsupported file type %1").arg(fileType)));
        return;
    }
    if (!QFileInfo::exists(sourcePath)) {
        fail(makeError(LzmaToolError::Kind::MissingArchive,
                       QStringLiteral("Nothing to compress at %1").arg(sourcePath)));
        return;
    }

    QStringList arguments{QStringLiteral("a"),        type,
                          QStringLiteral("-y"),       QStringLiteral("-bso0"),
                          QStringLiteral("-bsp1"),    QStringLiteral("-bse2"),
                          QStringLiteral("-sccUTF-8")};
    QByteArray input;
    if (!password.isEmpty()) {
        // A bare -p makes 7zz read the password from its standard input.
        arguments << QStringLiteral("-p");
        if (fileType == FileType7z)
            arguments << QStringLiteral("-mhe=on");
        input = password.toUtf8() + '\n';
    }
    arguments << QStringLiteral("--") << destinationPath << sourcePath;
    const Running running(m_compress);
    const RunResult result = run(m_compress, arguments, input, [this](double fraction, const QString &item) {
        m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.compressWithProgress(fraction, item); });
    });

    if (result.aborted)
        return;
    if (const auto error = failureOf(result)) {
        fail(*error);
        return;
    }
    m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.compressWithProgress(1.0, result.lastPath); });
    NotificationCenter::workspace().post(compressFinishedNotification());
}

void LzmaTool::abortCompress()
{
    abort(m_compress);
}

void LzmaTool::takeErrorLines(QByteArray &pending, bool atEnd, RunResult &result)
{
    // Complaints about attributes are counted, not kept: a card of thousands of files would
    // otherwise fill the kept text and push a real error out of it.
    qsizetype start = 0;
    for (;;) {
        qsizetype end = pending.indexOf('\n', start);
        if (end < 0) {
            if (!atEnd || start >= pending.size())
                break;
            end = pending.size();
        }
        const QString line = QString::fromUtf8(pending.constData() + start, end - start);
        start = end + 1;
        if (SevenZipOutput::isUnsupportedAttributeComplaint(line)) {
            ++result.attributeComplaints;
            continue;
        }
        if (result.errorText.size() < MaxErrorText)
            result.errorText += line.left(MaxErrorText - result.errorText.size()) + QLatin1Char('\n');
    }
    pending.remove(0, std::min(start, pending.size()));
}

void LzmaTool::abort(Job &job)
{
    std::lock_guard lock(job.mutex);
    if (job.running)
        job.abortRequested = true;
}

LzmaTool::RunResult LzmaTool::run(Job &job, const QStringList &arguments, const QByteArray &input,
                                  const ProgressHandler &onProgress, const std::atomic<bool> *stop, QByteArray *listing)
{
    RunResult result;
    auto abortRequested = [&job, stop] {
        if (stop && stop->load())
            return true;
        std::lock_guard lock(job.mutex);
        return job.abortRequested;
    };
    // The caller keeps its stop set, and the job its abort, so one asked before this run is not lost.
    if (abortRequested()) {
        result.aborted = true;
        return result;
    }

    QProcess process;
    process.setProgram(executable());
    process.setArguments(arguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8")); // English messages, UTF-8 names
    process.setProcessEnvironment(environment);
    ChildProcess::bindLifetimeToParent(process);

    process.start(QIODevice::ReadWrite);
    if (!process.waitForStarted(-1)) {
        result.errorText = QStringLiteral("Cannot start %1: %2").arg(process.program(), process.errorString());
    } else {
        result.started = true;
        if (!input.isEmpty())
            process.write(input);
        process.closeWriteChannel();

        SevenZipOutput output;
        QByteArray pendingErrors;
        QString lastReported;
        double lastFraction = -1;
        auto drain = [&] {
            if (listing) {
                listing->append(process.readAllStandardOutput());
                pendingErrors += process.readAllStandardError();
                takeErrorLines(pendingErrors, false, result);
                return;
            }
            for (const auto &update : output.feed(process.readAllStandardOutput())) {
                if (!update.path.isEmpty())
                    result.lastPath = update.path;
                if (update.fraction == lastFraction && result.lastPath == lastReported)
                    continue;
                lastFraction = update.fraction;
                lastReported = result.lastPath;
                onProgress(update.fraction, result.lastPath);
            }
            pendingErrors += process.readAllStandardError();
            takeErrorLines(pendingErrors, false, result);
        };

        bool finished = false;
        while (!finished) {
            if (abortRequested()) {
                process.kill();
                process.waitForFinished(-1);
                result.aborted = true;
                break;
            }
            finished = process.waitForFinished(PollIntervalMs) || process.state() == QProcess::NotRunning;
            drain();
        }
        takeErrorLines(pendingErrors, true, result);
        if (!result.aborted) {
            result.crashed = process.exitStatus() == QProcess::CrashExit;
            result.exitCode = process.exitCode();
            // A kill that arrived as the tool ended still counts as an abort.
            result.aborted = abortRequested() && result.exitCode != 0;
        }
    }
    return result;
}

#include "LzmaTool.h"

#include "core/SevenZipOutput.h"
#include "core/VelquorArchiveConstants.h"
#include "core/VelquorArchiveEntryCheck.h"
#include "platform/ChildProcess.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

constexpr int PollIntervalMs = 100;           // longest wait for an abort to be noticed
constexpr qsizetype MaxErrorText = 64 * 1024; // error lines kept for the report
constexpr qsizetype MaxRememberedChecks = 64; // more than the archives of an update-all waiting their turn

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

// Lists a check as running for its whole life, so that an extraction of the same archive waits for
// its verdict instead of listing the archive a second time.
class LzmaTool::CheckUnderWay
{
public:
    CheckUnderWay(LzmaTool &tool, CheckedArchive checking) : m_tool(tool), m_checking(std::move(checking))
    {
        std::lock_guard lock(m_tool.m_checkedMutex);
        m_tool.m_checking.append(m_checking);
    }
    ~CheckUnderWay()
    {
        {
            std::lock_guard lock(m_tool.m_checkedMutex);
            m_tool.m_checking.removeOne(m_checking);
        }
        m_tool.m_checkEnded.notify_all();
    }
    CheckUnderWay(const CheckUnderWay &) = delete;
    CheckUnderWay &operator=(const CheckUnderWay &) = delete;

private:
    LzmaTool &m_tool;
    CheckedArchive m_checking;
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
    // Checks still queued find themselves stopped; the thread ends before the tool does.
    std::lock_guard lock(m_checkQueueMutex);
    m_checkQueue.reset();
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
                                  const QString &packageFolder)
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
    const StopTest stopped = [this, stop] { return (stop && stop->load()) || abortAsked(m_decompress); };
    const QByteArray input = passwordInput(password);
    awaitCheckUnderWay(path, fileType, packageFolder, stopped);
    if (!stillChecked(path, fileType, packageFolder, true)) {
        bool aborted = false;
        if (const auto refused = checkEntries(path, type, input, packageFolder, stopped, &aborted)) {
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
        arguments, input,
        [this](double fraction, const QString &item) {
            m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.decompressWithProgress(fraction, item); });
        },
        stopped);

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

std::optional<LzmaToolError> LzmaTool::checkEntries(const QString &path, const QString &type, const QByteArray &input,
                                                    const QString &packageFolder, const StopTest &stopped,
                                                    bool *aborted)
{
    // 7zz itself rewrites ".." and absolute names into the destination rather than refusing them,
    // so the list is read, and judged, before a single item is written.
    const QStringList arguments{QStringLiteral("l"),     type,
                                QStringLiteral("-slt"),  QStringLiteral("-bsp0"),
                                QStringLiteral("-bse2"), QStringLiteral("-sccUTF-8"),
                                QStringLiteral("--"),    path};
    QByteArray listing;
    const RunResult result = run(arguments, input, {}, stopped, &listing);
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
    ++m_checkGeneration;
    abort(m_decompress);
}

LzmaTool::EntryCheck LzmaTool::checkArchive(const QString &path, const QString &password, int fileType,
                                            const QString &packageFolder, const std::atomic<bool> *stop,
                                            LzmaToolError *error)
{
    const quint64 generation = m_checkGeneration;
    return runCheck(
        path, password, fileType, packageFolder,
        [this, stop, generation] { return (stop && stop->load()) || m_checkGeneration != generation; }, error);
}

void LzmaTool::checkArchiveAhead(const QString &path, const QString &password, int fileType,
                                 const QString &packageFolder)
{
    const quint64 generation = m_checkGeneration;
    std::lock_guard lock(m_checkQueueMutex);
    if (!m_checkQueue)
        m_checkQueue = std::make_unique<DispatchQueue>(VelquorArchive::kEntryCheckQueueLabel);
    // A stopped queue drops the check: the extraction then lists the archive itself.
    m_checkQueue->async([this, path, password, fileType, packageFolder, generation] {
        runCheck(
            path, password, fileType, packageFolder, [this, generation] { return m_checkGeneration != generation; },
            nullptr);
    });
}

LzmaTool::EntryCheck LzmaTool::runCheck(const QString &path, const QString &password, int fileType,
                                        const QString &packageFolder, const StopTest &stopped, LzmaToolError *error)
{
    auto refuse = [error](const LzmaToolError &reason) {
        if (error)
            *error = reason;
        return EntryCheck::Refused;
    };
    // A check of the same archive under way elsewhere (ahead, say) is waited for, not repeated.
    awaitCheckUnderWay(path, fileType, packageFolder, stopped);
    if (stillChecked(path, fileType, packageFolder, false))
        return EntryCheck::Passed;
    const QString type = typeSwitch(fileType);
    if (type.isEmpty())
        return refuse(makeError(LzmaToolError::Kind::UnsupportedFileType,
                                QStringLiteral("Unsupported file type %1").arg(fileType)));
    const CheckUnderWay underWay(*this, {QFileInfo(path).absoluteFilePath(), fileType, packageFolder, {}});
    // Taken before the list is read: a file written to meanwhile is not taken for the one checked.
    const FileStamp stamp = FileStamp::of(path);
    if (!stamp.exists || !QFileInfo(path).isFile())
        return refuse(makeError(LzmaToolError::Kind::MissingArchive, QStringLiteral("No archive at %1").arg(path)));
    bool aborted = false;
    if (const auto refused = checkEntries(path, type, passwordInput(password), packageFolder, stopped, &aborted))
        return refuse(*refused);
    if (aborted)
        return EntryCheck::Stopped;
    if (FileStamp::of(path) == stamp)
        rememberChecked({QFileInfo(path).absoluteFilePath(), fileType, packageFolder, stamp});
    return EntryCheck::Passed;
}

bool LzmaTool::stillChecked(const QString &path, int fileType, const QString &packageFolder, bool take)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::lock_guard lock(m_checkedMutex);
    for (qsizetype i = m_checked.size() - 1; i >= 0; --i) {
        const CheckedArchive &checked = m_checked[i];
        if (checked.path != absolute || checked.fileType != fileType || checked.packageFolder != packageFolder)
            continue;
        const bool unchanged = FileStamp::of(absolute) == checked.stamp;
        if (take || !unchanged)
            m_checked.removeAt(i);
        return unchanged;
    }
    return false;
}

void LzmaTool::awaitCheckUnderWay(const QString &path, int fileType, const QString &packageFolder,
                                  const StopTest &stopped)
{
    const CheckedArchive archive{QFileInfo(path).absoluteFilePath(), fileType, packageFolder, {}};
    std::unique_lock lock(m_checkedMutex);
    while (m_checking.contains(archive) && !stopped())
        m_checkEnded.wait_for(lock, std::chrono::milliseconds(PollIntervalMs));
}

void LzmaTool::rememberChecked(CheckedArchive checked)
{
    std::lock_guard lock(m_checkedMutex);
    m_checked.removeIf([&](const CheckedArchive &old) {
        return old.path == checked.path && old.fileType == checked.fileType &&
               old.packageFolder == checked.packageFolder;
    });
    m_checked.append(std::move(checked));
    if (m_checked.size() > MaxRememberedChecks)
        m_checked.removeFirst();
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
    const RunResult result = run(
        arguments, input,
        [this](double fraction, const QString &item) {
            m_delegate.call([&](LzmaToolDelegate &delegate) { delegate.compressWithProgress(fraction, item); });
        },
        [this] { return abortAsked(m_compress); });

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

bool LzmaTool::abortAsked(Job &job)
{
    std::lock_guard lock(job.mutex);
    return job.abortRequested;
}

LzmaTool::RunResult LzmaTool::run(const QStringList &arguments, const QByteArray &input,
                                  const ProgressHandler &onProgress, const StopTest &abortRequested,
                                  QByteArray *listing)
{
    RunResult result;
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

#pragma once

#include "core/LzmaToolDelegate.h"
#include "platform/FileStamp.h"
#include "platform/WeakDelegate.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class DispatchQueue;

// Extracts (and makes) password-protected 7z, xz and tar archives by driving the 7-Zip command
// line tool `7zz`: an argument list (never a shell), the password written to the tool's standard
// input (never on its command line), progress read from its -bsp1 output, the exit code deciding
// the result. Work runs synchronously on the calling thread; one extraction at a time is expected
// (the caller's serial queue), and abortDecompress() may come from any thread. Entry checks may run
// beside an extraction, on any thread or on the tool's own (checkArchiveAhead).
class LzmaTool
{
public:
    enum FileType { FileType7z = 1, FileTypeXz = 2, FileTypeTar = 3 };

    LzmaTool();
    ~LzmaTool();
    LzmaTool(const LzmaTool &) = delete;
    LzmaTool &operator=(const LzmaTool &) = delete;

    // The shared instance; it aborts a running extraction when the application is about to quit.
    static LzmaTool &tool();

    // Posted on the workspace notification centre, without object or user information.
    static QString decompressFinishedNotification(); // "DecompressFinished"
    static QString compressFinishedNotification();   // "CompressFinished"

    // Held without ownership; a delegate clears itself before it goes away.
    void setDelegate(LzmaToolDelegate *delegate);
    LzmaToolDelegate *delegate() const;

    // Extracts every item, with its stored path, below destinationPath (overwriting). Success posts
    // "DecompressFinished" once, after a last progress report of 1.0; failure calls
    // decompressErrorWithError(); an abort reports nothing. A null password means none. The caller's
    // *stop, once set from any thread, ends the extraction as an abort, even when set before 7zz starts.
    // The archive's item list is checked first (VelquorArchiveEntryCheck): an item outside
    // packageFolder (a folder below destinationPath; empty for anywhere below it), a link, or two
    // names a FAT card would merge, or no file in packageFolder, fail the archive before anything is
    // written. An archive whose check passed in checkArchive for the same type and package folder is
    // not listed again while its file is unchanged since; one whose check is under way waits for it.
    void decompressWithPath(const QString &path, const QString &password, int fileType, const QString &destinationPath,
                            const std::atomic<bool> *stop = nullptr, const QString &packageFolder = {});
    // Ends a running extraction (its 7zz is killed), and every entry check running or waiting;
    // does nothing when none runs.
    void abortDecompress();

    enum class EntryCheck { Passed, Refused, Stopped };
    // Lists the archive and checks its items as decompressWithPath does, writing nothing. Refused
    // fills *error (a list that cannot be read refuses the archive too); Stopped comes from *stop or
    // abortDecompress(). Any thread, also while an extraction runs. A pass is remembered with the
    // archive's file stamp, so the extraction of the unchanged file, and another check of it, need
    // not list it again.
    EntryCheck checkArchive(const QString &path, const QString &password, int fileType,
                            const QString &packageFolder = {}, const std::atomic<bool> *stop = nullptr,
                            LzmaToolError *error = nullptr);
    // checkArchive on a thread of the tool's own, archive after archive; returns at once. A list
    // costs 7zz the derivation of the archive's key, as long as unpacking a small archive: read
    // ahead, while other archives are being extracted, it is off the extraction's path.
    void checkArchiveAhead(const QString &path, const QString &password, int fileType,
                           const QString &packageFolder = {});

    // Makes an archive of sourcePath at destinationPath; posts "CompressFinished" on success.
    void compressWithDestinationPath(const QString &destinationPath, const QString &password, int fileType,
                                     const QString &sourcePath);
    void abortCompress();

    // The 7-Zip program to run ("7zz" found on PATH by default).
    void setExecutable(const QString &program);
    QString executable() const;

private:
    struct Job
    {
        std::mutex mutex;
        bool running = false;
        bool abortRequested = false;
    };
    struct RunResult
    {
        bool aborted = false;
        bool started = false;
        int exitCode = -1;
        bool crashed = false;
        QString errorText;           // the error stream, without the complaints counted below
        int attributeComplaints = 0; // file attributes the destination could not hold
        QString lastPath;
    };
    using ProgressHandler = std::function<void(double fraction, const QString &path)>;
    using StopTest = std::function<bool()>;
    // An archive whose entry check passed, and what its file was then; or one being checked.
    struct CheckedArchive
    {
        QString path; // absolute
        int fileType = 0;
        QString packageFolder;
        FileStamp stamp;
        bool operator==(const CheckedArchive &other) const = default;
    };

    // Marks a job running for its whole life, over every 7zz run of the job: an abort asked between
    // two runs still ends it.
    class Running;

    // Runs 7zz once, until it ends or abortRequested() holds. With listing set, what it prints is
    // kept there instead of read as progress.
    RunResult run(const QStringList &arguments, const QByteArray &input, const ProgressHandler &onProgress,
                  const StopTest &abortRequested, QByteArray *listing = nullptr);
    // Lists the archive and checks its items; the error that refuses it, if any. Sets *aborted when
    // stopped.
    std::optional<LzmaToolError> checkEntries(const QString &path, const QString &type, const QByteArray &input,
                                              const QString &packageFolder, const StopTest &stopped, bool *aborted);
    EntryCheck runCheck(const QString &path, const QString &password, int fileType, const QString &packageFolder,
                        const StopTest &stopped, LzmaToolError *error);
    // Whether a remembered pass still holds for the file as it is now; taking it forgets it.
    bool stillChecked(const QString &path, int fileType, const QString &packageFolder, bool take);
    // Waits while a check of the archive for that type and folder runs elsewhere, unless stopped.
    void awaitCheckUnderWay(const QString &path, int fileType, const QString &packageFolder, const StopTest &stopped);
    class CheckUnderWay;
    void rememberChecked(CheckedArchive checked);
    static QString typeSwitch(int fileType);
    static QByteArray passwordInput(const QString &password);
    // Moves the complete lines of the error stream (all of them at the end) into the result.
    static void takeErrorLines(QByteArray &pending, bool atEnd, RunResult &result);
    static void abort(Job &job);
    static bool abortAsked(Job &job);

    WeakDelegate<LzmaToolDelegate> m_delegate;
    Job m_decompress;
    Job m_compress;
    mutable std::mutex m_executableMutex;
    QString m_executable;

    // Advanced by abortDecompress(): a check begun (or queued) before stops.
    std::atomic<quint64> m_checkGeneration{0};
    std::mutex m_checkedMutex;
    QList<CheckedArchive> m_checked;  // passes, oldest first
    QList<CheckedArchive> m_checking; // checks running, their stamps not yet taken
    std::condition_variable m_checkEnded;
    std::mutex m_checkQueueMutex;
    std::unique_ptr<DispatchQueue> m_checkQueue; // made at the first check ahead; last, so it ends first
};

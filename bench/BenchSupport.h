#pragma once

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

// Small helpers shared by the benchmarks.
namespace bench {

// A private HOME so Documents, the database and settings of the benchmark never touch the user's.
inline QTemporaryDir &privateHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/velquor-bench-XXXXXX"));
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DOCUMENTS_DIR");
    return home;
}

// Seconds taken by the work.
inline double timed(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

// Writes `size` bytes of random data (written in chunks, never held whole).
inline bool writeRandomFile(const QString &path, qint64 size, quint32 seed)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator generator(seed);
    QByteArray chunk(4 * 1024 * 1024, Qt::Uninitialized);
    for (qint64 written = 0; written < size;) {
        generator.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        const qint64 n = std::min<qint64>(chunk.size(), size - written);
        if (file.write(chunk.constData(), n) != n)
            return false;
        written += n;
    }
    return true;
}

// Runs a program to its end; true on exit code 0.
inline bool run(const QString &program, const QStringList &arguments, const QString &stdoutFile = {},
                const QByteArray &input = {})
{
    QProcess process;
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    else
        process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return false;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Peak resident set size of this process in bytes (VmHWM), and its reset.
inline qint64 peakRss()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

inline void resetPeakRss()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

inline void report(const char *what, double value, const char *unit)
{
    std::printf("%-58s %12.3f %s\n", what, value, unit);
    std::fflush(stdout);
}

} // namespace bench

#include "DemoArchives.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

namespace standin {

namespace {

const QString kStampName = QStringLiteral("demo-archives.stamp");
constexpr int kStampFormat = 1;

QByteArray digestOf(const QList<DemoArchive> &archives)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(kStampFormat));
    hash.addData(demoArchivePassword().toUtf8());
    for (const DemoArchive &archive : archives) {
        hash.addData(archive.path.toUtf8() + '\0' + QByteArray::number(int(archive.format)));
        for (const DemoArchiveEntry &entry : archive.entries) {
            hash.addData(entry.path.toUtf8() + '\0');
            hash.addData(QCryptographicHash::hash(entry.content, QCryptographicHash::Sha256));
        }
        hash.addData(archive.partPaths.join(QLatin1Char(';')).toUtf8() + '\n');
    }
    return hash.result().toHex();
}

QStringList filesOf(const DemoArchive &archive)
{
    return archive.partPaths.isEmpty() ? QStringList{archive.path} : archive.partPaths;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false;
    return file.commit();
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// Runs 7zz in the staging directory over its top-level items; the archive lands at `output`.
bool run7zz(const QString &stagingDir, const QString &output, DemoArchive::Format format, QString *error)
{
    QStringList arguments{QStringLiteral("a"),
                          format == DemoArchive::Format::Zip ? QStringLiteral("-tzip") : QStringLiteral("-t7z"),
                          QStringLiteral("-p") + demoArchivePassword(),
                          QStringLiteral("-y"),
                          QStringLiteral("-bso0"),
                          QStringLiteral("-bsp0"),
                          QStringLiteral("-mx=1")};
    if (format == DemoArchive::Format::SevenZip)
        arguments << QStringLiteral("-mhe=on");
    arguments << output;
    arguments << QDir(stagingDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);

    QProcess process;
    process.setWorkingDirectory(stagingDir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("7zz"), arguments);
    if (!process.waitForStarted(10000))
        return fail(error, QStringLiteral("7zz could not be started"));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(1000);
        return fail(
            error,
            QStringLiteral("7zz failed for %1: %2").arg(output, QString::fromLocal8Bit(process.readAll()).trimmed()));
    }
    return true;
}

bool makeArchive(const QDir &dataDir, const DemoArchive &archive, QString *error)
{
    QTemporaryDir work;
    if (!work.isValid())
        return fail(error, QStringLiteral("no temporary directory"));
    const QString staging = work.filePath(QStringLiteral("staging"));
    for (const DemoArchiveEntry &entry : archive.entries) {
        if (!writeFile(QDir(staging).filePath(entry.path), entry.content))
            return fail(error, QStringLiteral("cannot stage %1").arg(entry.path));
    }
    const QString output = work.filePath(archive.format == DemoArchive::Format::Zip ? QStringLiteral("out.zip")
                                                                                    : QStringLiteral("out.7z"));
    if (!run7zz(staging, output, archive.format, error))
        return false;

    QFile made(output);
    if (!made.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("7zz left no archive for %1").arg(archive.path));
    const QByteArray bytes = made.readAll();
    if (archive.partPaths.isEmpty()) {
        if (!writeFile(dataDir.filePath(archive.path), bytes))
            return fail(error, QStringLiteral("cannot write %1").arg(archive.path));
        return true;
    }
    // Split into nearly equal pieces; joined in order they give the archive back.
    const qsizetype count = archive.partPaths.size();
    const qsizetype piece = (bytes.size() + count - 1) / count;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray part = bytes.mid(i * piece, piece);
        if (!writeFile(dataDir.filePath(archive.partPaths[i]), part))
            return fail(error, QStringLiteral("cannot write %1").arg(archive.partPaths[i]));
    }
    return true;
}

} // namespace

QString demoArchivePassword()
{
    return QStringLiteral("Xq3.lantermovex.qz#%!&*");
}

bool makeDemoArchives(const QString &dataDir, const QList<DemoArchive> &archives, QString *error)
{
    const QDir dir(dataDir);
    if (!QDir().mkpath(dataDir))
        return fail(error, QStringLiteral("cannot create %1").arg(dataDir));

    const QByteArray digest = digestOf(archives);
    QFile stamp(dir.filePath(kStampName));
    bool current = stamp.open(QIODevice::ReadOnly) && stamp.readAll().trimmed() == digest;
    stamp.close();
    for (const DemoArchive &archive : archives) {
        for (const QString &file : filesOf(archive))
            current = current && QFileInfo(dir.filePath(file)).isFile();
    }
    if (current)
        return true;

    // A stamp is only written after a complete set, so an interrupted run starts over.
    QFile::remove(dir.filePath(kStampName));
    for (const DemoArchive &archive : archives) {
        if (!makeArchive(dir, archive, error))
            return false;
    }
    if (!writeFile(dir.filePath(kStampName), digest + '\n'))
        return fail(error, QStringLiteral("cannot write the stamp"));
    return true;
}

} // namespace standin

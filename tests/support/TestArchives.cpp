#include "TestArchives.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

#include <sys/stat.h>
#include <zip.h>

namespace TestArchives {

QString archivePassword()
{
    return QStringLiteral("Xq3.lantermovex.qz#%!&*");
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char &byte : bytes)
        byte = char(generator.generate() & 0xff);
    return bytes;
}

bool pack(const QString &sourceDir, const QString &archive, const QString &type, const QString &password)
{
    QStringList arguments{QStringLiteral("a"),     QStringLiteral("-t") + type, QStringLiteral("-y"),
                          QStringLiteral("-bso0"), QStringLiteral("-bsp0"),     QStringLiteral("-mx=1")};
    if (!password.isEmpty()) {
        arguments << QStringLiteral("-p") + password;
        if (type == QLatin1String("7z"))
            arguments << QStringLiteral("-mhe=on");
    }
    arguments << QFileInfo(archive).absoluteFilePath();
    arguments << QDir(sourceDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    QProcess process;
    process.setWorkingDirectory(sourceDir);
    process.start(QStringLiteral("7zz"), arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool packAsNamed(const QString &workingDir, const QString &archive, const QString &type, const QString &password,
                 const QStringList &paths)
{
    QStringList arguments{QStringLiteral("a"),     QStringLiteral("-t") + type,    QStringLiteral("-y"),
                          QStringLiteral("-bso0"), QStringLiteral("-bsp0"),        QStringLiteral("-spf"),
                          QStringLiteral("-snl"),  QStringLiteral("-p") + password};
    if (type == QLatin1String("7z"))
        arguments << QStringLiteral("-mhe=on");
    arguments << QFileInfo(archive).absoluteFilePath() << paths;
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral("7zz"), arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QList<HostilePackage> makeHostileBenzPackages(const QString &workDir, const QString &type)
{
    const QString source = workDir + QStringLiteral("/hostile-source/package");
    const QString absolute = workDir + QStringLiteral("/hostile-source/absolute.txt");
    bool made = writeFile(source + QStringLiteral("/BENZ/VERSION.TXT"), "V12.35") &&
                writeFile(source + QStringLiteral("/VW/VERSION.TXT"), "BENZ was here") &&
                writeFile(source + QStringLiteral("/../escape.txt"), "out") && writeFile(absolute, "out") &&
                writeFile(source + QStringLiteral("/BENZ/dup.bin"), "lower") &&
                writeFile(source + QStringLiteral("/BENZ/DUP.BIN"), "upper") &&
                writeFile(source + QStringLiteral("/BENZ/.VELQUOR-UNFINISHED"), "planted\nVW\n");
    QFile::remove(source + QStringLiteral("/BENZ/link"));
    made = made && QFile::link(workDir, source + QStringLiteral("/BENZ/link"));
    if (!made)
        return {};
    const QString version = QStringLiteral("BENZ/VERSION.TXT");
    const QList<QPair<QString, QStringList>> cases{
        {QStringLiteral("outside its folder"), {version, QStringLiteral("VW/VERSION.TXT")}},
        {QStringLiteral("dot-dot"), {version, QStringLiteral("../escape.txt")}},
        {QStringLiteral("absolute"), {version, absolute}},
        {QStringLiteral("link"), {version, QStringLiteral("BENZ/link")}},
        {QStringLiteral("letter case"), {version, QStringLiteral("BENZ/dup.bin"), QStringLiteral("BENZ/DUP.BIN")}},
        {QStringLiteral("planted mark"), {version, QStringLiteral("BENZ/.VELQUOR-UNFINISHED")}},
    };
    QList<HostilePackage> packages;
    for (const auto &[label, paths] : cases) {
        const QString archive =
            workDir + QStringLiteral("/hostile-%1.%2").arg(QString(label).replace(QLatin1Char(' '), u'-'), type);
        QFile::remove(archive);
        if (!packAsNamed(source, archive, type, archivePassword(), paths))
            return {};
        packages.append({label, archive});
    }
    return packages;
}

bool makeRawZip(const QString &archive, const QList<RawEntry> &entries)
{
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    QList<QByteArray> keep; // libzip reads the buffers when the archive is closed
    for (const RawEntry &entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        zip_int64_t index = -1;
        if (entry.kind == RawEntry::Kind::Directory) {
            index = zip_dir_add(zip, name.constData(), ZIP_FL_ENC_UTF_8);
        } else {
            keep.append(entry.content);
            zip_source_t *source = zip_source_buffer(zip, keep.last().constData(), zip_uint64_t(keep.last().size()), 0);
            index = source ? zip_file_add(zip, name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
            if (index < 0 && source)
                zip_source_free(source);
        }
        if (index < 0) {
            zip_discard(zip);
            return false;
        }
        if (entry.kind == RawEntry::Kind::SymbolicLink)
            zip_file_set_external_attributes(zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
    }
    return zip_close(zip) == 0;
}

QMap<QString, QByteArray> filesBelow(const QString &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(dir).relativeFilePath(path), file.readAll());
    }
    return files;
}

QMap<QString, QByteArray> below(const QMap<QString, QByteArray> &files, const QString &folder)
{
    QMap<QString, QByteArray> result;
    const QString prefix = folder + QLatin1Char('/');
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key().startsWith(prefix))
            result.insert(it.key().mid(prefix.size()), it.value());
    }
    return result;
}

QStringList entriesBelow(const QString &dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(dir).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

} // namespace TestArchives

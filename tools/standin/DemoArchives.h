#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace standin {

// The password that protects every package of the service.
QString demoArchivePassword();

struct DemoArchiveEntry
{
    QString path; // inside the archive, "/"-separated
    QByteArray content;
};

// One package file of the demo data set, made with 7zz.
struct DemoArchive
{
    enum class Format { SevenZip, Zip };
    QString path; // relative to the data directory, e.g. "files/BENZ/BENZ_V12.35.zip"
    Format format = Format::SevenZip;
    QList<DemoArchiveEntry> entries;
    // When not empty the archive is served only as these byte-split parts, in this order
    // (paths relative to the data directory); `path` itself is not written.
    QStringList partPaths;
};

// Makes the archives under dataDir with 7zz, unless a stamp left by an earlier run shows that the
// same set is already there. False, with a reason, when 7zz fails or a file cannot be written.
bool makeDemoArchives(const QString &dataDir, const QList<DemoArchive> &archives, QString *error = nullptr);

} // namespace standin

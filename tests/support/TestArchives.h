#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Archives for tests, made at test time with the real 7zz (or, for names no tool would write,
// entry by entry with libzip).
namespace TestArchives {

// The password of every package archive.
QString archivePassword();

bool writeFile(const QString &path, const QByteArray &content);
// Reproducible bytes that do not compress.
QByteArray randomBytes(qsizetype size, quint32 seed);

// Packs everything below sourceDir, paths relative to it. type: "7z" (headers encrypted too when a
// password is given) or "zip".
bool pack(const QString &sourceDir, const QString &archive, const QString &type, const QString &password);

// Packs the paths exactly as named from workingDir: ".." and absolute names are kept and links
// stay links, as no packaging of ours would store them.
bool packAsNamed(const QString &workingDir, const QString &archive, const QString &type, const QString &password,
                 const QStringList &paths);

// BENZ packages (7zz, the package password) that a card must not take, each holding a sound
// BENZ/VERSION.TXT first: an entry in VW/, "../escape.txt", an absolute name, a link out of BENZ/,
// two names that differ only in letter case, and a planted unfinished-folder mark naming VW.
struct HostilePackage
{
    QString label;
    QString archive;
};
QList<HostilePackage> makeHostileBenzPackages(const QString &workDir, const QString &type);

struct RawEntry
{
    enum class Kind { File, Directory, SymbolicLink };
    QString name;       // stored exactly as given
    QByteArray content; // a link's target
    Kind kind = Kind::File;
};
// A zip written with libzip, without any check of the names.
bool makeRawZip(const QString &archive, const QList<RawEntry> &entries);

// Every regular file below dir: relative path -> content.
QMap<QString, QByteArray> filesBelow(const QString &dir);
// The files of a filesBelow() map that lie below folder, relative to it.
QMap<QString, QByteArray> below(const QMap<QString, QByteArray> &files, const QString &folder);
// Every entry (files, folders, links) below dir, relative paths, sorted.
QStringList entriesBelow(const QString &dir);

} // namespace TestArchives

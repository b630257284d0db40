#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A package folder on the card that is being written or removed carries a small marker file until
// that work is done, so the card itself says what on it is not whole: after a failure, a quit, a
// kill or a pulled card, and whichever reader or mount path it comes back on. Several cards of one
// tool may be mounted at the same path one after another; a folder is known by its marker, never by
// where its card happens to be mounted.
//
// A marked folder never reads as installed. It is removed only from the card that carries the
// marker, and a removal waiting in a queue removes it only while the folder still carries the token
// it was marked with: a card swapped in meanwhile keeps its own folders. The token is also how work
// under way knows its card: a FAT card's root has no identity of its own (its inode is always the
// same, and a card mounted in its place may get the device number back), its marked folders do.
//
// The marker's name is a plain 8.3 name, so that the kernel's FAT driver gives it no short alias
// that a package entry could name. Markers written under the earlier long name are still read and
// removed.
class VelquorUnfinishedFolder
{
public:
    struct Mark
    {
        QString folder;  // absolute path of the package folder
        QString vehicle; // upper-cased vehicle whose records describe the folder
        QString token;   // one extraction's or one uninstall's own
        QString device;  // the device and account whose records describe it; empty in older markers
    };

    // The folders one extraction marked, to be removed from the card they were marked on.
    struct Removal
    {
        QString token;
        QStringList folders;

        // Every folder still carries the token: the card they were marked on is the one mounted.
        bool onItsCard() const;
    };

    // The marker's file name inside a package folder.
    static const QString &markerName();
    // Every name a marker was ever written under, the current one first.
    static const QStringList &markerNames();
    static QString newToken();

    // Makes the folder when it is missing and writes the marker into it, flushed to the device. NO
    // when it could not be written (a card gone, full or read-only): then nothing may be written
    // into the folder either.
    static bool mark(const QString &folder, const QString &vehicle, const QString &token, const QString &device = {});
    static bool isMarked(const QString &folder);
    static std::optional<Mark> read(const QString &folder);
    // Takes the marker off a folder written whole, only while it holds the token; flushed.
    static bool unmark(const QString &folder, const QString &token);
    // Removes the folder when it carries a marker (with the token, unless the token is empty): its
    // contents first, never through a link, then the marker, then the folder, so work cut short is
    // found and finished later. NO when the folder is not marked so or something stayed.
    static bool remove(const QString &folder, const QString &token = {});
    // Removes the folders of a removal, checked again now: only while each folder still holds the
    // removal's token. NO when anything was left alone.
    static bool remove(const Removal &removal);
    // The marked folders of a card: those of the card's package layout (folders up to three levels
    // below the root, as "Vehicles/Europe/BENZ") and the further folders given.
    static QList<Mark> find(const QString &cardRoot, const QStringList &furtherFolders = {});

private:
    static bool removeMarked(const QString &folder, const QString &token);
};

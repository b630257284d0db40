#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The rule an archive's entry list must pass before anything of it is written: every entry lies
// inside the package's own folder below the destination, with no "..", no absolute name and no
// link, no two entries name one place on a FAT card, which compares names ignoring letter case
// (and trailing dots), none takes the name of the installer's unfinished-folder mark, and at least
// one file lies in the package folder. Names are fed one by one as the archive lists them, then
// finish() is asked; the first refusal stays.
class VelquorArchiveEntryCheck
{
public:
    enum class EntryKind { File, Folder, Link };

    // packageFolder: the folder below the destination that holds every entry, "/"-separated
    // ("BENZ"); empty when anywhere below the destination will do.
    explicit VelquorArchiveEntryCheck(const QString &packageFolder = {});

    // Takes one entry; false once the archive is refused.
    bool add(const QString &name, EntryKind kind);
    // After the last entry: false once refused, or when no file lies in the package folder (a package
    // of nothing would leave the version it was to replace on the card, to be recorded as the new one).
    bool finish();
    bool refused() const { return !m_reason.isEmpty(); }
    QString reason() const { return m_reason; }

    // The parts an entry name names below the destination ("." dropped, "\" read as "/"); nothing
    // when it is absolute or has a ".." part. Empty for a name that names the destination itself.
    static std::optional<QStringList> componentsOf(const QString &name);

private:
    struct Seen
    {
        QString spelling; // the path as the archive first spelt it
        bool folder = false;
    };

    bool refuse(const QString &reason);
    // Records one path (an entry or a folder on its way); false when the card would merge it with
    // another one.
    bool remember(const QString &key, const QString &path, bool folder, const QString &name);
    static QString cardKey(const QString &component);

    QStringList m_folderKeys; // the package folder's components as the card compares them
    QString m_folder;
    QHash<QString, Seen> m_seen; // card key of a path -> how it was spelt
    QString m_reason;
    bool m_holdsFile = false;
};

#include "core/VelquorUnfinishedFolder.h"

#include "platform/FileSync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <mutex>

namespace {

// One change of a mark or a marked folder at a time, in the whole application: a failed vehicle's
// removal must never interleave with the marking of the same folder by the next extraction, nor two
// removals of one folder with each other.
std::mutex &folderChanges()
{
    static std::mutex mutex;
    return mutex;
}

// Package folders lie at most this deep below the card root ("Vehicles/Europe/BENZ").
constexpr int kPackageDepth = 3;

QString markerPath(const QString &folder)
{
    return QDir(folder).filePath(VelquorUnfinishedFolder::markerName());
}

// The marker a folder carries, under whichever name it was written; empty when none.
QString foundMarkerPath(const QString &folder)
{
    for (const QString &name : VelquorUnfinishedFolder::markerNames()) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

// Removes the folder's marker under every name it may carry.
bool removeMarkers(const QString &folder)
{
    for (QString marker = foundMarkerPath(folder); !marker.isEmpty(); marker = foundMarkerPath(folder)) {
        if (!QFile::remove(marker))
            return false;
    }
    return true;
}

bool isMarkerName(const QString &name)
{
    return VelquorUnfinishedFolder::markerNames().contains(name, Qt::CaseInsensitive);
}

bool isRealFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

void collect(const QString &folder, int depth, QList<VelquorUnfinishedFolder::Mark> &found)
{
    const QStringList children =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden, QDir::Name);
    for (const QString &name : children) {
        const QString child = QDir(folder).filePath(name);
        if (const auto mark = VelquorUnfinishedFolder::read(child)) {
            found.append(*mark);
            continue; // what lies below goes with it
        }
        if (depth + 1 < kPackageDepth)
            collect(child, depth + 1, found);
    }
}

} // namespace

const QString &VelquorUnfinishedFolder::markerName()
{
    return markerNames().first();
}

const QStringList &VelquorUnfinishedFolder::markerNames()
{
    static const QStringList names{QStringLiteral("VELQUOR.UNF"), QStringLiteral(".velquor-unfinished")};
    return names;
}

QString VelquorUnfinishedFolder::newToken()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool VelquorUnfinishedFolder::mark(const QString &folder, const QString &vehicle, const QString &token,
                                   const QString &device)
{
    if (folder.isEmpty() || token.isEmpty() || QFileInfo(folder).isSymLink())
        return false;
    const std::lock_guard lock(folderChanges());
    const bool made = !QFileInfo::exists(folder);
    if (made && !QDir().mkpath(folder))
        return false;
    QFile file(markerPath(folder));
    const QByteArray text = (token + u'\n' + vehicle.toUpper() + u'\n' + device + u'\n').toUtf8();
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size() && file.flush();
    file.close();
    // The marker and the folder's entry for it must be on the card before anything else is.
    if (written && FileSync::flushEntry(file.fileName()) && FileSync::flushEntry(folder) &&
        (!made || FileSync::flushEntry(QFileInfo(folder).absolutePath())))
        return true;
    if (made)
        QDir(folder).removeRecursively();
    return false;
}

bool VelquorUnfinishedFolder::isMarked(const QString &folder)
{
    return !folder.isEmpty() && !foundMarkerPath(folder).isEmpty();
}

std::optional<VelquorUnfinishedFolder::Mark> VelquorUnfinishedFolder::read(const QString &folder)
{
    if (folder.isEmpty() || !isRealFolder(folder))
        return std::nullopt;
    const QString path = foundMarkerPath(folder);
    QFile file(path);
    if (path.isEmpty() || QFileInfo(path).isSymLink() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A marker cut short by a pulled card still marks its folder; it only names no vehicle.
    const QStringList lines = QString::fromUtf8(file.read(4096)).split(u'\n');
    return Mark{QDir::cleanPath(folder), lines.value(1).trimmed().toUpper(), lines.value(0).trimmed(),
                lines.value(2).trimmed()};
}

bool VelquorUnfinishedFolder::unmark(const QString &folder, const QString &token)
{
    const std::lock_guard lock(folderChanges());
    const auto mark = read(folder);
    if (!mark || mark->token != token)
        return false;
    return removeMarkers(folder) && FileSync::flushEntry(folder);
}

bool VelquorUnfinishedFolder::remove(const QString &folder, const QString &token)
{
    const std::lock_guard lock(folderChanges());
    return removeMarked(folder, token);
}

bool VelquorUnfinishedFolder::removeMarked(const QString &folder, const QString &token)
{
    const auto mark = read(folder);
    if (!mark || (!token.isEmpty() && mark->token != token))
        return false;
    QDir dir(folder);
    bool removed = true;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (isMarkerName(entry.fileName()))
            continue;
        // A link goes itself, never what it points to.
        if (entry.isDir() && !entry.isSymLink())
            removed = QDir(entry.filePath()).removeRecursively() && removed;
        else
            removed = QFile::remove(entry.filePath()) && removed;
    }
    if (!removed)
        return false; // the marker stays: a later clean-up tries again
    return removeMarkers(folder) && QDir().rmdir(folder);
}

bool VelquorUnfinishedFolder::remove(const Removal &removal)
{
    if (removal.folders.isEmpty())
        return true;
    const std::lock_guard lock(folderChanges());
    // Each folder's token is read with the lock held, right before anything of it goes.
    bool removed = true;
    for (const QString &folder : removal.folders)
        removed = removeMarked(folder, removal.token) && removed;
    return removed;
}

bool VelquorUnfinishedFolder::Removal::onItsCard() const
{
    return !token.isEmpty() && std::all_of(folders.begin(), folders.end(), [this](const QString &folder) {
        const auto mark = read(folder);
        return mark && mark->token == token;
    });
}

QList<VelquorUnfinishedFolder::Mark> VelquorUnfinishedFolder::find(const QString &cardRoot,
                                                                   const QStringList &furtherFolders)
{
    QList<Mark> found;
    if (cardRoot.isEmpty() || !isRealFolder(cardRoot))
        return found;
    collect(cardRoot, 0, found);
    for (const QString &folder : furtherFolders) {
        const QString clean = QDir::cleanPath(folder);
        const bool known = std::any_of(found.begin(), found.end(), [&](const Mark &m) { return m.folder == clean; });
        if (!known)
            if (const auto mark = read(clean))
                found.append(*mark);
    }
    return found;
}

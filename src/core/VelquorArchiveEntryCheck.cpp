#include "VelquorArchiveEntryCheck.h"

#include "core/VelquorUnfinishedFolder.h"

#include <QRegularExpression>

VelquorArchiveEntryCheck::VelquorArchiveEntryCheck(const QString &packageFolder)
{
    const auto components = componentsOf(packageFolder);
    if (!components) {
        // A folder that leaves the destination holds nothing that could be accepted.
        m_reason = QStringLiteral("The package folder %1 leaves the destination").arg(packageFolder);
        return;
    }
    m_folder = components->join(QLatin1Char('/'));
    for (const QString &component : *components)
        m_folderKeys.append(cardKey(component));
}

std::optional<QStringList> VelquorArchiveEntryCheck::componentsOf(const QString &name)
{
    static const QRegularExpression separators(QStringLiteral(R"([/\\])"));
    static const QRegularExpression drive(QStringLiteral(R"(^[A-Za-z]:)"));
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) || drive.match(name).hasMatch())
        return std::nullopt;
    QStringList components;
    for (const QString &part : name.split(separators, Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        // "..", and any name of dots only, which a FAT card would cut to nothing.
        if (part.count(QLatin1Char('.')) == part.size())
            return std::nullopt;
        components.append(part);
    }
    return components;
}

QString VelquorArchiveEntryCheck::cardKey(const QString &component)
{
    // FAT drops trailing dots and ignores letter case; folded one character at a time, as the
    // card's table maps one character to one.
    QString name = component;
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    QString key;
    key.reserve(name.size());
    for (const uint c : name.toUcs4())
        key += QChar::fromUcs4(QChar::toCaseFolded(char32_t(c)));
    return key;
}

bool VelquorArchiveEntryCheck::refuse(const QString &reason)
{
    if (m_reason.isEmpty())
        m_reason = reason;
    return false;
}

bool VelquorArchiveEntryCheck::add(const QString &name, EntryKind kind)
{
    if (refused())
        return false;
    const auto components = componentsOf(name);
    if (!components)
        return refuse(QStringLiteral("The entry %1 leaves the destination").arg(name));
    if (kind == EntryKind::Link)
        return refuse(QStringLiteral("The entry %1 is a link").arg(name));
    if (components->isEmpty())
        return true; // the destination itself

    QStringList keys;
    keys.reserve(components->size());
    for (const QString &component : *components)
        keys.append(cardKey(component));
    // Only the package folder itself, or something inside it.
    const qsizetype depth = m_folderKeys.size();
    const bool inside = keys.size() > depth || (keys.size() == depth && kind == EntryKind::Folder && depth > 0);
    if (!inside || keys.mid(0, depth) != m_folderKeys)
        return refuse(QStringLiteral("The entry %1 lies outside the package folder %2").arg(name, m_folder));

    // The installer's own mark of a folder being written: a package that brought one would decide
    // what a later clean-up removes, and whose records go with it.
    for (const QString &marker : VelquorUnfinishedFolder::markerNames()) {
        if (keys.last() == cardKey(marker))
            return refuse(QStringLiteral("The entry %1 takes a name the installer keeps for itself").arg(name));
    }
    if (kind == EntryKind::File && keys.size() > depth)
        m_holdsFile = true;

    QString path;
    QString key;
    for (qsizetype i = 0; i < components->size(); ++i) {
        if (i > 0) {
            path += QLatin1Char('/');
            key += QLatin1Char('/');
        }
        path += components->at(i);
        key += keys.at(i);
        const bool folder = i + 1 < components->size() || kind == EntryKind::Folder;
        if (!remember(key, path, folder, name))
            return false;
    }
    return true;
}

bool VelquorArchiveEntryCheck::finish()
{
    if (refused())
        return false;
    if (!m_holdsFile)
        return refuse(m_folder.isEmpty() ? QStringLiteral("The package holds no file")
                                         : QStringLiteral("The package holds no file in its folder %1").arg(m_folder));
    return true;
}

bool VelquorArchiveEntryCheck::remember(const QString &key, const QString &path, bool folder, const QString &name)
{
    const auto seen = m_seen.constFind(key);
    if (seen == m_seen.cend()) {
        m_seen.insert(key, {path, folder});
        return true;
    }
    if (seen->spelling != path)
        return refuse(QStringLiteral("The entries %1 and %2 are one name on the card").arg(seen->spelling, path));
    if (seen->folder != folder)
        return refuse(QStringLiteral("The entry %1 is both a file and a folder").arg(name));
    return true;
}

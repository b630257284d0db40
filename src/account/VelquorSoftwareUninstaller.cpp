#include "account/VelquorSoftwareUninstaller.h"

#include "account/VelquorAccountConstants.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorUnfinishedFolder.h"
#include "platform/NotificationCenter.h"
#include "platform/PathIdentity.h"
#include "session/VelquorShellConstants.h"

#include <QDir>
#include <QFileInfo>

VelquorSoftwareUninstaller::VelquorSoftwareUninstaller(VelquorDownloadDataBaseManager *database,
                                                       VelquorCommonTool *commonTool)
    : m_database(database ? *database : VelquorDownloadDataBaseManager::sharedManager()),
      m_commonTool(commonTool ? *commonTool : VelquorCommonTool::sharedTool())
{}

QString VelquorSoftwareUninstaller::checkedCardDirectory(const QString &absolutePath) const
{
    const QString root = m_commonTool.saveFilePath();
    if (root.isEmpty() || !QDir::isAbsolutePath(root) || !QDir::isAbsolutePath(absolutePath))
        return {};
    const QString cleanRoot = QDir::cleanPath(root);
    const QString cleanPath = QDir::cleanPath(absolutePath);
    const QString rootPrefix = cleanRoot.endsWith(QLatin1Char('/')) ? cleanRoot : cleanRoot + QLatin1Char('/');
    // A row built for another card, or a path that leaves this one, is refused.
    if (!cleanPath.startsWith(rootPrefix))
        return {};
    const QString checked = m_commonTool.getDecompressPathWithSoftware(cleanPath.mid(rootPrefix.size()));
    if (checked.isEmpty() || QDir::cleanPath(checked) != cleanPath)
        return {};
    // A directory that is not there (a card taken out meanwhile) is not reported as removed, so
    // the records of software that may still be on a card are never dropped.
    const QFileInfo info(checked);
    return info.isDir() && !info.isSymLink() ? checked : QString();
}

QStringList VelquorSoftwareUninstaller::markedFolders(const QList<Row> &rows, const QString &token) const
{
    QStringList folders;
    for (const Row &row : rows) {
        for (const QString &part : row.path.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString directory = checkedCardDirectory(part);
            const auto mark = directory.isEmpty() ? std::nullopt : VelquorUnfinishedFolder::read(directory);
            if (mark && mark->token == token)
                folders.append(directory);
        }
    }
    return folders;
}

void VelquorSoftwareUninstaller::markRow(const Row &row, const QString &token) const
{
    if (row.vehicle.compare(VelquorShell::kOperatingSoftware, Qt::CaseInsensitive) == 0)
        return; // only its version file goes
    for (const QString &part : row.path.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString directory = checkedCardDirectory(part);
        // One that cannot be marked is not removed either, and so reported.
        if (!directory.isEmpty())
            VelquorUnfinishedFolder::mark(directory, row.vehicle, token, m_database.uniqueIDString());
    }
}

bool VelquorSoftwareUninstaller::removeRow(const Row &row, const QString &token) const
{
    if (row.vehicle.compare(VelquorShell::kOperatingSoftware, Qt::CaseInsensitive) == 0)
        return removeSystemVersionFile();
    const QStringList parts = row.path.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    bool removed = true;
    // Every directory is tried, also after one that failed. Only a folder that still carries this
    // uninstall's mark goes: a card swapped in meanwhile keeps its own.
    for (const QString &part : parts) {
        const QString directory = checkedCardDirectory(part);
        removed = !directory.isEmpty() && VelquorUnfinishedFolder::remove(directory, token) && removed;
    }
    return removed;
}

bool VelquorSoftwareUninstaller::removeSystemVersionFile() const
{
    const QString versionPath = VelquorCommonTool::getVersionPathFromFilePath(m_commonTool.getScanPathFromSDCard());
    if (versionPath.isEmpty() || !VelquorCommonTool::removeItemAtPath(versionPath))
        return false;
    NotificationCenter::workspace().post(VelquorAccount::kSoftwareManagementUninstallNotification);
    return true;
}

bool VelquorSoftwareUninstaller::unInstallSoftware(const QString &vehicle, const QString &path) const
{
    const Row row{vehicle, path};
    const QString token = VelquorUnfinishedFolder::newToken();
    markRow(row, token);
    return removeRow(row, token);
}

QStringList VelquorSoftwareUninstaller::unInstallRows(const QList<Row> &rows,
                                                      const std::function<void(double)> &progress) const
{
    // Every ticked folder is marked before the first one goes: work cut short by a kill, a crash or a
    // pulled card leaves them marked, and the next clean-up of that card finishes it.
    const QString token = VelquorUnfinishedFolder::newToken();
    for (const Row &row : rows)
        markRow(row, token);
    // A card swapped in while the rows are removed is left alone, also where nothing marks it. The
    // card is known by the marks this uninstall made on it (a FAT card's root names nothing of its
    // own): the operating software's version file, which no mark covers, goes first, while the
    // marked folders still say which card is there.
    QList<Row> ordered;
    for (const Row &row : rows) {
        if (row.vehicle.compare(VelquorShell::kOperatingSoftware, Qt::CaseInsensitive) == 0)
            ordered.prepend(row);
        else
            ordered.append(row);
    }
    const QString root = m_commonTool.saveFilePath();
    const PathIdentity card = PathIdentity::of(root);
    const QStringList marked = markedFolders(rows, token);
    const auto sameCard = [&] {
        if (m_commonTool.saveFilePath() != root)
            return false;
        if (marked.isEmpty())
            return card.exists && PathIdentity::of(root) == card;
        return std::any_of(marked.begin(), marked.end(), [&](const QString &folder) {
            const auto mark = VelquorUnfinishedFolder::read(folder);
            return mark && mark->token == token;
        });
    };
    QStringList notRemoved;
    for (qsizetype i = 0; i < ordered.size(); ++i) {
        const Row &row = ordered.at(i);
        if (sameCard() && removeRow(row, token)) {
            m_database.deleteModelWithVehicleForInstall(row.vehicle);
            m_database.deleteModelWithVehicle(row.vehicle);
        } else {
            notRemoved.append(row.vehicle);
        }
        if (progress)
            progress(double(i + 1) / double(rows.size()));
    }
    return notRemoved;
}

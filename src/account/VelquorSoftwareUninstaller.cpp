#include "account/VelquorSoftwareUninstaller.h"

#include "account/VelquorAccountConstants.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "platform/NotificationCenter.h"
#include "session/VelquorShellConstants.h"

#include <QDir>

VelquorSoftwareUninstaller::VelquorSoftwareUninstaller(VelquorDownloadDataBaseManager *database,
                                                       VelquorCommonTool *commonTool)
    : m_database(database ? *database : VelquorDownloadDataBaseManager::sharedManager()),
      m_commonTool(commonTool ? *commonTool : VelquorCommonTool::sharedTool())
{
}

bool VelquorSoftwareUninstaller::removeCardDirectory(const QString &absolutePath) const
{
    const QString root = m_commonTool.saveFilePath();
    if (root.isEmpty() || !QDir::isAbsolutePath(root) || !QDir::isAbsolutePath(absolutePath))
        return false;
    const QString cleanRoot = QDir::cleanPath(root);
    const QString cleanPath = QDir::cleanPath(absolutePath);
    const QString rootPrefix = cleanRoot.endsWith(QLatin1Char('/')) ? cleanRoot : cleanRoot + QLatin1Char('/');
    // A row built for another card, or a path that leaves this one, is refused.
    if (!cleanPath.startsWith(rootPrefix))
        return false;
    const QString checked = m_commonTool.getDecompressPathWithSoftware(cleanPath.mid(rootPrefix.size()));
    if (checked.isEmpty() || QDir::cleanPath(checked) != cleanPath)
        return false;
    // A directory that is not there (a card taken out meanwhile) is not reported as removed, so
    // the records of software that may still be on a card are never dropped.
    return VelquorCommonTool::removeItemAtPath(checked);
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
    if (vehicle.compare(VelquorShell::kOperatingSoftware, Qt::CaseInsensitive) == 0)
        return removeSystemVersionFile();
    const QStringList parts = path.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    bool removed = true;
    // Every directory is tried, also after one that failed.
    for (const QString &part : parts)
        removed = removeCardDirectory(part) && removed;
    return removed;
}

QStringList VelquorSoftwareUninstaller::unInstallRows(const QList<Row> &rows,
                                                      const std::function<void(double)> &progress) const
{
    QStringList notRemoved;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Row &row = rows.at(i);
        if (unInstallSoftware(row.vehicle, row.path)) {
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

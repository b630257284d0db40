#include "VelquorPackageEntries.h"

#include "core/BaseMainTools.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorHTTPSessionManager.h"
#include "session/VelquorShellConstants.h"
#include "updates/VelquorUpdatesPageServices.h"

QStringList VelquorPackageEntries::usableEntries(const QString &filePath)
{
    QStringList entries;
    for (const QString &entry : filePath.split(QLatin1Char(';'))) {
        if (VelquorCommonTool::isUsableText(entry))
            entries.append(entry);
    }
    return entries;
}

QString VelquorPackageEntries::downloadURL(const QString &entry)
{
    return VelquorHTTPSessionManager::baseAddress() + entry;
}

bool VelquorPackageEntries::isSystemFamily(const QString &vehicle)
{
    return vehicle.compare(VelquorShell::kOperatingSoftware, Qt::CaseInsensitive) == 0 || isInstaller(vehicle);
}

bool VelquorPackageEntries::isInstaller(const QString &vehicle)
{
    return vehicle.compare(VelquorShell::kInstallerSoftware, Qt::CaseInsensitive) == 0;
}

bool VelquorPackageEntries::hasAppend(const VelquorUpdatesPageServices &page, const VelquorDownloadModelPtr &model)
{
    return BaseMainTools::isHasAppend(page.appendVersions(), model);
}

bool VelquorPackageEntries::offersNewerPackage(const VelquorDownloadModelList &offered,
                                               const VelquorDownloadModelList &stored, const HeldVersion &heldVersion)
{
    for (const VelquorDownloadModelPtr &row : stored) {
        for (const VelquorDownloadModelPtr &record : offered) {
            if (!record || record->software().compare(row->software(), Qt::CaseInsensitive) != 0)
                continue;
            if (VelquorCommonTool::compareVersion1(record->version(), heldVersion ? heldVersion(row) : row->version()))
                return true;
        }
    }
    return false;
}

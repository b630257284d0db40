#include "VelquorPackageEntries.h"

#include "core/BaseMainTools.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorHTTPSessionManager.h"
#include "session/VelquorShellConstants.h"
#include "updates/VelquorUpdatesPageServices.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

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

namespace {

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

VelquorPackageEntries::ArchiveRole VelquorPackageEntries::roleOf(const VelquorDownloadModelPtr &stored)
{
    const QString url = stored->url();
    if (isSystemFamily(stored->vehicle()) || isSystemFamily(stored->software()) || url.contains(PartMarker))
        return ArchiveRole::Whole;
    if (url.contains(AppendMarker))
        return ArchiveRole::Append;
    const QString name = fileNameOf(url);
    // The data package's name ends in its version ("BENZ_V12.35.zip"); a language archive adds its
    // language to that ("BENZ_V12.35_DE.zip").
    static const QRegularExpression versionLast(QStringLiteral(R"(_[Vv]?\d+(\.\d+)*\.(zip|7z)$)"));
    if (versionLast.match(name).hasMatch())
        return ArchiveRole::Whole;
    bool language = false;
    for (const QString &entry : usableEntries(stored->filePath())) {
        if (name == fileNameOf(VelquorCommonTool::getDataPackageURLFromZipURL(entry)))
            return ArchiveRole::Whole;
        language = language || name == fileNameOf(entry);
    }
    // An archive of no entry of its record was not planned from it: nothing to say against it.
    return language ? ArchiveRole::Language : ArchiveRole::Whole;
}

bool VelquorPackageEntries::makesWholeVersions(const VelquorDownloadModelList &stored, const CardTest &appendApplies,
                                               const CardTest &holdsVersion)
{
    // Package by package: one vehicle may bring several.
    QHash<QString, VelquorDownloadModelList> packages;
    for (const VelquorDownloadModelPtr &row : stored)
        packages[row->software().toUpper()].append(row);
    for (const VelquorDownloadModelList &rows : std::as_const(packages)) {
        const auto withRole = [&rows](ArchiveRole role) {
            VelquorDownloadModelList found;
            std::copy_if(rows.begin(), rows.end(), std::back_inserter(found),
                         [role](const VelquorDownloadModelPtr &row) { return roleOf(row) == role; });
            return found;
        };
        // The package's whole data makes the version whatever the card holds.
        if (!withRole(ArchiveRole::Whole).isEmpty())
            continue;
        const VelquorDownloadModelList appends = withRole(ArchiveRole::Append);
        if (!appends.isEmpty()) {
            if (!std::all_of(appends.begin(), appends.end(), appendApplies))
                return false;
            continue; // its languages come with the appended version
        }
        // Languages alone: only onto the very version they belong to.
        if (!std::all_of(rows.begin(), rows.end(), holdsVersion))
            return false;
    }
    return true;
}

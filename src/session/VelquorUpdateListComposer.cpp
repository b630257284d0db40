#include "session/VelquorUpdateListComposer.h"

#include "core/VelquorCommonTool.h"
#include "session/VelquorMainViewModel.h"
#include "session/VelquorShellConstants.h"

#include <QPair>

namespace {

using PackageKey = QPair<QString, QString>; // card path, language

bool sameSoftware(const QString &software, const QString &name)
{
    return software.compare(name, Qt::CaseInsensitive) == 0;
}

float packageVersion(const VelquorDownloadModelPtr &record)
{
    return static_cast<float>(VelquorMainViewModel::versionNumberAfterPrefix(record->version()));
}

VelquorDownloadModelPtr firstRecord(const VelquorDownloadModelList &records)
{
    return records.isEmpty() ? nullptr : records.first();
}

} // namespace

VelquorUpdateListComposer::Records
VelquorUpdateListComposer::splitUpgradeRecords(const VelquorDownloadModelList &records)
{
    Records split;
    QHash<PackageKey, VelquorDownloadModelList> byKey;
    QList<PackageKey> repeatedKeys;

    for (const auto &record : records) {
        if (!record)
            continue;
        const QString software = record->software();
        if (!VelquorCommonTool::isUsableText(software) ||
            sameSoftware(software, VelquorShell::kRetiredUpdateToolsSoftware))
            continue;
        if (sameSoftware(software, VelquorShell::kInstallerSoftware)) {
            split.installers.append(record);
            continue;
        }
        if (sameSoftware(software, VelquorShell::kOperatingSoftware)) {
            split.operatingSoftware.append(record);
            continue;
        }
        split.packages.append(record);
        const QString sdPath = record->sdPath();
        if (!VelquorCommonTool::isUsableText(sdPath))
            continue;
        const QString language = record->language();
        const PackageKey key{sdPath, language.isEmpty() ? QString() : language};
        auto &sameKey = byKey[key];
        if (!sameKey.isEmpty())
            repeatedKeys.append(key);
        sameKey.append(record);
    }

    // The highest version of each repeated key wins; of equal versions the earliest.
    for (const PackageKey &key : repeatedKeys) {
        const VelquorDownloadModelList &sameKey = byKey[key];
        VelquorDownloadModelPtr best = sameKey.first();
        for (const auto &record : sameKey) {
            split.packages.removeAll(record);
            if (packageVersion(record) > packageVersion(best))
                best = record;
        }
        split.packages.append(best);
    }
    return split;
}

bool VelquorUpdateListComposer::operatingSoftwareNeeded(const VelquorDownloadModelPtr &record,
                                                        const Environment &environment, bool *isNewer)
{
    if (isNewer)
        *isNewer = false;
    if (!record)
        return false;
    const QString installed =
        environment.installedVersion ? environment.installedVersion(record->vehicle()) : QString();
    const bool newer = VelquorCommonTool::compareVersion1(record->version(), installed);
    if (isNewer)
        *isNewer = newer;
    const bool present = environment.hasSoftwarePath && environment.hasSoftwarePath(record);
    return newer || !present;
}

VelquorUpdateListComposer::Result
VelquorUpdateListComposer::compose(const std::shared_ptr<VelquorUpgradeResultModel> &answer,
                                   const Environment &environment)
{
    Result result;
    const qint64 code = answer ? answer->msgCode() : 0;
    if (code == 0) {
        result.kind = Result::Kind::ErrorAlert;
        result.alertKey = QStringLiteral("UpdateHint4");
        return result;
    }
    if (code == -1) {
        result.kind = Result::Kind::ErrorAlert;
        result.alertKey = QStringLiteral("App5");
        return result;
    }
    if (code != 1) {
        result.kind = Result::Kind::NoUpdateAlert;
        result.alertKey = QStringLiteral("UpdateHint12");
        return result;
    }

    const Records split = splitUpgradeRecords(answer->upgrade());
    const VelquorDownloadModelList operatingSoftware =
        VelquorMainViewModel::filterLastestSoftware(split.operatingSoftware);
    const VelquorDownloadModelList installers = VelquorMainViewModel::filterLastestSoftware(split.installers);
    const VelquorDownloadModelList packages = VelquorMainViewModel::filterLastestSoftware(split.packages);
    auto groupsOf = [&](const VelquorDownloadModelList &records) {
        return VelquorMainViewModel::transformFullDwonloadModels(records, environment.vehicleModels,
                                                                 environment.productName);
    };
    result.answered = true;
    result.osGroups = groupsOf(operatingSoftware);
    result.installerGroups = groupsOf(installers);
    result.vehicleGroups = groupsOf(packages);

    bool osNewer = false;
    if (const auto installer = firstRecord(installers);
        installer && VelquorCommonTool::compareVersion1(installer->version(), environment.applicationVersion)) {
        result.vehicleToDelete = installer->vehicle();
        result.familyModels = result.installerGroups;
    } else if (operatingSoftwareNeeded(firstRecord(operatingSoftware), environment, &osNewer)) {
        if (osNewer)
            result.vehicleToDelete = operatingSoftware.first()->vehicle();
        result.familyModels = result.osGroups;
    } else {
        result.familyModels = result.vehicleGroups;
    }

    if (result.familyModels.isEmpty()) {
        result.kind = Result::Kind::NoUpdateAlert;
        result.alertKey = QStringLiteral("UpdateHint12");
    } else {
        result.kind = Result::Kind::List;
    }
    return result;
}

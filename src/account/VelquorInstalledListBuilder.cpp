#include "account/VelquorInstalledListBuilder.h"

#include "account/VelquorAccountConstants.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "session/VelquorShellConstants.h"

#include <QFileInfo>

namespace {

bool isSystemSoftware(const QString &software)
{
    return software.compare(VelquorShell::kOperatingSoftware, Qt::CaseInsensitive) == 0 ||
           software.compare(VelquorShell::kInstallerSoftware, Qt::CaseInsensitive) == 0;
}

bool containsIgnoringCase(const QStringList &list, const QString &text)
{
    return list.contains(text, Qt::CaseInsensitive);
}

} // namespace

VelquorInstalledListBuilder::VelquorInstalledListBuilder(VelquorDownloadDataBaseManager *database,
                                                         VelquorCommonTool *commonTool)
    : m_database(database ? *database : VelquorDownloadDataBaseManager::sharedManager()),
      m_commonTool(commonTool ? *commonTool : VelquorCommonTool::sharedTool())
{
}

bool VelquorInstalledListBuilder::isHasInstall(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

std::optional<VelquorSoftwareManagementList> VelquorInstalledListBuilder::buildList() const
{
    if (m_commonTool.saveFilePath().isEmpty())
        return std::nullopt;

    // Installed vehicles in the order they first appear; the operating software and the
    // application's own installer are no vehicles.
    QStringList vehicles;
    for (const VelquorDownloadModelPtr &record : m_database.getAllCacheDataForInstall()) {
        const QString vehicle = record->vehicle();
        if (isSystemSoftware(record->software()) || !VelquorCommonTool::isUsableText(vehicle) ||
            containsIgnoringCase(vehicles, vehicle))
            continue;
        vehicles.append(vehicle);
    }

    VelquorSoftwareManagementList rows;
    if (auto row = systemRow())
        rows.append(row);
    for (const QString &vehicle : std::as_const(vehicles)) {
        if (auto row = vehicleRow(vehicle))
            rows.append(row);
    }
    return rows;
}

VelquorSoftwareManagementListModelPtr VelquorInstalledListBuilder::systemRow() const
{
    const QString scanPath = m_commonTool.getScanPathFromSDCard();
    const QString version = VelquorCommonTool::getVersionFromFilePath(scanPath).trimmed();
    if (version.isEmpty())
        return nullptr;
    auto row = std::make_shared<VelquorSoftwareManagementListModel>();
    row->setSoftware(VelquorShell::kOperatingSoftware);
    row->setVehicle(VelquorShell::kOperatingSoftware);
    row->setVersion(version);
    row->setLanguage(QStringLiteral(""));
    row->setPath(scanPath);
    row->setCardLanguages(getLanguage(scanPath));
    return row;
}

VelquorSoftwareManagementListModelPtr VelquorInstalledListBuilder::vehicleRow(const QString &vehicle) const
{
    const VelquorDownloadModelList records = m_database.getAllDataWithVehicleForInstall(vehicle);
    // A vehicle whose package directory is gone from the card has nothing left to remove. One whose
    // removal was cut short stays listed, so that it can be removed again.
    if (records.isEmpty() || !QFileInfo::exists(m_commonTool.getDecompressPathWithSoftware(records.first()->sdPath())))
        return nullptr;

    QStringList paths;
    QStringList languages;
    for (const VelquorDownloadModelPtr &record : records) {
        // Only a checked card path: a record's directory outside the card is never listed.
        const QString path = m_commonTool.getDecompressPathWithSoftware(record->sdPath());
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
        const QString language = record->language().toUpper();
        if (VelquorCommonTool::isUsableText(language) && !languages.contains(language))
            languages.append(language);
    }

    auto row = std::make_shared<VelquorSoftwareManagementListModel>();
    row->setVehicle(vehicle);
    row->setVersion(records.last()->version());
    row->setPath(paths.join(QLatin1Char(';')));
    row->setLanguage(languages.join(QLatin1Char('/')));
    row->setCardLanguages(getLanguage(row->path()));
    return row;
}

QString VelquorInstalledListBuilder::getLanguage(const QString &path) const
{
    QString directory;
    for (const QString &part : path.split(QLatin1Char(';'))) {
        if (isHasInstall(part)) {
            directory = part;
            break;
        }
    }
    if (!VelquorCommonTool::isUsableText(directory))
        return QStringLiteral("");
    QStringList found;
    for (const QString &code : VelquorAccount::kCardLanguageCodes) {
        if (VelquorCommonTool::getIsHasLanFromFilePath(directory, code))
            found.append(code);
    }
    return found.join(QLatin1Char('|'));
}

#include "updates/VelquorVehicleRows.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorHTTPSessionManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "session/VelquorDeviceModelTable.h"
#include "session/VelquorUpdateListLoader.h"
#include "updates/VelquorUpdatesConstants.h"
#include "updates/VelquorUpdatesStyle.h"

#include <algorithm>

VelquorVehicleRows::VelquorVehicleRows(VelquorDownloadManager &downloadManager,
                                       VelquorDownloadDataBaseManager &database, VelquorCommonTool &commonTool)
    : m_downloadManager(downloadManager), m_database(database), m_commonTool(commonTool)
{}

bool VelquorVehicleRows::isBusy() const
{
    // The rows are read before the joins: a vehicle's last row is downloaded in the same step that
    // begins the joining of its parts.
    return !m_downloadManager.vehicles().isEmpty() || !m_database.getAllUnDownloadedData().isEmpty() ||
           m_downloadManager.isJoiningAnyVehicle();
}

bool VelquorVehicleRows::isBasicSeriesDefaultProduct(const QString &productName)
{
    const QString upper = productName.toUpper();
    const QStringList &models = VelquorDeviceModelTable::basicSeriesDefaultModels();
    return std::any_of(models.begin(), models.end(), [&](const QString &model) { return upper.contains(model); });
}

QList<VelquorVehicleFamilyGroup> VelquorVehicleRows::shownRows() const
{
    return m_downloadManager.familyModels();
}

bool VelquorVehicleRows::isShownRow(qint64 row) const
{
    return row >= 0 && row < m_downloadManager.familyModels().size();
}

VelquorVehicleRowContent VelquorVehicleRows::content(const VelquorVehicleFamilyGroup &group) const
{
    return VelquorVehicleRowContent::fromGroup(group, isBasicSeriesDefaultProduct(m_productName));
}

double VelquorVehicleRows::textHeight(const QString &text, int pixelSize)
{
    const QString key = QString::number(pixelSize) + QLatin1Char('|') + text;
    const auto found = m_measured.constFind(key);
    if (found != m_measured.cend())
        return *found;
    const double height = VelquorUpdatesStyle::measuredHeight(text, VelquorUpdatesStyle::systemFont(pixelSize),
                                                              VelquorUpdatesStyle::kRowTextWidth);
    // Texts come and go with the lists; a bound keeps an endless session from piling them up.
    if (m_measured.size() > 4096)
        m_measured.clear();
    m_measured.insert(key, height);
    return height;
}

double VelquorVehicleRows::rowHeight(const QList<VelquorVehicleFamilyGroup> &rows, qint64 row)
{
    if (rows.isEmpty() || row < 0 || row >= rows.size())
        return VelquorUpdates::kFallbackRowHeight;
    return textHeight(content(rows.at(row)).heightText(), VelquorUpdatesStyle::kTitleSize) + 10.0;
}

bool VelquorVehicleRows::keeps(const VelquorVehicleFamilyModelPtr &family) const
{
    const VelquorDownloadModelPtr record = family ? family->model() : nullptr;
    if (!record)
        return false;
    QString installed;
    if (family->vehicle().compare(VelquorUpdates::kInstallerSoftware, Qt::CaseInsensitive) == 0) {
        installed = VelquorUpdateListLoader::applicationVersion();
    } else {
        const VelquorDownloadModelList records = m_database.getAllDataWithVehicleForInstall(family->vehicle());
        if (!records.isEmpty() && m_commonTool.getHasSoftwarePath(records.first()))
            installed = m_commonTool.getMaxVersionFromList(records);
    }
    // Installed and current, with its language: nothing to offer.
    if (!installed.isEmpty() && !VelquorCommonTool::compareVersion1(record->version(), installed) &&
        m_commonTool.getIsHasLanFromModel(record))
        return false;
    return !record->sdPath().isNull();
}

VelquorVehicleRows::Outcome VelquorVehicleRows::configDownload(const VelquorMyUpdatesListModel &list, bool force)
{
    const QList<VelquorVehicleFamilyGroup> source = list.familyModels();
    if (!force) {
        if (isBusy())
            return Outcome::Untouched;
        // An operating-software update under way keeps the list as it is.
        const VelquorVehicleFamilyModelPtr first =
            source.isEmpty() || source.first().isEmpty() ? nullptr : source.first().first();
        const VelquorDownloadModelPtr firstRecord = first ? first->model() : nullptr;
        if (firstRecord && first->vehicle().compare(VelquorUpdates::kOperatingSoftware, Qt::CaseInsensitive) == 0 &&
            firstRecord->state() != VelquorDownloadStateNone && firstRecord->state() != VelquorDownloadStateInstalled)
            return Outcome::Untouched;
    }

    m_productName = list.productName();
    QList<VelquorVehicleFamilyGroup> rows;
    for (const VelquorVehicleFamilyGroup &group : source) {
        VelquorVehicleFamilyGroup kept;
        for (const VelquorVehicleFamilyModelPtr &family : group)
            if (keeps(family))
                kept.append(family);
        if (!kept.isEmpty())
            rows.append(kept);
    }
    m_downloadManager.setFamilyModels(rows);

    if (rows.isEmpty() || !VelquorCommonTool::isUsableText(list.sdPath()) ||
        !VelquorCommonTool::isUsableText(list.serialNumber()))
        return Outcome::Hidden;
    prepare(rows);
    return Outcome::Shown;
}

void VelquorVehicleRows::prepare(const QList<VelquorVehicleFamilyGroup> &rows)
{
    const QString baseAddress = VelquorHTTPSessionManager::baseAddress();
    for (qint64 i = 0; i < rows.size(); ++i) {
        for (const VelquorVehicleFamilyModelPtr &family : rows.at(i)) {
            const VelquorDownloadModelPtr record = family->model();
            // A split package gets its addresses when its download starts.
            if (record->filePath().split(QLatin1Char(';')).size() < 2) {
                const QString url = baseAddress + record->filePath();
                record->setUrl(url);
                record->setZipPath(m_commonTool.getZipResourcePath(url));
            }
            record->setVid(record->software());
            record->setProgress(0);
            record->setState(VelquorDownloadStateNone);
            record->setVehicle(family->vehicle());
        }
        // Sized once every record of the row is reset, since the text follows their state.
        const double height = rowHeight(rows, i);
        for (const VelquorVehicleFamilyModelPtr &family : rows.at(i))
            family->setHeight(height);
    }
}

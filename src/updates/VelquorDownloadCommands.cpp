#include "VelquorDownloadCommands.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "updates/VelquorDownloadHandOver.h"
#include "updates/VelquorPackageEntries.h"
#include "updates/VelquorUpdatesPageServices.h"
#include "updates/VelquorVehicleStateCounts.h"

namespace {

bool isOfVehicle(const VelquorVehicleFamilyModelPtr &family, const QString &vehicle)
{
    return family->vehicle().compare(vehicle, Qt::CaseInsensitive) == 0;
}

// The vehicle's offered records in table order.
VelquorDownloadModelList offeredRecords(const QList<VelquorVehicleFamilyGroup> &groups, const QString &vehicle)
{
    VelquorDownloadModelList records;
    for (const VelquorVehicleFamilyGroup &group : groups) {
        for (const VelquorVehicleFamilyModelPtr &family : group) {
            if (isOfVehicle(family, vehicle) && family->model())
                records.append(family->model());
        }
    }
    return records;
}

} // namespace

VelquorDownloadCommands::VelquorDownloadCommands(VelquorUpdatesPageServices &page, VelquorDownloadHandOver &handOver,
                                                 VelquorDownloadManager *manager,
                                                 VelquorDownloadDataBaseManager *database,
                                                 VelquorCommonTool *commonTool)
    : m_page(page), m_handOver(handOver), m_manager(manager ? *manager : VelquorDownloadManager::sharedManager()),
      m_database(database ? *database : VelquorDownloadDataBaseManager::sharedManager()),
      m_commonTool(commonTool ? *commonTool : VelquorCommonTool::sharedTool())
{}

bool VelquorDownloadCommands::getHasAppend(const VelquorDownloadModelPtr &model) const
{
    return VelquorPackageEntries::hasAppend(m_page, model);
}

// ---------------------------------------------------------------------------------------------
// Row command

void VelquorDownloadCommands::downloadAction(int tag, qint64 buttonState)
{
    if (buttonState == VelquorDownloadStateInstalled || buttonState == VelquorDownloadStateExtracting)
        return;
    const QList<VelquorVehicleFamilyGroup> groups = m_manager.familyModels();
    if (tag < 0 || tag >= groups.size())
        return; // the rows changed under the press
    QString vehicle;
    VelquorDownloadModelList models;
    for (const VelquorVehicleFamilyModelPtr &family : groups[tag]) {
        const VelquorDownloadModelPtr record = family->model();
        if (!record)
            continue;
        // Copies: the shown records change only through the page.
        const VelquorDownloadModelPtr model = record->copy();
        model->setVehicle(family->vehicle());
        models.append(model);
        vehicle = family->vehicle();
    }
    if (vehicle.isEmpty())
        return;
    m_handOver.startDownload(vehicle, models);
}

void VelquorDownloadCommands::replanVehicle(const QString &vehicle)
{
    VelquorDownloadModelList models;
    for (const VelquorDownloadModelPtr &record : offeredRecords(m_manager.familyModels(), vehicle)) {
        const VelquorDownloadModelPtr model = record->copy();
        model->setVehicle(vehicle);
        models.append(model);
    }
    if (!models.isEmpty())
        m_handOver.replanVehicle(vehicle, models);
}

// ---------------------------------------------------------------------------------------------
// Update-all

void VelquorDownloadCommands::updateAllAction()
{
    const QList<VelquorVehicleFamilyGroup> groups = m_manager.familyModels();
    QStringList planned;   // upper case, in the order first planned
    QStringList extracted; // downloaded vehicles handed to extraction (one hand-over each)
    auto plan = [&planned](const QString &vehicle) {
        if (!planned.contains(vehicle.toUpper()))
            planned.append(vehicle.toUpper());
    };
    auto forget = [this](const QString &vehicle) {
        m_database.deleteModelWithVehicle(vehicle);
        m_manager.removeDownloadPausedModelsWithVehicle(vehicle);
    };

    if (!m_database.getAllCacheData().isEmpty()) {
        for (const VelquorVehicleFamilyGroup &group : groups) {
            for (const VelquorVehicleFamilyModelPtr &family : group) {
                const VelquorDownloadModelPtr record = family->model();
                if (!record)
                    continue;
                const QString vehicle = family->vehicle();
                const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
                if (rows.isEmpty()) {
                    if (record->state() == VelquorDownloadStateNone)
                        plan(vehicle);
                    continue;
                }
                const VelquorVehicleStateCounts counts(rows);
                // Stored records of an older version than offered would fetch or install the old one.
                // Compared as a press compares them, package by package. A vehicle under way is left
                // to finish.
                const bool underWay =
                    counts.downloading + counts.waiting + counts.extracting + counts.readyToInstall > 0;
                if (!underWay && VelquorPackageEntries::offersNewerPackage(offeredRecords(groups, vehicle), rows)) {
                    forget(vehicle);
                    plan(vehicle);
                    continue;
                }
                if (counts.idle == rows.size()) {
                    plan(vehicle);
                } else if (counts.failed >= 1) {
                    forget(vehicle);
                    plan(vehicle);
                } else if (counts.installed == rows.size()) {
                    // Decided as a press decides it, over all of the vehicle's offered records.
                    if (m_handOver.isInstalledVehicleOutOfDate(offeredRecords(groups, vehicle), rows)) {
                        forget(vehicle);
                        plan(vehicle);
                    }
                } else if (counts.downloaded + counts.readyToInstall == rows.size() &&
                           !extracted.contains(vehicle.toUpper())) {
                    extracted.append(vehicle.toUpper());
                    m_handOver.installDownloadedVehicle(vehicle, rows);
                }
                // Any other mix is under way: update-all neither pauses nor resumes it.
            }
        }
    } else {
        for (const VelquorVehicleFamilyGroup &group : groups) {
            for (const VelquorVehicleFamilyModelPtr &family : group) {
                const VelquorDownloadModelPtr record = family->model();
                if (!record)
                    continue;
                const qint64 state = record->state();
                if (state == VelquorDownloadStateNone || state == VelquorDownloadStateFailed ||
                    state == VelquorDownloadStateInstallFailed)
                    plan(family->vehicle());
            }
        }
    }
    m_page.reloadAllData();

    for (const QString &vehicle : std::as_const(planned)) {
        // Working copies of the offered records, changed as they are written, as the planning goes.
        VelquorDownloadModelList models;
        for (const VelquorVehicleFamilyGroup &group : groups) {
            for (const VelquorVehicleFamilyModelPtr &family : group) {
                if (isOfVehicle(family, vehicle) && family->model())
                    models.append(family->model()->copy());
            }
        }
        const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
        if (VelquorPackageEntries::isSystemFamily(vehicle)) {
            planSystemFamily(vehicle, models, rows);
        } else {
            planPackages(vehicle, models, rows);
            planLanguages(vehicle, models, rows);
        }
    }

    const VelquorDownloadModelList waiting = m_database.getAllWaitingData();
    if (waiting.isEmpty())
        return;
    QStringList queued;
    for (const auto &row : waiting) {
        if (!queued.contains(row->vehicle(), Qt::CaseInsensitive))
            queued.append(row->vehicle());
    }
    for (const QString &vehicle : std::as_const(queued)) {
        if (planned.contains(vehicle.toUpper())) {
            VelquorRowUpdate update;
            update.state = VelquorDownloadStateWaiting;
            m_page.setRowOfVehicle(vehicle, update);
        }
        m_handOver.addDownloadTask(vehicle, m_database.getModelWithVehicle(vehicle));
    }
    m_handOver.startDownloadVehicle();
}

void VelquorDownloadCommands::store(const VelquorDownloadModelPtr &record, const VelquorDownloadModelList &rows)
{
    if (rows.isEmpty())
        m_database.insertModel(record);
    else
        m_database.updateWithModel(record, VelquorDownloadUpdateAllWithZipPath);
}

void VelquorDownloadCommands::planSystemFamily(const QString &vehicle, const VelquorDownloadModelList &models,
                                               const VelquorDownloadModelList &rows)
{
    const VelquorDownloadModelList records = VelquorPackageEntries::isInstaller(vehicle) ? models.mid(0, 1) : models;
    for (const auto &record : records) {
        const QString url = VelquorPackageEntries::downloadURL(record->filePath());
        record->setVid(record->software());
        record->setZipPath(m_commonTool.getZipResourcePath(url));
        record->setUrl(url);
        record->setVehicle(vehicle);
        if (rows.isEmpty()) {
            record->setProgress(0);
            record->setState(VelquorDownloadStateWaiting);
        }
        store(record, rows); // stored rows keep the offered record's own state and progress
    }
}

void VelquorDownloadCommands::planPackages(const QString &vehicle, const VelquorDownloadModelList &models,
                                           const VelquorDownloadModelList &rows)
{
    using Entries = VelquorPackageEntries;
    for (const auto &record : models) {
        const QStringList entries = Entries::usableEntries(record->filePath());
        const bool split = record->filePath().contains(Entries::PartMarker);
        auto write = [&](const QString &address) {
            record->setZipPath(m_commonTool.get7ZResourcePath(address));
            record->setUrl(address);
            record->setVid(record->software());
            record->setProgress(0);
            record->setState(VelquorDownloadStateWaiting);
            record->setVehicle(vehicle);
            store(record, rows);
        };
        if (getHasAppend(record)) {
            for (const QString &entry : entries) {
                if (entry.contains(Entries::AppendMarker))
                    write(Entries::downloadURL(entry));
            }
            continue;
        }
        const bool sameVersion = m_commonTool.isSameVersion(record);
        if (rows.isEmpty() && split) {
            if (sameVersion)
                continue;
            for (const QString &entry : entries) {
                if (!entry.contains(Entries::AppendMarker))
                    write(Entries::downloadURL(entry));
            }
            continue;
        }
        for (const QString &entry : entries) {
            if (entry.contains(Entries::AppendMarker))
                continue;
            const QString address = Entries::downloadURL(entry);
            write(split ? address : VelquorCommonTool::getDataPackageURLFromZipURL(address));
        }
        if (sameVersion)
            break; // the card holds this version: later records add no data package
    }
}

void VelquorDownloadCommands::planLanguages(const QString &vehicle, const VelquorDownloadModelList &models,
                                            const VelquorDownloadModelList &rows)
{
    using Entries = VelquorPackageEntries;
    for (const auto &record : models) {
        if (m_commonTool.getIsHasLanFromModel(record) && (getHasAppend(record) || m_commonTool.isSameVersion(record)))
            continue;
        for (const QString &entry : Entries::usableEntries(record->filePath())) {
            if (entry.contains(Entries::PartMarker) || entry.contains(Entries::AppendMarker))
                continue;
            const QString address = Entries::downloadURL(entry);
            record->setZipPath(m_commonTool.get7ZResourcePath(address));
            record->setUrl(address);
            record->setVid(record->software());
            record->setVehicle(vehicle);
            if (rows.isEmpty()) {
                record->setProgress(0);
                record->setState(VelquorDownloadStateWaiting);
            }
            store(record, rows);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Refresh

void VelquorDownloadCommands::refreshAction()
{
    const qsizetype busy = m_manager.vehicles().size() + m_database.getAllUnDownloadedData().size();
    if (busy < 1)
        m_page.requestUpdateList();
    else
        m_page.reloadSDCard(false);
}

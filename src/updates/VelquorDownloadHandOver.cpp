#include "VelquorDownloadHandOver.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "updates/VelquorPackageEntries.h"
#include "updates/VelquorUpdatesPageServices.h"
#include "updates/VelquorVehicleEnd.h"
#include "updates/VelquorVehicleStateCounts.h"

#include <QHash>

#include <algorithm>
#include <condition_variable>

namespace {

VelquorRowUpdate rowUpdate(qint64 state, double progress, std::optional<quint64> totalFileSize = std::nullopt)
{
    VelquorRowUpdate update;
    update.state = int(state);
    update.progress = progress;
    update.totalFileSize = totalFileSize;
    return update;
}

} // namespace

// Shared with the runner's work on the probe queue, which may start after the hand-over is gone.
struct VelquorDownloadHandOver::RunnerState
{
    std::mutex mutex;
    std::condition_variable finished;
    bool active = false; // a runner is queued or at work; cleared by the runner when it finds nothing left
    int running = 0;     // runs under way that use the hand-over (a new one may begin as an old one ends)
    std::atomic<bool> stopping{false};
};

VelquorDownloadHandOver::VelquorDownloadHandOver(VelquorUpdatesPageServices &page, DecompressVehicle decompressVehicle,
                                                 VelquorDownloadManager *manager,
                                                 VelquorDownloadDataBaseManager *database,
                                                 VelquorCommonTool *commonTool)
    : m_page(page), m_decompressVehicle(std::move(decompressVehicle)),
      m_manager(manager ? *manager : VelquorDownloadManager::sharedManager()),
      m_database(database ? *database : VelquorDownloadDataBaseManager::sharedManager()),
      m_commonTool(commonTool ? *commonTool : VelquorCommonTool::sharedTool()),
      m_runner(std::make_shared<RunnerState>())
{
    if (!m_manager.getContentQueue())
        m_manager.setGetContentQueue(
            std::make_shared<DispatchQueue>(QString::fromLatin1(ContentQueueLabel), DispatchQueue::Kind::Concurrent));
}

VelquorDownloadHandOver::~VelquorDownloadHandOver()
{
    std::unique_lock lock(m_runner->mutex);
    m_runner->stopping = true;
    m_runner->finished.wait(lock, [this] { return m_runner->running == 0; });
}

// ---------------------------------------------------------------------------------------------
// The press

void VelquorDownloadHandOver::startDownload(const QString &vehicle, const VelquorDownloadModelList &models)
{
    VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty()) {
        firstDownloadVehicle(vehicle, models);
        return;
    }
    if (VelquorPackageEntries::offersNewerPackage(models, rows)) {
        forgetVehicle(vehicle);
        firstDownloadVehicle(vehicle, models);
        return;
    }
    if (m_manager.isUnrecordedVehicle(vehicle)) {
        // Stopped because its download could not be recorded: whatever its records still say, it is
        // not under way. The press takes it on from what it received.
        resumeVehicle(vehicle);
        return;
    }

    const VelquorVehicleStateCounts counts(rows);
    if (counts.installed == rows.size()) {
        if (isInstalledVehicleOutOfDate(models, rows)) {
            forgetVehicle(vehicle);
            firstDownloadVehicle(vehicle, models);
        }
        return;
    }
    if (counts.failed >= 1) {
        forgetVehicle(vehicle);
        m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateWaiting, 0));
        m_page.reloadAllData();
        firstDownloadVehicle(vehicle, models);
        return;
    }
    if (counts.downloading > 0 || counts.waiting >= 1) {
        pauseVehicle(vehicle, rows);
        return;
    }
    if (counts.paused >= 1) {
        resumeVehicle(vehicle);
        return;
    }
    if (counts.extracting > 0)
        return;
    if (counts.readyToInstall > 0 || counts.downloaded >= 1) {
        const qsizetype all = rows.size();
        if (all == counts.readyToInstall || all == counts.downloaded ||
            all == counts.downloaded + counts.readyToInstall)
            installDownloadedVehicle(vehicle, rows);
        return;
    }
    // Every record idle.
    addDownloadTask(vehicle, m_database.getModelWithVehicle(vehicle));
    startDownloadVehicle();
}

void VelquorDownloadHandOver::pauseVehicle(const QString &vehicle, const VelquorDownloadModelList &rows)
{
    const VelquorDownloadModelPtr first = rows.first();
    {
        std::lock_guard lock(m_outcomeMutex);
        m_manager.addDownloadPausedModel(first);
    }
    // The rows read paused when this returns; the bytes the pause keeps follow as progress.
    m_manager.pauseDownloadTask(first);
    const VelquorDownloadModelList current = m_database.getModelWithVehicle(vehicle);
    if (current.isEmpty())
        return;
    const bool pausedAny = std::any_of(current.begin(), current.end(), [](const VelquorDownloadModelPtr &row) {
        return row->state() == VelquorDownloadStatePaused;
    });
    if (!pausedAny) {
        // The download ended before the press: the vehicle goes on to its extraction, not paused.
        std::lock_guard lock(m_outcomeMutex);
        m_manager.removeDownloadPausedModelsWithVehicle(vehicle);
        return;
    }
    m_page.setRowOfVehicle(
        vehicle, rowUpdate(VelquorDownloadStatePaused, receivedShare(current), current.first()->totalFileSize()));
    m_page.reloadAllData();
}

void VelquorDownloadHandOver::resumeVehicle(const QString &vehicle)
{
    VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty())
        return;
    const VelquorDownloadModelPtr first = rows.first();
    bool stillProbing = false;
    {
        std::lock_guard lock(m_outcomeMutex);
        m_manager.removeDownloadPausedModelsWithVehicle(first->vehicle());
        // A vehicle measured before and queued again (by update-all) is handed over here, as any
        // resume: the probe runner leaves measured vehicles to the manager.
        stillProbing = m_manager.containsNeedDownloadData(vehicle) && !isMeasured(rows);
        if (stillProbing) {
            // Paused before its sizes were known: the probe's outcome hands it over, as if never paused.
            for (const auto &row : std::as_const(rows)) {
                if (row->state() == VelquorDownloadStateDownloaded)
                    continue;
                row->setState(VelquorDownloadStateWaiting);
                m_database.updateWithModel(row, VelquorDownloadUpdateState);
            }
        }
    }
    const double share = receivedShare(rows);
    if (share == 1.0)
        m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateWaitingInstall, 0, first->totalFileSize()));
    else
        m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateWaiting, share, first->totalFileSize()));
    m_page.reloadAllData();
    if (!stillProbing)
        m_manager.startDownloadTask(first);
}

void VelquorDownloadHandOver::installDownloadedVehicle(const QString &vehicle, const VelquorDownloadModelList &rows)
{
    // Parts still being joined read downloaded while their files are merged away; the manager hands
    // the vehicle over itself once it is complete.
    if (m_manager.isJoiningVehicle(vehicle))
        return;
    const bool archiveMissing = std::any_of(rows.begin(), rows.end(), [this](const VelquorDownloadModelPtr &row) {
        return !m_commonTool.getHasDownFile(row);
    });
    if (archiveMissing) {
        // An extraction without its archive must fail and would then take the package off the card:
        // the vehicle counts as not downloaded, and the next press fetches it again.
        endVehicleIn(m_database, m_page, vehicle, rows, VelquorDownloadStateFailed);
        return;
    }
    handToExtraction(vehicle, rows);
}

void VelquorDownloadHandOver::handToExtraction(const QString &vehicle, const VelquorDownloadModelList &rows)
{
    for (const auto &row : rows) {
        row->setState(VelquorDownloadStateWaitingInstall);
        row->setProgress(0);
        m_database.updateWithModel(row, VelquorDownloadUpdateAll);
    }
    const VelquorDownloadModelList current = m_database.getModelWithVehicle(vehicle);
    if (current.isEmpty())
        return;
    m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateWaitingInstall, 0, current.first()->totalFileSize()));
    m_page.reloadAllData();
    if (m_decompressVehicle)
        m_decompressVehicle(vehicle);
}

void VelquorDownloadHandOver::forgetVehicle(const QString &vehicle)
{
    m_database.deleteModelWithVehicle(vehicle);
    m_manager.removeDownloadPausedModelsWithVehicle(vehicle);
}

bool VelquorDownloadHandOver::isInstalledVehicleOutOfDate(const VelquorDownloadModelList &models,
                                                          const VelquorDownloadModelList &rows) const
{
    if (rows.isEmpty())
        return false;
    // The card's version of each stored package against its own offered record: a vehicle's packages
    // may carry different versions, so neither the first row's nor the highest one speaks for all.
    const auto onCard = [this](const VelquorDownloadModelPtr &row) {
        return m_commonTool.getMaxVersionFromList({row});
    };
    return !m_commonTool.getHasSoftwarePath(rows.first()) ||
           VelquorPackageEntries::offersNewerPackage(models, rows, onCard) || !isHasLanCfg(models);
}

bool VelquorDownloadHandOver::isHasLanCfg(const VelquorDownloadModelList &models) const
{
    return std::all_of(models.begin(), models.end(), [this](const VelquorDownloadModelPtr &model) {
        return m_commonTool.getIsHasLanFromModel(model);
    });
}

// ---------------------------------------------------------------------------------------------
// First download

void VelquorDownloadHandOver::insertRecord(const QString &vehicle, const VelquorDownloadModelPtr &offered,
                                           const QString &url, const QString &zipPath, const KeptArchives &kept)
{
    // A copy: the offered record is the one the row shows.
    const VelquorDownloadModelPtr record = offered->copy();
    record->setUrl(url);
    record->setZipPath(zipPath);
    record->setVid(offered->software());
    record->setProgress(0);
    record->setState(VelquorDownloadStateWaiting);
    record->setVehicle(vehicle);
    // Nothing of an earlier download of the row carries over: sizes are measured anew.
    record->setTmpFileSize(0);
    record->setExpectedContentLength(0);
    record->setRatio(0);
    record->setResumeData({});
    if (const VelquorDownloadModelPtr archive = kept.value(url); archive && archive->zipPath() == zipPath) {
        // Downloaded whole already: the manager passes it by, and the probe measures it with the rest.
        record->setState(VelquorDownloadStateDownloaded);
        record->setTmpFileSize(archive->tmpFileSize());
        record->setExpectedContentLength(archive->expectedContentLength());
    }
    m_database.insertModel(record);
}

void VelquorDownloadHandOver::firstDownloadVehicle(const QString &vehicle, const VelquorDownloadModelList &models)
{
    planVehicle(vehicle, models, {});
}

void VelquorDownloadHandOver::replanVehicle(const QString &vehicle, const VelquorDownloadModelList &models)
{
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    const bool downloaded = std::all_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
        return row->state() == VelquorDownloadStateDownloaded || row->state() == VelquorDownloadStateWaitingInstall;
    });
    // Only a vehicle still waiting to be installed: one pressed, installed or deleted since has moved on.
    if (rows.isEmpty() || !downloaded || m_manager.containsVehicle(vehicle) || m_manager.isJoiningVehicle(vehicle))
        return;
    KeptArchives kept;
    QStringList before;
    for (const VelquorDownloadModelPtr &row : rows) {
        before.append(row->url());
        // A joined archive is planned as its parts: it is fetched again rather than kept.
        if (!row->url().contains(VelquorPackageEntries::PartMarker) && m_commonTool.getHasDownFile(row))
            kept.insert(row->url(), row);
    }
    forgetVehicle(vehicle);
    planVehicle(vehicle, models, kept);

    const VelquorDownloadModelList planned = m_database.getModelWithVehicle(vehicle);
    QStringList after;
    for (const VelquorDownloadModelPtr &row : planned)
        after.append(row->url());
    for (const VelquorDownloadModelPtr &row : rows) {
        if (!after.contains(row->url()))
            m_commonTool.removeCachedArchive(row->zipPath());
    }
    before.sort();
    after.sort();
    if (before != after || planned.isEmpty())
        return;
    // The card still calls for what was refused on it: nothing to install, and nothing to loop on.
    endVehicleIn(m_database, m_page, vehicle, planned, VelquorDownloadStateInstallFailed);
}

void VelquorDownloadHandOver::planVehicle(const QString &vehicle, const VelquorDownloadModelList &models,
                                          const KeptArchives &kept)
{
    m_manager.removeDownloadPausedModelsWithVehicle(vehicle);
    if (VelquorPackageEntries::isSystemFamily(vehicle)) {
        // One archive per record, its whole filePath; the installer takes its first record only.
        const VelquorDownloadModelList records =
            VelquorPackageEntries::isInstaller(vehicle) ? models.mid(0, 1) : models;
        for (const auto &model : records) {
            const QString url = VelquorPackageEntries::downloadURL(model->filePath());
            insertRecord(vehicle, model, url, m_commonTool.getZipResourcePath(url), kept);
        }
    } else {
        using Entries = VelquorPackageEntries;
        // First pass: the data package (whole, in parts, or its append).
        for (const auto &model : models) {
            const QString filePath = model->filePath();
            const bool hasAppend = Entries::hasAppend(m_page, model);
            const bool split = filePath.contains(Entries::PartMarker);
            for (const QString &entry : Entries::usableEntries(filePath)) {
                const bool isAppend = entry.contains(Entries::AppendMarker);
                if (hasAppend != isAppend)
                    continue;
                QString url = Entries::downloadURL(entry);
                if (!hasAppend && !split)
                    url = VelquorCommonTool::getDataPackageURLFromZipURL(url);
                insertRecord(vehicle, model, url, m_commonTool.get7ZResourcePath(url), kept);
            }
            if (!hasAppend && m_commonTool.isSameVersion(model))
                break;
        }
        // Second pass: the language archives the card lacks.
        for (const auto &model : models) {
            const bool hasLanguage = m_commonTool.getIsHasLanFromModel(model);
            if (hasLanguage && (Entries::hasAppend(m_page, model) || m_commonTool.isSameVersion(model)))
                continue;
            for (const QString &entry : Entries::usableEntries(model->filePath())) {
                if (entry.contains(Entries::PartMarker) || entry.contains(Entries::AppendMarker))
                    continue;
                const QString url = Entries::downloadURL(entry);
                insertRecord(vehicle, model, url, m_commonTool.get7ZResourcePath(url), kept);
            }
        }
    }

    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty())
        return; // no usable archive offered: nothing to fetch
    const bool allKept = std::all_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
        return row->state() == VelquorDownloadStateDownloaded;
    });
    if (allKept && !kept.isEmpty()) {
        handToExtraction(vehicle, rows);
        return;
    }
    m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateWaiting, 0));
    addDownloadTask(vehicle, rows);
    startDownloadVehicle();
}

// ---------------------------------------------------------------------------------------------
// Probe queue

void VelquorDownloadHandOver::addDownloadTask(const QString &vehicle, const VelquorDownloadModelList &rows)
{
    m_manager.addNeedDownloadData(vehicle, rows);
}

void VelquorDownloadHandOver::startDownloadVehicle()
{
    if (!m_manager.firstNeedDownloadData())
        return;
    const std::shared_ptr<DispatchQueue> queue = m_manager.getContentQueue();
    if (!queue)
        return;
    {
        std::lock_guard lock(m_runner->mutex);
        if (m_runner->active || m_runner->stopping)
            return; // the runner at work takes the new entry in its turn
        m_runner->active = true;
    }
    queue->async([this, runner = m_runner] {
        {
            std::lock_guard lock(runner->mutex);
            if (runner->stopping) {
                runner->active = false;
                return; // the hand-over is gone or going
            }
            ++runner->running;
        }
        runProbes();
        std::lock_guard lock(runner->mutex);
        --runner->running;
        runner->finished.notify_all();
    });
}

void VelquorDownloadHandOver::runProbes()
{
    for (;;) {
        std::optional<VelquorDownloadPageState::NeedDownloadEntry> entry;
        {
            // Decided under the runner's lock: an entry queued after this look starts a new runner.
            std::lock_guard lock(m_runner->mutex);
            if (!m_runner->stopping)
                entry = m_manager.firstNeedDownloadData();
            if (!entry) {
                m_runner->active = false;
                return;
            }
        }
        probeEntry(*entry);
    }
}

void VelquorDownloadHandOver::probeEntry(const VelquorDownloadPageState::NeedDownloadEntry &entry)
{
    const QString vehicle = entry.first;
    auto dropEntry = [this, &entry] {
        std::lock_guard lock(m_outcomeMutex);
        m_manager.removeNeedDownloadData(entry);
    };
    // A vehicle that is downloading already keeps its transfers: nothing to measure or hand over.
    if (m_manager.dataTaskVehicles().contains(vehicle.toUpper())) {
        dropEntry();
        return;
    }
    VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty()) {
        dropEntry();
        return;
    }
    if (alreadyMeasured(rows)) {
        // Handed over before and waiting for a slot (queued again by update-all): measuring it again
        // would rewrite records the manager may be starting, and marking its rows waiting again would
        // send it to the back of the waiting order each time. Only a vehicle the manager has no
        // place in line for (a waiting row never stamped) is handed over.
        if (!m_manager.isDownloadPausedVehicle(vehicle) && hasUnstampedWaitingRow(rows))
            m_manager.startDownloadTask(rows.first());
        dropEntry();
        return;
    }
    if (hasFinishedRow(rows) && isMeasured(rows)) {
        // Queued again before it finished downloading: measuring it now would send it back to
        // waiting, to download again from zero while its extraction may already run. (A vehicle
        // planned anew around archives it kept has records not yet measured: it is measured whole.)
        dropEntry();
        return;
    }
    QStringList urls;
    for (const auto &row : std::as_const(rows))
        urls.append(row->url());
    const std::shared_ptr<RunnerState> runner = m_runner;
    const QList<VelquorContentLengthProbe::Answer> answers =
        m_probe.contentLengths(urls, [runner] { return runner->stopping.load(); });
    if (m_runner->stopping)
        return; // the entry stays queued for the next runner

    QHash<QString, quint64> lengths;
    bool good = true;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        if (answers[i].ok)
            lengths.insert(urls[i], answers[i].contentLength);
        else
            good = false;
    }

    std::lock_guard lock(m_outcomeMutex);
    m_manager.removeNeedDownloadData(entry);
    rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty() || m_manager.dataTaskVehicles().contains(vehicle.toUpper()) ||
        (hasFinishedRow(rows) && isMeasured(rows)))
        return; // deleted, started or finished meanwhile
    quint64 total = 0;
    for (const auto &row : std::as_const(rows)) {
        const auto length = lengths.constFind(row->url());
        if (length == lengths.constEnd())
            good = false; // a record added since was not measured
        else
            total += *length;
    }

    if (!good) {
        for (const auto &row : std::as_const(rows)) {
            row->setRatio(0);
            row->setTotalFileSize(0);
            row->setState(VelquorDownloadStateFailed);
            m_database.updateWithModel(row, VelquorDownloadUpdateAll);
        }
        m_manager.removeDownloadPausedModelsWithVehicle(vehicle);
        m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateFailed, 0));
        m_page.reloadAllData();
        return;
    }

    // A pause pressed during the probe stands: the figures are kept, the vehicle is not handed over.
    const bool paused = m_manager.isDownloadPausedVehicle(vehicle);
    for (const auto &row : std::as_const(rows)) {
        const quint64 length = lengths.value(row->url());
        row->setExpectedContentLength(length);
        row->setRatio(float(length) / float(total));
        row->setTotalFileSize(total);
        if (row->state() != VelquorDownloadStateDownloaded)
            row->setState(paused ? VelquorDownloadStatePaused : VelquorDownloadStateWaiting);
        m_database.updateWithModel(row, VelquorDownloadUpdateAll);
    }
    rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty())
        return;
    if (paused) {
        m_page.setRowOfVehicle(
            vehicle, rowUpdate(VelquorDownloadStatePaused, receivedShare(rows), rows.first()->totalFileSize()));
    } else {
        m_page.setRowOfVehicle(vehicle, rowUpdate(VelquorDownloadStateWaiting, 0, rows.first()->totalFileSize()));
        m_manager.startDownloadTask(rows.first());
    }
    m_page.reloadAllData();
}

// ---------------------------------------------------------------------------------------------
// Notifications of the download manager

void VelquorDownloadHandOver::downLoadProgress(const VelquorDownloadModelPtr &row)
{
    if (!row)
        return;
    const QString vehicle = row->vehicle();
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty())
        return;
    qsizetype downloaded = 0;
    float progress = 0;
    for (const auto &record : rows) {
        if (record->state() == VelquorDownloadStateDownloaded)
            ++downloaded;
        progress += float(record->progress());
    }
    VelquorRowUpdate update;
    update.firstGroupOnly = true;
    if (m_manager.isDownloadPausedVehicle(vehicle)) {
        // Late progress of a paused vehicle does not bring the row back to downloading.
        update.state = VelquorDownloadStatePaused;
        update.progress = progress;
    } else if (downloaded == rows.size()) {
        update.state = VelquorDownloadStateDownloaded;
        update.progress = 1.0;
        for (const auto &record : rows) {
            record->setState(VelquorDownloadStateDownloaded);
            m_database.updateWithModel(record, VelquorDownloadUpdateState);
        }
    } else {
        update.state = VelquorDownloadStateDownloading;
        update.progress = progress;
    }
    m_page.setRowOfVehicle(vehicle, update);
    m_page.reloadAllData();
}

void VelquorDownloadHandOver::downloadRequestComplete(const VelquorDownloadModelPtr &row)
{
    if (!row)
        return;
    const QString vehicle = row->vehicle();
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty())
        return;
    handToExtraction(vehicle, rows);
}

void VelquorDownloadHandOver::downloadRequestError(const VelquorDownloadModelPtr &row, bool notRecorded)
{
    if (!row)
        return;
    const QString vehicle = row->vehicle();
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    m_page.setRowOfVehicle(vehicle, rowUpdate(row->state(), receivedShare(rows)));
    m_page.reloadAllData();
    if (notRecorded)
        m_page.openInstallNotRecorded(vehicle);
}

bool VelquorDownloadHandOver::isMeasured(const VelquorDownloadModelList &rows)
{
    return !rows.isEmpty() && std::all_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
        return row->expectedContentLength() != 0 && row->totalFileSize() != 0;
    });
}

bool VelquorDownloadHandOver::alreadyMeasured(const VelquorDownloadModelList &rows)
{
    if (!isMeasured(rows))
        return false;
    bool waiting = false;
    for (const auto &row : rows) {
        if (row->state() == VelquorDownloadStateWaiting)
            waiting = true;
        else if (row->state() != VelquorDownloadStateDownloaded)
            return false;
    }
    return waiting;
}

bool VelquorDownloadHandOver::hasUnstampedWaitingRow(const VelquorDownloadModelList &rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
        return row->state() == VelquorDownloadStateWaiting && row->lastStateTime() == 0;
    });
}

bool VelquorDownloadHandOver::hasFinishedRow(const VelquorDownloadModelList &rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
        const qint64 state = row->state();
        return state == VelquorDownloadStateDownloaded || state == VelquorDownloadStateExtracting ||
               state == VelquorDownloadStateWaitingInstall || state == VelquorDownloadStateInstalled;
    });
}

double VelquorDownloadHandOver::receivedShare(const VelquorDownloadModelList &rows)
{
    if (rows.isEmpty())
        return 0;
    quint64 received = 0;
    for (const auto &row : rows)
        received += row->tmpFileSize();
    const quint64 total = rows.last()->totalFileSize();
    if (total == 0)
        return 0;
    return std::min(1.0, double(received) / double(total));
}

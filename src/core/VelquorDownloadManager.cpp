#include "VelquorDownloadManager.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDatabaseConstants.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorPartJoiner.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QScopeGuard>
#include <QVariant>

#include <algorithm>

namespace {

constexpr qint64 ProgressStoreIntervalMs = 200; // at most five stores a second per transfer
constexpr int MaxRetryDelayMs = 30 * 1000;
// Retries in a row that get no further than an earlier attempt before the vehicle fails: a file
// whose answer always stops short (a proxy with a wrong length) must not be fetched for ever.
constexpr int MaxRetriesWithoutProgress = 8;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// A number carried by a settings notification's object.
std::optional<qint64> numberFrom(const std::any &object)
{
    if (const auto *value = std::any_cast<qint64>(&object))
        return *value;
    if (const auto *value = std::any_cast<int>(&object))
        return *value;
    if (const auto *value = std::any_cast<bool>(&object))
        return *value ? 1 : 0;
    if (const auto *value = std::any_cast<QVariant>(&object)) {
        bool ok = false;
        const qint64 number = value->toLongLong(&ok);
        if (ok)
            return number;
        if (value->typeId() == QMetaType::Bool)
            return value->toBool() ? 1 : 0;
    }
    return std::nullopt;
}

// A pause stops only what still downloads or waits: a row downloaded, unpacking, ready to install or
// installed meanwhile keeps its state, or its extraction would skip it and a resume fetch it again.
bool isPausable(qint64 state)
{
    return state == VelquorDownloadStateDownloading || state == VelquorDownloadStateWaiting;
}

bool isPartUrl(const QString &url)
{
    return url.contains(QLatin1String("part.zip"));
}

// "name_V1_3_part.xx" -> "name_V1" (the last two "_" fields dropped).
QString withoutLastTwoFields(const QString &text)
{
    QStringList fields = text.split(u'_');
    if (fields.size() < 3)
        return {};
    fields.removeLast();
    fields.removeLast();
    return fields.join(u'_');
}

} // namespace

VelquorDownloadManager::VelquorDownloadManager(VelquorDownloadDataBaseManager *database, VelquorCommonTool *commonTool)
    : m_database(database ? *database : VelquorDownloadDataBaseManager::sharedManager()),
      m_commonTool(commonTool ? *commonTool : VelquorCommonTool::sharedTool()),
      m_queue(std::make_unique<DispatchQueue>(QString::fromLatin1(VelquorDownload::QueueLabel))),
      m_filesQueue(std::make_unique<DispatchQueue>(QString::fromLatin1(VelquorDownload::FilesQueueLabel)))
{
    UserDefaults &defaults = UserDefaults::standard();
    const QString maxKey = QString::fromLatin1(VelquorDownload::MaxConcurrentCountKey);
    const QString cellularKey = QString::fromLatin1(VelquorDownload::AllowsCellularAccessKey);
    m_maxConcurrentCount = std::max<qint64>(1, defaults.contains(maxKey) ? defaults.integer(maxKey) : 3);
    m_allowsCellularAccess = defaults.contains(cellularKey) && defaults.boolValue(cellularKey);

    // The network manager must live on the queue's thread, so it is made there.
    m_queue->sync([this] {
        m_host = new QObject(m_queue->context());
        m_network = new QNetworkAccessManager(m_host);
        m_network->setAutoDeleteReplies(false);
        // The queue's thread deletes its objects when it stops; from then on nothing may use them.
        // The host's children die in creation order, the network manager (and its replies) before
        // the transfers, so the transfers let go of their replies first.
        QObject::connect(m_host, &QObject::destroyed, [this] {
            for (const Task &task : std::as_const(m_tasks))
                task.transfer->cancel();
            m_host = nullptr;
            m_network = nullptr;
            m_tasks.clear();
        });
    });

    // Posted where the tables are switched, with the database's lock held.
    NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(VelquorDatabase::TablesWillChangeNotification),
        [this](const Notification &notification) {
            const auto *database = std::any_cast<const VelquorDownloadDataBaseManager *>(&notification.object);
            if (database && *database == &m_database)
                tablesWillChange();
        });

    NotificationCenter &center = NotificationCenter::workspace();
    center.addObserver(this, QString::fromLatin1(VelquorDownload::MaxConcurrentCountChangeNotification),
                       [this](const Notification &notification) {
                           if (const auto count = numberFrom(notification.object))
                               onQueue([this, count = *count] { applyMaxConcurrentCount(count); });
                       });
    center.addObserver(this, QString::fromLatin1(VelquorDownload::AllowsCellularAccessChangeNotification),
                       [this](const Notification &notification) {
                           if (const auto allows = numberFrom(notification.object))
                               m_allowsCellularAccess = *allows != 0;
                           onQueue([this] {
                               if (networkingAllowsDownloadTask())
                                   startDownloadWaitingTask();
                               else
                                   pauseDownloadingTaskWithAll();
                           });
                       });
}

VelquorDownloadManager::~VelquorDownloadManager()
{
    NotificationCenter::workspace().removeObserver(this);
    NotificationCenter::defaultCenter().removeObserver(this);
    // File work may still hand results to the transfer queue, so it ends first: a join still running
    // finishes, and its result is recorded on the transfer queue before that stops too. Both queues
    // stay reachable until then (a result asks them whether the end has come).
    m_filesQueue->shutdown();
    m_queue->sync([this] { delete m_host; });
    m_queue->shutdown();
    m_queue.reset();
    m_filesQueue.reset();
}

VelquorDownloadManager &VelquorDownloadManager::sharedManager()
{
    static VelquorDownloadManager manager;
    return manager;
}

QString VelquorDownloadManager::partialPathForArchive(const QString &zipPath)
{
    return zipPath + QString::fromLatin1(VelquorDownload::PartialFileSuffix);
}

void VelquorDownloadManager::setStartDelays(int vehicleMilliseconds, int rowMilliseconds)
{
    m_vehicleStartDelayMs = std::max(0, vehicleMilliseconds);
    m_rowStartDelayMs = std::max(0, rowMilliseconds);
}

void VelquorDownloadManager::onQueue(std::function<void()> work, int delayMs)
{
    auto guarded = [this, work = std::move(work)] {
        if (m_host)
            work();
    };
    if (delayMs > 0)
        m_queue->after(delayMs, std::move(guarded));
    else
        m_queue->async(std::move(guarded));
}

// ---------------------------------------------------------------------------------------------
// Commands

void VelquorDownloadManager::startDownloadTask(const VelquorDownloadModelPtr &model)
{
    if (!model)
        return;
    const QString vehicle = model->vehicle().toUpper();
    forgetUnrecorded(vehicle); // a new start: what stopped it may be over
    // Marked here, in call order with a pause asked for from this thread: the later one wins.
    bool recorded = true;
    m_database.runExclusively([&] { recorded = markVehicleWaiting(vehicle); });
    if (!recorded) {
        onQueue([this, vehicle] { m_database.runExclusively([&] { stopUnrecorded(vehicle, {}); }); });
        return;
    }
    // A short settling time, on a timer: no thread waits meanwhile.
    onQueue([this, vehicle] { startVehicle(vehicle); }, m_vehicleStartDelayMs);
}

void VelquorDownloadManager::pauseDownloadTask(const VelquorDownloadModelPtr &model)
{
    if (!model)
        return;
    const QString vehicle = model->vehicle().toUpper();
    // The rows pause here, so the caller reads the pause at once and a start still in its settling
    // time finds them paused. The transfers stop on the queue, which this thread never waits for: it
    // may be busy for long (a start waits there for its vehicle's folder to leave a slow card).
    bool heldSlot = false;
    bool recorded = true;
    m_database.runExclusively([&] { heldSlot = markVehiclePaused(vehicle, &recorded); });
    onQueue([this, vehicle, heldSlot, recorded] {
        stopTransfersOfVehicle(vehicle, heldSlot);
        if (!recorded)
            m_database.runExclusively([&] { stopUnrecorded(vehicle, {}); });
    });
}

void VelquorDownloadManager::deleteTaskAndCache(const VelquorDownloadModelPtr &model)
{
    if (!model)
        return;
    const QString vehicle = model->vehicle().toUpper();
    // Read now: callers delete the rows right after this call.
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    forgetUnrecorded(vehicle);
    onQueue([this, vehicle, rows] {
        const bool heldSlot = removeVehicleDownloadTask(vehicle);
        cancelTransfersOfVehicle(vehicle, false);
        for (const auto &row : rows) {
            cancelTaskWithModel(row->url(), false);
            m_retries.remove(row->url());
        }
        // Files go after the transfers have stopped writing them.
        queueFileDeletion(rows);
        if (heldSlot)
            startDownloadWaitingTask();
    });
}

void VelquorDownloadManager::deleteAllTask()
{
    setDownloadPausedModels({});
    forgetAllUnrecorded();
    VelquorDownloadModelList rows = m_database.getAllUnDownloadedData();
    rows += m_database.getAllWaitingData();
    // The rows go at once so that the caller reads the tables without them. Their install records
    // stay: the card folders below are kept, and what they hold stays listed and can be uninstalled.
    for (const auto &row : std::as_const(rows))
        m_database.deleteModelWithVehicle(row->vehicle());
    onQueue([this, rows] {
        cancelAllDownTask();
        m_retries.clear();
        clearSlots();
        // None of these vehicles has begun to unpack: the package folder on the card holds the
        // version installed before, which stays on the tool. Only the downloaded files go.
        queueFileDeletion(rows);
    });
}

// ---------------------------------------------------------------------------------------------
// Scheduling

bool VelquorDownloadManager::markVehicleWaiting(const QString &vehicle)
{
    if (holdsSlot(vehicle))
        return true; // running already (transfers or retries under way): leave its rows as they are
    bool recorded = true;
    for (const auto &row : m_database.getModelWithVehicle(vehicle)) {
        if (row->state() == VelquorDownloadStateDownloaded)
            continue;
        row->setState(VelquorDownloadStateWaiting);
        recorded =
            m_database.updateWithModel(row, VelquorDownloadUpdateState | VelquorDownloadUpdateStateTime) && recorded;
    }
    return recorded;
}

bool VelquorDownloadManager::markVehiclePaused(const QString &vehicle, bool *recorded)
{
    const bool heldSlot = removeVehicleDownloadTask(vehicle);
    for (const auto &row : m_database.getModelWithVehicle(vehicle)) {
        if (!isPausable(row->state()))
            continue;
        row->setState(VelquorDownloadStatePaused);
        if (!m_database.updateWithModel(row, VelquorDownloadUpdateState) && recorded)
            *recorded = false;
    }
    return heldSlot;
}

void VelquorDownloadManager::tablesWillChange()
{
    // The tables open until now are still open: every vehicle at work there pauses in them, and its
    // transfers stop on the queue without a word to the tables opened next.
    QStringList vehicles = dataTaskVehicles();
    for (const auto &row : m_database.getAllDownloadingData()) {
        if (!vehicles.contains(row->vehicle().toUpper()))
            vehicles.append(row->vehicle().toUpper());
    }
    for (const QString &vehicle : std::as_const(vehicles))
        markVehiclePaused(vehicle);
    clearSlots();
    forgetAllUnrecorded(); // their names mean other rows in the tables opened next
    onQueue([this, tables = m_database.uniqueIDString()] { stopTransfersOfTables(tables); });
}

void VelquorDownloadManager::startVehicle(const QString &vehicle)
{
    // The check and the slot go together: a pause or a change of tables comes before or after both.
    m_database.runExclusively([this, &vehicle] {
        if (holdsSlot(vehicle) || isJoiningVehicle(vehicle))
            return; // never started twice; a vehicle being joined has all its bytes already
        if (!stillWaiting(vehicle))
            return; // paused, failed or deleted during the settling time: the later command wins
        if (slotCount() >= m_maxConcurrentCount)
            return; // its rows wait for startDownloadWaitingTask
        if (!networkingAllowsDownloadTask())
            return;
        addSlot(vehicle);
        startRowsOfVehicle(vehicle);
    });
}

bool VelquorDownloadManager::stillWaiting(const QString &vehicle)
{
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    return !rows.isEmpty() && std::all_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
        return row->state() == VelquorDownloadStateWaiting || row->state() == VelquorDownloadStateDownloaded;
    });
}

void VelquorDownloadManager::startRowsOfVehicle(const QString &vehicle)
{
    onQueue(
        [this, vehicle] {
            QString tables;
            VelquorDownloadModelList rows;
            m_database.runExclusively([&] {
                if (!holdsSlot(vehicle))
                    return; // paused or deleted meanwhile
                tables = m_database.uniqueIDString();
                rows = m_database.getModelWithVehicle(vehicle);
            });
            if (rows.isEmpty())
                return;
            for (const auto &row : std::as_const(rows))
                downloadwithModel(row, tables);
            m_database.runExclusively([&] {
                if (!isOtherTables(tables))
                    releaseIfIdle(vehicle);
            });
        },
        m_rowStartDelayMs);
}

bool VelquorDownloadManager::downloadwithModel(const VelquorDownloadModelPtr &row, const QString &tables)
{
    const QString url = row->url();
    const QString vehicle = row->vehicle().toUpper();
    if (!holdsSlot(vehicle))
        return false; // paused, failed or deleted meanwhile
    // A deletion asked for before this start belongs to the vehicle's past: it ends now, so that
    // it can never remove what this download writes. (It may wait for the files queue: not under
    // the database's lock.)
    finishPendingDeletes(vehicle);
    bool started = false;
    m_database.runExclusively([&] {
        // A pause or other tables since the check above win.
        if (!holdsSlot(vehicle) || isOtherTables(tables))
            return;
        started = startTransfer(row, tables);
    });
    return started;
}

bool VelquorDownloadManager::startTransfer(const VelquorDownloadModelPtr &row, const QString &tables)
{
    const QString url = row->url();
    const QString vehicle = row->vehicle().toUpper();
    if (row->state() == VelquorDownloadStateDownloaded) {
        if (m_commonTool.getHasDownFile(row)) {
            row->setTmpFileSize(row->expectedContentLength());
            return false;
        }
        row->setState(VelquorDownloadStateNone); // the archive went missing: fetch it again
    }
    if (url.isEmpty() || m_tasks.contains(url))
        return false; // one transfer per row: two would write the same partial file

    row->setState(VelquorDownloadStateDownloading);
    if (!m_database.updateWithModel(row, VelquorDownloadUpdateState)) {
        stopUnrecorded(vehicle, url);
        return false;
    }

    const QString zipPath = row->zipPath();
    if (!VelquorCommonTool::isUsableText(zipPath) || !isInsideArchiveCache(zipPath)) {
        failVehicle(url, vehicle, {});
        return false;
    }
    std::optional<VelquorResumeData> resume = VelquorResumeData::decode(row->resumeData());
    if (resume && resume->url != url)
        resume.reset();

    // The size measured before is the most the partial file may ever hold.
    auto *transfer = new VelquorDownloadTransfer(m_network, url, partialPathForArchive(zipPath), resume,
                                                 qint64(row->expectedContentLength()), m_requestTimeoutMs, m_host);
    transfer->onProgress = [this, url](qint64 chunk, qint64 total) { resetFileProcess(url, chunk, total); };
    transfer->onFinished = [this, url](const VelquorDownloadTransfer::Outcome &outcome) {
        resetComplete(url, outcome);
    };
    Task task;
    task.transfer = transfer;
    task.vehicle = vehicle;
    task.total = transfer->bytesOnDisk();
    task.startOffset = task.total;
    task.tables = tables;
    task.storedValidator = resume ? resume->validator() : QString();
    m_tasks.insert(url, task);
    transfer->start();
    return true;
}

void VelquorDownloadManager::startDownloadWaitingTask()
{
    if (!networkingAllowsDownloadTask())
        return;
    // A slot is given only to rows still waiting in the tables open: no pause or change of tables
    // comes between.
    m_database.runExclusively([this] {
        while (slotCount() < m_maxConcurrentCount) {
            // The earliest stamped waiting row whose vehicle is not running yet; unstamped rows wait.
            VelquorDownloadModelPtr next;
            for (const auto &row : m_database.getAllWaitingData()) {
                const QString vehicle = row->vehicle().toUpper();
                // A vehicle stopped unrecorded waits for a press: its rows may still read waiting.
                if (row->lastStateTime() == 0 || holdsSlot(vehicle) || isJoiningVehicle(vehicle) ||
                    isUnrecordedVehicle(vehicle))
                    continue;
                if (!next || row->lastStateTime() < next->lastStateTime())
                    next = row;
            }
            if (!next)
                return;
            const QString vehicle = next->vehicle().toUpper();
            addSlot(vehicle);
            startRowsOfVehicle(vehicle);
        }
    });
}

void VelquorDownloadManager::stopTransfersOfVehicle(const QString &vehicle, bool heldSlot)
{
    m_database.runExclusively([&] {
        // Its rows were paused when the pause was asked for; what is left is to end the transfers
        // and store what they received.
        const int stopped = cancelTransfersOfVehicle(vehicle, true);
        const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
        for (const auto &row : rows)
            m_retries.remove(row->url());
        if (stopped == 0)
            return;
        // The row shows the bytes the pause kept, unless a start came since.
        const auto paused = std::find_if(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) {
            return row->state() == VelquorDownloadStatePaused;
        });
        if (paused != rows.end())
            post(VelquorDownload::ProgressNotification, *paused);
    });
    if (heldSlot)
        startDownloadWaitingTask();
}

void VelquorDownloadManager::stopTransfersOfTables(const QString &tables)
{
    m_database.runExclusively([&] {
        QStringList urls;
        for (auto it = m_tasks.cbegin(); it != m_tasks.cend(); ++it) {
            if (it->tables == tables)
                urls.append(it.key());
        }
        for (const QString &url : std::as_const(urls)) {
            cancelTaskWithModel(url, true);
            m_retries.remove(url);
        }
    });
}

void VelquorDownloadManager::pauseDownloadingTaskWithAll()
{
    QStringList vehicles;
    for (const auto &row : m_database.getAllDownloadingData()) {
        const QString vehicle = row->vehicle().toUpper();
        if (!vehicles.contains(vehicle))
            vehicles.append(vehicle);
    }
    for (const QString &vehicle : vehicles) {
        cancelTransfersOfVehicle(vehicle, true);
        for (const auto &row : m_database.getModelWithVehicle(vehicle)) {
            if (row->state() == VelquorDownloadStateDownloaded)
                continue;
            row->setState(VelquorDownloadStateWaiting);
            m_database.updateWithModel(row, VelquorDownloadUpdateState);
        }
    }
    clearSlots();
}

bool VelquorDownloadManager::networkingAllowsDownloadTask() const
{
    // No reachability monitor runs, so the status stays unknown and downloads are allowed.
    return true;
}

void VelquorDownloadManager::applyMaxConcurrentCount(qint64 count)
{
    m_maxConcurrentCount = std::max<qint64>(1, count);
    if (slotCount() > m_maxConcurrentCount)
        pauseDownloadingTaskWithAll();
    // Fill the slots again, in waiting order, up to the new limit.
    startDownloadWaitingTask();
}

// ---------------------------------------------------------------------------------------------
// Transfers

void VelquorDownloadManager::resetFileProcess(const QString &url, qint64 chunk, qint64 total)
{
    auto it = m_tasks.find(url);
    if (it == m_tasks.end())
        return;
    it->total = total;
    it->pendingInterval += chunk;
    const qint64 now = nowMs();
    if (it->lastStoreMs >= 0 && now - it->lastStoreMs < ProgressStoreIntervalMs)
        return;
    m_database.runExclusively([&] {
        if (isOtherTables(it->tables)) {
            cancelTaskWithModel(url, false); // its own tables are closed: not a word to these
            return;
        }
        it->lastStoreMs = now;
        const qint64 pending = std::exchange(it->pendingInterval, 0);
        // The resume data goes with the first bytes (and again when the file starts over), so the
        // row can resume even where its transfer cannot store it any more.
        QByteArray resumeData;
        const VelquorResumeData resume = it->transfer->currentResumeData();
        if (resume.validator() != it->storedValidator) {
            it->storedValidator = resume.validator();
            resumeData = resume.encode();
        }
        storeProgress(url, total, pending, true, resumeData);
    });
}

VelquorDownloadModelPtr VelquorDownloadManager::storeProgress(const QString &url, qint64 total, qint64 pendingInterval,
                                                              bool post, const QByteArray &resumeData)
{
    VelquorDownloadModelPtr row = m_database.getModelWithUrl(url);
    if (!row) {
        // The row was deleted under the transfer: end it quietly, and its bytes with it.
        const auto it = m_tasks.find(url);
        if (it == m_tasks.end())
            return nullptr;
        const QString partialPath = it->transfer->partialPath();
        const QString vehicle = it->vehicle;
        cancelTaskWithModel(url, false);
        if (isInsideArchiveCache(partialPath))
            QFile::remove(partialPath);
        releaseIfIdle(vehicle);
        return nullptr;
    }
    unsigned mask = VelquorDownloadUpdateProgress;
    if (row->state() != VelquorDownloadStateDownloading && m_tasks.contains(url)) {
        // Someone else changed the row's state: the transfer stops, its bytes stay resumable.
        cancelTaskWithModel(url, true);
        row = m_database.getModelWithUrl(url);
        if (!row)
            return nullptr;
        releaseIfIdle(row->vehicle().toUpper());
    } else if (!resumeData.isEmpty()) {
        row->setResumeData(resumeData);
        mask |= VelquorDownloadUpdateResumeData;
    }

    row->setTmpFileSize(quint64(std::max<qint64>(0, total)));
    row->setIntervalFileSize(row->intervalFileSize() + quint64(std::max<qint64>(0, pendingInterval)));
    const qint64 now = VelquorDownloadDataBaseManager::currentTimeMicroseconds();
    const qint64 elapsedSeconds = qint64((double(now) - row->lastSpeedTime()) * 0.001 * 0.001);
    if (elapsedSeconds >= 1) {
        row->setSpeed(row->intervalFileSize() / quint64(elapsedSeconds));
        row->setIntervalFileSize(0);
        row->setLastSpeedTime(double(now));
    }
    const quint64 totalFileSize = row->totalFileSize();
    row->setProgress(totalFileSize == 0 ? 0.0 : double(row->tmpFileSize()) / double(totalFileSize));
    if (!m_database.updateWithModel(row, mask)) {
        stopUnrecorded(row->vehicle(), url);
        return nullptr;
    }
    if (post)
        this->post(VelquorDownload::ProgressNotification, row);
    return row;
}

void VelquorDownloadManager::resetComplete(const QString &url, const VelquorDownloadTransfer::Outcome &outcome)
{
    // Whatever the outcome writes goes to the tables checked here.
    m_database.runExclusively([&] { transferEnded(url, outcome); });
}

void VelquorDownloadManager::transferEnded(const QString &url, const VelquorDownloadTransfer::Outcome &outcome)
{
    const auto it = m_tasks.find(url);
    if (it == m_tasks.end())
        return; // cancelled: nothing to do
    if (isOtherTables(it->tables)) {
        cancelTaskWithModel(url, false); // its own tables are closed: not a word to these
        return;
    }
    const Task task = *it;
    m_tasks.erase(it);
    VelquorDownloadTransfer *transfer = task.transfer;
    const QString partialPath = transfer->partialPath();
    const VelquorResumeData resume = transfer->cancelProducingResumeData();
    transfer->onProgress = nullptr;
    transfer->onFinished = nullptr;
    transfer->deleteLater();

    using Kind = VelquorDownloadTransfer::Outcome::Kind;
    // The last bytes are always stored, whatever the throttle skipped.
    const bool finished = outcome.kind == Kind::Finished;
    if (!m_database.getModelWithUrl(url)) {
        // Its row is gone: so are its bytes, and nothing is reported.
        if (isInsideArchiveCache(partialPath))
            QFile::remove(partialPath);
        releaseIfIdle(task.vehicle);
        return;
    }
    if (!storeProgress(url, resume.offset, task.pendingInterval, finished))
        return; // stopped: its state could not be recorded
    switch (outcome.kind) {
    case Kind::Finished:
        fileFinished(url, task.vehicle, partialPath);
        break;
    case Kind::TimedOut:
    case Kind::ConnectionLost:
    case Kind::WrongAnswer: // a proxy or server that errs now may answer right later, but not for ever
        retryLater(url, task.vehicle, task.startOffset, resume, outcome);
        break;
    case Kind::NoConnection:
    case Kind::Refused: // the service is restarting, or not reachable from here
        pauseForLostNetwork(url, task.vehicle, resume);
        break;
    case Kind::HttpError:
    case Kind::FileError:
    case Kind::Failed:
        failVehicle(url, task.vehicle, resume);
        break;
    }
}

void VelquorDownloadManager::fileFinished(const QString &url, const QString &vehicle, const QString &partialPath)
{
    VelquorDownloadModelPtr row = m_database.getModelWithUrl(url);
    if (!row)
        return;
    m_retries.remove(url);
    // A file of another size than the probe measured is not the archive (an error page, a cut
    // answer): it fails the vehicle and is not kept for a resume.
    const quint64 expected = row->expectedContentLength();
    if (expected > 0 && quint64(QFileInfo(partialPath).size()) != expected) {
        failDroppingBytes(row, vehicle, partialPath);
        return;
    }
    // The finished file replaces whatever was at the archive path.
    const QString zipPath = row->zipPath();
    if (QFileInfo::exists(zipPath))
        QFile::remove(zipPath);
    if (!QFile::rename(partialPath, zipPath)) {
        failVehicle(url, vehicle, {});
        return;
    }
    row->setState(VelquorDownloadStateDownloaded);
    if (!m_database.updateWithModel(row, VelquorDownloadUpdateState)) {
        // Not recorded as downloaded: the bytes wait as received ones, and a resume finds them whole.
        QFile::rename(zipPath, partialPath);
        stopUnrecorded(vehicle, url);
        return;
    }

    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    const bool allDownloaded = std::all_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &model) {
        return model->state() == VelquorDownloadStateDownloaded;
    });
    if (allDownloaded)
        completeVehicle(vehicle, row);
}

void VelquorDownloadManager::retryLater(const QString &url, const QString &vehicle, qint64 startOffset,
                                        const VelquorResumeData &resume,
                                        const VelquorDownloadTransfer::Outcome &outcome)
{
    VelquorDownloadModelPtr row = m_database.getModelWithUrl(url, VelquorDownloadStateDownloading);
    if (!row) {
        m_retries.remove(url);
        releaseIfIdle(vehicle); // its transfer is gone and none follows
        return;
    }
    // Progress is getting further than ever before, not receiving bytes: an answer that always stops
    // at the same place, fetched from byte 0 each time (no validator to resume with), never gets there.
    // A wrong answer gets nowhere, whatever it sent. When the file started over, the bytes dropped
    // are no mark to beat any more: the furthest point starts over with it.
    const bool wrongAnswer = outcome.kind == VelquorDownloadTransfer::Outcome::Kind::WrongAnswer;
    Retries retries = m_retries.value(url, Retries{0, startOffset});
    retries.stalled = !wrongAnswer && resume.offset > retries.furthest ? 0 : retries.stalled + 1;
    retries.furthest = outcome.startedOver ? resume.offset : std::max(retries.furthest, resume.offset);
    if (retries.stalled > MaxRetriesWithoutProgress) {
        if (wrongAnswer)
            failDroppingBytes(row, vehicle, resume.partialPath);
        else
            failVehicle(url, vehicle, resume);
        return;
    }
    m_retries.insert(url, retries);
    const qint64 delay = std::min<qint64>(MaxRetryDelayMs, qint64(m_retryBaseDelayMs) << std::min(retries.stalled, 16));
    // The partial file stays; the retry asks for the rest of it.
    row->setResumeData(resume.encode());
    if (!m_database.updateWithModel(row, VelquorDownloadUpdateState | VelquorDownloadUpdateResumeData)) {
        stopUnrecorded(vehicle, url);
        return;
    }
    onQueue(
        [this, url, vehicle, tables = m_database.uniqueIDString()] {
            VelquorDownloadModelPtr current;
            m_database.runExclusively([&] {
                if (isOtherTables(tables)) {
                    m_retries.remove(url);
                    return;
                }
                if (!holdsSlot(vehicle))
                    return; // paused, failed or deleted meanwhile
                current = m_database.getModelWithUrl(url, VelquorDownloadStateDownloading);
                if (!current) {
                    // Deleted or changed by a page while the retry waited: no retry, and no slot kept for it.
                    m_retries.remove(url);
                    releaseIfIdle(vehicle);
                }
            });
            if (!current)
                return;
            current->setResumeCount(m_retries.value(url).stalled + 1);
            downloadwithModel(current, tables);
            m_database.runExclusively([&] {
                if (!isOtherTables(tables))
                    releaseIfIdle(vehicle);
            });
        },
        int(delay));
}

void VelquorDownloadManager::failDroppingBytes(const VelquorDownloadModelPtr &row, const QString &vehicle,
                                               const QString &partialPath)
{
    if (isInsideArchiveCache(partialPath))
        QFile::remove(partialPath);
    row->setResumeData({});
    if (!m_database.updateWithModel(row, VelquorDownloadUpdateResumeData)) {
        stopUnrecorded(vehicle, row->url());
        return;
    }
    failVehicle(row->url(), vehicle, {});
}

void VelquorDownloadManager::pauseForLostNetwork(const QString &url, const QString &vehicle,
                                                 const VelquorResumeData &resume)
{
    VelquorDownloadModelPtr row = m_database.getModelWithUrl(url, VelquorDownloadStatePaused);
    if (!row)
        row = m_database.getModelWithUrl(url, VelquorDownloadStateDownloading);
    if (!row) {
        releaseIfIdle(vehicle);
        return;
    }
    // Without a network the vehicle's other transfers fail too: the whole vehicle pauses.
    removeVehicleDownloadTask(vehicle);
    cancelTransfersOfVehicle(vehicle, true);
    bool recorded = true;
    for (const auto &other : m_database.getModelWithVehicle(vehicle)) {
        m_retries.remove(other->url());
        if (!isPausable(other->state()) || other->url() == url)
            continue;
        other->setState(VelquorDownloadStatePaused);
        recorded = m_database.updateWithModel(other, VelquorDownloadUpdateState) && recorded;
    }
    row->setState(VelquorDownloadStatePaused);
    row->setResumeData(resume.encode());
    recorded =
        m_database.updateWithModel(row, VelquorDownloadUpdateState | VelquorDownloadUpdateResumeData) && recorded;
    if (!recorded) {
        stopUnrecorded(vehicle, url);
        return;
    }
    post(VelquorDownload::RequestErrorNotification, row);
}

void VelquorDownloadManager::failVehicle(const QString &url, const QString &vehicle, const VelquorResumeData &resume)
{
    VelquorDownloadModelPtr row = m_database.getModelWithUrl(url);
    if (!row)
        return;
    const bool heldSlot = removeVehicleDownloadTask(vehicle);
    cancelTransfersOfVehicle(vehicle, true);
    bool recorded = true;
    if (!resume.url.isEmpty()) {
        row->setResumeData(resume.encode());
        recorded = m_database.updateWithModel(row, VelquorDownloadUpdateResumeData);
    }
    for (const auto &other : m_database.getModelWithVehicle(vehicle)) {
        m_retries.remove(other->url());
        if (other->state() == VelquorDownloadStateDownloaded)
            continue;
        other->setState(VelquorDownloadStateFailed);
        recorded = m_database.updateWithModel(other, VelquorDownloadUpdateState) && recorded;
    }
    if (!recorded) {
        // Its rows may still read as under way: a failure the rows do not show is told as such.
        stopUnrecorded(vehicle, url);
    } else {
        if (VelquorDownloadModelPtr current = m_database.getModelWithUrl(url))
            row = current;
        post(VelquorDownload::RequestErrorNotification, row);
    }
    if (heldSlot)
        startDownloadWaitingTask();
}

void VelquorDownloadManager::completeVehicle(const QString &vehicle, const VelquorDownloadModelPtr &lastRow)
{
    removeVehicleDownloadTask(vehicle);
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    const bool hasParts =
        std::any_of(rows.begin(), rows.end(), [](const VelquorDownloadModelPtr &row) { return isPartUrl(row->url()); });
    if (!hasParts) {
        for (const auto &row : rows) {
            if (row->state() == VelquorDownloadStateDownloaded)
                continue; // stored already: every commit waits for the disk
            row->setState(VelquorDownloadStateDownloaded);
            if (!m_database.updateWithModel(row, VelquorDownloadUpdateState)) {
                stopUnrecorded(vehicle, lastRow->url());
                startDownloadWaitingTask();
                return;
            }
        }
        startDownloadWaitingTask();
        post(VelquorDownload::RequestCompleteNotification, lastRow);
        return;
    }
    composeFilePath(vehicle, rows, lastRow);
}

void VelquorDownloadManager::composeFilePath(const QString &vehicle, const VelquorDownloadModelList &rows,
                                             const VelquorDownloadModelPtr &lastRow)
{
    VelquorDownloadModelList parts;
    for (const auto &row : rows) {
        if (isPartUrl(row->url()))
            parts.append(row);
    }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const VelquorDownloadModelPtr &a, const VelquorDownloadModelPtr &b) {
                         return VelquorPartJoiner::naturalLess(a->url(), b->url());
                     });

    const VelquorDownloadModelPtr first = parts.first();
    VelquorDownloadModelPtr joined = first->copy();
    double progress = 0;
    double ratio = 0;
    quint64 received = 0;
    QStringList partPaths;
    for (const auto &part : parts) {
        progress += part->progress();
        ratio += part->ratio();
        received += part->tmpFileSize();
        partPaths.append(part->zipPath());
    }
    joined->setState(VelquorDownloadStateDownloaded);
    joined->setProgress(progress);
    joined->setRatio(float(ratio));
    joined->setTmpFileSize(received);
    joined->setResumeData({});
    // The whole package is named after the first part without its part fields: name_V1_1_part.zip
    // becomes name_V1.7z in the archive cache.
    const QString base = withoutLastTwoFields(first->url());
    const QString joinedPath =
        base.isEmpty() ? QString() : m_commonTool.get7ZResourcePath(base + QStringLiteral(".zip"));
    joined->setZipPath(joinedPath);

    if (joinedPath.isEmpty() || !isInsideArchiveCache(joinedPath)) {
        failJoin(vehicle, lastRow, !isEnding());
        return;
    }

    // Joining can take seconds for large packages: it runs beside the transfers, not on their queue.
    {
        std::lock_guard lock(m_slotMutex);
        m_joining.insert(vehicle.toUpper());
    }
    Join join{vehicle, parts, partPaths, joined, joinedPath, lastRow, m_database.uniqueIDString(), false};
    auto joinParts = [this, join]() mutable {
        join.written = VelquorPartJoiner::join(join.partPaths, join.joinedPath);
        // The transfer queue reports the result. Once it has stopped (the application ends) the
        // result is recorded here, before this queue lets go of its thread.
        if (!isEnding() && m_queue->async([this, join] { finishJoin(join); }))
            return;
        finishJoin(join);
    };
    // The files queue stops first at the end: a join that comes after runs here, as the end waits
    // for one anyway.
    if (!m_filesQueue->async(joinParts))
        joinParts();
}

void VelquorDownloadManager::finishJoin(const Join &join)
{
    // Still joining until the outcome is recorded: until then the rows are the manager's alone.
    const auto joinEnds = qScopeGuard([this, &join] {
        std::lock_guard lock(m_slotMutex);
        m_joining.remove(join.vehicle.toUpper());
    });
    // At the end nobody is left to take the vehicle on to its installation, nor to start another.
    const bool ending = isEnding();
    m_database.runExclusively([&] {
        if (isOtherTables(join.tables)) {
            // Other tables opened meanwhile: the parts stay with the rows of their own tables.
            if (join.written)
                QFile::remove(join.joinedPath);
            return;
        }
        if (!join.written) {
            // The parts and their rows stay: nothing downloaded is lost.
            failJoin(join.vehicle, join.lastRow, !ending);
            return;
        }
        if (!m_database.getModelWithUrl(join.parts.first()->url())) {
            // The vehicle was deleted while it was being joined (and may be queued anew meanwhile).
            QFile::remove(join.joinedPath);
            if (!ending)
                startDownloadWaitingTask();
            return;
        }
        // The joined record takes the parts' place, all at once, before their files go.
        const bool recorded = m_database.runInTransaction([&] {
            for (const auto &part : join.parts) {
                if (!m_database.deleteModelWithUrl(part->url()))
                    return false;
            }
            return m_database.insertModel(join.joined);
        });
        if (!recorded) {
            // The parts and their rows stay as they were; a press joins them again.
            QFile::remove(join.joinedPath);
            if (!ending) {
                stopUnrecorded(join.vehicle, join.lastRow->url());
                startDownloadWaitingTask();
            }
            return;
        }
        for (const QString &path : join.partPaths) {
            if (path != join.joinedPath && isInsideArchiveCache(path))
                QFile::remove(path);
        }
        if (ending) {
            // Kept as downloaded and waiting to be installed: the next start keeps such a vehicle,
            // and a press installs it without fetching it again.
            for (const auto &row : m_database.getModelWithVehicle(join.vehicle)) {
                row->setState(VelquorDownloadStateWaitingInstall);
                row->setProgress(0);
                m_database.updateWithModel(row, VelquorDownloadUpdateAll);
            }
            return;
        }
        startDownloadWaitingTask();
        post(VelquorDownload::RequestCompleteNotification, join.lastRow);
    });
}

void VelquorDownloadManager::failJoin(const QString &vehicle, const VelquorDownloadModelPtr &lastRow, bool report)
{
    bool recorded = true;
    for (const auto &row : m_database.getModelWithVehicle(vehicle)) {
        row->setState(VelquorDownloadStateFailed);
        recorded = m_database.updateWithModel(row, VelquorDownloadUpdateState) && recorded;
    }
    if (!report)
        return;
    if (!recorded) {
        stopUnrecorded(vehicle, lastRow->url());
        startDownloadWaitingTask();
        return;
    }
    VelquorDownloadModelPtr reported = m_database.getModelWithUrl(lastRow->url());
    if (!reported) {
        reported = lastRow;
        reported->setState(VelquorDownloadStateFailed);
    }
    post(VelquorDownload::RequestErrorNotification, reported);
    startDownloadWaitingTask();
}

void VelquorDownloadManager::stopUnrecorded(const QString &vehicle, const QString &url)
{
    const QString key = vehicle.toUpper();
    if (m_stoppingUnrecorded.contains(key))
        return; // one of the writes of this very stop
    m_stoppingUnrecorded.insert(key);
    const auto stopped = qScopeGuard([this, &key] { m_stoppingUnrecorded.remove(key); });
    bool told = false; // since its last start: once is enough
    {
        std::lock_guard lock(m_slotMutex);
        told = m_unrecorded.contains(key);
        m_unrecorded.insert(key);
    }
    const bool heldSlot = removeVehicleDownloadTask(key);
    // The bytes received stay, with their resume data where it can still be stored.
    cancelTransfersOfVehicle(key, true);
    VelquorDownloadModelPtr reported;
    for (const auto &row : m_database.getModelWithVehicle(key)) {
        m_retries.remove(row->url());
        if (isPausable(row->state())) {
            row->setState(VelquorDownloadStatePaused);
            m_database.updateWithModel(row, VelquorDownloadUpdateState); // refused too, most likely
        }
        if (!reported || row->url() == url)
            reported = row;
    }
    if (!reported) {
        reported = VelquorDownloadModel::create();
        reported->setVehicle(key);
        reported->setUrl(url);
    }
    // Shown paused whatever the rows say: a press goes on from the bytes kept.
    reported->setState(VelquorDownloadStatePaused);
    if (!told)
        NotificationCenter::workspace().post(QString::fromLatin1(VelquorDownload::RequestErrorNotification),
                                             std::any(reported),
                                             {{QString::fromLatin1(VelquorDownload::NotRecordedKey), true}});
    if (heldSlot)
        startDownloadWaitingTask();
}

bool VelquorDownloadManager::isUnrecordedVehicle(const QString &vehicle) const
{
    std::lock_guard lock(m_slotMutex);
    return m_unrecorded.contains(vehicle.toUpper());
}

void VelquorDownloadManager::forgetUnrecorded(const QString &vehicle)
{
    std::lock_guard lock(m_slotMutex);
    m_unrecorded.remove(vehicle.toUpper());
}

void VelquorDownloadManager::forgetAllUnrecorded()
{
    std::lock_guard lock(m_slotMutex);
    m_unrecorded.clear();
}

bool VelquorDownloadManager::isEnding() const
{
    // The manager's queues stop only when it goes, at the end of the application.
    return m_queue->isStopped() || m_filesQueue->isStopped();
}

void VelquorDownloadManager::cancelTaskWithModel(const QString &url, bool keepResumeData)
{
    const auto it = m_tasks.find(url);
    if (it == m_tasks.end())
        return;
    const Task task = *it;
    m_tasks.erase(it);
    const VelquorResumeData resume = task.transfer->cancelProducingResumeData();
    task.transfer->onProgress = nullptr;
    task.transfer->onFinished = nullptr;
    task.transfer->deleteLater();
    if (!keepResumeData || isOtherTables(task.tables))
        return;
    if (VelquorDownloadModelPtr row = m_database.getModelWithUrl(url)) {
        storeProgress(url, resume.offset, task.pendingInterval, false);
        row->setResumeData(resume.encode());
        if (!m_database.updateWithModel(row, VelquorDownloadUpdateResumeData))
            stopUnrecorded(task.vehicle, url);
    }
}

int VelquorDownloadManager::cancelTransfersOfVehicle(const QString &vehicle, bool keepResumeData)
{
    QStringList urls;
    for (auto it = m_tasks.cbegin(); it != m_tasks.cend(); ++it) {
        if (it->vehicle == vehicle)
            urls.append(it.key());
    }
    for (const QString &url : urls)
        cancelTaskWithModel(url, keepResumeData);
    return int(urls.size());
}

bool VelquorDownloadManager::isOtherTables(const QString &tables) const
{
    return tables != m_database.uniqueIDString();
}

void VelquorDownloadManager::cancelAllDownTask()
{
    const QStringList urls = m_tasks.keys();
    for (const QString &url : urls)
        cancelTaskWithModel(url, false);
}

void VelquorDownloadManager::releaseIfIdle(const QString &vehicle)
{
    // A vehicle whose rows have no transfer left and none to retry gives up its slot; when all its
    // rows are downloaded it is complete.
    if (!holdsSlot(vehicle))
        return;
    for (const Task &task : std::as_const(m_tasks)) {
        if (task.vehicle == vehicle)
            return;
    }
    const VelquorDownloadModelList rows = m_database.getModelWithVehicle(vehicle);
    if (rows.isEmpty()) {
        removeVehicleDownloadTask(vehicle);
        startDownloadWaitingTask();
        return;
    }
    bool allDownloaded = true;
    for (const auto &row : rows) {
        if (row->state() == VelquorDownloadStateDownloading && m_retries.contains(row->url()))
            return; // a retry is due
        if (row->state() != VelquorDownloadStateDownloaded)
            allDownloaded = false;
    }
    if (allDownloaded) {
        completeVehicle(vehicle, rows.last());
        return;
    }
    removeVehicleDownloadTask(vehicle);
    startDownloadWaitingTask();
}

// ---------------------------------------------------------------------------------------------
// Files

void VelquorDownloadManager::deleteLocFilePath(const VelquorDownloadModelPtr &row)
{
    const QString zipPath = row->zipPath();
    if (zipPath.contains(QLatin1String("part.7z"))) {
        const QString base = withoutLastTwoFields(zipPath);
        if (!base.isEmpty())
            m_commonTool.removeCachedArchive(base + QStringLiteral(".7z"));
    }
    m_commonTool.removeCachedArchive(zipPath);
    m_commonTool.removeCachedArchive(partialPathForArchive(zipPath));
}

void VelquorDownloadManager::queueFileDeletion(const VelquorDownloadModelList &rows)
{
    if (rows.isEmpty())
        return;
    quint64 id = 0;
    {
        std::lock_guard lock(m_deletionMutex);
        id = ++m_lastDeletionId;
        m_deletions.append({id, rows, false});
    }
    m_filesQueue->async([this, id] {
        VelquorDownloadModelList rows;
        {
            std::lock_guard lock(m_deletionMutex);
            const auto it = std::find_if(m_deletions.begin(), m_deletions.end(),
                                         [id](const PendingDeletion &deletion) { return deletion.id == id; });
            if (it == m_deletions.end())
                return; // a new start of its vehicle has done it already
            it->running = true;
            rows = it->rows;
        }
        for (const auto &row : rows)
            deleteLocFilePath(row);
        {
            std::lock_guard lock(m_deletionMutex);
            m_deletions.removeIf([id](const PendingDeletion &deletion) { return deletion.id == id; });
        }
        m_deletionEnded.notify_all();
    });
}

void VelquorDownloadManager::finishPendingDeletes(const QString &vehicle)
{
    auto concerns = [&vehicle](const PendingDeletion &deletion) {
        return std::any_of(deletion.rows.begin(), deletion.rows.end(), [&vehicle](const VelquorDownloadModelPtr &row) {
            return row->vehicle().compare(vehicle, Qt::CaseInsensitive) == 0;
        });
    };
    QList<PendingDeletion> taken;
    {
        std::unique_lock lock(m_deletionMutex);
        m_deletionEnded.wait(lock, [&] {
            return std::none_of(m_deletions.begin(), m_deletions.end(), [&](const PendingDeletion &deletion) {
                return deletion.running && concerns(deletion);
            });
        });
        for (auto it = m_deletions.begin(); it != m_deletions.end();) {
            if (concerns(*it)) {
                taken.append(*it);
                it = m_deletions.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const PendingDeletion &deletion : std::as_const(taken)) {
        for (const auto &row : deletion.rows)
            deleteLocFilePath(row);
    }
}

bool VelquorDownloadManager::isInsideArchiveCache(const QString &path) const
{
    const QString cache = QDir::cleanPath(m_commonTool.getUpdateDirectory());
    if (cache.isEmpty())
        return false;
    const QString cleaned = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return cleaned.startsWith(cache + u'/');
}

// ---------------------------------------------------------------------------------------------
// Slots

bool VelquorDownloadManager::holdsSlot(const QString &vehicle) const
{
    std::lock_guard lock(m_slotMutex);
    return m_dataTaskVehicles.contains(vehicle.toUpper());
}

int VelquorDownloadManager::slotCount() const
{
    std::lock_guard lock(m_slotMutex);
    return int(m_dataTaskVehicles.size());
}

void VelquorDownloadManager::addSlot(const QString &vehicle)
{
    std::lock_guard lock(m_slotMutex);
    if (!m_dataTaskVehicles.contains(vehicle.toUpper()))
        m_dataTaskVehicles.append(vehicle.toUpper());
    m_unrecorded.remove(vehicle.toUpper()); // under way again
}

bool VelquorDownloadManager::removeVehicleDownloadTask(const QString &vehicle)
{
    std::lock_guard lock(m_slotMutex);
    return m_dataTaskVehicles.removeIf(
               [&](const QString &held) { return held.compare(vehicle, Qt::CaseInsensitive) == 0; }) > 0;
}

void VelquorDownloadManager::clearSlots()
{
    std::lock_guard lock(m_slotMutex);
    m_dataTaskVehicles.clear();
}

QStringList VelquorDownloadManager::dataTaskVehicles() const
{
    std::lock_guard lock(m_slotMutex);
    return m_dataTaskVehicles;
}

bool VelquorDownloadManager::isJoiningVehicle(const QString &vehicle) const
{
    std::lock_guard lock(m_slotMutex);
    return m_joining.contains(vehicle.toUpper());
}

bool VelquorDownloadManager::isJoiningAnyVehicle() const
{
    std::lock_guard lock(m_slotMutex);
    return !m_joining.isEmpty();
}

void VelquorDownloadManager::post(const char *name, const VelquorDownloadModelPtr &row)
{
    NotificationCenter::workspace().post(QString::fromLatin1(name), std::any(row));
}

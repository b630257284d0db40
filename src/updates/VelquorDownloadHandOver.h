#pragma once

#include "core/VelquorContentLengthProbe.h"
#include "core/VelquorDownloadModel.h"
#include "core/VelquorDownloadPageState.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

class VelquorCommonTool;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;
class VelquorUpdatesPageServices;

// What a press on a row's download button means for its vehicle, and the way from there to the
// download manager: the vehicle's download records are written (one per archive, waiting), every
// archive's size is measured with a HEAD request on the probe queue, and the vehicle is handed to
// the manager with each record's share of the whole. The manager's three notifications keep the
// row's state and progress current; a completely downloaded vehicle goes on to extraction.
//
// Threads: the press, update-all's queue operations and the planning run on the GUI thread; the
// probes on the manager's getContentQueue, one vehicle after another by a single runner; the
// notification handlers on the download manager's queue. Shown rows change only through the
// page's setRowOfVehicle, and no thread here ever waits for the GUI thread.
class VelquorDownloadHandOver
{
public:
    using DecompressVehicle = std::function<void(const QString &vehicle)>;

    static constexpr const char *ContentQueueLabel = "com.ostrelle.Velquor.getContentLength";

    // The manager's getContentQueue is made here when the page has not made it yet.
    VelquorDownloadHandOver(VelquorUpdatesPageServices &page, DecompressVehicle decompressVehicle,
                            VelquorDownloadManager *manager = nullptr,
                            VelquorDownloadDataBaseManager *database = nullptr,
                            VelquorCommonTool *commonTool = nullptr);
    // Ends a probe that is running (its vehicle stays queued) and waits for its runner, which may
    // still call the page meanwhile: the page's services must stay usable until this returns.
    ~VelquorDownloadHandOver();
    VelquorDownloadHandOver(const VelquorDownloadHandOver &) = delete;
    VelquorDownloadHandOver &operator=(const VelquorDownloadHandOver &) = delete;

    // The press on a row of `vehicle` offering `models`: first download, newer version, reinstall,
    // retry, pause, resume, install what is downloaded, or queue the download. GUI thread.
    void startDownload(const QString &vehicle, const VelquorDownloadModelList &models);
    // Writes one waiting record per archive to fetch, then queues the vehicle. GUI thread.
    void firstDownloadVehicle(const QString &vehicle, const VelquorDownloadModelList &models);
    // A vehicle downloaded for a version of the card's that has gone since (an append or a language
    // planned onto it) is planned again against the card as it is now: archives the new plan still
    // needs are kept downloaded, the others go, and what is missing is fetched before the vehicle is
    // installed. A plan that comes out as it was fails the vehicle instead, touching nothing. GUI thread.
    void replanVehicle(const QString &vehicle, const VelquorDownloadModelList &models);
    // Queues the vehicle for its size probe unless it is queued already (letter case ignored).
    void addDownloadTask(const QString &vehicle, const VelquorDownloadModelList &rows);
    // Starts the probe runner when vehicles are queued and none runs.
    void startDownloadVehicle();
    // Whether the card holds the language file of every offered package (true for none).
    bool isHasLanCfg(const VelquorDownloadModelList &models) const;
    // Whether a vehicle whose stored `rows` are all installed is to be fetched again for the offered
    // `models`: its package directory has gone from the card, the card holds an older version of one
    // of its packages than offered, or a language file is missing. A press and update-all decide
    // an installed vehicle here alike.
    bool isInstalledVehicleOutOfDate(const VelquorDownloadModelList &models,
                                     const VelquorDownloadModelList &rows) const;
    // A vehicle whose records are all downloaded goes to extraction; when an archive has gone from
    // the cache its records fail instead (5), so the next press fetches it again.
    void installDownloadedVehicle(const QString &vehicle, const VelquorDownloadModelList &rows);

    // The download manager's notifications, with their record; on the manager's queue. An error
    // that stopped the vehicle because its download could not be recorded is told to the user.
    void downLoadProgress(const VelquorDownloadModelPtr &row);
    void downloadRequestComplete(const VelquorDownloadModelPtr &row);
    void downloadRequestError(const VelquorDownloadModelPtr &row, bool notRecorded = false);

    // The HEAD requests (tests shorten their time-out).
    VelquorContentLengthProbe &contentLengthProbe() { return m_probe; }

private:
    struct RunnerState;

    void pauseVehicle(const QString &vehicle, const VelquorDownloadModelList &rows);
    void resumeVehicle(const QString &vehicle);
    // Drops the vehicle's records, and its pause with them, before it is planned afresh.
    void forgetVehicle(const QString &vehicle);
    // Marks every row downloaded and waiting to be installed, shows it, and starts the extraction.
    void handToExtraction(const QString &vehicle, const VelquorDownloadModelList &rows);
    // Downloaded archives by url, kept for a new plan of their vehicle.
    using KeptArchives = QHash<QString, VelquorDownloadModelPtr>;
    void planVehicle(const QString &vehicle, const VelquorDownloadModelList &models, const KeptArchives &kept);
    void insertRecord(const QString &vehicle, const VelquorDownloadModelPtr &offered, const QString &url,
                      const QString &zipPath, const KeptArchives &kept);

    void runProbes();
    void probeEntry(const VelquorDownloadPageState::NeedDownloadEntry &entry);

    // Every record carries its archive's size and the vehicle's total.
    static bool isMeasured(const VelquorDownloadModelList &rows);
    // Every record measured and waiting (or downloaded): the vehicle was handed over already.
    static bool alreadyMeasured(const VelquorDownloadModelList &rows);
    // A waiting record without the manager's stamp: the vehicle has no place in the waiting order.
    static bool hasUnstampedWaitingRow(const VelquorDownloadModelList &rows);
    // A record downloaded, unpacking, ready to install or installed: the download has ended.
    static bool hasFinishedRow(const VelquorDownloadModelList &rows);
    // Downloaded bytes of the vehicle over its total (the last record's), at most 1; 0 without a total.
    static double receivedShare(const VelquorDownloadModelList &rows);

    VelquorUpdatesPageServices &m_page;
    DecompressVehicle m_decompressVehicle;
    VelquorDownloadManager &m_manager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
    VelquorContentLengthProbe m_probe;
    std::shared_ptr<RunnerState> m_runner;
    // Held by a press that pauses or resumes and by a probe's outcome, so that the outcome either
    // sees the pause or is followed by it.
    std::mutex m_outcomeMutex;
};

#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorDownloadPageState.h"
#include "core/VelquorDownloadTransfer.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class DispatchQueue;
class QNetworkAccessManager;
class QObject;
class VelquorCommonTool;
class VelquorDownloadDataBaseManager;

// Downloads the archives of vehicles over HTTP. The vehicle is the unit of scheduling: all rows of
// one vehicle start together, each row as its own transfer, and at most maxConcurrentCount
// vehicles hold a slot at a time; waiting vehicles start in the order they were stamped waiting.
// The download table is the state of record: every decision re-reads the rows concerned and every
// change is written back at once (progress, speed and received bytes at most five times a second
// per transfer, and at the end). A pause keeps the received bytes in a partial file beside the
// archive and a small resume blob in the row, so a resume asks only for the rest. Unfinished
// downloads end at the next choice of a device, though, in this run or a later one: its clean-up
// deletes every vehicle not wholly downloaded or wholly installed, paused ones included, with the
// bytes received.
//
// All scheduling and every transfer callback run on the manager's own serial queue, whose thread
// hosts the QNetworkAccessManager; the three download notifications are posted there, on the
// workspace notification centre. The public commands may be called from any thread and return at
// once, never waiting for the queue; their work runs on the queue in call order, so a later
// command always wins over an earlier one. A start and a pause set the rows' states on the calling
// thread itself, so what a caller reads after a pause is paused.
//
// A write the database refuses about a vehicle at work stops that vehicle where it is: its transfers
// end keeping their bytes, its slot is freed, and the error notification says so (userInfo
// NotRecordedKey), its record shown paused. Its rows may still read as under way; they are not
// started again by themselves, only by the next startDownloadTask, once the database takes writes.
//
// A transfer belongs to the tables that were open when it started. Before other tables open (a
// device change), every transfer is paused in its own tables, keeping its resume data, and its
// slot is freed; a transfer never writes into other tables.
class VelquorDownloadManager : public VelquorDownloadPageState
{
public:
    explicit VelquorDownloadManager(VelquorDownloadDataBaseManager *database = nullptr,
                                    VelquorCommonTool *commonTool = nullptr);
    ~VelquorDownloadManager();
    VelquorDownloadManager(const VelquorDownloadManager &) = delete;
    VelquorDownloadManager &operator=(const VelquorDownloadManager &) = delete;

    static VelquorDownloadManager &sharedManager();

    // Marks the record's vehicle waiting (rows not yet downloaded) and starts it when a slot is free.
    void startDownloadTask(const VelquorDownloadModelPtr &model);
    // Pauses the vehicle: its rows read paused (3) and its slot is free when this returns; its
    // transfers then stop on the queue, storing their resume data and the bytes received.
    void pauseDownloadTask(const VelquorDownloadModelPtr &model);
    // Frees the vehicle's slot, ends all its transfers and deletes its archives and partial files (the
    // rows themselves stay). The card is left as it is: what a failed extraction left half written there
    // is its installer's to remove, from the card it was written on.
    void deleteTaskAndCache(const VelquorDownloadModelPtr &model);
    // Ends every transfer and deletes the archives, partial files and rows of every unfinished
    // vehicle; their package folders on the card (the versions installed before) stay.
    void deleteAllTask();

    qint64 maxConcurrentCount() const { return m_maxConcurrentCount; }
    bool allowsCellularAccess() const { return m_allowsCellularAccess; }
    // Upper-cased vehicles holding a slot, in the order they got it.
    QStringList dataTaskVehicles() const;
    // Whether the vehicle's parts are being joined into its archive: its rows read downloaded, but
    // the manager is not done with them until it reports the vehicle complete. Any thread.
    bool isJoiningVehicle(const QString &vehicle) const;
    // Whether the parts of any vehicle are being joined (quitting or choosing another device now
    // would cost the vehicle its download). Any thread.
    bool isJoiningAnyVehicle() const;
    // Whether the vehicle stopped because the database refused to record its download, and has not
    // been started since: whatever its rows read, nothing of it is under way. Any thread.
    bool isUnrecordedVehicle(const QString &vehicle) const;
    // The serial queue of the transfers (tests wait on it with sync()).
    DispatchQueue &queue() const { return *m_queue; }
    // The serial queue that joins parts and deletes files (tests hold it back or wait on it).
    DispatchQueue &filesQueue() const { return *m_filesQueue; }
    // Path of the file that holds a row's bytes until its transfer is complete.
    static QString partialPathForArchive(const QString &zipPath);

    // Tuning, mainly for tests: time without data before a transfer counts as timed out (240 s),
    // first wait before a retry (1 s, doubling up to 30 s while the attempts get no further; after
    // eight such retries the vehicle fails), and the settling waits before a
    // vehicle (0.1 s) and its rows (0.3 s) start.
    void setRequestTimeout(int milliseconds) { m_requestTimeoutMs = milliseconds; }
    void setRetryBaseDelay(int milliseconds) { m_retryBaseDelayMs = milliseconds; }
    void setStartDelays(int vehicleMilliseconds, int rowMilliseconds);

private:
    struct Task
    {
        VelquorDownloadTransfer *transfer = nullptr;
        QString vehicle;            // upper-cased
        qint64 total = 0;           // bytes in the partial file
        qint64 pendingInterval = 0; // bytes not yet counted in the stored intervalFileSize
        qint64 lastStoreMs = -1;
        qint64 startOffset = 0;  // bytes in the partial file when the attempt began
        QString tables;          // the database tables the transfer belongs to
        QString storedValidator; // the validator last stored with the row's resume data
    };
    struct Retries
    {
        int stalled = 0;     // attempts in a row that got no further than an earlier one
        qint64 furthest = 0; // the most bytes any attempt has had in the partial file since it last started over
    };

    // Runs on the queue unless the manager is being torn down.
    void onQueue(std::function<void()> work, int delayMs = 0);

    // Rows of a vehicle (calling thread, with the database's lock held). Answers whether every
    // write was recorded.
    bool markVehicleWaiting(const QString &vehicle);
    // Frees the vehicle's slot and pauses its rows; answers whether it held a slot. `recorded`, when
    // given, turns false when a write was refused.
    bool markVehiclePaused(const QString &vehicle, bool *recorded = nullptr);
    // Pauses every vehicle at work in the tables open now, before others open.
    void tablesWillChange();

    // Scheduling (queue only).
    void startVehicle(const QString &vehicle);
    // Every row of the vehicle still waiting (or downloaded): nothing changed it since its start.
    bool stillWaiting(const QString &vehicle);
    void startRowsOfVehicle(const QString &vehicle);
    // Starts the row's transfer unless the tables changed since `tables`, or its vehicle lost its slot.
    bool downloadwithModel(const VelquorDownloadModelPtr &row, const QString &tables);
    bool startTransfer(const VelquorDownloadModelPtr &row, const QString &tables);
    void startDownloadWaitingTask();
    void stopTransfersOfVehicle(const QString &vehicle, bool heldSlot);
    void stopTransfersOfTables(const QString &tables);
    void pauseDownloadingTaskWithAll();
    bool networkingAllowsDownloadTask() const;
    void applyMaxConcurrentCount(qint64 count);

    // Transfers (queue only).
    void resetFileProcess(const QString &url, qint64 chunk, qint64 total);
    void resetComplete(const QString &url, const VelquorDownloadTransfer::Outcome &outcome);
    void transferEnded(const QString &url, const VelquorDownloadTransfer::Outcome &outcome);
    // Stores the row's progress, with `resumeData` too unless it is empty.
    VelquorDownloadModelPtr storeProgress(const QString &url, qint64 total, qint64 pendingInterval, bool post,
                                          const QByteArray &resumeData = {});
    void fileFinished(const QString &url, const QString &vehicle, const QString &partialPath);
    // Retries the row's transfer after a pause that grows while attempts get no further than an
    // earlier one did (a wrong answer never does); after too many such attempts the vehicle fails.
    void retryLater(const QString &url, const QString &vehicle, qint64 startOffset, const VelquorResumeData &resume,
                    const VelquorDownloadTransfer::Outcome &outcome);
    // Fails the vehicle of a row whose bytes are not the file's: they are not kept for a resume.
    void failDroppingBytes(const VelquorDownloadModelPtr &row, const QString &vehicle, const QString &partialPath);
    void pauseForLostNetwork(const QString &url, const QString &vehicle, const VelquorResumeData &resume);
    void failVehicle(const QString &url, const QString &vehicle, const VelquorResumeData &resume);
    void completeVehicle(const QString &vehicle, const VelquorDownloadModelPtr &lastRow);
    // Joins the parts on the files queue; the result is recorded on the transfer queue, or where the
    // join ran once that queue has stopped.
    void composeFilePath(const QString &vehicle, const VelquorDownloadModelList &rows,
                         const VelquorDownloadModelPtr &lastRow);
    struct Join
    {
        QString vehicle;
        VelquorDownloadModelList parts; // in joining order
        QStringList partPaths;
        VelquorDownloadModelPtr joined; // the record that replaces the parts
        QString joinedPath;
        VelquorDownloadModelPtr lastRow;
        QString tables; // the tables the parts belong to
        bool written = false;
    };
    // Replaces the parts' rows and files by the joined archive and reports the vehicle complete; at
    // the end, when nobody is left to install it, records it waiting to be installed instead.
    void finishJoin(const Join &join);
    // Fails the vehicle's rows, keeping their files; reports it unless the application ends.
    void failJoin(const QString &vehicle, const VelquorDownloadModelPtr &lastRow, bool report);
    // Whether the manager's queues have begun to stop (the end of the application).
    bool isEnding() const;
    // Stops the vehicle whose state the database refused to record, and reports it (queue, with the
    // database's lock held); `url` names the row reported, when it has one.
    void stopUnrecorded(const QString &vehicle, const QString &url);
    void forgetUnrecorded(const QString &vehicle);
    void forgetAllUnrecorded();
    // Ends the row's transfer; with resume data kept, stores it in the row (in the transfer's own
    // tables only: a transfer of other tables ends without a word).
    void cancelTaskWithModel(const QString &url, bool keepResumeData);
    // Answers how many transfers it ended.
    int cancelTransfersOfVehicle(const QString &vehicle, bool keepResumeData);
    // Whether `tables` are no longer the tables open.
    bool isOtherTables(const QString &tables) const;
    void cancelAllDownTask();
    void releaseIfIdle(const QString &vehicle);

    // Files (files queue): the row's archive and partial file.
    void deleteLocFilePath(const VelquorDownloadModelPtr &row);
    // Deletes the rows' files on the files queue, unless a vehicle of theirs starts again first:
    // then that start deletes them itself, before anything of the new download is written.
    void queueFileDeletion(const VelquorDownloadModelList &rows);
    // Runs the deletions still pending for the vehicle and waits for one running (queue only).
    void finishPendingDeletes(const QString &vehicle);

    // Slots.
    bool holdsSlot(const QString &vehicle) const;
    int slotCount() const;
    void addSlot(const QString &vehicle);
    bool removeVehicleDownloadTask(const QString &vehicle);
    void clearSlots();

    void post(const char *name, const VelquorDownloadModelPtr &row);
    bool isInsideArchiveCache(const QString &path) const;

    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
    std::unique_ptr<DispatchQueue> m_queue;
    std::unique_ptr<DispatchQueue> m_filesQueue; // joining and deleting, off the transfer thread

    // Queue-confined.
    QObject *m_host = nullptr; // parent of the network manager and the transfers, on the queue thread
    QNetworkAccessManager *m_network = nullptr;
    QHash<QString, Task> m_tasks;       // url -> running transfer (the task table)
    QHash<QString, Retries> m_retries;  // url -> retries since its transfer last got further
    QSet<QString> m_stoppingUnrecorded; // vehicles whose stop runs now (its own writes may be refused)

    struct PendingDeletion
    {
        quint64 id = 0;
        VelquorDownloadModelList rows;
        bool running = false;
    };
    std::mutex m_deletionMutex;
    std::condition_variable m_deletionEnded;
    QList<PendingDeletion> m_deletions; // waiting or running on the files queue
    quint64 m_lastDeletionId = 0;

    mutable std::mutex m_slotMutex;
    QStringList m_dataTaskVehicles; // vehicles holding a slot (upper-cased)
    QSet<QString> m_joining;        // vehicles whose parts are being joined (upper-cased)
    QSet<QString> m_unrecorded;     // vehicles stopped unrecorded and not started since (upper-cased)

    std::atomic<qint64> m_maxConcurrentCount{3};
    std::atomic<bool> m_allowsCellularAccess{false};
    std::atomic<int> m_requestTimeoutMs{240 * 1000};
    std::atomic<int> m_retryBaseDelayMs{1000};
    std::atomic<int> m_vehicleStartDelayMs{100};
    std::atomic<int> m_rowStartDelayMs{300};
};

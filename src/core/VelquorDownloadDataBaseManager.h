#pragma once

#include "core/VelquorDownloadModel.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

namespace SQLite {
class Database;
}

// Bits of the update mask of VelquorDownloadDataBaseManager::updateWithModel, run in this order.
enum VelquorDownloadUpdateOption : unsigned {
    VelquorDownloadUpdateState = 1,      // state (with the state-change check)
    VelquorDownloadUpdateStateTime = 2,  // lastStateTime = now
    VelquorDownloadUpdateResumeData = 4, // resumeData
    VelquorDownloadUpdateProgress = 8,   // tmpFileSize, totalFileSize, progress, lastSpeedTime, intervalFileSize, speed
    VelquorDownloadUpdateAll = 16,       // every field but zipPath, lastStateTime = now (state-change check)
    VelquorDownloadUpdateAllWithZipPath = 32 // every field, lastStateTime = now (state-change check)
};

// The download and install records of the selected device and account, in "Velquor.db" in the
// Documents directory: two tables per device-and-account pair.
//
// One SQLite connection behind one mutex: every call may come from any thread, statements are
// strictly serialised and each call returns once its statement has run. Before the first
// creatDBWithSerialNumber (or when the file cannot be opened) writes do nothing and reads are
// empty. A failed write leaves the tables as it found them and answers false; a failed read is
// empty.
//
// A file that cannot be opened or read (not a database, damaged, gone since this process opened
// it) is announced once per table choice with "VelquorDownloadDatabaseUnavailableNotification" on
// the workspace centre (object: the file's path), so that the user learns why nothing is shown.
// No other file is opened in its place.
//
// The state-change notification is posted while the connection's mutex is held (the mutex is
// recursive, so an observer may read the database, but it must not block on another thread that
// uses it).
class VelquorDownloadDataBaseManager
{
public:
    // databasePath: the file to use; empty means Documents/"Velquor.db".
    explicit VelquorDownloadDataBaseManager(const QString &databasePath = {});
    ~VelquorDownloadDataBaseManager();
    VelquorDownloadDataBaseManager(const VelquorDownloadDataBaseManager &) = delete;
    VelquorDownloadDataBaseManager &operator=(const VelquorDownloadDataBaseManager &) = delete;

    static VelquorDownloadDataBaseManager &sharedManager();

    // Lower-case hex MD5 of upper(serialNumber) + "_" + account.
    static QString uniqueIDStringFor(const QString &serialNumber, const QString &account);
    QString uniqueIDString() const;

    // Opens the tables of this device and account (a new connection on the same file). When they are
    // other tables than those open, "VelquorDownloadTablesWillChangeNotification" is posted on the
    // default centre first, with the connection's lock held: its observers finish with the tables
    // open until then before any statement reaches the new ones.
    void creatDBWithSerialNumber(const QString &serialNumber, const QString &account);
    void creatCachesTableWithUniqueIDString(const QString &uniqueIDString);
    void creatInstallRecordTableWithUniqueIDString(const QString &uniqueIDString);

    // --- Download table: writes. Each answers whether every statement it ran was written.
    bool insertModel(const VelquorDownloadModelPtr &model);
    bool updateWithModel(const VelquorDownloadModelPtr &model, unsigned option);
    bool deleteModelWithUrl(const QString &url);
    bool deleteModelWithVehicle(const QString &vehicle);
    bool deleteModelWithName(const QString &vehicle, qint64 state);
    bool deleteModelWithSoftware(const QString &software);
    bool deleteAll();

    // --- Download table: reads.
    VelquorDownloadModelList getAllCacheData();        // every row
    VelquorDownloadModelList getAllDownloadingData();  // state 1, latest state stamp first
    VelquorDownloadModelList getAllDownloadedData();   // state 4
    VelquorDownloadModelList getAllUnDownloadedData(); // states 1, 2, 3 and 5
    VelquorDownloadModelList getAllWaitingData();      // state 2
    VelquorDownloadModelPtr getModelWithUrl(const QString &url);
    VelquorDownloadModelPtr getModelWithUrl(const QString &url, qint64 state);
    VelquorDownloadModelPtr getWaitingModel();         // waiting row stamped earliest (stamp not 0)
    VelquorDownloadModelPtr getLastDownloadingModel(); // downloading row stamped last (stamp not 0)
    VelquorDownloadModelList getModelWithName(const QString &software);
    VelquorDownloadModelList getModelWithVehicle(const QString &vehicle);

    // Internal dispatchers by option number (0-4, 5-7, 8-9, 5); other options give nothing.
    VelquorDownloadModelList getDateWithOption(int option);
    VelquorDownloadModelPtr getModelWithOption(int option, const QString &url);
    VelquorDownloadModelList getDateWithOption(int option, const QString &name);
    VelquorDownloadModelPtr getModelWithOption(int option, const QString &url, qint64 state);

    // --- Install-finished table.
    bool insertModelForInstall(const VelquorDownloadModelPtr &model);
    VelquorDownloadModelList getAllCacheDataForInstall();
    VelquorDownloadModelList getAllDataWithVehicleForInstall(const QString &vehicle);
    VelquorDownloadModelList getAllDataWithSoftwareForInstall(const QString &software);
    bool deleteModelWithVehicleForInstall(const QString &vehicle);
    bool deleteModelWithSoftwareForInstall(const QString &software);

    // Runs `work` with the connection's lock held: no statement of another thread and no change of
    // tables comes between the calls it makes. `work` must not wait for a thread that uses the database.
    void runExclusively(const std::function<void()> &work);
    // Runs `work` as one transaction, with the lock held as above: what it writes stays only when it
    // answers true and the whole is committed; otherwise none of it does. Answers whether it was
    // committed. Not nested; `work` must not choose tables.
    bool runInTransaction(const std::function<bool()> &work);

    // How long a statement waits for another connection's lock before it fails (5 s unless set).
    void setBusyTimeout(int milliseconds);

    // Microseconds since 1970-01-01 00:00 UTC.
    static qint64 currentTimeMicroseconds();

private:
    QString downloadTable() const;
    QString installTable() const;
    bool insertInto(const QString &table, const VelquorDownloadModelPtr &model);
    bool execute(const QString &sqlTemplate, const QString &table, const QList<QVariant> &values);
    VelquorDownloadModelList query(const QString &sqlTemplate, const QString &table, const QList<QVariant> &values);
    VelquorDownloadModelPtr queryLast(const QString &sqlTemplate, const QString &table, const QList<QVariant> &values);
    void postStateChangeNotification(const VelquorDownloadModelPtr &model);
    QString databaseFilePath() const;
    // Announces that the file cannot be opened or read, once per table choice.
    void announceUnavailable(const QString &path);

    QString m_databasePath;
    mutable std::recursive_mutex m_mutex;
    std::unique_ptr<SQLite::Database> m_database;
    QString m_uniqueIDString;
    int m_busyTimeoutMs;
    QString m_openedPath;           // the file this manager opened last
    bool m_unavailableTold = false; // since the last table choice
};

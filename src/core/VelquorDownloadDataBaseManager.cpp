#include "VelquorDownloadDataBaseManager.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDatabaseConstants.h"
#include "platform/NotificationCenter.h"
#include "platform/StandardLocations.h"

#include <QDir>
#include <QFileInfo>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <array>
#include <chrono>

namespace {
// Another connection (a second instance in tests, a reopened table choice) may hold the write lock
// briefly; wait rather than lose the statement.
constexpr int kBusyTimeoutMs = 5000;

// Errors that say the file itself cannot be read, as against a statement that failed.
bool isUnreadable(const SQLite::Exception &error)
{
    switch (error.getErrorCode() & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return true;
    default:
        return false;
    }
}

QString sql(const char *statementTemplate, const QString &table)
{
    return QString::fromLatin1(statementTemplate).arg(table);
}

void bindValue(SQLite::Statement &statement, int index, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        statement.bind(index);
        return;
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.isNull())
            statement.bind(index);
        else
            statement.bind(index, text.toStdString());
        return;
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        if (bytes.isNull())
            statement.bind(index);
        else
            statement.bind(index, bytes.constData(), static_cast<int>(bytes.size()));
        return;
    }
    case QMetaType::Bool:
        statement.bind(index, static_cast<int64_t>(value.toBool() ? 1 : 0));
        return;
    case QMetaType::Float:
        // Single-precision fields keep their float value: 0.1f is stored as 0.10000000149011612.
        statement.bind(index, static_cast<double>(value.toFloat()));
        return;
    case QMetaType::Double:
        statement.bind(index, value.toDouble());
        return;
    case QMetaType::ULongLong:
        statement.bind(index, static_cast<int64_t>(value.toULongLong()));
        return;
    default:
        statement.bind(index, static_cast<int64_t>(value.toLongLong()));
        return;
    }
}

void bindAll(SQLite::Statement &statement, const QList<QVariant> &values)
{
    for (int i = 0; i < values.size(); ++i)
        bindValue(statement, i + 1, values.at(i));
}

QVariant text(const QString &value)
{
    return QVariant(value);
}

QVariant u64(quint64 value)
{
    return QVariant(static_cast<qulonglong>(value));
}

QVariant i64(qint64 value)
{
    return QVariant(static_cast<qlonglong>(value));
}

// The stored columns of a record, in table order (the order of an insert).
enum Column {
    Software,
    Version,
    Language,
    ReleaseVerion,
    IsUpdate,
    FilePath,
    SdPath,
    UpdateInfo,
    Price,
    Vehicle,
    ZipPath,
    Vid,
    Url,
    ResumeData,
    Progress,
    State,
    TotalFileSize,
    TmpFileSize,
    Speed,
    LastSpeedTime,
    IntervalFileSize,
    LastStateTime,
    ExpectedContentLength,
    Ratio,
    ColumnCount
};
using RecordValues = std::array<QVariant, ColumnCount>;

// Every column's value, made in this one place for all statements: software and vehicle are
// stored in upper case, progress and ratio in single precision.
RecordValues recordValues(const VelquorDownloadModel &model)
{
    return {
        text(model.software().toUpper()),
        text(model.version()),
        text(model.language()),
        text(model.releaseVerion()),
        QVariant(model.isUpdate()),
        text(model.filePath()),
        text(model.sdPath()),
        text(model.updateInfo()),
        QVariant(model.price()),
        text(model.vehicle().toUpper()),
        text(model.zipPath()),
        text(model.vid()),
        text(model.url()),
        QVariant(model.resumeData()),
        QVariant(static_cast<float>(model.progress())),
        i64(model.state()),
        u64(model.totalFileSize()),
        u64(model.tmpFileSize()),
        u64(model.speed()),
        QVariant(model.lastSpeedTime()),
        u64(model.intervalFileSize()),
        u64(model.lastStateTime()),
        u64(model.expectedContentLength()),
        QVariant(model.ratio()),
    };
}

// The values of the named columns, in the order a statement binds them.
QList<QVariant> columnValues(const RecordValues &values, const QList<Column> &columns)
{
    QList<QVariant> picked;
    picked.reserve(columns.size());
    for (const Column column : columns)
        picked << values.at(column);
    return picked;
}

QList<QVariant> columnValues(const VelquorDownloadModel &model, const QList<Column> &columns)
{
    return columnValues(recordValues(model), columns);
}

// The values of a whole-record update, zipPath included when asked, stamped `now`; the row keys follow.
QList<QVariant> wholeRecordValues(const VelquorDownloadModel &model, bool withZipPath, qint64 now)
{
    RecordValues values = recordValues(model);
    values[LastStateTime] = i64(now);
    QList<Column> columns = {Software,         Version,       Language,    ReleaseVerion, IsUpdate, FilePath,
                             SdPath,           UpdateInfo,    Price,       Vehicle,       Vid,      Url,
                             ResumeData,       TotalFileSize, TmpFileSize, Progress,      State,    LastSpeedTime,
                             IntervalFileSize, LastStateTime, Speed};
    if (withZipPath)
        columns << ZipPath;
    columns << ExpectedContentLength << Ratio;
    return columnValues(values, columns);
}

} // namespace

VelquorDownloadDataBaseManager::VelquorDownloadDataBaseManager(const QString &databasePath)
    : m_databasePath(databasePath), m_busyTimeoutMs(kBusyTimeoutMs)
{}

VelquorDownloadDataBaseManager::~VelquorDownloadDataBaseManager() = default;

VelquorDownloadDataBaseManager &VelquorDownloadDataBaseManager::sharedManager()
{
    static VelquorDownloadDataBaseManager manager;
    return manager;
}

QString VelquorDownloadDataBaseManager::uniqueIDStringFor(const QString &serialNumber, const QString &account)
{
    return VelquorCommonTool::md5String(serialNumber.toUpper() + QLatin1Char('_') + account);
}

QString VelquorDownloadDataBaseManager::uniqueIDString() const
{
    std::lock_guard lock(m_mutex);
    return m_uniqueIDString;
}

qint64 VelquorDownloadDataBaseManager::currentTimeMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

void VelquorDownloadDataBaseManager::creatDBWithSerialNumber(const QString &serialNumber, const QString &account)
{
    const QString suffix = uniqueIDStringFor(serialNumber, account);
    std::lock_guard lock(m_mutex);
    if (suffix != m_uniqueIDString)
        NotificationCenter::defaultCenter().post(QString::fromLatin1(VelquorDatabase::TablesWillChangeNotification),
                                                 std::any(static_cast<const VelquorDownloadDataBaseManager *>(this)));
    m_uniqueIDString = suffix;
    creatCachesTableWithUniqueIDString(suffix);
    creatInstallRecordTableWithUniqueIDString(suffix);
}

void VelquorDownloadDataBaseManager::runExclusively(const std::function<void()> &work)
{
    std::lock_guard lock(m_mutex);
    work();
}

bool VelquorDownloadDataBaseManager::runInTransaction(const std::function<bool()> &work)
{
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return false;
    try {
        // Takes the write lock now, so the transaction cannot fail half-way for want of it.
        m_database->exec("BEGIN IMMEDIATE");
    } catch (const std::exception &) {
        return false;
    }
    if (work()) {
        try {
            m_database->exec("COMMIT");
            return true;
        } catch (const std::exception &) {
        }
    }
    try {
        m_database->exec("ROLLBACK");
    } catch (const std::exception &) {
        // SQLite may have rolled it back itself (a full disk, an I/O error).
    }
    return false;
}

void VelquorDownloadDataBaseManager::setBusyTimeout(int milliseconds)
{
    std::lock_guard lock(m_mutex);
    m_busyTimeoutMs = milliseconds;
    if (m_database)
        m_database->setBusyTimeout(milliseconds);
}

QString VelquorDownloadDataBaseManager::databaseFilePath() const
{
    if (!m_databasePath.isEmpty())
        return m_databasePath;
    const QString documents = StandardLocations::documentsDirectory();
    return documents.isEmpty() ? QString() : QDir(documents).filePath(QString::fromLatin1(VelquorDatabase::FileName));
}

void VelquorDownloadDataBaseManager::announceUnavailable(const QString &path)
{
    if (m_unavailableTold)
        return;
    m_unavailableTold = true;
    NotificationCenter::workspace().post(QString::fromLatin1(VelquorDatabase::UnavailableNotification), std::any(path));
}

void VelquorDownloadDataBaseManager::creatCachesTableWithUniqueIDString(const QString &uniqueIDString)
{
    std::lock_guard lock(m_mutex);
    // A fresh connection per table choice; a file that cannot be opened leaves none.
    m_database.reset();
    m_unavailableTold = false;
    const QString path = databaseFilePath();
    if (path.isEmpty())
        return;
    // A file opened before and gone since held records that a new empty one would silently drop.
    const bool mayCreate = path != m_openedPath;
    try {
        auto database = std::make_unique<SQLite::Database>(
            path.toStdString(), mayCreate ? SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE : SQLite::OPEN_READWRITE);
        database->setBusyTimeout(m_busyTimeoutMs);
        // The first statement that reads the file: a file that is no database fails here.
        database->exec("PRAGMA journal_mode=WAL");
        // With WAL, NORMAL stays consistent after a crash and spares an fsync on every progress write.
        database->exec("PRAGMA synchronous=NORMAL");
        m_database = std::move(database);
    } catch (const std::exception &) {
        announceUnavailable(path);
        return;
    }
    m_openedPath = path;
    if (!execute(QString::fromLatin1(VelquorDatabase::CreateTable),
                 QString::fromLatin1(VelquorDatabase::DownloadTable).arg(uniqueIDString), {}))
        announceUnavailable(path);
}

void VelquorDownloadDataBaseManager::creatInstallRecordTableWithUniqueIDString(const QString &uniqueIDString)
{
    std::lock_guard lock(m_mutex);
    if (m_database && !execute(QString::fromLatin1(VelquorDatabase::CreateTable),
                               QString::fromLatin1(VelquorDatabase::InstallTable).arg(uniqueIDString), {}))
        announceUnavailable(databaseFilePath());
}

QString VelquorDownloadDataBaseManager::downloadTable() const
{
    return QString::fromLatin1(VelquorDatabase::DownloadTable).arg(m_uniqueIDString);
}

QString VelquorDownloadDataBaseManager::installTable() const
{
    return QString::fromLatin1(VelquorDatabase::InstallTable).arg(m_uniqueIDString);
}

bool VelquorDownloadDataBaseManager::execute(const QString &sqlTemplate, const QString &table,
                                             const QList<QVariant> &values)
{
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return false;
    try {
        SQLite::Statement statement(*m_database, sqlTemplate.arg(table).toStdString());
        bindAll(statement, values);
        statement.exec();
        return true;
    } catch (const std::exception &) {
        // The statement changed nothing; the caller decides what that means.
        return false;
    }
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::query(const QString &sqlTemplate, const QString &table,
                                                               const QList<QVariant> &values)
{
    std::lock_guard lock(m_mutex);
    VelquorDownloadModelList models;
    if (!m_database)
        return models;
    try {
        SQLite::Statement statement(*m_database, sqlTemplate.arg(table).toStdString());
        bindAll(statement, values);
        while (statement.executeStep())
            models.append(VelquorDownloadModel::fromRow(statement));
    } catch (const SQLite::Exception &error) {
        if (isUnreadable(error))
            announceUnavailable(databaseFilePath());
        return {};
    } catch (const std::exception &) {
        return {};
    }
    return models;
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::queryLast(const QString &sqlTemplate, const QString &table,
                                                                  const QList<QVariant> &values)
{
    const VelquorDownloadModelList models = query(sqlTemplate, table, values);
    return models.isEmpty() ? nullptr : models.last();
}

bool VelquorDownloadDataBaseManager::insertInto(const QString &table, const VelquorDownloadModelPtr &model)
{
    if (!model)
        return false;
    // The values, then software, vehicle and url of the "not yet there" check.
    const RecordValues record = recordValues(*model);
    QList<QVariant> values(record.begin(), record.end());
    values << columnValues(record, {Software, Vehicle, Url});
    return execute(QString::fromLatin1(VelquorDatabase::InsertModel), table, values);
}

bool VelquorDownloadDataBaseManager::insertModel(const VelquorDownloadModelPtr &model)
{
    std::lock_guard lock(m_mutex);
    return insertInto(downloadTable(), model);
}

void VelquorDownloadDataBaseManager::postStateChangeNotification(const VelquorDownloadModelPtr &model)
{
    // Runs under the connection's lock, like the update that follows it.
    qint64 storedState = 0;
    try {
        SQLite::Statement statement(*m_database,
                                    sql(VelquorDatabase::SelectStoredState, downloadTable()).toStdString());
        bindAll(statement, {text(model->url())});
        while (statement.executeStep())
            storedState = statement.getColumn(0).getInt64();
    } catch (const std::exception &) {
        storedState = 0;
    }
    if (storedState != VelquorDownloadStateDownloaded && storedState != model->state())
        NotificationCenter::defaultCenter().post(QString::fromLatin1(VelquorDatabase::StateChangeNotification), model);
}

bool VelquorDownloadDataBaseManager::updateWithModel(const VelquorDownloadModelPtr &model, unsigned option)
{
    if (!model)
        return false;
    std::lock_guard lock(m_mutex);
    if (!m_database)
        return false;
    const QString table = downloadTable();
    const QList<QVariant> rowKeys = columnValues(*model, {Vehicle, Url});
    bool written = true;
    auto run = [&](const char *statement, QList<QVariant> values) {
        values << rowKeys;
        written = execute(QString::fromLatin1(statement), table, values) && written;
    };

    if (option & VelquorDownloadUpdateState) {
        postStateChangeNotification(model);
        run(VelquorDatabase::UpdateState, columnValues(*model, {State}));
    }
    if (option & VelquorDownloadUpdateStateTime)
        run(VelquorDatabase::UpdateLastStateTime, {i64(currentTimeMicroseconds())});
    if (option & VelquorDownloadUpdateResumeData)
        run(VelquorDatabase::UpdateResumeData, columnValues(*model, {ResumeData}));
    if (option & VelquorDownloadUpdateProgress)
        run(VelquorDatabase::UpdateProgress,
            columnValues(*model, {TmpFileSize, TotalFileSize, Progress, LastSpeedTime, IntervalFileSize, Speed}));
    if (option & VelquorDownloadUpdateAll) {
        postStateChangeNotification(model);
        run(VelquorDatabase::UpdateAll, wholeRecordValues(*model, false, currentTimeMicroseconds()));
    }
    if (option & VelquorDownloadUpdateAllWithZipPath) {
        postStateChangeNotification(model);
        run(VelquorDatabase::UpdateAllWithZipPath, wholeRecordValues(*model, true, currentTimeMicroseconds()));
    }
    return written;
}

bool VelquorDownloadDataBaseManager::deleteModelWithUrl(const QString &url)
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteWithUrl), downloadTable(), {text(url)});
}

bool VelquorDownloadDataBaseManager::deleteModelWithVehicle(const QString &vehicle)
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteWithVehicle), downloadTable(), {text(vehicle.toUpper())});
}

bool VelquorDownloadDataBaseManager::deleteModelWithName(const QString &vehicle, qint64 state)
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteWithVehicleAndState), downloadTable(),
                   {text(vehicle.toUpper()), i64(state)});
}

bool VelquorDownloadDataBaseManager::deleteModelWithSoftware(const QString &software)
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteWithSoftware), downloadTable(),
                   {text(software.toUpper())});
}

bool VelquorDownloadDataBaseManager::deleteAll()
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteAll), downloadTable(), {});
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getDateWithOption(int option)
{
    std::lock_guard lock(m_mutex);
    const QString table = downloadTable();
    switch (option) {
    case 0:
        return query(QString::fromLatin1(VelquorDatabase::SelectAll), table, {});
    case 1:
        return query(QString::fromLatin1(VelquorDatabase::SelectDownloading), table,
                     {i64(VelquorDownloadStateDownloading)});
    case 2:
        return query(QString::fromLatin1(VelquorDatabase::SelectWithState), table,
                     {i64(VelquorDownloadStateDownloaded)});
    case 3:
        return query(QString::fromLatin1(VelquorDatabase::SelectUnDownloaded), table,
                     {i64(VelquorDownloadStateDownloaded), i64(VelquorDownloadStateFailed)});
    case 4:
        return query(QString::fromLatin1(VelquorDatabase::SelectWithState), table, {i64(VelquorDownloadStateWaiting)});
    default:
        return {};
    }
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::getModelWithOption(int option, const QString &url)
{
    std::lock_guard lock(m_mutex);
    const QString table = downloadTable();
    switch (option) {
    case 5:
        return queryLast(QString::fromLatin1(VelquorDatabase::SelectWithUrl), table, {text(url)});
    case 6:
        return queryLast(QString::fromLatin1(VelquorDatabase::SelectWaitingModel), table,
                         {i64(VelquorDownloadStateWaiting)});
    case 7:
        return queryLast(QString::fromLatin1(VelquorDatabase::SelectLastDownloadingModel), table,
                         {i64(VelquorDownloadStateDownloading)});
    default:
        return nullptr;
    }
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getDateWithOption(int option, const QString &name)
{
    std::lock_guard lock(m_mutex);
    const QString table = downloadTable();
    switch (option) {
    case 8:
        return query(QString::fromLatin1(VelquorDatabase::SelectWithSoftware), table, {text(name.toUpper())});
    case 9:
        return query(QString::fromLatin1(VelquorDatabase::SelectWithVehicle), table, {text(name.toUpper())});
    default:
        return {};
    }
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::getModelWithOption(int option, const QString &url, qint64 state)
{
    if (option != 5)
        return nullptr;
    std::lock_guard lock(m_mutex);
    return queryLast(QString::fromLatin1(VelquorDatabase::SelectWithUrlAndState), downloadTable(),
                     {text(url), i64(state)});
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllCacheData()
{
    return getDateWithOption(0);
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllDownloadingData()
{
    return getDateWithOption(1);
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllDownloadedData()
{
    return getDateWithOption(2);
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllUnDownloadedData()
{
    return getDateWithOption(3);
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllWaitingData()
{
    return getDateWithOption(4);
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::getModelWithUrl(const QString &url)
{
    return getModelWithOption(5, url);
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::getModelWithUrl(const QString &url, qint64 state)
{
    return getModelWithOption(5, url, state);
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::getWaitingModel()
{
    return getModelWithOption(6, QString());
}

VelquorDownloadModelPtr VelquorDownloadDataBaseManager::getLastDownloadingModel()
{
    return getModelWithOption(7, QString());
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getModelWithName(const QString &software)
{
    return getDateWithOption(8, software);
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getModelWithVehicle(const QString &vehicle)
{
    return getDateWithOption(9, vehicle);
}

bool VelquorDownloadDataBaseManager::insertModelForInstall(const VelquorDownloadModelPtr &model)
{
    std::lock_guard lock(m_mutex);
    return insertInto(installTable(), model);
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllCacheDataForInstall()
{
    std::lock_guard lock(m_mutex);
    return query(QString::fromLatin1(VelquorDatabase::SelectAll), installTable(), {});
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllDataWithVehicleForInstall(const QString &vehicle)
{
    std::lock_guard lock(m_mutex);
    return query(QString::fromLatin1(VelquorDatabase::SelectWithVehicle), installTable(), {text(vehicle.toUpper())});
}

VelquorDownloadModelList VelquorDownloadDataBaseManager::getAllDataWithSoftwareForInstall(const QString &software)
{
    std::lock_guard lock(m_mutex);
    return query(QString::fromLatin1(VelquorDatabase::SelectWithSoftware), installTable(), {text(software.toUpper())});
}

bool VelquorDownloadDataBaseManager::deleteModelWithVehicleForInstall(const QString &vehicle)
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteWithVehicle), installTable(), {text(vehicle.toUpper())});
}

bool VelquorDownloadDataBaseManager::deleteModelWithSoftwareForInstall(const QString &software)
{
    std::lock_guard lock(m_mutex);
    return execute(QString::fromLatin1(VelquorDatabase::DeleteWithSoftware), installTable(),
                   {text(software.toUpper())});
}

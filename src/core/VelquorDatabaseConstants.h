#pragma once

// Names and statements of the download database. "%1" stands for the table suffix of the current
// device and account.

namespace VelquorDatabase {
inline constexpr const char *FileName = "Velquor.db";
inline constexpr const char *DownloadTable = "t_downloadFiles_%1";
inline constexpr const char *InstallTable = "t_installFinishFiles_%1";

inline constexpr const char *StateChangeNotification = "VelquorDownloadStateChangeNotification";
// Posted on the default centre just before other tables open (object: the database manager).
inline constexpr const char *TablesWillChangeNotification = "VelquorDownloadTablesWillChangeNotification";
// Posted on the workspace centre when the file cannot be opened or read (object: its path, a QString).
inline constexpr const char *UnavailableNotification = "VelquorDownloadDatabaseUnavailableNotification";

// Both tables share this column list (the download table and the install-finished table).
inline constexpr const char *CreateTable =
    "CREATE TABLE IF NOT EXISTS %1 (id integer PRIMARY KEY AUTOINCREMENT, software text, version text, "
    "language text, releaseVerion text, isUpdate integer, filePath text, sdPath text, updateInfo text, "
    "price double, vehicle text, zipPath text, vid text, url text, resumeData blob, progress float, "
    "state integer, totalFileSize integer, tmpFileSize integer, speed integer, lastSpeedTime double, "
    "intervalFileSize integer, lastStateTime integer, expectedContentLength integer, ratio float)";

inline constexpr const char *InsertModel =
    "INSERT INTO %1 (software, version, language, releaseVerion, isUpdate, filePath, sdPath, updateInfo, "
    "price, vehicle, zipPath, vid, url, resumeData, progress, state, totalFileSize, tmpFileSize, speed, "
    "lastSpeedTime, intervalFileSize, lastStateTime, expectedContentLength, ratio) "
    "SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ? "
    "WHERE NOT EXISTS (SELECT * FROM %1 WHERE software = ? and vehicle = ? and url = ?)";

inline constexpr const char *UpdateState = "UPDATE %1 SET state = ? WHERE vehicle = ? and url = ?";
inline constexpr const char *UpdateLastStateTime = "UPDATE %1 SET lastStateTime = ? WHERE vehicle = ? and url = ?";
inline constexpr const char *UpdateResumeData = "UPDATE %1 SET resumeData = ? WHERE vehicle = ? and url = ?";
inline constexpr const char *UpdateProgress =
    "UPDATE %1 SET tmpFileSize = ?, totalFileSize = ?, progress = ?, lastSpeedTime = ?, intervalFileSize = ?, "
    "speed = ? WHERE vehicle = ? and url = ?";
inline constexpr const char *UpdateAll =
    "UPDATE %1 SET software = ?, version = ?, language = ?, releaseVerion = ?, isUpdate = ?, filePath = ?, "
    "sdPath = ?, updateInfo = ?, price = ?, vehicle = ?, vid = ?, url = ?, resumeData = ?, totalFileSize = ?, "
    "tmpFileSize = ?, progress = ?, state = ?, lastSpeedTime = ?, intervalFileSize = ?, lastStateTime = ?, "
    "speed = ?, expectedContentLength = ?, ratio = ? WHERE vehicle = ? and url = ?";
inline constexpr const char *UpdateAllWithZipPath =
    "UPDATE %1 SET software = ?, version = ?, language = ?, releaseVerion = ?, isUpdate = ?, filePath = ?, "
    "sdPath = ?, updateInfo = ?, price = ?, vehicle = ?, vid = ?, url = ?, resumeData = ?, totalFileSize = ?, "
    "tmpFileSize = ?, progress = ?, state = ?, lastSpeedTime = ?, intervalFileSize = ?, lastStateTime = ?, "
    "speed = ?, zipPath = ?, expectedContentLength = ?, ratio = ? WHERE vehicle = ? and url = ?";
inline constexpr const char *SelectStoredState = "SELECT state FROM %1 WHERE url = ?";

inline constexpr const char *DeleteWithUrl = "DELETE FROM %1 WHERE url = ?";
inline constexpr const char *DeleteWithVehicle = "DELETE FROM %1 WHERE vehicle = ?";
inline constexpr const char *DeleteWithVehicleAndState = "DELETE FROM %1 WHERE vehicle = ? and state = ?";
inline constexpr const char *DeleteWithSoftware = "DELETE FROM %1 WHERE software = ?";
inline constexpr const char *DeleteAll = "DELETE FROM %1";

inline constexpr const char *SelectAll = "SELECT * FROM %1";
inline constexpr const char *SelectDownloading = "SELECT * FROM %1 WHERE state = ? order by lastStateTime desc";
inline constexpr const char *SelectWithState = "SELECT * FROM %1 WHERE state = ?";
inline constexpr const char *SelectUnDownloaded = "SELECT * FROM %1 WHERE state != 0 and state < ? or state = ?";
inline constexpr const char *SelectWithUrl = "SELECT * FROM %1 WHERE url = ?";
inline constexpr const char *SelectWaitingModel =
    "SELECT * FROM %1 WHERE state = ? and lastStateTime != 0 order by lastStateTime asc limit 0,1";
inline constexpr const char *SelectLastDownloadingModel =
    "SELECT * FROM %1 WHERE state = ? and lastStateTime != 0 order by lastStateTime desc limit 0,1";
inline constexpr const char *SelectWithSoftware = "SELECT * FROM %1 WHERE software = ?";
inline constexpr const char *SelectWithVehicle = "SELECT * FROM %1 WHERE vehicle = ?";
inline constexpr const char *SelectWithUrlAndState = "SELECT * FROM %1 WHERE url = ? AND state = ?";
} // namespace VelquorDatabase

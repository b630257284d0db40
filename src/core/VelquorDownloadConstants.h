#pragma once

// Names of the download manager: notifications, user defaults keys and its queue.

namespace VelquorDownload {
// Posted on the workspace notification centre, on the download queue's thread.
inline constexpr const char *ProgressNotification = "VelquorDownloadProgressNotification";
inline constexpr const char *RequestCompleteNotification = "VelquorDownloadRequestCompleteNotification";
inline constexpr const char *RequestErrorNotification = "VelquorDownloadRequestErrorNotification";
// In the error notification's userInfo, true when the vehicle stopped because the database refused
// to record its download (its row is shown paused; a press goes on once the database takes writes).
inline constexpr const char *NotRecordedKey = "notRecorded";

// Observed on the workspace notification centre (object: the new value).
inline constexpr const char *MaxConcurrentCountChangeNotification =
    "VelquorDownloadMaxConcurrentCountChangeNotification";
inline constexpr const char *AllowsCellularAccessChangeNotification =
    "VelquorDownloadAllowsCellularAccessChangeNotification";

// User defaults.
inline constexpr const char *MaxConcurrentCountKey = "VelquorDownloadMaxConcurrentCountKey";
inline constexpr const char *AllowsCellularAccessKey = "VelquorDownloadAllowsCellularAccessKey";

inline constexpr const char *QueueLabel = "com.ostrelle.Velquor.downloadSession";
inline constexpr const char *FilesQueueLabel = "com.ostrelle.Velquor.downloadFiles";

// Received bytes wait beside the archive under this suffix until the transfer is complete.
inline constexpr const char *PartialFileSuffix = ".download";
} // namespace VelquorDownload

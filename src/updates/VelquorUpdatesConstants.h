#pragma once

#include <QString>

// Names the updates page uses: its queues, the notifications it observes, settings it writes and
// the identifiers of its views.
namespace VelquorUpdates {

// Queues, made once and kept on the shared download manager (clean-up: on its own shared queue).
inline const QString kDecompressQueueLabel = QStringLiteral("com.ostrelle.Velquor.decompress");
inline const QString kGetContentLengthQueueLabel = QStringLiteral("com.ostrelle.Velquor.getContentLength");
inline const QString kReloadSDCardQueueLabel = QStringLiteral("com.ostrelle.Velquor.reloadSDCard");
inline const QString kDeleteCacheQueueLabel = QStringLiteral("com.ostrelle.Velquor.deleteCache");

// Posted on the workspace centre when software or a vehicle was removed from the card.
inline const QString kDeleteSofoNotification = QStringLiteral("VelquorDeleteSofoNotification");
inline const QString kDeleteCarInfoNotification = QStringLiteral("VelquorDeleteCarInfoNotification");

// Written by every clean-up (the download manager reads the first two when it is made).
inline const QString kProjectOnceKey = QStringLiteral("VelquorProjectOnceKey");
inline constexpr int kDefaultMaxConcurrentCount = 3;

// Reuse identifier of the rows, object name of the help button's blinking.
inline const QString kRowViewIdentifier = QStringLiteral("RowViewIdentifier");
inline const QString kHelpBlinkAnimation = QStringLiteral("AnimationHidden");

// Software names with a meaning of their own in the rows.
inline const QString kInstallerSoftware = QStringLiteral("MAC_UPDATETOOLS");
inline const QString kOperatingSoftware = QStringLiteral("OS-SOFTWARE");

// Pictures.
inline const QString kHelpImage = QStringLiteral("help");
inline const QString kHelpPictureImage = QStringLiteral("sdCard");
inline const QString kInformationImage = QStringLiteral("Information");
inline const QString kIvecoVehicle = QStringLiteral("IVECO");
inline const QString kIvecoImage = QStringLiteral("IMMO-IVECO");

inline constexpr double kFallbackRowHeight = 120.0;
// Seconds after which the newest speed sample counts as stale.
inline constexpr double kStaleSpeedSeconds = 2.0;

} // namespace VelquorUpdates

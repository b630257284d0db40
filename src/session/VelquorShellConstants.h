#pragma once

#include <QString>

// Names the shell shares between its screens: screen identifiers, the sign-up notification,
// the fixed window size and the service's forgot-password page.
namespace VelquorShell {

inline const QString kLoginViewControllerIdentifier = QStringLiteral("VelquorLoginViewController");
inline const QString kRegisteViewControllerIdentifier = QStringLiteral("VelquorRegisteViewController");
inline const QString kMainViewControllerIdentifier = QStringLiteral("VelquorMainViewController");

// Posted on the workspace centre (no object) when an account was created in the sign-up window.
inline const QString kRegisteSuccessNotification = QStringLiteral("VelquorRegisteSuccessNotification");
// Its user-info entries: the new account's name and password, handed to the login form in memory only.
inline const QString kRegisteAccountKey = QStringLiteral("account");
inline const QString kRegistePasswordKey = QStringLiteral("password");

inline constexpr int kWindowWidth = 1140;
inline constexpr int kWindowHeight = 724;

// Path of the password-reset page on the service's own host.
inline const QString kForgotPasswordPath = QStringLiteral("/sc/forgot.html");

inline const QString kAppIconImage = QStringLiteral("AppIcon");

// Software names with a meaning of their own in the update list.
inline const QString kInstallerSoftware = QStringLiteral("MAC_UPDATETOOLS");
inline const QString kOperatingSoftware = QStringLiteral("OS-SOFTWARE");
inline const QString kRetiredUpdateToolsSoftware = QStringLiteral("UPDATETOOLS");

// Vehicle names the service still sends under old spellings.
inline const QString kMaintenancePrefix = QStringLiteral("MAINTENANCE_");

// The entry of the append-version table used for products without an entry of their own.
inline const QString kOtherAppendVersions = QStringLiteral("other");

} // namespace VelquorShell

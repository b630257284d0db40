#pragma once

#include <QString>

// Saved state of the user and credential stores: user-defaults keys and the Documents files.
namespace VelquorUserStore {

inline const QString kUserAccountNameKey = QStringLiteral("VelquorUserAccountName");
inline const QString kRememberUserPasswordKey = QStringLiteral("VelquorRememberUserPassword");
inline const QString kUserInfoFileName = QStringLiteral("userInfo.data");
inline const QString kRegisteInfoFileName = QStringLiteral("registeInfo.data");

} // namespace VelquorUserStore

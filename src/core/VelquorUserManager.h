#pragma once

#include "core/VelquorLoginResultModel.h"
#include "core/VelquorUserRegisteInfoModel.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// What the application remembers about its user: the last account name and the remember-password
// choice (user defaults), the signed-in user ("userInfo.data") and the accounts signed up on this
// computer ("registeInfo.data"), both keyed archives in Documents, replaced atomically and readable
// only by the owner. Nothing is kept in memory; every call goes to the defaults or the files.
class VelquorUserManager
{
public:
    static VelquorUserManager &sharedManager();

    // Stores a non-empty account name; an empty one changes nothing.
    void saveAccountName(const QString &accountName);
    // The stored account name, or "(null)" when none is stored.
    QString getAccountName() const;
    // YES when the remember-password value reads as the integer 1.
    bool autoLogin() const;

    bool saveUserInfo(const VelquorLoginResultModel &userInfo);
    // Absent when the file is missing or does not hold a signed-in user.
    std::shared_ptr<VelquorLoginResultModel> getUserInfo() const;

    // Replaces the records with the same login_name (exact text), else appends. The password never
    // goes into the file: it is kept in the keyring under the account name instead.
    bool saveUserRegInfo(const VelquorUserRegisteInfoModel &registeInfo);
    // Absent when the file is missing or does not hold a list of sign-up records.
    std::optional<QList<VelquorUserRegisteInfoModel>> getUserRegInfos() const;

    static QString userInfoPath();
    static QString registeInfoPath();
};

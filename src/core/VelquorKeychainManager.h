#pragma once

#include <QString>

#include <optional>

// The remembered password of an account, one Secret Service item per account (service and account
// both the account name). Calls block on the Secret Service.
class VelquorKeychainManager
{
public:
    // The attributes that name an account's item.
    struct Identifier
    {
        QString service;
        QString account;
    };

    static VelquorKeychainManager &sharedManager();

    static Identifier keyChainIdentifier(const QString &identifier);
    // Replaces any item of the account by one holding the password; YES when stored.
    bool saveDataForKeyChain(const QString &password, const QString &identifier);
    // The stored password; absent when there is none or the keyring cannot be read.
    std::optional<QString> readDataFromKeyChain(const QString &identifier);
    // Replaces the value of the account's existing item; NO when there is none.
    bool keyChainUpdate(const QString &password, const QString &identifier);
    bool deleteFromKeyChain(const QString &identifier);
};

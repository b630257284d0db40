#pragma once

#include <QString>

#include <optional>

// Generic passwords in the Secret Service (schema "com.ostrelle.Velquor.Password",
// attributes "service" and "account"). Calls block; use them off the GUI thread when they may be slow.
class Keyring
{
public:
    // Replaces any item with the same service and account.
    static bool store(const QString &service, const QString &account, const QString &secret,
                      const QString &label = {});
    static std::optional<QString> lookup(const QString &service, const QString &account);
    // True when no item is left (also when there was none).
    static bool remove(const QString &service, const QString &account);
    // Number of items stored for the pair (tests check that a replace leaves one).
    static int count(const QString &service, const QString &account);
};

#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class DispatchQueue;
class QObject;

// The remembered password of an account, one Secret Service item per account (service and account
// both the account name). The plain calls block on the Secret Service, which may stall or prompt to
// unlock the keyring; the GUI thread and the service's answers use the calls on the keychain's own
// serial queue instead, which keep their order (a read finds a password stored before it). Quitting
// does not wait for that queue: a call the keyring never answers ends with the process.
class VelquorKeychainManager
{
public:
    // The attributes that name an account's item.
    struct Identifier
    {
        QString service;
        QString account;
    };

    // What keeps the items: the Secret Service unless a stand-in takes its place (tests).
    class Store
    {
    public:
        virtual ~Store() = default;
        virtual bool store(const QString &service, const QString &account, const QString &secret) = 0;
        virtual std::optional<QString> lookup(const QString &service, const QString &account) = 0;
        virtual bool remove(const QString &service, const QString &account) = 0;
        virtual int count(const QString &service, const QString &account) = 0;
    };

    VelquorKeychainManager();
    ~VelquorKeychainManager();
    VelquorKeychainManager(const VelquorKeychainManager &) = delete;
    VelquorKeychainManager &operator=(const VelquorKeychainManager &) = delete;

    static VelquorKeychainManager &sharedManager();

    // Null puts the Secret Service back.
    void setStore(std::shared_ptr<Store> store);

    static Identifier keyChainIdentifier(const QString &identifier);
    // Replaces any item of the account by one holding the password; YES when stored.
    bool saveDataForKeyChain(const QString &password, const QString &identifier);
    // The stored password; absent when there is none or the keyring cannot be read.
    std::optional<QString> readDataFromKeyChain(const QString &identifier);
    // The same read on the keychain's own queue; `answer` runs on the GUI thread, and only while
    // `receiver` (an object of the GUI thread) still exists.
    void readDataFromKeyChain(const QString &identifier, QObject *receiver,
                              std::function<void(const std::optional<QString> &password)> answer);
    // The same store on the keychain's own queue; the caller goes on at once.
    void saveDataForKeyChainInBackground(const QString &password, const QString &identifier);
    // Replaces the value of the account's existing item; NO when there is none.
    bool keyChainUpdate(const QString &password, const QString &identifier);
    bool deleteFromKeyChain(const QString &identifier);
    // Waits until the calls queued so far have run (or never will: the queue has stopped); NO when
    // they still run after `timeoutMs`.
    bool waitForQueuedCalls(int timeoutMs);

private:
    std::shared_ptr<Store> currentStore();

    std::mutex m_mutex;
    std::shared_ptr<Store> m_store;
    std::unique_ptr<DispatchQueue> m_queue; // where the asynchronous reads wait for the keyring
};

#pragma once

#include "core/VelquorKeychainManager.h"

#include <QCoreApplication>
#include <QHash>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// A keyring in memory in place of the Secret Service, for screens that must not wait on it. Reads
// and stores can be held back as a locked keyring holds them until the user unlocks it; it notes
// every call made on the GUI thread. A held call lets itself through after a few seconds, so a
// screen that does wait on it fails its test instead of hanging.
class KeyringStandIn : public VelquorKeychainManager::Store
{
public:
    // The test's own changes to what the keyring holds (not counted as the application's calls).
    void keep(const QString &account, const QString &password)
    {
        std::lock_guard lock(m_mutex);
        m_items.insert(key(account, account), password);
    }
    void forget(const QString &account)
    {
        std::lock_guard lock(m_mutex);
        m_items.remove(key(account, account));
    }
    // A keyring that refuses to keep anything (none on the desktop, or locked for good).
    void refuseStores()
    {
        std::lock_guard lock(m_mutex);
        m_refusing = true;
    }
    void holdReads() { setHeld(m_holding, true); }
    void releaseReads() { setHeld(m_holding, false); }
    void holdStores() { setHeld(m_holdingStores, true); }
    void releaseStores() { setHeld(m_holdingStores, false); }

    int readsStarted() const { return locked(m_readsStarted); }
    int readsAnswered() const { return locked(m_readsAnswered); }
    int storesStarted() const { return locked(m_storesStarted); }
    int storesAnswered() const { return locked(m_storesAnswered); }
    bool calledOnGuiThread() const { return locked(m_calledOnGuiThread); }

    bool store(const QString &service, const QString &account, const QString &secret) override
    {
        std::unique_lock lock(m_mutex);
        note();
        ++m_storesStarted;
        m_released.wait_for(lock, std::chrono::seconds(4), [this] { return !m_holdingStores; });
        ++m_storesAnswered;
        if (m_refusing)
            return false;
        m_items.insert(key(service, account), secret);
        return true;
    }

    std::optional<QString> lookup(const QString &service, const QString &account) override
    {
        std::unique_lock lock(m_mutex);
        note();
        ++m_readsStarted;
        m_released.wait_for(lock, std::chrono::seconds(4), [this] { return !m_holding; });
        ++m_readsAnswered;
        const auto item = m_items.constFind(key(service, account));
        return item == m_items.cend() ? std::nullopt : std::optional<QString>(*item);
    }

    bool remove(const QString &service, const QString &account) override
    {
        std::lock_guard lock(m_mutex);
        note();
        m_items.remove(key(service, account));
        return true;
    }

    int count(const QString &service, const QString &account) override
    {
        std::lock_guard lock(m_mutex);
        note();
        return m_items.contains(key(service, account)) ? 1 : 0;
    }

private:
    template <typename T>
    T locked(const T &value) const
    {
        std::lock_guard lock(m_mutex);
        return value;
    }
    void setHeld(bool &held, bool on)
    {
        {
            std::lock_guard lock(m_mutex);
            held = on;
        }
        m_released.notify_all();
    }
    static QString key(const QString &service, const QString &account) { return service + QChar(0) + account; }
    void note()
    {
        const auto *app = QCoreApplication::instance();
        if (app && QThread::currentThread() == app->thread())
            m_calledOnGuiThread = true;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    QHash<QString, QString> m_items;
    bool m_refusing = false;
    bool m_holding = false;
    bool m_holdingStores = false;
    int m_readsStarted = 0;
    int m_readsAnswered = 0;
    int m_storesStarted = 0;
    int m_storesAnswered = 0;
    bool m_calledOnGuiThread = false;
};

// Puts a stand-in in the shared keychain's place for one test, and the Secret Service back after.
struct ScopedKeyringStandIn
{
    std::shared_ptr<KeyringStandIn> keyring = std::make_shared<KeyringStandIn>();
    ScopedKeyringStandIn() { VelquorKeychainManager::sharedManager().setStore(keyring); }
    ~ScopedKeyringStandIn()
    {
        keyring->releaseReads();
        keyring->releaseStores();
        VelquorKeychainManager::sharedManager().setStore(nullptr);
    }
    ScopedKeyringStandIn(const ScopedKeyringStandIn &) = delete;
    ScopedKeyringStandIn &operator=(const ScopedKeyringStandIn &) = delete;
};

#include "VelquorKeychainManager.h"

#include "platform/DispatchQueue.h"
#include "platform/Keyring.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <semaphore>

namespace {

const QString kKeychainQueueLabel = QStringLiteral("com.ostrelle.Velquor.keychain");

class SecretServiceStore : public VelquorKeychainManager::Store
{
public:
    bool store(const QString &service, const QString &account, const QString &secret) override
    {
        return Keyring::store(service, account, secret);
    }
    std::optional<QString> lookup(const QString &service, const QString &account) override
    {
        return Keyring::lookup(service, account);
    }
    bool remove(const QString &service, const QString &account) override { return Keyring::remove(service, account); }
    int count(const QString &service, const QString &account) override { return Keyring::count(service, account); }
};

} // namespace

VelquorKeychainManager::VelquorKeychainManager()
    : m_store(std::make_shared<SecretServiceStore>()),
      m_queue(std::make_unique<DispatchQueue>(kKeychainQueueLabel, DispatchQueue::Kind::Serial,
                                              DispatchQueue::Shutdown::NoWait))
{}

VelquorKeychainManager::~VelquorKeychainManager() = default;

VelquorKeychainManager &VelquorKeychainManager::sharedManager()
{
    // Never destroyed: a keyring call may still wait when the process ends, and its queue must be
    // there whenever the keyring answers, static destruction included.
    static auto *manager = new VelquorKeychainManager;
    return *manager;
}

void VelquorKeychainManager::setStore(std::shared_ptr<Store> store)
{
    std::lock_guard lock(m_mutex);
    m_store = store ? std::move(store) : std::make_shared<SecretServiceStore>();
}

std::shared_ptr<VelquorKeychainManager::Store> VelquorKeychainManager::currentStore()
{
    std::lock_guard lock(m_mutex);
    return m_store;
}

VelquorKeychainManager::Identifier VelquorKeychainManager::keyChainIdentifier(const QString &identifier)
{
    return Identifier{identifier, identifier};
}

bool VelquorKeychainManager::saveDataForKeyChain(const QString &password, const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    // The Secret Service replaces an item with the same attributes, so one item remains; storing
    // without removing first never leaves a moment (or a failed store) with no password at all.
    return currentStore()->store(item.service, item.account, password);
}

std::optional<QString> VelquorKeychainManager::readDataFromKeyChain(const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    return currentStore()->lookup(item.service, item.account);
}

void VelquorKeychainManager::readDataFromKeyChain(const QString &identifier, QObject *receiver,
                                                  std::function<void(const std::optional<QString> &)> answer)
{
    const QPointer<QObject> guard(receiver);
    // The work holds everything it uses: it may run after the process began to end.
    m_queue->async([store = currentStore(), item = keyChainIdentifier(identifier), guard, answer = std::move(answer)] {
        const std::optional<QString> password = store->lookup(item.service, item.account);
        DispatchQueue::main().async([guard, answer, password] {
            if (guard)
                answer(password);
        });
    });
}

void VelquorKeychainManager::saveDataForKeyChainInBackground(const QString &password, const QString &identifier)
{
    m_queue->async([store = currentStore(), item = keyChainIdentifier(identifier), password] {
        store->store(item.service, item.account, password);
    });
}

bool VelquorKeychainManager::keyChainUpdate(const QString &password, const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    const std::shared_ptr<Store> store = currentStore();
    if (store->count(item.service, item.account) == 0)
        return false;
    return store->store(item.service, item.account, password);
}

bool VelquorKeychainManager::deleteFromKeyChain(const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    return currentStore()->remove(item.service, item.account);
}

bool VelquorKeychainManager::waitForQueuedCalls(int timeoutMs)
{
    // The marker signals when the queue lets go of it: after running behind the earlier calls, or at
    // once when the queue has stopped and drops it. It is shared with the queue, so a give-up here
    // leaves it nothing dangling.
    const auto done = std::make_shared<std::binary_semaphore>(0);
    auto marker = std::shared_ptr<void>(nullptr, [done](void *) { done->release(); });
    m_queue->async([marker = std::move(marker)] {});
    return done->try_acquire_for(std::chrono::milliseconds(timeoutMs));
}

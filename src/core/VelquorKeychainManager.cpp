#include "VelquorKeychainManager.h"

#include "platform/Keyring.h"

VelquorKeychainManager &VelquorKeychainManager::sharedManager()
{
    static VelquorKeychainManager manager;
    return manager;
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
    return Keyring::store(item.service, item.account, password);
}

std::optional<QString> VelquorKeychainManager::readDataFromKeyChain(const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    return Keyring::lookup(item.service, item.account);
}

bool VelquorKeychainManager::keyChainUpdate(const QString &password, const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    if (Keyring::count(item.service, item.account) == 0)
        return false;
    return Keyring::store(item.service, item.account, password);
}

bool VelquorKeychainManager::deleteFromKeyChain(const QString &identifier)
{
    const Identifier item = keyChainIdentifier(identifier);
    return Keyring::remove(item.service, item.account);
}

#include "core/VelquorKeychainManager.h"
#include "platform/Keyring.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(VelquorKeychainManager, SavingTwiceLeavesOneItemWithTheSecondValue)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no Secret Service on this session bus";
    VelquorKeychainManager keychain;
    const QString account = QStringLiteral("velquor-test-%1").arg(QCoreApplication::applicationPid());
    EXPECT_FALSE(keychain.readDataFromKeyChain(account));
    EXPECT_FALSE(keychain.keyChainUpdate(QStringLiteral("x"), account));

    ASSERT_TRUE(keychain.saveDataForKeyChain(QStringLiteral("first"), account));
    ASSERT_TRUE(keychain.saveDataForKeyChain(QStringLiteral("second pässword"), account));
    EXPECT_EQ(Keyring::count(account, account), 1);
    EXPECT_EQ(keychain.readDataFromKeyChain(account), QStringLiteral("second pässword"));

    EXPECT_TRUE(keychain.keyChainUpdate(QStringLiteral("third"), account));
    EXPECT_EQ(keychain.readDataFromKeyChain(account), QStringLiteral("third"));
    EXPECT_TRUE(keychain.deleteFromKeyChain(account));
    EXPECT_FALSE(keychain.readDataFromKeyChain(account));
}

#include "support/KeyringStandIn.h"
#include "support/TestEnvironment.h"

#include "core/VelquorKeychainManager.h"
#include "platform/DispatchQueue.h"
#include "platform/Keyring.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Set in the child that a quit test runs in: a quit ends its process.
const char kQuitChildVariable[] = "VELQUOR_KEYCHAIN_QUIT_CHILD";

} // namespace

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

TEST(VelquorKeychainManager, QuittingLeavesAKeyringCallThatHasNotAnsweredAndDropsItsAnswer)
{
    if (!qEnvironmentVariableIsSet(kQuitChildVariable)) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kQuitChildVariable), QStringLiteral("1"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=VelquorKeychainManager."
                                    "QuittingLeavesAKeyringCallThatHasNotAnsweredAndDropsItsAnswer")});
        const bool ended = child.waitForFinished(60000);
        if (!ended)
            child.kill();
        const std::string output = QString::fromLocal8Bit(child.readAll()).toStdString();
        ASSERT_TRUE(ended) << "the process stayed for the keyring\n" << output;
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output;
        EXPECT_EQ(child.exitCode(), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return;
    }

    // A keyring waiting to be unlocked: a read of the login screen, and a store queued behind it.
    auto keyring = std::make_shared<KeyringStandIn>();
    keyring->keep(QStringLiteral("ada"), QStringLiteral("secret12"));
    keyring->holdReads();
    keyring->holdStores();
    VelquorKeychainManager &keychain = VelquorKeychainManager::sharedManager();
    keychain.setStore(keyring);
    QObject receiver;
    bool answered = false;
    keychain.readDataFromKeyChain(QStringLiteral("ada"), &receiver,
                                  [&answered](const std::optional<QString> &) { answered = true; });
    keychain.saveDataForKeyChainInBackground(QStringLiteral("secret13"), QStringLiteral("ada"));
    ASSERT_TRUE(waitUntil([&] { return keyring->readsStarted() == 1; }));

    // The window has closed: main() stops the queues as it returns.
    DispatchQueue::shutdownAll();
    DispatchQueue::main().shutdown();
    EXPECT_EQ(keyring->readsAnswered(), 0) << "the quit waited for the keyring";

    // The read answers late: its answer goes nowhere. The store behind it begins only once that
    // answer was handed on, and it is still waiting when the process ends.
    keyring->releaseReads();
    ASSERT_TRUE(waitUntil([&] { return keyring->storesStarted() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(answered);
    EXPECT_EQ(keyring->storesAnswered(), 0);
}

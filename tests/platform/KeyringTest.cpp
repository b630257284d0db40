#include "platform/Keyring.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// These talk to the real Secret Service; the test command provides one in a private D-Bus session.
class KeyringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no D-Bus session: run under dbus-run-session with gnome-keyring";
        service = QStringLiteral("com.ostrelle.Velquor.test.%1").arg(QCoreApplication::applicationPid());
    }

    void TearDown() override
    {
        if (!service.isEmpty()) {
            Keyring::remove(service, QStringLiteral("demo"));
            Keyring::remove(service, QStringLiteral("other"));
        }
    }

    QString service;
};

TEST_F(KeyringTest, StoresReplacesAndRemovesOneItemPerAccount)
{
    EXPECT_FALSE(Keyring::lookup(service, QStringLiteral("demo")).has_value());
    ASSERT_TRUE(Keyring::store(service, QStringLiteral("demo"), QStringLiteral("first pässword")));
    EXPECT_EQ(Keyring::lookup(service, QStringLiteral("demo")), QStringLiteral("first pässword"));

    ASSERT_TRUE(Keyring::store(service, QStringLiteral("demo"), QStringLiteral("second")));
    EXPECT_EQ(Keyring::count(service, QStringLiteral("demo")), 1);
    EXPECT_EQ(Keyring::lookup(service, QStringLiteral("demo")), QStringLiteral("second"));

    ASSERT_TRUE(Keyring::store(service, QStringLiteral("other"), QStringLiteral("third")));
    EXPECT_TRUE(Keyring::remove(service, QStringLiteral("demo")));
    EXPECT_FALSE(Keyring::lookup(service, QStringLiteral("demo")).has_value());
    EXPECT_EQ(Keyring::count(service, QStringLiteral("demo")), 0);
    EXPECT_EQ(Keyring::lookup(service, QStringLiteral("other")), QStringLiteral("third"));
    // Removing what is not there is no failure.
    EXPECT_TRUE(Keyring::remove(service, QStringLiteral("demo")));
}

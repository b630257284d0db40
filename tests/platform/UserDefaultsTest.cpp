#include "support/TestEnvironment.h"

#include "platform/UserDefaults.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

TEST(UserDefaultsTest, ValuesReachAFreshSettingsInstanceAndFlagsAreStoredAsIntegers)
{
    UserDefaults defaults;
    defaults.setValue(QStringLiteral("VelquorUserAccountName"), QStringLiteral("workshop"));
    defaults.setInteger(QStringLiteral("VelquorDownloadMaxConcurrentCountKey"), 3);
    defaults.setBool(QStringLiteral("VelquorRememberUserPassword"), true);
    defaults.setBool(QStringLiteral("VelquorDownloadAllowsCellularAccessKey"), false);

    QSettings fresh(QStringLiteral("Ostrelle"), QStringLiteral("Velquor"));
    EXPECT_EQ(fresh.value(QStringLiteral("VelquorUserAccountName")).toString(), QStringLiteral("workshop"));
    EXPECT_EQ(fresh.value(QStringLiteral("VelquorDownloadMaxConcurrentCountKey")).toInt(), 3);
    EXPECT_EQ(fresh.value(QStringLiteral("VelquorRememberUserPassword")).toString(), QStringLiteral("1"));
    EXPECT_EQ(fresh.value(QStringLiteral("VelquorDownloadAllowsCellularAccessKey")).toString(), QStringLiteral("0"));

    // The file lives in the private HOME and holds the flags as 0 and 1, not "true"/"false".
    QFile file(fresh.fileName());
    ASSERT_TRUE(file.fileName().startsWith(testHome()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("VelquorRememberUserPassword=1"));
    EXPECT_TRUE(text.contains("VelquorDownloadAllowsCellularAccessKey=0"));

    UserDefaults other;
    EXPECT_TRUE(other.boolValue(QStringLiteral("VelquorRememberUserPassword")));
    EXPECT_FALSE(other.boolValue(QStringLiteral("VelquorDownloadAllowsCellularAccessKey")));
    EXPECT_EQ(other.integer(QStringLiteral("VelquorDownloadMaxConcurrentCountKey")), 3);
    EXPECT_EQ(other.string(QStringLiteral("VelquorUserAccountName")), QStringLiteral("workshop"));
}

TEST(UserDefaultsTest, ReadsLenientlyAndRemoves)
{
    UserDefaults &defaults = UserDefaults::standard();
    EXPECT_FALSE(defaults.contains(QStringLiteral("VelquorProjectOnceKey")));
    EXPECT_EQ(defaults.integer(QStringLiteral("VelquorProjectOnceKey")), 0);
    EXPECT_FALSE(defaults.boolValue(QStringLiteral("VelquorProjectOnceKey")));

    // Written by hand or by an older build.
    QSettings settings(QStringLiteral("Ostrelle"), QStringLiteral("Velquor"));
    settings.setValue(QStringLiteral("a"), QStringLiteral("true"));
    settings.setValue(QStringLiteral("b"), QStringLiteral("YES"));
    settings.setValue(QStringLiteral("c"), QStringLiteral("no"));
    settings.setValue(QStringLiteral("d"), QStringLiteral("12x"));
    settings.sync();
    EXPECT_TRUE(defaults.boolValue(QStringLiteral("a")));
    EXPECT_TRUE(defaults.boolValue(QStringLiteral("b")));
    EXPECT_FALSE(defaults.boolValue(QStringLiteral("c")));
    EXPECT_EQ(defaults.integer(QStringLiteral("d")), 0);

    defaults.remove(QStringLiteral("a"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("a")));
    QSettings after(QStringLiteral("Ostrelle"), QStringLiteral("Velquor"));
    EXPECT_FALSE(after.contains(QStringLiteral("a")));
}

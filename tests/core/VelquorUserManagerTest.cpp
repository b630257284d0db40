#include "core/VelquorUserManager.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorUserStoreConstants.h"
#include "platform/UserDefaults.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QJsonDocument>
#include <QObject>

#include <gtest/gtest.h>

namespace {

bool secretServiceAvailable()
{
    return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
}

bool readableOnlyByOwner(const QString &path)
{
    return QFile::permissions(path) ==
           (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
}

VelquorUserRegisteInfoModel signUp(const QString &name, const QString &email)
{
    VelquorUserRegisteInfoModel record;
    record.setLogin_name(name);
    record.setPwd(QStringLiteral("secret12"));
    record.setEmail(email);
    record.setIs_receive_email(true);
    return record;
}

} // namespace

TEST(VelquorUserManager, FreshInstallationRemembersNothing)
{
    VelquorUserManager users;
    EXPECT_EQ(users.getAccountName(), QStringLiteral("(null)"));
    EXPECT_FALSE(users.autoLogin());
    EXPECT_FALSE(users.getUserInfo());
    EXPECT_FALSE(users.getUserRegInfos());

    users.saveAccountName(QString());
    EXPECT_EQ(users.getAccountName(), QStringLiteral("(null)"));
    users.saveAccountName(QStringLiteral("demo"));
    EXPECT_EQ(users.getAccountName(), QStringLiteral("demo"));
}

TEST(VelquorUserManager, RememberFlagCountsOnlyAsOne)
{
    VelquorUserManager users;
    UserDefaults::standard().setBool(VelquorUserStore::kRememberUserPasswordKey, true);
    EXPECT_TRUE(users.autoLogin());
    UserDefaults::standard().setInteger(VelquorUserStore::kRememberUserPasswordKey, 2);
    EXPECT_FALSE(users.autoLogin());
    UserDefaults::standard().setBool(VelquorUserStore::kRememberUserPasswordKey, false);
    EXPECT_FALSE(users.autoLogin());
}

TEST(VelquorUserManager, SignedInUserRoundTripAndCorruptFile)
{
    VelquorUserManager users;
    VelquorLoginResultModel login;
    login.setMsgCode(1);
    login.setUserReName(QStringLiteral("demo"));
    login.setRight(true);
    ASSERT_TRUE(users.saveUserInfo(login));
    EXPECT_TRUE(readableOnlyByOwner(VelquorUserManager::userInfoPath()));

    const auto user = users.getUserInfo();
    ASSERT_TRUE(user);
    EXPECT_EQ(user->userReName(), QStringLiteral("demo"));
    EXPECT_TRUE(user->isRight());

    QFile file(VelquorUserManager::userInfoPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"archive\":1,\"root\":{\"$class\":\"VelquorProductInfoModel\"}}");
    file.close();
    EXPECT_FALSE(users.getUserInfo());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01garbage");
    file.close();
    EXPECT_FALSE(users.getUserInfo());
}

TEST(VelquorUserManager, SignUpRecordsAreUpsertedWithoutPasswords)
{
    if (!secretServiceAvailable())
        GTEST_SKIP() << "no Secret Service on this session bus";
    VelquorUserManager users;
    ASSERT_TRUE(users.saveUserRegInfo(signUp(QStringLiteral("alice"), QStringLiteral("a1@example.com"))));
    ASSERT_TRUE(users.saveUserRegInfo(signUp(QStringLiteral("bob"), QStringLiteral("b@example.com"))));
    ASSERT_TRUE(users.saveUserRegInfo(signUp(QStringLiteral("alice"), QStringLiteral("a2@example.com"))));

    const auto records = users.getUserRegInfos();
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2);
    EXPECT_EQ(records->at(0).login_name(), QStringLiteral("alice"));
    EXPECT_EQ(records->at(0).email(), QStringLiteral("a2@example.com"));
    EXPECT_EQ(records->at(1).login_name(), QStringLiteral("bob"));
    EXPECT_TRUE(records->at(0).pwd().isNull());
    EXPECT_TRUE(records->at(0).is_receive_email());

    QFile file(VelquorUserManager::registeInfoPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("secret12"));
    EXPECT_TRUE(readableOnlyByOwner(file.fileName()));
    // The keyring keeps the password on its own queue; a read queued there comes after the stores.
    QObject receiver;
    std::optional<std::optional<QString>> kept;
    VelquorKeychainManager::sharedManager().readDataFromKeyChain(
        QStringLiteral("alice"), &receiver, [&kept](const std::optional<QString> &password) { kept = password; });
    ASSERT_TRUE(waitUntil([&] { return kept.has_value(); }));
    EXPECT_EQ(*kept, QStringLiteral("secret12"));
    VelquorKeychainManager::sharedManager().deleteFromKeyChain(QStringLiteral("alice"));
    VelquorKeychainManager::sharedManager().deleteFromKeyChain(QStringLiteral("bob"));
}

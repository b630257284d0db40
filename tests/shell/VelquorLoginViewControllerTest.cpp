#include "ShellScreenFixture.h"

#include "support/KeyringStandIn.h"

#include "controls/VelquorSecureTextField.h"
#include "core/VelquorHTTPSessionManager.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorUserManager.h"
#include "core/VelquorUserStoreConstants.h"
#include "platform/UserDefaults.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "shell/VelquorWindow.h"
#include "shell/VelquorWindowController.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonObject>
#include <QScreen>
#include <QTest>

using namespace shelltest;

namespace {

// MD5 of "demo1234", lower-case hexadecimal.
const QString kDemoPasswordDigest = QStringLiteral("6e9bece1914809fb8493146417e722f6");

class LoginScreen : public ShellScreenFixture
{
protected:
    // Starts the application's window afresh, as a new launch would.
    VelquorLoginViewController *launch()
    {
        controller = std::make_unique<VelquorWindowController>();
        controller->windowDidLoad();
        EXPECT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        return login();
    }

    VelquorLoginViewController *login() const
    {
        return qobject_cast<VelquorLoginViewController *>(controller->window()->contentViewController());
    }

    QLineEdit *passwordInput() const { return login()->passwordField()->secureTextField(); }

    void type(const QString &account, const QString &password)
    {
        QTest::keyClicks(login()->accountField(), account);
        QTest::keyClicks(passwordInput(), password);
    }

    // Return in the password field, with the window active again as the desktop makes it after a sheet.
    void pressReturn()
    {
        controller->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(controller->window()));
        QTest::keyClick(passwordInput(), Qt::Key_Return);
    }

    bool formEnabled() const
    {
        return login()->accountField()->isEnabled() && login()->passwordField()->isEnabled() &&
               login()->rememberButton()->isEnabled() && login()->loginButton()->isEnabled() &&
               login()->registeButton()->isEnabled() && login()->loginButton()->text() == text("Login5");
    }

    bool reachedMainView() const
    {
        return waitUntil(
            [&] { return qobject_cast<VelquorMainViewController *>(controller->window()->contentViewController()); },
            10000);
    }

    std::unique_ptr<VelquorWindowController> controller;
};

} // namespace

TEST_F(LoginScreen, StartsInAFramelessFixedCentredWindow)
{
    VelquorLoginViewController *screen = launch();
    VelquorWindow *window = controller->window();
    ASSERT_TRUE(screen);
    EXPECT_EQ(window->size(), QSize(1140, 724));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const QRect area = window->screen()->availableGeometry();
    EXPECT_EQ(window->pos(), area.topLeft() + QPoint((area.width() - 1140) / 2, (area.height() - 724) / 2));
    EXPECT_EQ(screen->objectName(), "VelquorLoginViewController");
    for (const char *outlet : {"titleBarView", "loginBackgroundImageView", "rememberButton", "forgetPasswordButton",
                               "loginButton", "registeButton", "accountField", "passwordField"})
        EXPECT_TRUE(screen->findChild<QWidget *>(outlet)) << outlet;
    EXPECT_TRUE(formEnabled());
}

TEST_F(LoginScreen, ReturnSignsInWithTheDigestAndSwitchesToTheMainView)
{
    launch();
    QPointer<VelquorLoginViewController> screen = login();
    type("demo", "demo1234");
    pressReturn();
    EXPECT_FALSE(screen->loginButton()->isEnabled());
    EXPECT_EQ(screen->loginButton()->text(), text("Login8"));
    ASSERT_TRUE(reachedMainView());

    const auto requests = requestsTo("UserLogin");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].formKey, "information");
    EXPECT_EQ(requests[0].json.toObject(),
              (QJsonObject{{"OstrelleUserLoginName", "demo"}, {"OstrelleUserPassWods", kDemoPasswordDigest}}));
    EXPECT_TRUE(messages.isEmpty());

    const auto user = VelquorUserManager::sharedManager().getUserInfo();
    ASSERT_TRUE(user);
    EXPECT_EQ(user->userReName(), "demo");
    EXPECT_EQ(VelquorUserManager::sharedManager().getAccountName(), "demo");
    // The box was off: the choice is saved as NO, the password kept all the same.
    EXPECT_TRUE(UserDefaults::standard().contains(VelquorUserStore::kRememberUserPasswordKey));
    EXPECT_FALSE(VelquorUserManager::sharedManager().autoLogin());
    if (hasSecretService()) {
        // Kept on the keychain's own queue, which the main view does not wait for.
        EXPECT_TRUE(waitUntil(
            [] { return VelquorKeychainManager::sharedManager().readDataFromKeyChain("demo") == "demo1234"; }));
    }

    EXPECT_TRUE(waitUntil([&] { return screen.isNull(); })); // the login screen is released
    EXPECT_EQ(controller->window()->size(), QSize(1140, 724));
}

TEST_F(LoginScreen, EmptyAndBlankFieldsAreCaughtBeforeAnythingIsSent)
{
    launch();
    struct Case
    {
        QString account;
        QString password;
        QString messageKey; // empty: nothing shown
    };
    const Case cases[] = {
        {"", "demo1234", "LoginHint1"}, {"", "", "LoginHint1"}, {"demo", "", "LoginHint2"},
        {"  ", "demo1234", ""},         {"demo", " \t", ""},
    };
    for (const Case &c : cases) {
        messages.clear();
        login()->accountField()->setText(c.account);
        passwordInput()->setText(c.password);
        pressReturn();
        // A sheet comes up on a later turn of the event loop, later still on a loaded machine.
        if (c.messageKey.isEmpty())
            waitUntil([] { return false; }, 50);
        else
            waitUntil([&] { return !messages.isEmpty(); }, 5000);
        EXPECT_EQ(messages, c.messageKey.isEmpty() ? QStringList() : QStringList{text(c.messageKey)})
            << c.account.toStdString() << "/" << c.password.toStdString();
        EXPECT_TRUE(formEnabled());
    }
    EXPECT_TRUE(requestsTo("UserLogin").empty());
    EXPECT_FALSE(UserDefaults::standard().contains(VelquorUserStore::kUserAccountNameKey));
}

TEST_F(LoginScreen, RefusedSignInStaysBusyUntilItsMessageIsDismissed)
{
    answerAlerts = false;
    launch();
    type("demo", "wrong-password");
    login()->loginButton()->click();
    ASSERT_TRUE(waitUntil([&] { return !shownAlerts.isEmpty(); }, 10000));
    EXPECT_EQ(messages, QStringList{text("LoginHint3")});
    EXPECT_FALSE(formEnabled());
    EXPECT_EQ(login()->loginButton()->text(), text("Login8"));

    shownAlerts.first()->done(VelquorAlert::OKReturnCode);
    EXPECT_TRUE(waitUntil([&] { return formEnabled(); }));
    EXPECT_TRUE(qobject_cast<VelquorLoginViewController *>(controller->window()->contentViewController()));
    EXPECT_FALSE(VelquorUserManager::sharedManager().getUserInfo());
}

TEST_F(LoginScreen, AnyCodeButOneIsARefusal)
{
    launch();
    server.setOperation("UserLogin", [](const standin::LoggedRequest &) {
        return QByteArray(R"({"MSG_CODE":-1,"MSG_INFO":"PARAMETER_ERROR"})");
    });
    type("demo", "demo1234");
    pressReturn();
    ASSERT_TRUE(waitUntil([&] { return !messages.isEmpty() && formEnabled(); }, 10000));
    EXPECT_EQ(messages, QStringList{text("LoginHint3")});
}

TEST_F(LoginScreen, AServiceThatCannotBeReachedOrReadIsToldAndTheFormComesBack)
{
    answerAlerts = false;
    launch();
    type("demo", "demo1234");
    VelquorHTTPSessionManager::sharedManager().setTimeoutInterval(300);
    auto fault = [](standin::Fault::Kind kind) {
        standin::Fault f;
        f.kind = kind;
        f.status = 503;
        f.stallMs = 3000;
        return f;
    };
    struct Case
    {
        const char *name;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"unavailable",
         [&] { server.setFault("/webs/WebService.asmx/UserLogin", fault(standin::Fault::Kind::Status)); }},
        {"garbage", [&] { server.setFault("/webs/WebService.asmx/UserLogin", fault(standin::Fault::Kind::Garbage)); }},
        {"time-out", [&] { server.setFault("/webs/WebService.asmx/UserLogin", fault(standin::Fault::Kind::Stall)); }},
        {"refused", [&] { server.stop(); }},
    };
    for (const Case &c : cases) {
        messages.clear();
        shownAlerts.clear();
        c.arrange();
        pressReturn();
        ASSERT_TRUE(waitUntil([&] { return !shownAlerts.isEmpty(); }, 10000)) << c.name;
        EXPECT_EQ(messages, QStringList{text("LoginHint4")}) << c.name;
        EXPECT_FALSE(formEnabled()) << c.name << ": busy until the message is dismissed";
        shownAlerts.first()->done(VelquorAlert::OKReturnCode);
        EXPECT_TRUE(waitUntil([&] { return formEnabled(); })) << c.name;
        EXPECT_TRUE(login()) << c.name;
    }
    VelquorHTTPSessionManager::sharedManager().setTimeoutInterval(60 * 1000);
}

TEST_F(LoginScreen, TheRememberBoxDecidesWhatTheNextLaunchFillsIn)
{
    if (!hasSecretService())
        GTEST_SKIP() << "no Secret Service on this session bus";
    launch();
    EXPECT_FALSE(login()->rememberButton()->isChecked());
    type("demo", "demo1234");
    QTest::mouseClick(login()->rememberButton(), Qt::LeftButton, {},
                      QPoint(9, login()->rememberButton()->height() / 2));
    ASSERT_TRUE(login()->rememberButton()->isChecked());
    pressReturn();
    ASSERT_TRUE(reachedMainView());

    launch();
    EXPECT_TRUE(login()->rememberButton()->isChecked());
    EXPECT_EQ(login()->accountField()->text(), "demo");
    EXPECT_TRUE(waitUntil([&] { return passwordInput()->text() == "demo1234"; }));

    login()->rememberButton()->setChecked(false);
    pressReturn();
    ASSERT_TRUE(reachedMainView());

    launch();
    EXPECT_FALSE(login()->rememberButton()->isChecked());
    EXPECT_EQ(login()->accountField()->text(), "demo");
    EXPECT_TRUE(passwordInput()->text().isEmpty());
}

TEST_F(LoginScreen, ARememberedAccountWithoutAKeyringItemLeavesThePasswordEmpty)
{
    const QString account = QStringLiteral("nobody-%1").arg(QCoreApplication::applicationPid());
    VelquorUserManager::sharedManager().saveAccountName(account);
    UserDefaults::standard().setBool(VelquorUserStore::kRememberUserPasswordKey, true);
    launch();
    EXPECT_TRUE(login()->rememberButton()->isChecked());
    EXPECT_EQ(login()->accountField()->text(), account);
    EXPECT_TRUE(passwordInput()->text().isEmpty());
}

TEST_F(LoginScreen, TheRememberedPasswordComesFromTheKeyringWhileTheScreenGoesOn)
{
    ScopedKeyringStandIn standIn;
    KeyringStandIn &keyring = *standIn.keyring;
    keyring.keep("demo", "demo1234");
    VelquorUserManager::sharedManager().saveAccountName("demo");
    UserDefaults::standard().setBool(VelquorUserStore::kRememberUserPasswordKey, true);

    // A keyring waiting to be unlocked: the screen is up and usable meanwhile.
    keyring.holdReads();
    launch();
    ASSERT_TRUE(waitUntil([&] { return keyring.readsStarted() == 1; }));
    EXPECT_EQ(keyring.readsAnswered(), 0) << "the screen waited for the keyring";
    EXPECT_TRUE(formEnabled());
    EXPECT_TRUE(passwordInput()->text().isEmpty());
    keyring.releaseReads();
    EXPECT_TRUE(waitUntil([&] { return passwordInput()->text() == "demo1234"; }));

    // A password typed before the keyring answers is the one that stays.
    keyring.holdReads();
    launch();
    ASSERT_TRUE(waitUntil([&] { return keyring.readsStarted() == 2; }));
    QTest::keyClicks(passwordInput(), "typed-first");
    keyring.releaseReads();
    ASSERT_TRUE(waitUntil([&] { return keyring.readsAnswered() == 2; }));
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(passwordInput()->text(), "typed-first");
    EXPECT_FALSE(keyring.calledOnGuiThread());
}

TEST_F(LoginScreen, SignInGoesOnWhileTheKeyringIsStillKeepingThePassword)
{
    ScopedKeyringStandIn standIn;
    KeyringStandIn &keyring = *standIn.keyring;
    // A keyring waiting to be unlocked (a prompt nobody answers) when the password is to be kept.
    keyring.holdStores();
    launch();
    login()->accountField()->setText("demo");
    passwordInput()->setText("demo1234");
    pressReturn();
    ASSERT_TRUE(reachedMainView());
    ASSERT_TRUE(waitUntil([&] { return keyring.storesStarted() == 1; }));
    EXPECT_EQ(keyring.storesAnswered(), 0) << "the sign-in waited for the keyring";

    keyring.releaseStores();
    ASSERT_TRUE(waitUntil([&] { return keyring.storesAnswered() == 1; }));
    EXPECT_FALSE(keyring.calledOnGuiThread());
    EXPECT_EQ(keyring.lookup("demo", "demo"), "demo1234");
}

TEST_F(LoginScreen, ForgotPasswordOpensThePageOnTheServiceHost)
{
    QList<QUrl> opened;
    VelquorLoginViewController::setUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    launch();
    QTest::mouseClick(login()->forgetPasswordButton(), Qt::LeftButton);
    VelquorLoginViewController::setUrlOpener(nullptr);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:%1/sc/forgot.html").arg(server.port()))});
}

#include "ShellScreenFixture.h"

#include "support/KeyringStandIn.h"

#include "controls/VelquorHelpAlert.h"
#include "controls/VelquorSecureTextField.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorUserManager.h"
#include "session/VelquorShellConstants.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "shell/VelquorRegisteViewController.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorWindow.h"
#include "shell/VelquorWindowController.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfDocument>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace shelltest;

namespace {

class SignUpScreen : public ShellScreenFixture
{
public:
    // A valid form for the account `userID`.
    static void fill(VelquorRegisteViewController *s, const QString &userID);

protected:
    void SetUp() override
    {
        ShellScreenFixture::SetUp();
        window = std::make_unique<VelquorWindow>();
        window->setContentViewController(
            VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kRegisteViewControllerIdentifier));
        window->show();
    }

    VelquorRegisteViewController *screen() const
    {
        return qobject_cast<VelquorRegisteViewController *>(window->contentViewController());
    }

    void fillValid() { fill(screen(), "ada"); }

    std::unique_ptr<VelquorWindow> window;
};

void SignUpScreen::fill(VelquorRegisteViewController *s, const QString &userID)
{
    s->userIDField()->setText(userID);
    s->passwordField()->secureTextField()->setText("secret12");
    s->confirmPasswordField()->secureTextField()->setText("secret12");
    s->firstNameField()->setText("Ada");
    s->lastNameField()->setText("Lindqvist");
    s->addressField()->setText("Storgatan 1");
    s->provinceField()->setText("Uppsala län");
    s->cityField()->setText("Uppsala");
    s->countryField()->setText("Sweden");
    s->telephoneField()->setText("+46 18 555 0100");
    s->emailField()->setText("ada@example.org");
}

void setSecure(VelquorSecureField *field, const QString &value)
{
    field->secureTextField()->setText(value);
}

} // namespace

TEST_F(SignUpScreen, TheFirstBrokenRuleNamesTheMessageAndNothingIsSent)
{
    using Edit = std::function<void(VelquorRegisteViewController *)>;
    const QString thirtyOne(31, QLatin1Char('u'));
    struct Case
    {
        const char *what;
        Edit edit;
        QString key; // empty: the form is valid
    };
    const Case cases[] = {
        {"valid", [](auto *) {}, ""},
        {"no user ID", [](auto *s) { s->userIDField()->clear(); }, "RegisterHint1"},
        {"no confirmation", [](auto *s) { setSecure(s->confirmPasswordField(), ""); }, "RegisterHint1"},
        {"no country, long ID",
         [&](auto *s) {
             s->countryField()->clear();
             s->userIDField()->setText(thirtyOne);
         },
         "RegisterHint1"},
        {"no e-mail", [](auto *s) { s->emailField()->clear(); }, "RegisterHint1"},
        {"no telephone", [](auto *s) { s->telephoneField()->clear(); }, "RegisterHint1"},
        {"optional fields empty",
         [](auto *s) {
             s->addressField()->clear();
             s->provinceField()->clear();
             s->cityField()->clear();
         },
         ""},
        {"31-character ID, short password",
         [&](auto *s) {
             s->userIDField()->setText(thirtyOne);
             setSecure(s->passwordField(), "12345");
         },
         "RegisterHint4"},
        {"30-character ID", [](auto *s) { s->userIDField()->setText(QString(30, QLatin1Char('u'))); }, ""},
        {"5-character password, mismatch", [](auto *s) { setSecure(s->passwordField(), "abcde"); }, "RegisterHint5"},
        {"17-character password",
         [](auto *s) {
             setSecure(s->passwordField(), QString(17, 'p'));
             setSecure(s->confirmPasswordField(), QString(17, 'p'));
         },
         "RegisterHint5"},
        {"6-character password",
         [](auto *s) {
             setSecure(s->passwordField(), "abcdef");
             setSecure(s->confirmPasswordField(), "abcdef");
         },
         ""},
        {"16-character password",
         [](auto *s) {
             setSecure(s->passwordField(), QString(16, 'p'));
             setSecure(s->confirmPasswordField(), QString(16, 'p'));
         },
         ""},
        {"mismatch, bad e-mail",
         [](auto *s) {
             setSecure(s->confirmPasswordField(), "secret13");
             s->emailField()->setText("nope");
         },
         "RegisterHint3"},
        {"e-mail without @", [](auto *s) { s->emailField()->setText("ada.example.org"); }, "RegisterHint2"},
        {"e-mail without domain", [](auto *s) { s->emailField()->setText("ada@example"); }, "RegisterHint2"},
        {"long top-level domain", [](auto *s) { s->emailField()->setText("ada@example.museum"); }, ""},
    };
    for (const Case &c : cases) {
        fillValid();
        c.edit(screen());
        EXPECT_EQ(screen()->firstInvalidRuleKey(), c.key) << c.what;
        EXPECT_EQ(screen()->getRegInfo(), c.key.isEmpty()) << c.what;
        if (c.key.isEmpty())
            continue;
        messages.clear();
        screen()->registeAction();
        EXPECT_TRUE(waitUntil([&] { return !messages.isEmpty(); })) << c.what;
        EXPECT_EQ(messages, QStringList{text(c.key)}) << c.what;
    }
    waitUntil([] { return false; }, 100);
    EXPECT_TRUE(requestsTo("UserReg").empty());
}

TEST_F(SignUpScreen, AValidFormSendsTheRecordWithItsFixedValues)
{
    server.setOperation("UserReg", [](const standin::LoggedRequest &) {
        return QByteArray(R"({"MSG_CODE":0,"MSG_INFO":"Held for review"})");
    });
    fillValid();
    screen()->cityField()->clear();
    screen()->provinceField()->clear();
    screen()->registeAction();
    ASSERT_TRUE(waitForAnswers("UserReg"));
    EXPECT_EQ(requestsTo("UserReg").front().formKey, "information");
    EXPECT_EQ(requestsTo("UserReg").front().json.toObject(), (QJsonObject{{"login_name", "ada"},
                                                                          {"pwd", "secret12"},
                                                                          {"email", "ada@example.org"},
                                                                          {"first_name", "Ada"},
                                                                          {"middle_name", ""},
                                                                          {"last_name", "Lindqvist"},
                                                                          {"nick_name", ""},
                                                                          {"address", "Storgatan 1"},
                                                                          {"address_two", "Storgatan 1"},
                                                                          {"city", ""},
                                                                          {"state", ""},
                                                                          {"country", "Sweden"},
                                                                          {"telphone", "+46 18 555 0100"},
                                                                          {"zip", ""},
                                                                          {"reg_ip", "127.1.1.1"},
                                                                          {"is_receive_email", true},
                                                                          {"is_notified_update", true},
                                                                          {"is_receive_catalog", true}}));
    EXPECT_TRUE(waitUntil([&] { return messages == QStringList{"Held for review"}; }));
}

TEST_F(SignUpScreen, RefusalsShowTheirMessageAndKeepTheForm)
{
    struct Case
    {
        int code;
        QString info;
        QString message;
    };
    const Case cases[] = {
        {0, "USER_NAME_REG", text("RegisterHint7")},
        {0, "USER_EMAIL_REG", text("RegisterHint8")},
        {0, "REG_FAILED_SEND_MAIL", text("RegisterHint2")},
        {0, "NOT_TODAY", "NOT_TODAY"},
        {-1, "DB_ERROR", text("App5")},
        {3, "Come back tomorrow", "Come back tomorrow"},
    };
    size_t sent = 0;
    for (const Case &c : cases) {
        server.setOperation("UserReg", [c](const standin::LoggedRequest &) {
            return QJsonDocument(QJsonObject{{"MSG_CODE", c.code}, {"MSG_INFO", c.info}})
                .toJson(QJsonDocument::Compact);
        });
        messages.clear();
        fillValid();
        screen()->registeAction();
        ASSERT_TRUE(waitForAnswers("UserReg", ++sent));
        EXPECT_TRUE(waitUntil([&] { return !messages.isEmpty(); })) << c.info.toStdString();
        EXPECT_EQ(messages, QStringList{c.message});
        EXPECT_EQ(screen()->userIDField()->text(), "ada");
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_FALSE(VelquorUserManager::sharedManager().getUserRegInfos());
}

TEST_F(SignUpScreen, AnAnswerWithoutATextIsToldAsAnUnreadableOne)
{
    const QByteArray answers[] = {"{}", R"({"MSG_CODE":3,"MSG_INFO":" "})"};
    const auto records = [] {
        return VelquorUserManager::sharedManager()
            .getUserRegInfos()
            .value_or(QList<VelquorUserRegisteInfoModel>())
            .size();
    };
    const qsizetype recordsBefore = records();
    size_t sent = 0;
    for (const QByteArray &answer : answers) {
        server.setOperation("UserReg", [answer](const standin::LoggedRequest &) { return answer; });
        messages.clear();
        fillValid();
        screen()->registeAction();
        ASSERT_TRUE(waitForAnswers("UserReg", ++sent));
        EXPECT_TRUE(waitUntil([&] { return !messages.isEmpty(); })) << answer.constData();
        EXPECT_EQ(messages, QStringList{text("LoginHint4")}) << answer.constData();
        EXPECT_TRUE(waitUntil([&] { return screen()->registeButton()->isEnabled(); })) << answer.constData();
    }
    EXPECT_EQ(records(), recordsBefore);
}

TEST_F(SignUpScreen, RegisterSendsOnceAndAFailedOrUnreadableAnswerIsToldWithTheFormKept)
{
    answerAlerts = false;
    auto fault = [](standin::Fault::Kind kind) {
        standin::Fault f;
        f.kind = kind;
        f.status = 500;
        return f;
    };
    const std::pair<const char *, standin::Fault> cases[] = {
        {"server error", fault(standin::Fault::Kind::Status)},
        {"garbage", fault(standin::Fault::Kind::Garbage)},
        {"dropped", fault(standin::Fault::Kind::DropAfter)},
    };
    size_t sent = 0;
    for (const auto &[name, f] : cases) {
        server.setFault("/webs/WebService.asmx/UserReg", f);
        messages.clear();
        shownAlerts.clear();
        fillValid();
        // A double click: the second lands on a disabled button.
        QTest::mouseClick(screen()->registeButton(), Qt::LeftButton);
        EXPECT_FALSE(screen()->registeButton()->isEnabled()) << name;
        QTest::mouseClick(screen()->registeButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return !shownAlerts.isEmpty(); }, 10000)) << name;
        EXPECT_EQ(messages, QStringList{text("LoginHint4")}) << name;
        EXPECT_EQ(requestsTo("UserReg").size(), ++sent) << name;
        EXPECT_FALSE(screen()->registeButton()->isEnabled()) << name << ": off until the message is dismissed";
        shownAlerts.first()->done(VelquorAlert::OKReturnCode);
        EXPECT_TRUE(waitUntil([&] { return screen()->registeButton()->isEnabled(); })) << name;
        EXPECT_EQ(screen()->userIDField()->text(), "ada") << name;
        EXPECT_EQ(screen()->passwordField()->secureTextField()->text(), "secret12") << name;
        EXPECT_TRUE(window->isVisible()) << name;
    }
    EXPECT_FALSE(VelquorUserManager::sharedManager().getUserRegInfos());
}

TEST_F(SignUpScreen, ResetEmptiesEveryField)
{
    fillValid();
    QTest::mouseClick(screen()->resetButton(), Qt::LeftButton);
    EXPECT_EQ(screen()->firstInvalidRuleKey(), "RegisterHint1");
    for (QLineEdit *edit : screen()->findChildren<QLineEdit *>())
        EXPECT_TRUE(edit->text().isEmpty()) << edit->objectName().toStdString();
}

TEST_F(SignUpScreen, ThePrivacyTermsOpenAsAPdfDocument)
{
    QFile licence(":/Licence.pdf");
    ASSERT_TRUE(licence.exists());
    QPdfDocument document;
    document.load(licence.fileName());
    ASSERT_EQ(document.status(), QPdfDocument::Status::Ready);
    ASSERT_GE(document.pageCount(), 1);
    const QImage page = document.render(0, QSize(300, 424));
    bool inked = false;
    for (int y = 0; y < page.height() && !inked; ++y)
        for (int x = 0; x < page.width() && !inked; ++x)
            inked = qGray(page.pixel(x, y)) < 128 && qAlpha(page.pixel(x, y)) > 0;
    EXPECT_TRUE(inked);

    int pages = -1;
    VelquorAlert::setPresentationHook([&](VelquorAlert *alert) {
        if (auto *help = qobject_cast<VelquorHelpAlert *>(alert);
            help && help->pdfView() && help->pdfView()->document())
            pages = help->pdfView()->document()->pageCount();
        alert->done(VelquorAlert::CloseReturnCode);
    });
    QTest::mouseClick(screen()->privacyButton(), Qt::LeftButton);
    EXPECT_EQ(pages, document.pageCount());
}

namespace {

// The sign-up window opened from the login screen of a launched application.
class SignUpFromLogin : public ShellScreenFixture
{
protected:
    void SetUp() override
    {
        ShellScreenFixture::SetUp();
        controller = std::make_unique<VelquorWindowController>();
        controller->windowDidLoad();
        login = qobject_cast<VelquorLoginViewController *>(controller->window()->contentViewController());
        ASSERT_TRUE(login);
        QTest::mouseClick(login->registeButton(), Qt::LeftButton);
        ASSERT_TRUE(login->registeWindow());
        registe = qobject_cast<VelquorRegisteViewController *>(login->registeWindow()->contentViewController());
        ASSERT_TRUE(registe);
    }

    std::unique_ptr<VelquorWindowController> controller;
    QPointer<VelquorLoginViewController> login;
    QPointer<VelquorRegisteViewController> registe;
};

} // namespace

TEST_F(SignUpFromLogin, TheSignUpWindowTakesTheLoginWindowsPlace)
{
    VelquorWindow *signUp = login->registeWindow();
    EXPECT_TRUE(signUp->isVisible());
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(signUp->size(), QSize(1140, 724));
    EXPECT_TRUE(signUp->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(SignUpFromLogin, ClosingTheSignUpWindowAnyWayBringsBackTheLoginWindow)
{
    QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
    QPointer<VelquorWindow> signUp = login->registeWindow();
    EXPECT_FALSE(signUp->close()); // as the window manager's close button does
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_TRUE(signUp.isNull() || !signUp->isVisible());
    EXPECT_EQ(lastWindowClosed.count(), 0);

    QTest::mouseClick(login->registeButton(), Qt::LeftButton);
    QTest::mouseClick(login->registeWindow()->findChild<QPushButton *>("closeButton"), Qt::LeftButton);
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(lastWindowClosed.count(), 0);
}

namespace {

// Signs up `account` in the open sign-up window and waits for the login window to come back.
void signUp(VelquorRegisteViewController *registe, VelquorWindowController &controller, const QString &account)
{
    SignUpScreen::fill(registe, account);
    registe->emailField()->setText(account + "@example.org");
    QTest::mouseClick(registe->registeButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return controller.window()->isVisible(); }, 10000));
}

} // namespace

TEST_F(SignUpFromLogin, ANewAccountFillsTheLoginFormAndCanSignIn)
{
    const QString account = QStringLiteral("driver%1").arg(QCoreApplication::applicationPid());
    signUp(registe, *controller, account);
    EXPECT_EQ(messages, QStringList{text("RegisterHint6")});
    EXPECT_TRUE(registe.isNull() || !registe->window()->isVisible());

    EXPECT_EQ(login->accountField()->text(), account);
    EXPECT_TRUE(login->rememberButton()->isChecked());
    // The records file never holds the password; the keyring does.
    const auto records = VelquorUserManager::sharedManager().getUserRegInfos();
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1);
    EXPECT_EQ(records->last().login_name(), account);
    EXPECT_TRUE(records->last().pwd().isEmpty());
    QFile file(VelquorUserManager::registeInfoPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("secret12"));

    EXPECT_EQ(login->passwordField()->secureTextField()->text(), "secret12");
    login->loginButton()->click();
    EXPECT_TRUE(waitUntil(
        [&] { return qobject_cast<VelquorMainViewController *>(controller->window()->contentViewController()); },
        10000));
    VelquorKeychainManager::sharedManager().deleteFromKeyChain(account);
}

TEST_F(SignUpFromLogin, WithoutAKeyringThePasswordStillReachesTheLoginForm)
{
    ScopedKeyringStandIn standIn;
    standIn.keyring->refuseStores();
    const QString account = QStringLiteral("nokeyring%1").arg(QCoreApplication::applicationPid());
    signUp(registe, *controller, account);
    EXPECT_EQ(login->accountField()->text(), account);
    EXPECT_EQ(login->passwordField()->secureTextField()->text(), "secret12");
    QFile file(VelquorUserManager::registeInfoPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("secret12"));
    EXPECT_FALSE(standIn.keyring->calledOnGuiThread());
}

TEST_F(SignUpFromLogin, TheLoginFormTakesTheNewAccountFromTheSignUpWhileTheKeyringIsStillKeepingIt)
{
    ScopedKeyringStandIn standIn;
    KeyringStandIn &keyring = *standIn.keyring;
    const QString account = QStringLiteral("again%1").arg(QCoreApplication::applicationPid());
    const QString other = QStringLiteral("other%1").arg(QCoreApplication::applicationPid());
    // This computer signed the account up once before, and another one after it: the new record
    // replaces the first in place, so the last record is the other account's.
    for (const QString &name : {account, other}) {
        VelquorUserRegisteInfoModel earlier;
        earlier.setLogin_name(name);
        ASSERT_TRUE(VelquorUserManager::sharedManager().saveUserRegInfo(earlier));
    }
    // A keyring waiting to be unlocked (a prompt nobody answers) when the password is to be kept.
    keyring.holdStores();
    signUp(registe, *controller, account);
    EXPECT_EQ(keyring.storesAnswered(), 0) << "the sign-up waited for the keyring";
    const auto records = VelquorUserManager::sharedManager().getUserRegInfos();
    ASSERT_TRUE(records);
    EXPECT_EQ(records->last().login_name(), other);
    EXPECT_EQ(login->accountField()->text(), account);
    EXPECT_EQ(login->passwordField()->secureTextField()->text(), "secret12");
    EXPECT_TRUE(login->rememberButton()->isChecked());

    keyring.releaseStores();
    ASSERT_TRUE(waitUntil([&] { return keyring.storesAnswered() == 1; }));
    EXPECT_FALSE(keyring.calledOnGuiThread());
    EXPECT_EQ(keyring.lookup(account, account), "secret12");
}

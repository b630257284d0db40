#include "AccountPageFixture.h"

#include "support/KeyringStandIn.h"

#include "account/VelquorAccountConstants.h"
#include "account/VelquorMyProfileView.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <future>
#include <utility>

using namespace accounttest;

namespace {

class ProfilePage : public AccountPageFixture<VelquorMyProfileView>
{
protected:
    QStringList shown() const
    {
        QStringList texts;
        for (VelquorSearchField *field :
             {page->userIDSearchField(), page->firstNameSearchField(), page->lastNameSearchField(),
              page->emailSearchField(), page->telephoneSearchField(), page->addressSearchField(),
              page->citySearchField(), page->provinceSearchField(), page->countrySearchField()})
            texts << field->text();
        return texts;
    }

    void retype(VelquorSearchField *field, const QString &value)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, value);
    }

    void showAndLoad()
    {
        window->show();
        ASSERT_TRUE(waitForAnswers("GetUserInformation"));
        ASSERT_TRUE(waitUntil([&] { return page->success(); }));
    }

    const QStringList demoProfile{
        "demo",    "Alex", "Morgan",        "demo@example.com", "+44 1233 000000", "12 Station Road",
        "Ashford", "Kent", "United Kingdom"};
};

// Holds an answer back until the test opens it; opens by itself when the test ends early, so the
// server can stop.
struct AnswerGate
{
    std::promise<void> opened;
    std::shared_future<void> waiting = opened.get_future().share();
    bool isOpen = false;
    void open()
    {
        if (!std::exchange(isOpen, true))
            opened.set_value();
    }
    ~AnswerGate() { open(); }
};

// GetUserInformation answered from a profile the test writes.
QByteArray profileAnswer(const QJsonObject &profile)
{
    return QJsonDocument(QJsonObject{{"MSG_CODE", 1}, {"RESULT", profile}}).toJson(QJsonDocument::Compact);
}

} // namespace

TEST_F(ProfilePage, LoadsWhenShownAndSavesOneValidEditThenShowsTheReloadedProfile)
{
    EXPECT_TRUE(requestsTo("GetUserInformation").empty()) << "nothing is loaded before the page is shown";
    showAndLoad();
    EXPECT_EQ(shown(), demoProfile);
    EXPECT_EQ(requestsTo("GetUserInformation").front().json.toObject(), (QJsonObject{{"login_name", "demo"}}));
    EXPECT_FALSE(page->userIDSearchField()->isEnabled());
    EXPECT_FALSE(page->emailSearchField()->isEnabled());

    // Showing the page again after a good load asks for nothing.
    window->hide();
    window->show();
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(requestsTo("GetUserInformation").size(), 1u);

    retype(page->firstNameSearchField(), "Alexandra");
    retype(page->citySearchField(), ""); // the city is optional
    // A double click: the first click disables the button until the answer is in.
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    EXPECT_FALSE(page->submitButton()->isEnabled());
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForMessage(text("UserinfoHint1")));
    ASSERT_TRUE(waitForAnswers("GetUserInformation", 2));
    ASSERT_TRUE(waitUntil([&] { return page->success(); }));

    const auto saves = requestsTo("UpdateUserInformation");
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves.front().formKey, "information");
    const QJsonObject sent = saves.front().json.toObject();
    const QJsonObject expected{
        {"login_name", "demo"},
        {"first_name", "Alexandra"},
        {"middle_name", ""},
        {"last_name", "Morgan"},
        {"nick_name", ""},
        {"telphone", "+44 1233 000000"},
        {"address", "12 Station Road"},
        {"address_two", "12 Station Road"},
        {"city", ""},
        {"state", "Kent"},
        {"country", "United Kingdom"},
        {"zip", ""},
        {"is_receive_email", true},
        {"is_notified_update", true},
        {"is_receive_catalog", true},
        {"login_pwd", QString::fromLatin1(standin::demoAccountPassword)},
    };
    EXPECT_EQ(sent, expected);
    // The form now shows what the service holds after the save.
    QStringList saved = demoProfile;
    saved[1] = "Alexandra";
    saved[6] = "";
    EXPECT_EQ(shown(), saved);
    EXPECT_TRUE(page->submitButton()->isEnabled());
}

TEST_F(ProfilePage, AnEmailWithoutAtSignSendsNothingAndServiceTextsStayPlain)
{
    server.setOperation("GetUserInformation", [](const standin::LoggedRequest &) {
        return profileAnswer({{"user_name", "demo"},
                              {"first", "<b>Alex</b>"},
                              {"last", "Morgan &amp; Co"},
                              {"email", "demo.example.com"},
                              {"telephone", "1"},
                              {"address", "NULL"},
                              {"city", "(null)"},
                              {"state", "<i>Kent</i>"},
                              {"country", "UK"}});
    });
    showAndLoad();
    // Markup from the service is shown as the text it is; values that mean "nothing" show as empty.
    EXPECT_EQ(shown(), (QStringList{"demo", "<b>Alex</b>", "Morgan &amp; Co", "demo.example.com", "1", "", "",
                                    "<i>Kent</i>", "UK"}));

    QTest::keyClicks(page->addressSearchField(), "1 High St");
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForMessage(text("RegisterHint1")));
    waitUntil([] { return false; }, 200);
    EXPECT_TRUE(requestsTo("UpdateUserInformation").empty());
    EXPECT_EQ(page->addressSearchField()->text(), "1 High St");
}

TEST_F(ProfilePage, ARefusedSaveKeepsTheEditsAndResetRestoresTheLoadedProfile)
{
    server.setOperation("UpdateUserInformation", [](const standin::LoggedRequest &) {
        return QByteArray(R"({"MSG_CODE":0,"MSG_INFO":"UPDATE_FAILED"})");
    });
    showAndLoad();
    retype(page->telephoneSearchField(), "+44 20 7946 0000");
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForMessage(VelquorAccount::kProfileSaveFailedMessage));
    ASSERT_TRUE(waitUntil([&] { return page->submitButton()->isEnabled(); }));
    EXPECT_EQ(requestsTo("UpdateUserInformation").size(), 1u);
    EXPECT_EQ(page->telephoneSearchField()->text(), "+44 20 7946 0000");
    EXPECT_EQ(requestsTo("GetUserInformation").size(), 1u) << "a refused save reloads nothing";

    // A transport failure is reported the same way.
    messages.clear();
    server.setFault("/webs/WebService.asmx/UpdateUserInformation", standin::Fault{});
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForMessage(VelquorAccount::kProfileSaveFailedMessage));
    EXPECT_EQ(page->telephoneSearchField()->text(), "+44 20 7946 0000");

    QTest::mouseClick(page->resetButton(), Qt::LeftButton);
    EXPECT_EQ(shown(), demoProfile);
}

TEST_F(ProfilePage, AProfileArrivingWhileTheUserTypesKeepsTheTypedText)
{
    // The service answers only once the user has typed.
    AnswerGate typed;
    server.setOperation("GetUserInformation", [release = typed.waiting](const standin::LoggedRequest &) {
        release.wait();
        return profileAnswer({{"user_name", "demo"},
                              {"first", "Alex"},
                              {"last", "Morgan"},
                              {"email", "demo@example.com"},
                              {"telephone", "1"},
                              {"address", "Road"},
                              {"city", "Town"},
                              {"state", "Kent"},
                              {"country", "UK"}});
    });
    window->show();
    ASSERT_TRUE(waitUntil([&] { return !requestsTo("GetUserInformation").empty(); }));
    QTest::keyClicks(page->lastNameSearchField(), "Lindqvist");
    typed.open();
    ASSERT_TRUE(waitUntil([&] { return page->success(); }, 10000));

    EXPECT_EQ(page->lastNameSearchField()->text(), "Lindqvist");
    EXPECT_EQ(page->userIDSearchField()->text(), "demo") << "what the user did not touch is filled";
    EXPECT_EQ(page->firstNameSearchField()->text(), "Alex");
    QTest::mouseClick(page->resetButton(), Qt::LeftButton);
    EXPECT_EQ(page->lastNameSearchField()->text(), "Morgan");
}

TEST_F(ProfilePage, TheSaveWaitsForTheKeyringOffTheGuiThreadAndNeverSendsAnEmptyPassword)
{
    ScopedKeyringStandIn standIn;
    KeyringStandIn &keyring = *standIn.keyring;
    const QString account = QString::fromLatin1(standin::demoAccountName);
    keyring.keep(account, QString::fromLatin1(standin::demoAccountPassword));
    showAndLoad();

    // A keyring waiting to be unlocked: the page goes on, nothing is sent until it answers.
    keyring.holdReads();
    retype(page->telephoneSearchField(), "+44 20 7946 0000");
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return keyring.readsStarted() == 1; }));
    EXPECT_EQ(keyring.readsAnswered(), 0) << "the page waited for the keyring";
    EXPECT_FALSE(page->submitButton()->isEnabled());
    EXPECT_TRUE(requestsTo("UpdateUserInformation").empty());
    keyring.releaseReads();
    ASSERT_TRUE(waitForMessage(text("UserinfoHint1")));
    ASSERT_EQ(requestsTo("UpdateUserInformation").size(), 1u);
    EXPECT_EQ(requestsTo("UpdateUserInformation").front().json.toObject().value("login_pwd"),
              QString::fromLatin1(standin::demoAccountPassword));

    // No remembered password: the save fails as the service's refusal would, and sends nothing.
    ASSERT_TRUE(waitUntil([&] { return page->success() && page->submitButton()->isEnabled(); }));
    keyring.forget(account);
    retype(page->telephoneSearchField(), "+44 20 7946 0001");
    QTest::mouseClick(page->submitButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForMessage(VelquorAccount::kProfileSaveFailedMessage));
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(requestsTo("UpdateUserInformation").size(), 1u);
    EXPECT_EQ(page->telephoneSearchField()->text(), "+44 20 7946 0001");
    EXPECT_TRUE(page->submitButton()->isEnabled());
    EXPECT_FALSE(keyring.calledOnGuiThread());
}

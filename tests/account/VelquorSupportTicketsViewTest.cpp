#include "AccountPageFixture.h"

#include "account/VelquorSupportTicketsView.h"

#include <QJsonObject>

using namespace accounttest;

namespace {

class FeedbackPage : public AccountPageFixture<VelquorSupportTicketsView>
{
protected:
    // What the main view hands over each time it shows the feedback tab.
    void handOver(const QStringList &softwares = {})
    {
        VelquorSupportTicketsModel ticket;
        ticket.setScanners({"VQ900 PRO", "VQ300 LITE"});
        ticket.setSoftwares(softwares);
        page->setTicketsModel(ticket);
    }

    // Moves a closed box's choice down with the keyboard until it shows `wanted`.
    static bool choose(QComboBox *box, const QString &wanted)
    {
        box->setFocus();
        for (int i = 0; i <= box->count() && box->currentText() != wanted; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        return box->currentText() == wanted;
    }

    // Every entry filled with the keyboard; the software box needs its items already.
    void fillForm(const QString &vin)
    {
        QTest::keyClicks(page->subjectSearchField(), "Live data freezes");
        ASSERT_TRUE(choose(page->scannerComboBox(), "VQ300 LITE"));
        ASSERT_TRUE(choose(page->softwareComboBox(), "TOYOTA"));
        QTest::keyClicks(page->versionSearchField(), "V20.11");
        QTest::keyClicks(page->vinSearchField(), vin);
        QTest::keyClicks(page->yearSearchField(), "2018");
        QTest::keyClicks(page->engineSizeSarchField(), "1.8");
        QTest::keyClicks(page->problemTextView(), "The engine page stops after ten seconds.");
    }

    void clickSubmit() { QTest::mouseClick(page->submitButton(), Qt::LeftButton); }

    static constexpr const char *kVin = "JTDBR32E720123456";
};

} // namespace

TEST_F(FeedbackPage, SendsOneTicketWithTheChosenProductsSoftwareOnADoubleClick)
{
    handOver();
    window->show();

    QTest::keyClicks(page->subjectSearchField(), "Live data freezes");
    // Choosing the scanner looks up its product ID; opening the software box then lists its software.
    ASSERT_TRUE(choose(page->scannerComboBox(), "VQ300 LITE"));
    ASSERT_TRUE(waitUntil([&] { return page->ticketsModel().productID() == 12; }, 10000));
    page->softwareComboBox()->showPopup();
    ASSERT_TRUE(waitForAnswers("SoftwareInfo"));
    ASSERT_TRUE(waitUntil([&] { return page->softwareComboBox()->count() == 4; }));
    page->softwareComboBox()->hidePopup();
    EXPECT_EQ(requestsTo("SoftwareInfo").back().json.toObject(), (QJsonObject{{"product_id", 12}}));
    EXPECT_EQ(page->ticketsModel().softwares(), (QStringList{"OS-SOFTWARE", "BENZ", "TOYOTA", "HONDA"}));
    ASSERT_TRUE(choose(page->softwareComboBox(), "TOYOTA"));

    QTest::keyClicks(page->versionSearchField(), "V20.11");
    QTest::keyClicks(page->vinSearchField(), kVin);
    QTest::keyClicks(page->yearSearchField(), "20a18");
    EXPECT_EQ(page->yearSearchField()->text(), "2018") << "a letter is refused in the year";
    QTest::keyClicks(page->engineSizeSarchField(), "1.8");
    QTest::keyClicks(page->problemTextView(), "The engine page stops after ten seconds.");

    clickSubmit();
    EXPECT_FALSE(page->submitButton()->isEnabled());
    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint3")));
    waitUntil([] { return false; }, 200);

    const auto tickets = requestsTo("UserComplaint");
    ASSERT_EQ(tickets.size(), 1u);
    EXPECT_EQ(tickets.front().formKey, "contents");
    EXPECT_EQ(tickets.front().json.toObject(), (QJsonObject{
                                                   {"user_name", "demo"},
                                                   {"title", "Live data freezes"},
                                                   {"product_name", "VQ300 LITE"},
                                                   {"software_name", "TOYOTA"},
                                                   {"years", "2018"},
                                                   {"engine", "1.8"},
                                                   {"problem", "The engine page stops after ten seconds."},
                                                   {"vin", kVin},
                                                   {"version", "V20.11"},
                                                   {"vech", "null"},
                                                   {"car_m", "null"},
                                                   {"part_number", "null"},
                                               }));
    // The form still shows what was sent until the page is shown again.
    EXPECT_EQ(page->vinSearchField()->text(), kVin);
    EXPECT_TRUE(page->submitButton()->isEnabled());
    window->hide();
    handOver();
    window->show();
    EXPECT_TRUE(page->subjectSearchField()->text().isEmpty());
    EXPECT_TRUE(page->scannerComboBox()->currentText().isEmpty());
    EXPECT_TRUE(page->problemTextView()->toPlainText().isEmpty());
    EXPECT_TRUE(page->ticketsModel().vin().isEmpty());
}

TEST_F(FeedbackPage, AnIncompleteFormOrAWrongVinSendsNothing)
{
    handOver({"OS-SOFTWARE", "TOYOTA"});
    window->show();

    // An empty entry is named first, whatever the VIN.
    QTest::keyClicks(page->vinSearchField(), "JTDBR32E72012345");
    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint1")));

    page->vinSearchField()->clear();
    fillForm("JTDBR32E72012345"); // 16 characters
    messages.clear();
    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint2")));

    QTest::keyClicks(page->vinSearchField(), "67"); // 18 characters
    messages.clear();
    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint2")));

    // Blanks count as an entry; only a truly empty problem text is missing.
    page->problemTextView()->clear();
    QTest::keyClicks(page->problemTextView(), "   ");
    page->vinSearchField()->clear();
    QTest::keyClicks(page->vinSearchField(), "JTDBR32E72012345");
    messages.clear();
    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint2")));

    waitUntil([] { return false; }, 200);
    EXPECT_TRUE(requestsTo("UserComplaint").empty());
}

TEST_F(FeedbackPage, ARefusedOrLostTicketIsReportedAndTheFormKept)
{
    server.setOperation("UserComplaint", [](const standin::LoggedRequest &) {
        return QByteArray(R"({"MSG_CODE":0,"MSG_INFO":"SUBMIT_FAILED"})");
    });
    handOver({"OS-SOFTWARE", "TOYOTA"});
    window->show();
    fillForm(kVin);

    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint4")));
    ASSERT_TRUE(waitUntil([&] { return page->submitButton()->isEnabled(); }));
    EXPECT_EQ(page->subjectSearchField()->text(), "Live data freezes");
    EXPECT_EQ(page->softwareComboBox()->currentText(), "TOYOTA");
    EXPECT_EQ(page->problemTextView()->toPlainText(), "The engine page stops after ten seconds.");

    // The same when the request does not get through.
    messages.clear();
    server.setFault("/webs/WebService.asmx/UserComplaint", standin::Fault{});
    clickSubmit();
    ASSERT_TRUE(waitForMessage(text("FeedbackHint4")));
    EXPECT_EQ(page->vinSearchField()->text(), kVin);
    EXPECT_EQ(requestsTo("UserComplaint").size(), 2u);
    EXPECT_FALSE(messages.contains(text("FeedbackHint3")));
}

#include "controls/VelquorAlert.h"
#include "controls/VelquorAlertDelegate.h"
#include "platform/AppInfo.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct SheetEnd
{
    VelquorAlert *alert;
    int code;
    void *context;
};

class RecordingDelegate : public VelquorAlertDelegate
{
public:
    void alertSheetDidEnd(VelquorAlert *alert, int returnCode, void *contextInfo) override
    {
        ends.push_back({alert, returnCode, contextInfo});
        stillSheet = alert->isSheet();
    }
    std::vector<SheetEnd> ends;
    bool stillSheet = false;
};

class ObjectDelegate : public QObject, public VelquorAlertDelegate
{
public:
    void alertSheetDidEnd(VelquorAlert *, int, void *) override { ++calls; }
    static inline int calls = 0;
};

class VelquorAlertTest : public testing::Test
{
protected:
    void SetUp() override
    {
        mainWindow.resize(600, 400);
        mainWindow.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
        VelquorAlert::setMainWindow(&mainWindow);
    }
    void TearDown() override
    {
        VelquorAlert::setPresentationHook(nullptr);
        VelquorAlert::setMainWindow(nullptr);
    }
    // Runs the alert modally and answers it with `answer` once it is on screen.
    int runAnswering(VelquorAlert *alert, const std::function<void(VelquorAlert *)> &answer)
    {
        VelquorAlert::setPresentationHook(answer);
        return alert->runModal();
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QWidget mainWindow;
};

int rightMargin(VelquorAlert *alert, QWidget *button)
{
    return alert->width() - (button->mapTo(alert, QPoint(0, 0)).x() + button->width());
}

} // namespace

TEST_F(VelquorAlertTest, ButtonsAndCloseBoxAnswerTheirCodes)
{
    const struct
    {
        const char *name;
        std::function<void(VelquorAlert *)> answer;
        int code;
    } rows[] = {
        {"OK", [](VelquorAlert *a) { QTest::mouseClick(a->okButton(), Qt::LeftButton); }, 1000},
        {"Cancel", [](VelquorAlert *a) { QTest::mouseClick(a->cancelButton(), Qt::LeftButton); }, 1001},
        {"close box", [](VelquorAlert *a) { QTest::mouseClick(a->closeButton(), Qt::LeftButton); }, 0},
        {"Return", [](VelquorAlert *a) { QTest::keyClick(a, Qt::Key_Return); }, 1000},
        {"Escape", [](VelquorAlert *a) { QTest::keyClick(a, Qt::Key_Escape); }, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<VelquorAlert> alert(VelquorAlert::alertWithTitle(
            QStringLiteral("Title"), QStringLiteral("Message"), QStringLiteral("Yes"), QStringLiteral("No")));
        EXPECT_EQ(runAnswering(alert.get(), row.answer), row.code);
        EXPECT_FALSE(alert->isSheet());
        EXPECT_FALSE(alert->isVisible());
    }
}

TEST_F(VelquorAlertTest, OneButtonAlertPutsOkWhereCancelWouldStand)
{
    std::unique_ptr<VelquorAlert> pair(VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"),
                                                                    QStringLiteral("Yes"), QStringLiteral("No")));
    std::unique_ptr<VelquorAlert> single(
        VelquorAlert::alertWithTitle(QString(), QString(), QString(), QString(), QString(), QPixmap()));
    int pairOkMargin = -1, cancelMargin = -1, singleMargin = -1, iconGap = -1;
    QString okText, title, message;
    runAnswering(pair.get(), [&](VelquorAlert *a) {
        pairOkMargin = rightMargin(a, a->okButton());
        cancelMargin = rightMargin(a, a->cancelButton());
        a->closeAction();
    });
    runAnswering(single.get(), [&](VelquorAlert *a) {
        singleMargin = rightMargin(a, a->okButton());
        EXPECT_FALSE(a->cancelButton()->isVisible());
        okText = a->okButton()->text();
        title = a->titleTextField()->text();
        message = a->messageTextField()->text();
        iconGap = a->messageTextField()->mapTo(a, QPoint(0, 0)).x();
        QTest::mouseClick(a->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(cancelMargin, 15);
    EXPECT_GT(pairOkMargin, 15 + 40);
    EXPECT_EQ(singleMargin, 15);
    EXPECT_EQ(okText, "OK");
    EXPECT_EQ(title, AppInfo::name());
    EXPECT_EQ(message, "");
    EXPECT_EQ(iconGap, 20); // no icon, no room for it
    EXPECT_EQ(single->result(), 1000);

    QPixmap icon(64, 64);
    icon.fill(Qt::red);
    std::unique_ptr<VelquorAlert> withIcon(
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString(), icon));
    runAnswering(withIcon.get(), [&](VelquorAlert *a) {
        iconGap = a->messageTextField()->mapTo(a, QPoint(0, 0)).x();
        a->closeAction();
    });
    EXPECT_GE(iconGap, 20 + 64);
}

TEST_F(VelquorAlertTest, SheetOpensOnTheMainWindowAndEndsOnceWithAlertAndContext)
{
    QWidget otherWindow;
    otherWindow.show();
    RecordingDelegate delegate;
    int context = 7;
    QPointer<VelquorAlert> alert = VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"),
                                                                QStringLiteral("OK"), QStringLiteral("Cancel"));
    alert->beginSheetModalForWindow(&otherWindow, &delegate, &context);
    EXPECT_TRUE(alert->isSheet());
    ASSERT_TRUE(waitUntil([&] { return alert->isVisible(); }));
    EXPECT_EQ(alert->parentWidget(), &mainWindow);
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);

    QTest::mouseClick(alert->cancelButton(), Qt::LeftButton);
    ASSERT_EQ(delegate.ends.size(), 1u);
    EXPECT_EQ(delegate.ends[0].alert, alert.data());
    EXPECT_EQ(delegate.ends[0].code, 1001);
    EXPECT_EQ(delegate.ends[0].context, &context);
    EXPECT_TRUE(delegate.stillSheet);

    // Ending again, or begun again while over, calls nothing more; the alert then goes away.
    alert->done(1000);
    EXPECT_EQ(delegate.ends.size(), 1u);
    flushDeletes();
    EXPECT_TRUE(alert.isNull());
}

TEST_F(VelquorAlertTest, SheetWithoutAnyWindowStillReachesTheUserAndEnds)
{
    VelquorAlert::setMainWindow(nullptr);
    RecordingDelegate delegate;
    VelquorAlert::setPresentationHook([](VelquorAlert *a) { QTest::keyClick(a, Qt::Key_Return); });
    QPointer<VelquorAlert> alert =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    alert->beginSheetModalForWindow(nullptr, &delegate, nullptr);
    EXPECT_EQ(alert->windowModality(), Qt::ApplicationModal);
    ASSERT_TRUE(waitUntil([&] { return delegate.ends.size() == 1; }));
    EXPECT_EQ(delegate.ends[0].code, 1000);

    // With no main window but a caller's window, the sheet takes the caller's window.
    QWidget callerWindow;
    auto *child = new QWidget(&callerWindow);
    callerWindow.show();
    VelquorAlert::setPresentationHook(nullptr);
    QPointer<VelquorAlert> second =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    second->beginSheetModalForWindow(child, &delegate, nullptr);
    EXPECT_EQ(second->parentWidget(), &callerWindow);
    second->closeAction();
    ASSERT_EQ(delegate.ends.size(), 2u);
    EXPECT_EQ(delegate.ends[1].code, 0);
}

TEST_F(VelquorAlertTest, WhileTheMainWindowIsHiddenTheCallersWindowTakesTheSheet)
{
    // The sign-up window stands in for the hidden main window: its messages stay on it.
    mainWindow.hide();
    QWidget signUpWindow;
    auto *field = new QWidget(&signUpWindow);
    signUpWindow.show();
    RecordingDelegate delegate;
    QPointer<VelquorAlert> alert =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    alert->beginSheetModalForWindow(field, &delegate);
    EXPECT_EQ(alert->parentWidget(), &signUpWindow);
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    QTest::mouseClick(alert->okButton(), Qt::LeftButton);
    ASSERT_EQ(delegate.ends.size(), 1u);

    // Shown again, the main window takes the sheets back.
    mainWindow.show();
    QPointer<VelquorAlert> second =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    second->beginSheetModalForWindow(field, &delegate);
    EXPECT_EQ(second->parentWidget(), &mainWindow);
    second->closeAction();
    EXPECT_EQ(delegate.ends.size(), 2u);
}

TEST_F(VelquorAlertTest, SecondSheetWaitsUntilTheFirstEnds)
{
    RecordingDelegate delegate;
    QPointer<VelquorAlert> first =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("first"), QStringLiteral("OK"), QString());
    QPointer<VelquorAlert> second =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("second"), QStringLiteral("OK"), QString());
    first->beginSheetModalForWindow(&mainWindow, &delegate);
    second->beginSheetModalForWindow(&mainWindow, &delegate);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());

    QTest::mouseClick(first->okButton(), Qt::LeftButton);
    EXPECT_TRUE(second->isVisible());
    QTest::mouseClick(second->closeButton(), Qt::LeftButton);

    ASSERT_EQ(delegate.ends.size(), 2u);
    EXPECT_EQ(delegate.ends[0].code, 1000);
    EXPECT_EQ(delegate.ends[1].code, 0);
    EXPECT_NE(delegate.ends[0].alert, delegate.ends[1].alert);
}

TEST_F(VelquorAlertTest, DestroyedDelegateIsNotCalledAndDeletedSheetFreesTheWindow)
{
    ObjectDelegate::calls = 0;
    auto *delegate = new ObjectDelegate;
    QPointer<VelquorAlert> first =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    QPointer<VelquorAlert> second =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    first->beginSheetModalForWindow(&mainWindow, delegate);
    second->beginSheetModalForWindow(&mainWindow, delegate);
    delete delegate;
    QTest::mouseClick(first->okButton(), Qt::LeftButton);
    EXPECT_EQ(ObjectDelegate::calls, 0);

    // An owner deleting the sheet on screen lets the next one up.
    ASSERT_TRUE(second->isVisible());
    RecordingDelegate recorder;
    QPointer<VelquorAlert> third =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    third->beginSheetModalForWindow(&mainWindow, &recorder);
    delete second.data();
    ASSERT_TRUE(waitUntil([&] { return third && third->isVisible(); }));
    third->closeAction();
    EXPECT_EQ(recorder.ends.size(), 1u);
}

TEST_F(VelquorAlertTest, DidEndMayDeleteTheSheetOrTheWindowUnderIt)
{
    struct Deleting : VelquorAlertDelegate
    {
        void alertSheetDidEnd(VelquorAlert *alert, int, void *) override
        {
            ++calls;
            onEnd(alert);
        }
        std::function<void(VelquorAlert *)> onEnd;
        int calls = 0;
    } deleting;

    deleting.onEnd = [](VelquorAlert *alert) { delete alert; };
    QPointer<VelquorAlert> alert =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    alert->beginSheetModalForWindow(&mainWindow, &deleting);
    QTest::mouseClick(alert->okButton(), Qt::LeftButton);
    EXPECT_EQ(deleting.calls, 1);
    EXPECT_TRUE(alert.isNull());

    // The window the sheet sits on, closed for good from the did-end.
    VelquorAlert::setMainWindow(nullptr);
    auto *host = new QWidget;
    host->resize(300, 200);
    host->show();
    QPointer<QWidget> hostGuard(host);
    deleting.onEnd = [host](VelquorAlert *) { delete host; };
    QPointer<VelquorAlert> second =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    second->beginSheetModalForWindow(host, &deleting);
    ASSERT_EQ(second->parentWidget(), host);
    QTest::keyPress(second.data(), Qt::Key_Escape);
    EXPECT_EQ(deleting.calls, 2);
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(hostGuard.isNull());
}

TEST_F(VelquorAlertTest, SheetBegunAgainFromItsDidEndStillHoldsBackTheNextOne)
{
    struct Again : VelquorAlertDelegate
    {
        void alertSheetDidEnd(VelquorAlert *alert, int returnCode, void *) override
        {
            codes.push_back(returnCode);
            if (codes.size() == 1)
                alert->beginSheetModalForWindow(window, this);
        }
        QWidget *window = nullptr;
        std::vector<int> codes;
    } again;
    again.window = &mainWindow;

    QPointer<VelquorAlert> alert =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("OK"), QString());
    alert->beginSheetModalForWindow(&mainWindow, &again);
    QTest::mouseClick(alert->okButton(), Qt::LeftButton);
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->isVisible());

    RecordingDelegate recorder;
    QPointer<VelquorAlert> next =
        VelquorAlert::alertWithTitle(QStringLiteral("T"), QStringLiteral("next"), QStringLiteral("OK"), QString());
    next->beginSheetModalForWindow(&mainWindow, &recorder);
    EXPECT_FALSE(next->isVisible()) << "one sheet on a window at a time";

    alert->closeAction();
    EXPECT_EQ(again.codes, (std::vector<int>{1000, 0}));
    EXPECT_TRUE(next->isVisible());
    next->closeAction();
    EXPECT_EQ(recorder.ends.size(), 1u);
}

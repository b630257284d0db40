#include "support/TestEnvironment.h"

#include "shell/AppDelegate.h"
#include "session/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorViewController.h"
#include "shell/VelquorWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(VelquorWindow, EveryScreenEndsUpAtTheFixedSizeAndCentred)
{
    for (const QString &identifier :
         {VelquorShell::kLoginViewControllerIdentifier, VelquorShell::kRegisteViewControllerIdentifier,
          VelquorShell::kMainViewControllerIdentifier}) {
        VelquorWindow window;
        window.resize(300, 200);
        window.move(5, 5);
        VelquorViewController *screen = VelquorStoryboard::instantiateControllerWithIdentifier(identifier);
        ASSERT_TRUE(screen) << identifier.toStdString();
        window.setContentViewController(screen);
        window.show();
        EXPECT_EQ(screen->objectName(), identifier);
        EXPECT_EQ(window.size(), QSize(1140, 724));
        EXPECT_EQ(screen->geometry(), QRect(0, 0, 1140, 724));
        const QRect area = window.screen()->availableGeometry();
        EXPECT_EQ(window.pos(), area.topLeft() + QPoint((area.width() - 1140) / 2, (area.height() - 724) / 2));
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    }
    EXPECT_FALSE(VelquorStoryboard::instantiateControllerWithIdentifier("Unknown"));
}

TEST(VelquorWindow, ReplacingTheContentReleasesThePreviousScreen)
{
    VelquorWindow window;
    QPointer<VelquorViewController> first =
        VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kLoginViewControllerIdentifier);
    window.setContentViewController(first);
    window.setContentViewController(
        VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kMainViewControllerIdentifier));
    EXPECT_TRUE(waitUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return first.isNull();
    }));
    EXPECT_EQ(window.contentViewController()->objectName(), VelquorShell::kMainViewControllerIdentifier);
}

TEST(VelquorWindow, DraggingTheBackgroundMovesTheWindow)
{
    VelquorWindow window;
    window.setContentViewController(
        VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kMainViewControllerIdentifier));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();
    // Presses that no child takes reach the window itself.
    const QPointF local(600, 400);
    QMouseEvent press(QEvent::MouseButtonPress, local, window.mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
    const QPointF moved = local + QPointF(40, 25);
    QMouseEvent move(QEvent::MouseMove, moved, window.mapToGlobal(local) + QPointF(40, 25), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, moved, window.mapToGlobal(local) + QPointF(40, 25), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &release);
    EXPECT_EQ(window.pos(), start + QPoint(40, 25));
}

TEST(AppDelegate, SetsTheIconAndQuitsWhenTheLastWindowCloses)
{
    auto &application = *qobject_cast<QApplication *>(QCoreApplication::instance());
    application.setQuitOnLastWindowClosed(false);
    AppDelegate delegate(application);
    EXPECT_TRUE(application.quitOnLastWindowClosed());
    delegate.applicationWillFinishLaunching();
    EXPECT_FALSE(application.windowIcon().isNull());

    VelquorWindow window;
    window.setContentViewController(
        VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kMainViewControllerIdentifier));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy lastWindowClosed(&application, &QGuiApplication::lastWindowClosed);
    QSignalSpy aboutToQuit(&application, &QCoreApplication::aboutToQuit);
    // The screen's own close button, pressed while the application runs.
    QTimer::singleShot(0, &window,
                       [&] { QTest::mouseClick(window.findChild<QPushButton *>("closeButton"), Qt::LeftButton); });
    EXPECT_EQ(execUntilQuit(5000), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(lastWindowClosed.count(), 1);
    EXPECT_EQ(aboutToQuit.count(), 1);
}

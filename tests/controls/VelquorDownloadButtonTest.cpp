#include "controls/VelquorDownloadButton.h"
#include "controls/PixelProbe.h"
#include "controls/VelquorProgressView.h"
#include "support/TestEnvironment.h"

#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <memory>

#include <gtest/gtest.h>

namespace {

struct StateLook
{
    qint64 state;
    bool title;
    bool progress; // progress text and bar together
    QColor track;
    QColor fill;
};

const QColor clear(Qt::transparent);
const QColor blue(Qt::blue);
const QColor green(Qt::green);

QPixmap swatch(const QColor &color)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(color);
    return pixmap;
}

} // namespace

TEST(VelquorDownloadButtonTest, NewButtonShowsOnlyItsPictureAndLaysOutItsParts)
{
    VelquorDownloadButton button;
    button.resize(200, 130);
    button.setImage(swatch(Qt::darkCyan), 0);
    button.show();
    EXPECT_EQ(button.downloadState(), 0);
    EXPECT_FALSE(button.titleLabel()->isVisible());
    EXPECT_FALSE(button.progressLabel()->isVisible());
    EXPECT_FALSE(button.progressView()->isVisible());
    EXPECT_TRUE(button.imageView()->isVisible());
    EXPECT_EQ(button.progressView()->filledWidth(), 0);

    EXPECT_EQ(button.titleLabel()->geometry(), QRect(0, 5, 140, 20));
    EXPECT_EQ(button.imageView()->geometry(), QRect(38, 25, 64, 64));
    EXPECT_EQ(button.progressView()->geometry(), QRect(0, 94, 140, 10));
    EXPECT_EQ(button.progressLabel()->geometry(), QRect(140, 89, 60, 20));
    EXPECT_EQ(pixelAt(&button, QPoint(70, 57)), QColor(Qt::darkCyan));
}

TEST(VelquorDownloadButtonTest, EachStateShowsItsPartsInItsColours)
{
    const std::vector<StateLook> looks = {
        {0, false, false, clear, blue}, {1, true, true, clear, blue},    {2, true, true, clear, blue},
        {3, true, true, clear, blue},   {4, true, true, clear, blue},    {5, true, false, clear, blue},
        {6, true, true, blue, green},   {7, true, true, blue, green},    {8, true, true, blue, green},
        {9, true, false, clear, blue},  {42, false, false, clear, blue}, {-1, false, false, clear, blue},
    };
    VelquorDownloadButton button;
    button.resize(200, 130);
    button.show();
    for (const StateLook &look : looks) {
        SCOPED_TRACE(testing::Message() << "state " << look.state);
        button.setDownloadState(look.state);
        EXPECT_EQ(button.downloadState(), look.state);
        EXPECT_TRUE(button.imageView()->isVisible());
        EXPECT_EQ(button.titleLabel()->isVisible(), look.title);
        EXPECT_EQ(button.progressLabel()->isVisible(), look.progress);
        EXPECT_EQ(button.progressView()->isVisible(), look.progress);
        EXPECT_EQ(button.progressView()->trackColor(), look.track);
        EXPECT_EQ(button.progressView()->fillColor(), look.fill);
    }

    // What the bar really draws in an installed row at 37.5 %.
    button.setDownloadState(8);
    button.setDoubleValue(37.5);
    VelquorProgressView *bar = button.progressView();
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 140 * 0.375);
    EXPECT_EQ(pixelAt(bar, QPoint(25, 5)), green);
    EXPECT_EQ(pixelAt(bar, QPoint(100, 5)), blue);
}

TEST(VelquorDownloadButtonTest, ATitleTooWideForItsColumnReachesAcrossTheButtonWithThePictureUnderIt)
{
    VelquorDownloadButton button;
    button.resize(210, 114);
    button.setTitle(QStringLiteral("Paused"), 3);
    button.setDownloadState(3);
    EXPECT_EQ(button.titleLabel()->geometry(), QRect(0, 5, 150, 20));
    EXPECT_EQ(button.imageView()->geometry().center().x(), button.titleLabel()->geometry().center().x());

    // A title a little wider than the column: one line across more of the button, for every state.
    const QFontMetrics metrics(button.titleLabel()->font());
    QString wide = QStringLiteral("Downloading");
    while (metrics.horizontalAdvance(wide) <= 170)
        wide += QStringLiteral(" now");
    button.setTitle(wide, 1);
    const QRect title = button.titleLabel()->geometry();
    EXPECT_GE(title.width(), metrics.horizontalAdvance(wide));
    EXPECT_LE(title.right(), button.width() - 1);
    EXPECT_EQ(button.titleLabel()->heightForWidth(title.width()), metrics.height()) << "on one line";
    EXPECT_NEAR(button.imageView()->geometry().center().x(), title.center().x(), 1);
    EXPECT_EQ(button.progressView()->width(), 150) << "the bar keeps clear of the progress text";

    // Wider than the whole button: it wraps, and the picture stands under all its lines.
    button.setTitle(wide + wide, 9);
    button.setDownloadState(9);
    const int lines = button.titleLabel()->heightForWidth(button.titleLabel()->width());
    EXPECT_GT(lines, metrics.height());
    EXPECT_GE(button.titleLabel()->height(), lines);
    EXPECT_EQ(button.imageView()->y(), button.titleLabel()->geometry().bottom() + 1);
}

TEST(VelquorDownloadButtonTest, RegisteredTextsShowForTheCurrentStateOnly)
{
    VelquorDownloadButton button;
    for (int state = 0; state <= 9; ++state) {
        button.setTitle(QStringLiteral("title %1").arg(state), state);
        button.setProgressTitle(QStringLiteral("%1%").arg(state * 10), state);
    }
    button.setDownloadState(3);
    EXPECT_EQ(button.titleLabel()->text(), "title 3");
    EXPECT_EQ(button.progressLabel()->text(), "30%");

    button.setTitle(QStringLiteral("paused now"), 3);
    EXPECT_EQ(button.titleLabel()->text(), "paused now");
    button.setTitle(QStringLiteral("failed now"), 5);
    button.setTitle(QString(), 3);
    EXPECT_EQ(button.titleLabel()->text(), "paused now");
    button.setDownloadState(5);
    EXPECT_EQ(button.titleLabel()->text(), "failed now");

    // An unknown state shows what state 0 shows instead of nothing.
    button.setDownloadState(77);
    EXPECT_EQ(button.titleLabel()->text(), "title 0");
    EXPECT_EQ(button.progressLabel()->text(), "0%");
}

TEST(VelquorDownloadButtonTest, EveryPressSendsOneActionWithTheButton)
{
    QWidget top;
    top.resize(240, 150);
    auto *button = new VelquorDownloadButton(&top);
    button->setGeometry(20, 10, 200, 130);
    button->setTag(4);
    button->setTitle(QStringLiteral("Installed"), 8);
    button->setDownloadState(8);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    QSignalSpy pressed(button, &VelquorDownloadButton::pressed);

    // On the title, on the picture and on the bar: the parts do not swallow the press.
    const QPoint points[] = {button->titleLabel()->geometry().center(), button->imageView()->geometry().center(),
                             button->progressView()->geometry().center()};
    for (const QPoint &point : points) {
        QTest::mousePress(top.windowHandle(), Qt::LeftButton, {}, button->mapTo(&top, point));
        QTest::mouseRelease(top.windowHandle(), Qt::LeftButton, {}, button->mapTo(&top, point));
        QTest::qWait(QApplication::doubleClickInterval() + 20);
    }
    ASSERT_EQ(pressed.count(), 3);
    EXPECT_EQ(pressed.at(0).at(0).value<VelquorDownloadButton *>(), button);
    EXPECT_EQ(button->tag(), 4);

    // The press itself acts, not the release, and a double click is two presses.
    pressed.clear();
    QTest::mouseDClick(top.windowHandle(), Qt::LeftButton, {}, button->mapTo(&top, QPoint(70, 57)));
    EXPECT_EQ(pressed.count(), 2);
}

TEST(VelquorDownloadButtonTest, ANewTargetReplacesTheOldOneAndAGoneTargetGetsNothing)
{
    QWidget top;
    top.resize(240, 150);
    auto *button = new VelquorDownloadButton(&top);
    button->setGeometry(20, 10, 200, 130);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));

    struct Receiver : QObject
    {
        void action(VelquorDownloadButton *sender) { received << sender->tag(); }
        QList<qint64> received;
    };
    Receiver first;
    auto second = std::make_unique<Receiver>();
    // A row set up again on every refresh: the same target many times, then another one.
    for (int i = 0; i < 5; ++i)
        button->addTarget(&first, &Receiver::action);
    button->addTarget(static_cast<Receiver *>(nullptr), &Receiver::action); // ignored
    button->setTag(3);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(70, 57));
    EXPECT_EQ(first.received, QList<qint64>{3});

    button->addTarget(second.get(), &Receiver::action);
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(70, 57));
    EXPECT_EQ(first.received, QList<qint64>{3});
    EXPECT_EQ(second->received, QList<qint64>{3});

    second.reset();
    QSignalSpy pressed(button, &VelquorDownloadButton::pressed);
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(70, 57));
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(button->target(), nullptr);
}

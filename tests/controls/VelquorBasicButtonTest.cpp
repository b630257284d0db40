#include "controls/VelquorBasicButton.h"
#include "controls/PixelProbe.h"
#include "support/TestEnvironment.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using Position = VelquorBasicButton::ImagePosition;

struct PlacementRow
{
    Position position;
    bool grouped;
    std::optional<QPointF> image;
    std::optional<QPointF> title;
};

// Records the presses that reach it.
class PressRecorder : public QWidget
{
public:
    using QWidget::QWidget;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

class BasicButtonWindow
{
public:
    BasicButtonWindow()
    {
        top.resize(300, 150);
        below = new PressRecorder(&top);
        below->setGeometry(50, 40, 200, 60);
        button = new VelquorBasicButton(&top);
        button->setGeometry(50, 40, 200, 60);
        button->setBackgroundNormalColor(Qt::white);
        button->setBackgroundHighlightColor(Qt::blue);
        top.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
    }

    QWindow *window() { return top.windowHandle(); }
    QPoint inside() const { return button->geometry().center(); }
    QPoint outside() const { return QPoint(10, 10); }
    QColor background() { return pixelAt(button, QPoint(2, 2)); }
    void click()
    {
        QTest::mousePress(window(), Qt::LeftButton, {}, inside());
        QTest::mouseRelease(window(), Qt::LeftButton, {}, inside());
    }

    QWidget top;
    PressRecorder *below;
    VelquorBasicButton *button;
};

} // namespace

// W 100, H 40, picture 20 x 10, title 30 x 12, spacing 4.
TEST(VelquorBasicButtonTest, PlacesPictureAndTitleForEveryImagePosition)
{
    const std::vector<PlacementRow> rows = {
        {Position::NoImage, false, std::nullopt, QPointF(35, 14)},
        {Position::ImageOnly, false, QPointF(40, 15), std::nullopt},
        {Position::ImageOverlaps, false, QPointF(40, 15), QPointF(35, 14)},
        {Position::ImageLeft, true, QPointF(21, 15), QPointF(49, 14)},
        {Position::ImageLeft, false, QPointF(4, 15), QPointF(66, 14)},
        {Position::ImageRight, true, QPointF(59, 15), QPointF(21, 14)},
        {Position::ImageRight, false, QPointF(76, 15), QPointF(4, 14)},
        {Position::ImageBelow, true, QPointF(40, 25), QPointF(35, 5)},
        {Position::ImageBelow, false, QPointF(40, 26), QPointF(35, 4)},
        {Position::ImageAbove, true, QPointF(40, 5), QPointF(35, 23)},
        {Position::ImageAbove, false, QPointF(40, 4), QPointF(35, 24)},
    };
    for (const PlacementRow &row : rows) {
        SCOPED_TRACE(testing::Message() << "position " << int(row.position) << " grouped " << row.grouped);
        const auto placed = VelquorBasicButton::placement(row.position, row.grouped, QSizeF(100, 40), QSizeF(20, 10),
                                                          QSizeF(30, 12), 4);
        EXPECT_EQ(placed.imageOrigin, row.image);
        EXPECT_EQ(placed.titleOrigin, row.title);
    }
    // Leading and trailing read as left and right.
    for (bool grouped : {false, true}) {
        const auto place = [&](Position p) {
            return VelquorBasicButton::placement(p, grouped, QSizeF(100, 40), QSizeF(20, 10), QSizeF(30, 12), 4);
        };
        EXPECT_EQ(place(Position::ImageLeading).imageOrigin, place(Position::ImageLeft).imageOrigin);
        EXPECT_EQ(place(Position::ImageTrailing).titleOrigin, place(Position::ImageRight).titleOrigin);
    }
}

TEST(VelquorBasicButtonTest, MomentaryPressHighlightsAndReleaseFiresOnce)
{
    BasicButtonWindow w;
    w.button->setMomentary(true);
    QSignalSpy clicked(w.button, &VelquorBasicButton::clicked);
    EXPECT_EQ(w.background(), QColor(Qt::white));

    QTest::mousePress(w.window(), Qt::LeftButton, {}, w.inside());
    EXPECT_EQ(w.button->state(), 1);
    EXPECT_EQ(w.background(), QColor(Qt::blue));
    EXPECT_EQ(clicked.count(), 0);

    QTest::mouseRelease(w.window(), Qt::LeftButton, {}, w.inside());
    EXPECT_EQ(w.button->state(), 0);
    EXPECT_EQ(w.background(), QColor(Qt::white));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(VelquorBasicButtonTest, DraggingOutWhileHeldAbandonsThePress)
{
    BasicButtonWindow w;
    w.button->setMomentary(true);
    QSignalSpy clicked(w.button, &VelquorBasicButton::clicked);

    QTest::mousePress(w.window(), Qt::LeftButton, {}, w.inside());
    QTest::mouseMove(w.window(), w.outside());
    EXPECT_FALSE(w.button->isMouseDown());
    EXPECT_EQ(w.background(), QColor(Qt::white));
    // Coming back before the release does not revive it.
    QTest::mouseMove(w.window(), w.inside());
    QTest::mouseRelease(w.window(), Qt::LeftButton, {}, w.inside());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(w.button->state(), 0);
}

TEST(VelquorBasicButtonTest, ToggleButtonFlipsStateOnEveryClick)
{
    BasicButtonWindow w;
    QSignalSpy clicked(w.button, &VelquorBasicButton::clicked);
    w.click();
    EXPECT_EQ(w.button->state(), 1);
    EXPECT_EQ(w.background(), QColor(Qt::blue));
    w.click();
    EXPECT_EQ(w.button->state(), 0);
    EXPECT_EQ(w.background(), QColor(Qt::white));
    EXPECT_EQ(clicked.count(), 2);
}

TEST(VelquorBasicButtonTest, DisabledButtonLetsTheClickThrough)
{
    BasicButtonWindow w;
    QSignalSpy clicked(w.button, &VelquorBasicButton::clicked);
    w.button->setEnabled(false);
    w.click();
    EXPECT_EQ(w.below->presses, 1);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(w.button->state(), 0);

    w.button->setEnabled(true);
    w.click();
    EXPECT_EQ(w.below->presses, 1);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(VelquorBasicButtonTest, PictureIsDrawnAsItsShapeInThePictureColourAndFollowsResize)
{
    BasicButtonWindow w;
    QPixmap square(20, 20);
    square.fill(Qt::transparent);
    {
        QPainter painter(&square);
        painter.fillRect(QRect(5, 5, 10, 10), Qt::black);
    }
    w.button->setImage(square);
    w.button->setImagePosition(Position::ImageOnly);
    w.button->setImageNormalColor(Qt::red);

    QRect picture = w.button->imageRect();
    EXPECT_EQ(picture, QRect(90, 20, 20, 20));
    EXPECT_EQ(pixelAt(w.button, picture.center()), QColor(Qt::red));
    EXPECT_EQ(pixelAt(w.button, picture.topLeft() + QPoint(1, 1)), QColor(Qt::white));

    w.button->resize(100, 60);
    EXPECT_EQ(w.button->imageRect(), QRect(40, 20, 20, 20));
    EXPECT_EQ(pixelAt(w.button, QPoint(50, 30)), QColor(Qt::red));
}

TEST(VelquorBasicButtonTest, ColourChangesAnimateAndTheSameColourStartsNothing)
{
    BasicButtonWindow w;
    w.button->setOnAnimateDuration(0.05);
    w.button->setState(1);
    EXPECT_TRUE(w.button->isAnimating(VelquorBasicButton::BackgroundPart));
    EXPECT_EQ(w.button->partColor(VelquorBasicButton::BackgroundPart), QColor(Qt::blue));
    ASSERT_TRUE(waitUntil([&] { return !w.button->isAnimating(VelquorBasicButton::BackgroundPart); }));
    EXPECT_EQ(w.background(), QColor(Qt::blue));

    w.button->setBackgroundHighlightColor(Qt::blue);
    EXPECT_FALSE(w.button->isAnimating(VelquorBasicButton::BackgroundPart));
}

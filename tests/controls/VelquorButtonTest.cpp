#include "controls/VelquorButton.h"
#include "controls/PixelProbe.h"
#include "support/TestEnvironment.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// A shown window holding one button, driven through the window system like a real pointer.
class ButtonWindow
{
public:
    ButtonWindow()
    {
        top.resize(240, 120);
        button = new VelquorButton(QStringLiteral("MMMM"), &top);
        button->setGeometry(40, 30, 160, 60);
        QFont font = button->font();
        font.setPixelSize(30);
        font.setBold(true);
        button->setFont(font);
        top.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&top));
        moveOutside();
    }

    QWindow *window() { return top.windowHandle(); }
    QPoint inside() const { return button->geometry().center(); }
    void moveInside() { QTest::mouseMove(window(), inside()); }
    void moveOutside() { QTest::mouseMove(window(), QPoint(5, 5)); }

    QWidget top;
    VelquorButton *button;
};

} // namespace

TEST(VelquorButtonTest, PictureModeShowsFocusPictureWhileHoveredOrPressed)
{
    ButtonWindow w;
    EXPECT_EQ(w.button->backgroundImageName(), "Btn_Nor");

    w.moveInside();
    EXPECT_EQ(w.button->backgroundImageName(), "Btn_Fcs");
    w.moveOutside();
    EXPECT_EQ(w.button->backgroundImageName(), "Btn_Nor");

    QTest::mousePress(w.window(), Qt::LeftButton, {}, w.inside());
    EXPECT_EQ(w.button->backgroundImageName(), "Btn_Fcs");
    QTest::mouseRelease(w.window(), Qt::LeftButton, {}, w.inside());
    EXPECT_EQ(w.button->backgroundImageName(), "Btn_Nor");
    EXPECT_FALSE(w.button->hasFocus());
}

TEST(VelquorButtonTest, TextColourModeSwapsTitleColourOnHover)
{
    ButtonWindow w;
    w.button->setShowBackgroundImage(false);
    w.button->setOnlyShowTextColor(true);
    w.button->setNormalTextColor(QColor(200, 0, 0));
    w.button->setHighlightedTextColor(QColor(0, 150, 0));

    QImage image = snapshot(w.button);
    EXPECT_TRUE(containsColor(image, QColor(200, 0, 0)));
    EXPECT_FALSE(containsColor(image, QColor(0, 150, 0)));

    w.moveInside();
    image = snapshot(w.button);
    EXPECT_TRUE(containsColor(image, QColor(0, 150, 0)));
    EXPECT_FALSE(containsColor(image, QColor(200, 0, 0)));

    w.moveOutside();
    EXPECT_TRUE(containsColor(snapshot(w.button), QColor(200, 0, 0)));
}

TEST(VelquorButtonTest, LayerModeFillsWithBackgroundColoursAndSettersShowAtOnce)
{
    ButtonWindow w;
    w.button->setShowBackgroundImage(false);
    w.button->setOnlyShowTextColor(false);
    w.button->setNormalBackgroundColor(Qt::blue);
    w.button->setHighlightedBackgroundColor(Qt::yellow);
    const QPoint corner(3, 3);
    EXPECT_EQ(pixelAt(w.button, corner), QColor(Qt::blue));

    w.moveInside();
    EXPECT_EQ(pixelAt(w.button, corner), QColor(Qt::yellow));
    // No mouse event needed for a new colour to show.
    w.button->setHighlightedBackgroundColor(Qt::magenta);
    EXPECT_EQ(pixelAt(w.button, corner), QColor(Qt::magenta));

    w.moveOutside();
    EXPECT_EQ(pixelAt(w.button, corner), QColor(Qt::blue));
    w.button->setNormalBackgroundColor(Qt::cyan);
    EXPECT_EQ(pixelAt(w.button, corner), QColor(Qt::cyan));
}

TEST(VelquorButtonTest, PictureStandsLeftOfTheTitleAndTheAlignmentPlacesThePair)
{
    ButtonWindow w;
    w.button->setShowBackgroundImage(false);
    w.button->setOnlyShowTextColor(true);
    const QColor titleColour(200, 0, 0);
    w.button->setNormalTextColor(titleColour);
    w.button->setHighlightedTextColor(titleColour);
    QPixmap picture(16, 16);
    picture.fill(Qt::blue);
    w.button->setImage(picture);

    // Columns holding picture pixels and title pixels, as drawn.
    auto columns = [&](const QColor &colour) {
        const QImage image = snapshot(w.button);
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y) == colour) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return std::pair(first, last);
    };

    w.button->setAlignment(Qt::AlignLeft);
    auto [pictureLeft, pictureRight] = columns(QColor(Qt::blue));
    EXPECT_EQ(pictureLeft, 0);
    EXPECT_EQ(pictureRight, 15);
    EXPECT_GT(columns(titleColour).first, pictureRight);

    // Centred, the pair keeps the same gap and shares the spare room on both sides.
    w.button->setAlignment(Qt::AlignHCenter);
    const auto [centredLeft, centredRight] = columns(QColor(Qt::blue));
    const auto [titleLeft, titleRight] = columns(titleColour);
    EXPECT_GT(centredLeft, 0);
    EXPECT_EQ(centredRight - centredLeft, 15);
    EXPECT_GT(titleLeft, centredRight);
    EXPECT_NEAR(centredLeft, w.button->width() - 1 - titleRight, 4);
}

TEST(VelquorButtonTest, AButtonWiderThanItsPictureStretchesItAndKeepsTheTitleInside)
{
    QWidget top;
    top.resize(300, 80);
    auto *button = new VelquorButton(QStringLiteral("A long title for the picture"), &top);
    button->setGeometry(10, 10, button->widthForTitle(button->text()), 48);
    top.show();
    ASSERT_GT(button->width(), 130);
    const QRect title = button->titleRect();
    EXPECT_GE(title.width(), button->fontMetrics().horizontalAdvance(button->text()));
    EXPECT_TRUE(button->rect().contains(title));

    // The picture's colour reaches both ends of the wider button, at its rounded ends' height.
    const QImage shown = snapshot(button);
    const QColor picture(0x17, 0x75, 0x87);
    for (const int x : {4, button->width() / 2, button->width() - 5})
        EXPECT_EQ(shown.pixelColor(x, 10), picture) << x;
}

#include "controls/VelquorProgressView.h"
#include "controls/PixelProbe.h"
#include "controls/VelquorProgressIndicatorColors.h"

#include <QProgressBar>

#include <gtest/gtest.h>

#include <limits>

namespace {

VelquorProgressView *makeBar(QWidget *parent)
{
    auto *bar = new VelquorProgressView(parent);
    bar->setGeometry(0, 0, 200, 10);
    bar->setMaxValue(100);
    bar->setTrackColor(Qt::blue);
    bar->setFillColor(Qt::green);
    return bar;
}

} // namespace

TEST(VelquorProgressViewTest, HalfOfTheMaximumFillsHalfTheTrackAndFollowsResize)
{
    QWidget top;
    VelquorProgressView *bar = makeBar(&top);
    bar->setProgress(50);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 100);
    EXPECT_EQ(pixelAt(bar, QPoint(50, 5)), QColor(Qt::green));
    EXPECT_EQ(pixelAt(bar, QPoint(97, 5)), QColor(Qt::green));
    EXPECT_EQ(pixelAt(bar, QPoint(103, 5)), QColor(Qt::blue));
    EXPECT_EQ(pixelAt(bar, QPoint(150, 5)), QColor(Qt::blue));

    bar->resize(300, 10);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 150);
    EXPECT_EQ(pixelAt(bar, QPoint(140, 5)), QColor(Qt::green));
    EXPECT_EQ(pixelAt(bar, QPoint(160, 5)), QColor(Qt::blue));

    bar->setProgress(0);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 0);
    EXPECT_EQ(pixelAt(bar, QPoint(5, 5)), QColor(Qt::blue));
}

TEST(VelquorProgressViewTest, OutOfRangeValuesStayInsideTheTrack)
{
    QWidget top;
    VelquorProgressView *bar = makeBar(&top);
    bar->setProgress(250);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 200);
    bar->setProgress(-20);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 0);
    bar->setProgress(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 0);

    // Without a maximum nothing is filled and nothing divides by zero.
    bar->setProgress(50);
    bar->setMaxValue(0);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 0);
    EXPECT_EQ(pixelAt(bar, QPoint(50, 5)), QColor(Qt::blue));
    bar->setMaxValue(-5);
    EXPECT_DOUBLE_EQ(bar->filledWidth(), 0);
}

TEST(VelquorProgressViewTest, CustomColourTintsEveryDrawnPixelOfAPlatformBar)
{
    QProgressBar indicator;
    indicator.setTextVisible(false);
    indicator.resize(200, 20);
    indicator.setRange(0, 100);
    indicator.setValue(60);
    VelquorProgressIndicatorColors::setCustomColor(&indicator, QColor(255, 0, 255));
    const QImage image = snapshot(&indicator);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 255) {
                ASSERT_EQ(pixel, QColor(255, 0, 255)) << x << "," << y;
            }
        }
    EXPECT_TRUE(containsColor(image, QColor(255, 0, 255)));
}

#include "controls/VelquorImageResize.h"
#include "controls/VelquorImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A picture made of vertical bands, left to right.
QPixmap bands(const QSize &size, const QList<std::pair<int, QColor>> &widths)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    int x = 0;
    for (const auto &[width, color] : widths) {
        painter.fillRect(x, 0, width, size.height(), color);
        x += width;
    }
    return pixmap;
}

// A picture with a frame of `inset` pixels in one colour around a centre in another.
QPixmap framed(const QSize &size, int inset, const QColor &frame, const QColor &centre)
{
    QPixmap pixmap(size);
    pixmap.fill(frame);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(QPoint(0, 0), size).adjusted(inset, inset, -inset, -inset), centre);
    return pixmap;
}

QColor at(const QPixmap &pixmap, int x, int y)
{
    return pixmap.toImage().pixelColor(x, y);
}

} // namespace

TEST(VelquorImageResize, CropsAtTheCentreWithoutDistortion)
{
    EXPECT_EQ(VelquorImageResize::centredSourceRect(QSizeF(200, 100), QSizeF(100, 100)), QRectF(50, 0, 100, 100));
    EXPECT_EQ(VelquorImageResize::centredSourceRect(QSizeF(200, 100), QSizeF(200, 50)), QRectF(0, 25, 200, 50));

    const QPixmap picture = bands(QSize(200, 100), {{50, Qt::red}, {100, Qt::blue}, {50, Qt::green}});
    const QPixmap square = VelquorImageResize::resizeImageWithSize(picture, QSizeF(100, 100));
    ASSERT_EQ(square.size(), QSize(100, 100));
    for (const QPoint &p : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 99), QPoint(99, 99), QPoint(50, 50)})
        EXPECT_EQ(at(square, p.x(), p.y()), QColor(Qt::blue)) << p.x() << "," << p.y();

    const QPixmap same = VelquorImageResize::resizeImageWithSize(picture, QSizeF(200, 100));
    EXPECT_EQ(same.toImage().convertToFormat(QImage::Format_RGB32),
              picture.toImage().convertToFormat(QImage::Format_RGB32));
}

TEST(VelquorImageResize, NinePartStretchKeepsCornersAndStretchesTheRest)
{
    const QPixmap picture = framed(QSize(30, 30), 10, Qt::red, Qt::blue);
    const QPixmap wide =
        VelquorImageResize::stretchableImageWithSize(picture, QSizeF(100, 60), QMargins(10, 10, 10, 10));
    ASSERT_EQ(wide.size(), QSize(100, 60));
    for (const QPoint &p : {QPoint(5, 5), QPoint(50, 5), QPoint(94, 5), QPoint(5, 30), QPoint(95, 54), QPoint(50, 55)})
        EXPECT_EQ(at(wide, p.x(), p.y()), QColor(Qt::red)) << p.x() << "," << p.y();
    for (const QPoint &p : {QPoint(11, 11), QPoint(50, 30), QPoint(88, 48)})
        EXPECT_EQ(at(wide, p.x(), p.y()), QColor(Qt::blue)) << p.x() << "," << p.y();

    // No insets: the whole picture is the centre and stretches both ways.
    const QPixmap halves = bands(QSize(20, 20), {{10, Qt::red}, {10, Qt::blue}});
    const QPixmap stretched = VelquorImageResize::stretchableImageWithSize(halves, QSizeF(100, 40), QMargins());
    EXPECT_EQ(at(stretched, 45, 20), QColor(Qt::red));
    EXPECT_EQ(at(stretched, 55, 20), QColor(Qt::blue));
    EXPECT_EQ(at(stretched, 99, 39), QColor(Qt::blue));
}

TEST(VelquorImageResize, ThreePartAndCoverResize)
{
    const QPixmap picture = bands(QSize(30, 10), {{10, Qt::red}, {10, Qt::blue}, {10, Qt::green}});
    const QPixmap bar = VelquorImageResize::stretchableImageWithLeftCapWidth(picture, 10, 80, 10);
    ASSERT_EQ(bar.size(), QSize(100, 10));
    EXPECT_EQ(at(bar, 9, 5), QColor(Qt::red));
    EXPECT_EQ(at(bar, 50, 5), QColor(Qt::blue));
    EXPECT_EQ(at(bar, 90, 5), QColor(Qt::green));

    // 100 x 50 into 50 x 50: drawn at its own size, centred, the sides cut off.
    const QPixmap wide = bands(QSize(100, 50), {{25, Qt::red}, {50, Qt::blue}, {25, Qt::green}});
    const QPixmap cover = VelquorImageResize::resizeImage(wide, QSizeF(50, 50));
    ASSERT_EQ(cover.size(), QSize(50, 50));
    EXPECT_EQ(at(cover, 0, 25), QColor(Qt::blue));
    EXPECT_EQ(at(cover, 49, 25), QColor(Qt::blue));
}

TEST(VelquorImageResize, MissingOrZeroSizedPicturesGiveNothing)
{
    const QPixmap picture = bands(QSize(20, 10), {{20, Qt::red}});
    EXPECT_TRUE(VelquorImageResize::resizeImageWithSize(QPixmap(), QSizeF(10, 10)).isNull());
    EXPECT_TRUE(VelquorImageResize::resizeImageWithSize(picture, QSizeF(0, 10)).isNull());
    EXPECT_TRUE(VelquorImageResize::resizeImageWithSize(picture, QSizeF(10, 0)).isNull());
    EXPECT_TRUE(VelquorImageResize::stretchableImageWithSize(QPixmap(), QSizeF(10, 10), {}).isNull());
    EXPECT_TRUE(VelquorImageResize::stretchableImageWithSize(picture, QSizeF(), {}).isNull());
    EXPECT_TRUE(VelquorImageResize::stretchableImageWithLeftCapWidth(QPixmap(), 1, 1, 1).isNull());
    EXPECT_TRUE(VelquorImageResize::stretchableImageWithLeftCapWidth(picture, 0, 0, 0).isNull());
    EXPECT_TRUE(VelquorImageResize::resizeImage(QPixmap(), QSizeF(10, 10)).isNull());
    EXPECT_TRUE(VelquorImageResize::resizeImage(picture, QSizeF(10, -1)).isNull());
}

TEST(VelquorImageView, DraggingThePictureMovesTheWindow)
{
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    auto *view = new VelquorImageView(&window);
    view->setGeometry(0, 0, 300, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    const QPointF local(20, 20);
    const QPointF global = view->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(view, &press);
    QMouseEvent move(QEvent::MouseMove, local + QPointF(30, 15), global + QPointF(30, 15), Qt::NoButton, Qt::LeftButton,
                     {});
    QCoreApplication::sendEvent(view, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + QPointF(30, 15), global + QPointF(30, 15), Qt::LeftButton,
                        Qt::NoButton, {});
    QCoreApplication::sendEvent(view, &release);
    EXPECT_EQ(window.pos(), start + QPoint(30, 15));
}

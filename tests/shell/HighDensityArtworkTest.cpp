#include "support/TestEnvironment.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorButton.h"
#include "shell/VelquorMessageSheet.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The scale is fixed when the application starts, so the checks run in a child of this test at
// scale 2; the parent only starts it and reads its verdict.
const char kChildVariable[] = "VELQUOR_HIGH_DENSITY_CHILD";

bool isChild()
{
    return qEnvironmentVariableIsSet(kChildVariable);
}

void runInChildAtScaleTwo(const char *testName)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=HighDensityArtwork.%1").arg(QString::fromLatin1(testName))});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

// The artwork drawn directly into `pixels` device pixels over white: what a sharp render shows.
QImage freshRender(const QString &name, const QSize &pixels)
{
    QImage image(pixels, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QSvgRenderer(QStringLiteral(":/images/%1.svg").arg(name)).render(&painter);
    return image;
}

// The largest difference of one colour channel between the two images inside `area`.
int largestDifference(const QImage &shown, const QImage &expected, const QRect &area)
{
    const QImage a = shown.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// Anti-aliasing of the same shape differs by a few levels; a picture drawn at scale 1 and blown
// up differs by far more along every edge.
constexpr int kSharpTolerance = 24;

} // namespace

TEST(HighDensityArtwork, ButtonPicturesAndAlertIconsAreDrawnForTheScreen)
{
    if (!isChild()) {
        runInChildAtScaleTwo("ButtonPicturesAndAlertIconsAreDrawnForTheScreen");
        return;
    }
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0);

    // A button's background picture, away from its title.
    QWidget page;
    page.setAutoFillBackground(true);
    QPalette white = page.palette();
    white.setColor(QPalette::Window, Qt::white);
    page.setPalette(white);
    auto *button = new VelquorButton(QStringLiteral("OK"), &page);
    button->setGeometry(0, 0, 130, 48);
    page.resize(130, 48);
    page.show();
    const QImage shownButton = page.grab().toImage();
    ASSERT_EQ(shownButton.size(), QSize(260, 96));
    const QImage expectedButton = freshRender(QStringLiteral("Btn_Nor"), QSize(260, 96));
    EXPECT_LE(largestDifference(shownButton, expectedButton, QRect(0, 0, 60, 96)), kSharpTolerance);

    // The application icon of a message sheet.
    VelquorAlert::setPresentationHook([](VelquorAlert *) {});
    QPointer<VelquorAlert> alert = VelquorMessageSheet::beginSheet(&page, QStringLiteral("Sign-in failed."));
    ASSERT_TRUE(alert);
    ASSERT_TRUE(waitUntil([&] { return alert->isVisible(); }));
    QLabel *icon = alert->iconImageView();
    ASSERT_EQ(icon->size(), QSize(64, 64));
    const QImage shownIcon = icon->grab().toImage();
    ASSERT_EQ(shownIcon.size(), QSize(128, 128));
    EXPECT_LE(largestDifference(shownIcon, freshRender(QStringLiteral("AppIcon"), QSize(128, 128)),
                                QRect(0, 0, 128, 128)),
              kSharpTolerance);
    alert->done(VelquorAlert::OKReturnCode);
    VelquorAlert::setPresentationHook(nullptr);
}

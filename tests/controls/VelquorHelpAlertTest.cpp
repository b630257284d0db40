#include "controls/VelquorHelpAlert.h"
#include "support/TestEnvironment.h"

#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Two pages; the first carries a large black block that must show in the viewer.
QString writeTwoPagePdf(const QString &directory)
{
    const QString path = directory + QStringLiteral("/help.pdf");
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.fillRect(QRect(50, 50, 400, 300), Qt::black);
    writer.newPage();
    painter.drawText(QPoint(50, 50), QStringLiteral("second page"));
    painter.end();
    return path;
}

bool showsDarkPixel(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            if (qGray(image.pixel(x, y)) < 30)
                return true;
    return false;
}

} // namespace

TEST(VelquorHelpAlertTest, FullPictureFillsTheWindowUnderAFloatingCloseBox)
{
    std::unique_ptr<VelquorHelpAlert> full(
        VelquorHelpAlert::helpAlertWithTitle(QString(), QStringLiteral("sdCard"), true));
    full->show();
    EXPECT_EQ(full->size(), QSize(1140, 724));
    EXPECT_FALSE(full->titleBarView()->isVisible());
    EXPECT_EQ(full->closeButton()->parentWidget(), full.get());
    EXPECT_EQ(full->closeButton()->geometry(), QRect(1100, 0, 40, 40));
    EXPECT_EQ(full->helpImageView()->geometry(), QRect(0, 0, 1140, 724));
    EXPECT_EQ(full->okButton(), nullptr);
    EXPECT_EQ(full->messageTextField(), nullptr);
    QTest::mouseClick(full->closeButton(), Qt::LeftButton);
    EXPECT_EQ(full->result(), 0);

    std::unique_ptr<VelquorHelpAlert> framed(
        VelquorHelpAlert::helpAlertWithTitle(QStringLiteral("Help"), QStringLiteral("sdCard"), false));
    framed->show();
    EXPECT_EQ(framed->size(), QSize(1140, 724));
    EXPECT_EQ(framed->titleBarView()->height(), 22);
    EXPECT_FALSE(framed->titleBarBgImageView()->isVisible());
    EXPECT_EQ(framed->helpImageView()->geometry(), QRect(0, 22, 1140, 702));
}

TEST(VelquorHelpAlertTest, ShowsAPdfDocumentPageUnderPage)
{
    QTemporaryDir directory;
    const QString path = writeTwoPagePdf(directory.path());
    std::unique_ptr<VelquorHelpAlert> alert(VelquorHelpAlert::helpAlertWithTitle(QString(), QUrl::fromLocalFile(path)));
    QPdfView *view = alert->pdfView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->document()->status(), QPdfDocument::Status::Ready);
    EXPECT_EQ(view->document()->pageCount(), 2);
    EXPECT_EQ(view->pageMode(), QPdfView::PageMode::MultiPage);

    int code = -1;
    bool rendered = false;
    VelquorAlert::setPresentationHook([&](VelquorAlert *shown) {
        EXPECT_EQ(view->geometry(), QRect(0, 22, 1140, 702));
        rendered = waitUntil([&] { return showsDarkPixel(view->viewport()); });
        QTest::mouseClick(shown->closeButton(), Qt::LeftButton);
    });
    code = alert->runModal();
    VelquorAlert::setPresentationHook(nullptr);
    EXPECT_TRUE(rendered);
    EXPECT_EQ(code, 0);

    // A damaged document leaves an empty viewer with the reason in its status.
    QFile broken(directory.path() + QStringLiteral("/broken.pdf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("%PDF-1.4 not really");
    broken.close();
    std::unique_ptr<VelquorHelpAlert> damaged(
        VelquorHelpAlert::helpAlertWithTitle(QString(), QUrl::fromLocalFile(broken.fileName())));
    EXPECT_EQ(damaged->pdfView()->document()->status(), QPdfDocument::Status::Error);
}

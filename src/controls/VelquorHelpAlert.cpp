#include "VelquorHelpAlert.h"

#include "VelquorImageResize.h"
#include "VelquorImageView.h"
#include "VelquorImages.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kHelpTitleBarHeight = 22;
constexpr int kFloatingCloseBoxSide = 40;

// "qrc:/x.pdf" and ":/x.pdf" name compiled-in documents; anything else must be a local file.
QString documentPath(const QUrl &url)
{
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path();
    if (url.isLocalFile())
        return url.toLocalFile();
    return url.toString();
}

} // namespace

VelquorHelpAlert::VelquorHelpAlert(QWidget *parent) : VelquorAlert(parent)
{
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, Qt::white);
    setPalette(windowPalette);

    titleBarView()->setAutoFillBackground(false);
    QPalette titlePalette = titleTextField()->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::black);
    titleTextField()->setPalette(titlePalette);

    // Icon, texts and buttons have no place in a help window.
    setBodyView(nullptr);
    setTitleBarHeight(kHelpTitleBarHeight);

    setFixedSize(WindowWidth, WindowHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void VelquorHelpAlert::useCloseBoxPicture(const QString &name)
{
    const QPixmap picture = VelquorImages::named(name);
    if (picture.isNull()) {
        QPalette palette = closeButton()->palette();
        palette.setColor(QPalette::ButtonText, Qt::black);
        closeButton()->setPalette(palette);
        return;
    }
    closeButton()->setText(QString());
    closeButton()->setIcon(QIcon(picture));
}

VelquorHelpAlert *VelquorHelpAlert::helpAlertWithTitle(const QString &title, const QString &imageName, bool full)
{
    auto *alert = new VelquorHelpAlert;
    alert->titleTextField()->setText(title);

    auto *imageView = new VelquorImageView(alert);
    imageView->setObjectName(QStringLiteral("helpImageView"));
    imageView->setImage(
        VelquorImageResize::resizeImageWithSize(VelquorImages::named(imageName), QSizeF(WindowWidth, WindowHeight)));
    imageView->setImageScaling(VelquorImageView::ImageScaling::None);
    alert->m_helpImageView = imageView;
    alert->setBodyView(imageView);

    if (full) {
        // The picture takes the whole window; the close box floats over its top right corner.
        alert->titleBarView()->hide();
        QPushButton *close = alert->closeButton();
        close->setParent(alert);
        close->setIconSize(QSize(kFloatingCloseBoxSide, kFloatingCloseBoxSide) * 3 / 4);
        close->show();
        alert->m_floatingCloseBox = true;
        alert->placeFloatingCloseBox();
    } else {
        alert->titleBarBgImageView()->hide();
        alert->useCloseBoxPicture(QStringLiteral("close_black"));
    }
    return alert;
}

VelquorHelpAlert *VelquorHelpAlert::helpAlertWithTitle(const QString &title, const QUrl &pdfURL)
{
    auto *alert = new VelquorHelpAlert;
    alert->titleTextField()->setText(title);
    alert->titleBarBgImageView()->hide();
    alert->useCloseBoxPicture(QStringLiteral("close_black"));

    // A missing or damaged document leaves the view empty; the document's status tells why.
    alert->m_pdfDocument = new QPdfDocument(alert);
    alert->m_pdfDocument->load(documentPath(pdfURL));

    auto *view = new QPdfView(alert);
    view->setObjectName(QStringLiteral("pdfView"));
    QPalette palette = view->palette();
    palette.setColor(QPalette::Dark, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    view->setPalette(palette);
    view->setFrameShape(QFrame::NoFrame);
    view->setPageMode(QPdfView::PageMode::MultiPage);
    view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    view->setZoomFactor(1.0);
    view->setDocument(alert->m_pdfDocument);
    alert->m_pdfView = view;
    alert->setBodyView(view);
    return alert;
}

void VelquorHelpAlert::placeFloatingCloseBox()
{
    if (!m_floatingCloseBox || !closeButton())
        return;
    closeButton()->setGeometry(width() - kFloatingCloseBoxSide, 0, kFloatingCloseBoxSide, kFloatingCloseBoxSide);
    closeButton()->raise();
}

void VelquorHelpAlert::resizeEvent(QResizeEvent *event)
{
    VelquorAlert::resizeEvent(event);
    placeFloatingCloseBox();
}

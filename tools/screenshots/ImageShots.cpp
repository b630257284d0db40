// The image helpers' results, and the window-dragging picture view.
#include "ShotRegistry.h"

#include "controls/VelquorImageResize.h"
#include "controls/VelquorImageView.h"
#include "controls/VelquorImages.h"

#include <QPainter>

namespace {

// The artwork when it is there, otherwise a recognisable test card of the same role.
QPixmap artworkOr(const QString &name, const QSize &fallbackSize)
{
    const QPixmap art = VelquorImages::named(name);
    if (!art.isNull())
        return art;
    QPixmap card(fallbackSize);
    card.fill(QColor(0x30, 0x60, 0xA0));
    QPainter painter(&card);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawRect(QRect(QPoint(0, 0), fallbackSize).adjusted(2, 2, -3, -3));
    painter.drawLine(0, 0, fallbackSize.width(), fallbackSize.height());
    return card;
}

std::unique_ptr<QWidget> showing(const QPixmap &pixmap, const QSize &size)
{
    auto view = std::make_unique<VelquorImageView>();
    view->resize(size);
    view->setPalette(QPalette(Qt::white));
    view->setAutoFillBackground(true);
    view->setImageScaling(VelquorImageView::ImageScaling::None);
    view->setImage(pixmap);
    return view;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    registry.add("images", "title-bar-resized", [] {
        return showing(VelquorImageResize::resizeImageWithSize(artworkOr("head", QSize(800, 60)), QSizeF(1180, 44)),
                       QSize(1180, 44));
    });
    registry.add("images", "footer-nine-part", [] {
        return showing(VelquorImageResize::stretchableImageWithSize(artworkOr("Bottom", QSize(40, 25)),
                                                                    QSizeF(1140, 25), QMargins(8, 8, 8, 8)),
                       QSize(1140, 25));
    });
    registry.add("images", "vehicle-70", [] {
        return showing(VelquorImageResize::resizeImageWithSize(artworkOr("BMW", QSize(120, 80)), QSizeF(70, 70)),
                       QSize(70, 70));
    });
    registry.add("images", "three-part", [] {
        return showing(
            VelquorImageResize::stretchableImageWithLeftCapWidth(artworkOr("Btn_Nor", QSize(60, 30)), 10, 200, 10),
            QSize(220, 40));
    });
    registry.add("images", "cover", [] {
        return showing(VelquorImageResize::resizeImage(artworkOr("head", QSize(800, 60)), QSizeF(300, 100)),
                       QSize(300, 100));
    });
    registry.add("images", "image-view-scaled-down", [] {
        auto view = showing(artworkOr("help", QSize(1600, 1000)), QSize(400, 250));
        static_cast<VelquorImageView *>(view.get())
            ->setImageScaling(VelquorImageView::ImageScaling::ProportionallyDown);
        return view;
    });
}

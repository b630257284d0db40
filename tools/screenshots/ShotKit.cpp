#include "ShotKit.h"

#include <QCoreApplication>
#include <QEnterEvent>

namespace ShotKit {

QFont systemFont(int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    return font;
}

std::unique_ptr<QWidget> page(const QSize &size, const QColor &background)
{
    auto host = std::make_unique<QWidget>();
    host->resize(size);
    host->setPalette(QPalette(background));
    host->setAutoFillBackground(true);
    return host;
}

void hover(QWidget *widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    QEnterEvent enter(centre, centre, widget->mapToGlobal(centre));
    QCoreApplication::sendEvent(widget, &enter);
}

} // namespace ShotKit

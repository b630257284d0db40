#include "VelquorImages.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

QString svgPath(const QString &name)
{
    return QStringLiteral(":/images/%1.svg").arg(name);
}

QString pngPath(const QString &name)
{
    return QStringLiteral(":/images/%1.png").arg(name);
}

QSize devicePixels(const QSizeF &size, qreal ratio)
{
    return QSize(qMax(1, qRound(size.width() * ratio)), qMax(1, qRound(size.height() * ratio)));
}

// The vector picture drawn straight into the pixels it will cover: never scaled afterwards.
QPixmap renderSvg(const QString &path, const QSize &wanted, qreal ratio)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    const QSize natural = renderer.defaultSize();
    if (natural.isEmpty())
        return {};
    const QSizeF size = wanted.isEmpty() ? QSizeF(natural) : QSizeF(natural).scaled(wanted, Qt::KeepAspectRatio);
    QPixmap pixmap(devicePixels(size, ratio));
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// A bitmap has the pixels it has: only a requested size makes a new one.
QPixmap loadPng(const QString &path, const QSize &wanted, qreal ratio)
{
    QPixmap pixmap(path);
    if (pixmap.isNull() || wanted.isEmpty())
        return pixmap;
    const QSizeF size = QSizeF(pixmap.size()).scaled(wanted, Qt::KeepAspectRatio);
    QPixmap scaled = pixmap.scaled(devicePixels(size, ratio), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

} // namespace

qreal VelquorImages::devicePixelRatio()
{
    return qGuiApp ? qMax<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
}

QPixmap VelquorImages::named(const QString &name)
{
    return named(name, QSize(), devicePixelRatio());
}

QPixmap VelquorImages::named(const QString &name, const QSize &size)
{
    return named(name, size, devicePixelRatio());
}

QPixmap VelquorImages::named(const QString &name, const QSize &size, qreal ratio)
{
    if (name.isEmpty() || ratio <= 0)
        return {};
    const QString cacheKey = QStringLiteral("velquor-image:%1:%2x%3@%4")
                                 .arg(name)
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(cacheKey, &pixmap))
        return pixmap;

    if (QFile::exists(svgPath(name)))
        pixmap = renderSvg(svgPath(name), size, ratio);
    if (pixmap.isNull() && QFile::exists(pngPath(name)))
        pixmap = loadPng(pngPath(name), size, ratio);
    if (!pixmap.isNull())
        QPixmapCache::insert(cacheKey, pixmap);
    return pixmap;
}

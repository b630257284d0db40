#include "VelquorImages.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

QPixmap renderSvg(const QString &path)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    const QSize size = renderer.defaultSize();
    if (size.isEmpty())
        return {};
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

QPixmap VelquorImages::named(const QString &name)
{
    if (name.isEmpty())
        return {};
    const QString cacheKey = QStringLiteral("velquor-image:") + name;
    QPixmap pixmap;
    if (QPixmapCache::find(cacheKey, &pixmap))
        return pixmap;

    const QString svgPath = QStringLiteral(":/images/%1.svg").arg(name);
    const QString pngPath = QStringLiteral(":/images/%1.png").arg(name);
    if (QFile::exists(svgPath))
        pixmap = renderSvg(svgPath);
    if (pixmap.isNull() && QFile::exists(pngPath))
        pixmap.load(pngPath);
    if (!pixmap.isNull())
        QPixmapCache::insert(cacheKey, pixmap);
    return pixmap;
}

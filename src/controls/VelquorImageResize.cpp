#include "VelquorImageResize.h"

#include <QPainter>
#include <QTileRules>

#include <cmath>

namespace {

bool usable(const QPixmap &image)
{
    return !image.isNull() && !image.deviceIndependentSize().isEmpty();
}

bool usable(const QSizeF &size)
{
    return size.width() >= 1.0 && size.height() >= 1.0;
}

// A transparent canvas of `size` device-independent pixels at the picture's pixel ratio, so
// high-density artwork stays sharp.
QPixmap canvasFor(const QPixmap &image, const QSizeF &size)
{
    const qreal ratio = image.devicePixelRatio();
    QPixmap canvas(QSize(qCeil(size.width() * ratio), qCeil(size.height() * ratio)));
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    return canvas;
}

// Source rectangles are given in device-independent pixels; drawPixmap wants device pixels.
QRectF toPixels(const QRectF &rect, qreal ratio)
{
    return {rect.x() * ratio, rect.y() * ratio, rect.width() * ratio, rect.height() * ratio};
}

} // namespace

QRectF VelquorImageResize::centredSourceRect(const QSizeF &imageSize, const QSizeF &targetSize)
{
    const qreal w = imageSize.width();
    const qreal h = imageSize.height();
    const qreal W = targetSize.width();
    const qreal H = targetSize.height();
    qreal sourceWidth = w;
    qreal sourceHeight = h;
    if (H / h < W / w)
        sourceHeight = std::floor(H * w / W);
    else
        sourceWidth = std::floor(W * h / H);
    return {std::floor((w - sourceWidth) / 2), std::floor((h - sourceHeight) / 2), sourceWidth, sourceHeight};
}

QPixmap VelquorImageResize::resizeImageWithSize(const QPixmap &image, const QSizeF &size)
{
    if (!usable(image) || !usable(size))
        return {};
    const QRectF source = centredSourceRect(image.deviceIndependentSize(), size);
    QPixmap result = canvasFor(image, size);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(QRectF(QPointF(0, 0), size), image, toPixels(source, image.devicePixelRatio()));
    return result;
}

QPixmap VelquorImageResize::stretchableImageWithSize(const QPixmap &image, const QSizeF &size,
                                                     const QMargins &edgeInsets)
{
    if (!usable(image) || !usable(size))
        return {};
    QPixmap result = canvasFor(image, size);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target(QPoint(0, 0), size.toSize());
    const QRect source(QPoint(0, 0), image.deviceIndependentSize().toSize());
    qDrawBorderPixmap(&painter, target, edgeInsets, image, source, edgeInsets, QTileRules(Qt::StretchTile));
    return result;
}

QPixmap VelquorImageResize::stretchableImageWithLeftCapWidth(const QPixmap &image, float leftCapWidth,
                                                             float middleWidth, float rightCapWidth)
{
    const QSizeF imageSize = image.deviceIndependentSize();
    const QSizeF size(qMax(0.0f, leftCapWidth) + qMax(0.0f, middleWidth) + qMax(0.0f, rightCapWidth),
                      imageSize.height());
    if (!usable(image) || !usable(size))
        return {};
    const qreal ratio = image.devicePixelRatio();
    const qreal w = imageSize.width();
    const qreal h = imageSize.height();
    QPixmap result = canvasFor(image, size);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Each piece only when it has a width, as the caps may be left out.
    if (leftCapWidth > 0)
        painter.drawPixmap(QRectF(0, 0, leftCapWidth, h), image, toPixels(QRectF(0, 0, leftCapWidth, h), ratio));
    if (middleWidth > 0)
        painter.drawPixmap(QRectF(qMax(0.0f, leftCapWidth), 0, middleWidth, h), image,
                           toPixels(QRectF(leftCapWidth, 0, w - rightCapWidth - leftCapWidth, h), ratio));
    if (rightCapWidth > 0)
        painter.drawPixmap(QRectF(size.width() - rightCapWidth, 0, rightCapWidth, h), image,
                           toPixels(QRectF(w - rightCapWidth, 0, rightCapWidth, h), ratio));
    return result;
}

QPixmap VelquorImageResize::resizeImage(const QPixmap &image, const QSizeF &size)
{
    if (!usable(image) || !usable(size))
        return {};
    const QSizeF imageSize = image.deviceIndependentSize();
    QPixmap result = canvasFor(image, size);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (imageSize == size) {
        painter.drawPixmap(QPointF(0, 0), image);
        return result;
    }
    const qreal widthRatio = size.width() / imageSize.width();
    const qreal heightRatio = size.height() / imageSize.height();
    const qreal scale = qMax(widthRatio, heightRatio);
    const QSizeF scaled(std::ceil(imageSize.width() * scale), std::ceil(imageSize.height() * scale));
    QPointF offset(0, 0);
    if (heightRatio > widthRatio)
        offset.setX((size.width() - scaled.width()) / 2);
    else
        offset.setY((size.height() - scaled.height()) / 2);
    painter.drawPixmap(QRectF(offset, scaled), image, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return result;
}

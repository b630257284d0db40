#pragma once

#include <QMargins>
#include <QPixmap>
#include <QRectF>
#include <QSizeF>

// Resized and stretched copies of pictures (title bars, help pictures, window backgrounds,
// vehicle pictures). The source is never changed; a missing or zero-size picture, or a zero
// target size, gives an empty pixmap so callers never paint garbage.
class VelquorImageResize
{
public:
    // A copy of exactly `size` that the picture fills without distortion, cut at the centre.
    static QPixmap resizeImageWithSize(const QPixmap &image, const QSizeF &size);

    // Nine-part stretch: corners keep their size, edges stretch along one axis, the centre along both.
    static QPixmap stretchableImageWithSize(const QPixmap &image, const QSizeF &size, const QMargins &edgeInsets);

    // Three-part horizontal stretch: width left + middle + right, the picture's own height.
    static QPixmap stretchableImageWithLeftCapWidth(const QPixmap &image, float leftCapWidth, float middleWidth,
                                                    float rightCapWidth);

    // The whole picture scaled to cover `size` and centred; what lies outside is cut off.
    static QPixmap resizeImage(const QPixmap &image, const QSizeF &size);

    // The part of a picture of `imageSize` that resizeImageWithSize keeps for `targetSize`.
    static QRectF centredSourceRect(const QSizeF &imageSize, const QSizeF &targetSize);
};

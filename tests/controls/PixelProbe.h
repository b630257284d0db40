#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// Reads what a widget really draws, through a screenshot of it.
inline QImage snapshot(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

inline QColor pixelAt(QWidget *widget, QPoint point)
{
    return snapshot(widget).pixelColor(point);
}

// True when some pixel of the image has exactly this colour (glyph cores of large text do).
inline bool containsColor(const QImage &image, const QColor &color)
{
    const QRgb wanted = color.rgba();
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == wanted)
                return true;
    }
    return false;
}

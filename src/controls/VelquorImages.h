#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// Pictures of the application by name, from the compiled-in artwork under ":/images/".
//
// Vector artwork is drawn for the densest screen the application has (its device pixel ratio), so
// a picture is as sharp as the text beside it on a high-density screen; the pixmap carries that
// ratio, and its device-independent size is the artwork's own size.
class VelquorImages
{
public:
    // Tries "<name>.svg" (drawn at its own size) and then "<name>.png"; an empty pixmap when neither exists.
    static QPixmap named(const QString &name);
    // The same, drawn to fit `size` (device-independent pixels) with its proportions kept.
    static QPixmap named(const QString &name, const QSize &size);
    // The same at an explicit device pixel ratio.
    static QPixmap named(const QString &name, const QSize &size, qreal devicePixelRatio);

    // The ratio pictures are drawn for: the application's highest, 1 without a GUI.
    static qreal devicePixelRatio();
};

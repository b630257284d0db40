#pragma once

#include <QPixmap>
#include <QString>

// Pictures of the application by name, from the compiled-in artwork under ":/images/".
class VelquorImages
{
public:
    // Tries "<name>.svg" (drawn at its own size) and then "<name>.png"; an empty pixmap when neither exists.
    static QPixmap named(const QString &name);
};

#pragma once

#include <QString>

#include <functional>

class QWidget;
class VelquorAlert;

// The plain message sheets of the sign-in, sign-up and product-list screens: the application's
// icon, one message and an OK button, on the given window.
class VelquorMessageSheet
{
public:
    // Opens the sheet; `didEnd` runs on the GUI thread once it is dismissed, however that happens.
    static VelquorAlert *beginSheet(QWidget *window, const QString &message, std::function<void()> didEnd = {});
};

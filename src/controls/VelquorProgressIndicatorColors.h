#pragma once

#include <QColor>

class QProgressBar;

// Tints a platform progress bar: every pixel it draws takes one colour and keeps its own alpha.
class VelquorProgressIndicatorColors
{
public:
    // Replaces any other graphics effect of the bar.
    static void setCustomColor(QProgressBar *indicator, const QColor &color);
};

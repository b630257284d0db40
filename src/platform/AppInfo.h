#pragma once

#include <QString>

// The application's name and version, set by the build.
class AppInfo
{
public:
    static QString name();
    static QString version();
    static QString organization();
    // Gives QCoreApplication the names QSettings and the window titles use.
    static void applyToApplication();
};

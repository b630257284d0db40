#pragma once

#include <QString>

class QWidget;

// The account pages' message sheet: a VelquorAlert titled with the application's name, one OK
// button and an optional picture ("warning", "information"), on the page's window. Its end
// needs nothing from the page.
class VelquorPageAlert
{
public:
    static void show(QWidget *page, const QString &message, const QString &imageName,
                     const QString &okKey = QStringLiteral("Update21"));
};

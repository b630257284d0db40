// Alerts with one or two buttons, with and without icon, and the help windows.
#include "ShotRegistry.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorHelpAlert.h"
#include "controls/VelquorImages.h"

VELQUOR_SHOTS(registry)
{
    registry.add("alert", "two-buttons", [] {
        return std::unique_ptr<QWidget>(VelquorAlert::alertWithTitle(
            QStringLiteral("Velquor"), QStringLiteral("Downloads are still running. Quit anyway?"),
            QStringLiteral("Unfinished downloads continue at the next start."), QStringLiteral("Quit"),
            QStringLiteral("Cancel"), VelquorImages::named("warning")));
    });
    registry.add("alert", "one-button", [] {
        return std::unique_ptr<QWidget>(VelquorAlert::alertWithTitle(
            QStringLiteral("Velquor"), QStringLiteral("The software was removed."), QStringLiteral("OK"), QString()));
    });
    registry.add("alert", "defaults", [] {
        return std::unique_ptr<QWidget>(
            VelquorAlert::alertWithTitle(QString(), QString(), QString(), QString(), QString(), QPixmap()));
    });
    registry.add("helpalert", "picture", [] {
        return std::unique_ptr<QWidget>(
            VelquorHelpAlert::helpAlertWithTitle(QStringLiteral("Help"), QStringLiteral("sdCard"), false));
    });
    registry.add("helpalert", "picture-full", [] {
        return std::unique_ptr<QWidget>(VelquorHelpAlert::helpAlertWithTitle(QString(), QStringLiteral("help"), true));
    });
}

#pragma once

#include <QString>
#include <QStringList>

// Names the account pages share with the rest of the application: the notifications of the
// software-management page, its queues, and the language codes looked for on the card.
namespace VelquorAccount {

// Posted on the workspace centre (no object): the first on the uninstall queue when the card's
// operating-software version file was removed, the others on the GUI thread; the updates page
// observes the last two.
inline const QString kSoftwareManagementUninstallNotification =
    QStringLiteral("VelquorSoftwareManagementUninstallNotification");
inline const QString kDeleteCarInfoNotification = QStringLiteral("VelquorDeleteCarInfoNotification");
inline const QString kDeleteSofoNotification = QStringLiteral("VelquorDeleteSofoNotification");

inline const QString kUnInstallQueueLabel = QStringLiteral("com.ostrelle.Velquor.unInstall");
inline const QString kUpdateListQueueLabel = QStringLiteral("com.ostrelle.Velquor.unInstall.updateList");

// Language files tested in a package directory, in this order ("EN" finds en.cfg, EN.CFG or EN.cfg).
inline const QStringList kCardLanguageCodes = {
    QStringLiteral("EN"), QStringLiteral("ES"), QStringLiteral("DE"), QStringLiteral("FR"), QStringLiteral("PT"),
    QStringLiteral("NL"), QStringLiteral("SE"), QStringLiteral("IT"), QStringLiteral("CN"), QStringLiteral("HK"),
    QStringLiteral("RU"), QStringLiteral("JP"), QStringLiteral("KR"), QStringLiteral("PL"), QStringLiteral("HU"),
    QStringLiteral("TH"), QStringLiteral("CZ"), QStringLiteral("SK"), QStringLiteral("HE"),
};

// The profile save's failure message, as the service's other clients show it (not translated).
inline const QString kProfileSaveFailedMessage = QStringLiteral("Your personal information unable to save.");

} // namespace VelquorAccount

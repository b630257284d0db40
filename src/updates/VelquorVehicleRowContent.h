#pragma once

#include "core/VelquorVehicleFamilyModel.h"

#include <QString>
#include <QStringList>

// What one row of the updates list says, collected from the family models of its group: every
// package up to and including the application's own installer, whose row lists nothing after it.
// The state, progress, size and update flag are those of the last package read: the download and
// extraction steps change all packages of a vehicle together.
struct VelquorVehicleRowContent
{
    static VelquorVehicleRowContent fromGroup(const VelquorVehicleFamilyGroup &group, bool basicSeries);

    QStringList names; // software names, or the sub-vehicles of a basic-series device
    QStringList versions;
    QStringList releaseVersions;
    QStringList languages; // sorted ignoring case
    QStringList notes;     // one entry per package
    qint64 state = 0;
    double progress = 0; // as stored, 0 to 1
    quint64 totalFileSize = 0;
    bool isUpdate = false;
    QString vehicleImageName; // the picture looked for first
    QString backupImageName;  // then this one: the last component of the card path
    bool basicSeries = false;

    // The names, one per line: the title part of the main text.
    QString title() const;
    // Title, then versions, release versions and the languages (state 0) or the size, a line each.
    QString mainText() const;
    // The main text as a row is sized: always with the languages.
    QString heightText() const;
    QString notesText() const;
    // Whole percent done; "0%" while downloaded but not installed, "100%" once installed.
    QString progressText() const;
    // The fraction the bar shows, with the same overrides.
    double progressValue() const;
};

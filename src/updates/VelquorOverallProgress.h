#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorVehicleFamilyModel.h"

#include <QList>
#include <QString>
#include <QStringList>

// The overall progress under the updates table: how many vehicles are finished out of all vehicles
// in work, with the download speed or a state text. Worked out from one reading of the shared state.
struct VelquorOverallProgress
{
    struct Input
    {
        QList<VelquorVehicleFamilyGroup> rows;     // the shown rows
        VelquorDownloadModelList installRecords;   // the whole install table
        VelquorDownloadModelList downloadRows;     // the whole download table
        QStringList extractingVehicles;            // queued for or under extraction
        bool anyPaused = false;                    // the user paused a vehicle
        qint64 nowMicroseconds = 0;
    };

    enum class Text {
        Finished,   // "Update36": nothing in work, something finished
        Counts,     // done/total and the speed
        Extracting, // "Update34"
        Paused,     // "Update32"
    };

    static VelquorOverallProgress compute(const Input &input);

    bool active = false; // some shown record is neither idle nor failed: the bar and its text show
    qint64 done = 0;     // vehicles installed (in the install table and all their rows installed)
    qint64 busy = 0;     // vehicles of the shown rows downloading, waiting, paused or installing
    qint64 total = 0;
    double value = 0; // the bar, 0 to 100
    quint64 speed = 0; // bytes per second of the downloading rows; 0 when the newest sample is stale
    Text text = Text::Finished;
    // After the finished text, the bar hides a second later: nothing downloads, or the first
    // downloading row is the operating software or the installer.
    bool hideAfterFinished = false;
    // The refresh goes on: something is queued for extraction, downloading or waiting.
    bool working = false;

    // The label's text in the current language.
    QString labelText() const;
};

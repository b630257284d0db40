#pragma once

#include "core/VelquorDownloadModel.h"

// A vehicle's stored records counted by state in one pass.
struct VelquorVehicleStateCounts
{
    qsizetype idle = 0;
    qsizetype downloading = 0;
    qsizetype waiting = 0;
    qsizetype paused = 0;
    qsizetype downloaded = 0;
    qsizetype extracting = 0;
    qsizetype readyToInstall = 0;
    qsizetype installed = 0;
    qsizetype failed = 0; // download or installation failed

    explicit VelquorVehicleStateCounts(const VelquorDownloadModelList &rows)
    {
        for (const auto &row : rows) {
            switch (row->state()) {
            case VelquorDownloadStateNone:
                ++idle;
                break;
            case VelquorDownloadStateDownloading:
                ++downloading;
                break;
            case VelquorDownloadStateWaiting:
                ++waiting;
                break;
            case VelquorDownloadStatePaused:
                ++paused;
                break;
            case VelquorDownloadStateDownloaded:
                ++downloaded;
                break;
            case VelquorDownloadStateFailed:
            case VelquorDownloadStateInstallFailed:
                ++failed;
                break;
            case VelquorDownloadStateExtracting:
                ++extracting;
                break;
            case VelquorDownloadStateWaitingInstall:
                ++readyToInstall;
                break;
            case VelquorDownloadStateInstalled:
                ++installed;
                break;
            default:
                break;
            }
        }
    }
};

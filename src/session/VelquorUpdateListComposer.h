#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorUpgradeResultModel.h"
#include "core/VelquorVehicleFamilyModel.h"
#include "core/VelquorVehicleModel.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// Turns one answer of the device's update list into the rows the updates page shows. Pure: the
// card, the install records and the running version come in through the environment, and the
// records to forget are named in the result for the caller to delete.
class VelquorUpdateListComposer
{
public:
    // The update list split by kind of software, in answer order.
    struct Records
    {
        VelquorDownloadModelList installers;        // the application's own installer
        VelquorDownloadModelList operatingSoftware; // the scan tool's operating software
        VelquorDownloadModelList packages;          // vehicle packages, one per card path and language
    };

    struct Environment
    {
        QHash<QString, VelquorVehicleModel> vehicleModels; // car table: upper-case path -> row
        QString productName;                               // the device's product, as requested
        QString applicationVersion;                        // "V" and the running version
        // Version of the first install record of a vehicle; empty when there is none.
        std::function<QString(const QString &vehicle)> installedVersion;
        // Whether the record's package directory exists on the chosen card.
        std::function<bool(const VelquorDownloadModelPtr &record)> hasSoftwarePath;
    };

    struct Result
    {
        enum class Kind {
            List,          // familyModels holds the rows to show
            ErrorAlert,    // the answer failed: alertKey names the message
            NoUpdateAlert, // nothing to show
        };
        Kind kind = Kind::ErrorAlert;
        QString alertKey;
        QList<VelquorVehicleFamilyGroup> familyModels;
        // Every group made from a successful answer (the page switches between them after a delete).
        QList<VelquorVehicleFamilyGroup> installerGroups;
        QList<VelquorVehicleFamilyGroup> osGroups;
        QList<VelquorVehicleFamilyGroup> vehicleGroups;
        bool answered = false; // the answer succeeded (code 1), so the groups above are new
        // A newer installer or operating software replaces whatever was downloaded of it before:
        // the caller deletes the download records of this vehicle. Empty when nothing is deleted.
        QString vehicleToDelete;
    };

    // Sorts the answer's records by kind; of several packages for one card path and language only
    // the highest version stays, moved to the end of the package list.
    static Records splitUpgradeRecords(const VelquorDownloadModelList &records);

    // The whole composition of one answer (null when the request failed).
    static Result compose(const std::shared_ptr<VelquorUpgradeResultModel> &answer, const Environment &environment);

    // Whether the operating software must be shown first: the record is newer than the version
    // installed for its own vehicle, or its directory is missing on the card. False without a
    // record. `isNewer` tells whether the first of the two held.
    static bool operatingSoftwareNeeded(const VelquorDownloadModelPtr &osRecord, const Environment &environment,
                                        bool *isNewer = nullptr);
};

#pragma once

#include <QHash>
#include <QString>

#include <optional>

// A change of the row a vehicle shows on the updates page.
struct VelquorRowUpdate
{
    int state = 0;
    double progress = 0;
    std::optional<quint64> totalFileSize; // left as it is when absent
    bool firstGroupOnly = false;          // only the first row group holding the vehicle
};

// What the download, extraction and command pieces of the updates page need from the page.
// Every method may be called from any thread unless it says otherwise; those that touch widgets or
// the shown rows post their change to the GUI thread and return at once, never waiting for it.
class VelquorUpdatesPageServices
{
public:
    virtual ~VelquorUpdatesPageServices() = default;

    // Starts the 1-second refresh of the table and the overall progress when it is not running.
    virtual void reloadAllData() = 0;
    // Rebuilds the card list and the card state; `askAccess` asks for folder access afterwards.
    virtual void reloadSDCard(bool askAccess) = 0;
    // Free bytes of the chosen card; 0 when no card is chosen.
    virtual quint64 availableCapacity() const = 0;
    // Sets state, progress and (when given) total size of every shown record of the vehicle
    // (letter case ignored).
    virtual void setRowOfVehicle(const QString &vehicle, const VelquorRowUpdate &update) = 0;
    // Asks the main view for a new update list of the chosen device, with the busy overlay.
    virtual void requestUpdateList() = 0;
    // Shows the not-enough-space sheet unless it is already shown.
    virtual void openSDMemory() = 0;
    // Tells the user that the vehicle's installation, or its download, could not be recorded, so it
    // stopped short of installed with its downloaded files kept, and a press takes it on.
    virtual void openInstallNotRecorded(const QString &vehicle) = 0;
    // The chosen product's append versions (upper-case card path -> version).
    virtual QHash<QString, QString> appendVersions() const = 0;
    // Plans the vehicle again against the card as it is now, with the records its row offers: its
    // downloaded archives cannot make the version they were planned for on this card.
    virtual void replanVehicle(const QString &vehicle) = 0;
};

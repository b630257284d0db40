#pragma once

#include "core/VelquorDownloadModel.h"

#include <QString>

class VelquorCommonTool;
class VelquorDownloadDataBaseManager;
class VelquorDownloadHandOver;
class VelquorDownloadManager;
class VelquorUpdatesPageServices;

// The three commands of the updates page that start work: a row's download button, update-all and
// refresh. They read the shown rows and the stored records, plan what is to be fetched and hand it
// to the download hand-over, or a downloaded vehicle to extraction. GUI thread.
class VelquorDownloadCommands
{
public:
    VelquorDownloadCommands(VelquorUpdatesPageServices &page, VelquorDownloadHandOver &handOver,
                            VelquorDownloadManager *manager = nullptr,
                            VelquorDownloadDataBaseManager *database = nullptr,
                            VelquorCommonTool *commonTool = nullptr);

    // A press on the download button of row group `tag` showing `buttonState`: nothing while the
    // row extracts or is installed, or when the row is no longer shown; otherwise the press of the
    // hand-over for the group's vehicle.
    void downloadAction(int tag, qint64 buttonState);
    // Plans every vehicle that needs work and queues the waiting ones in the order of their first
    // waiting record. Never pauses, resumes or restarts a vehicle that is under way.
    void updateAllAction();
    // Asks for a new update list when nothing is under way, else only rebuilds the card state.
    void refreshAction();
    // Plans the vehicle again with the records its rows offer, against the card as it is now, keeping
    // the archives the new plan needs (the hand-over's replanVehicle). Nothing when no row offers it.
    void replanVehicle(const QString &vehicle);
    // Whether the record's "APPEND" package applies to the package on the card.
    bool getHasAppend(const VelquorDownloadModelPtr &model) const;

private:
    // Writes the records of one planned vehicle; `rows` are its stored records read once before.
    void planSystemFamily(const QString &vehicle, const VelquorDownloadModelList &models,
                          const VelquorDownloadModelList &rows);
    void planPackages(const QString &vehicle, const VelquorDownloadModelList &models,
                      const VelquorDownloadModelList &rows);
    void planLanguages(const QString &vehicle, const VelquorDownloadModelList &models,
                       const VelquorDownloadModelList &rows);
    // Inserts the record, or rewrites the stored one with the same vehicle and url.
    void store(const VelquorDownloadModelPtr &record, const VelquorDownloadModelList &rows);

    VelquorUpdatesPageServices &m_page;
    VelquorDownloadHandOver &m_handOver;
    VelquorDownloadManager &m_manager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
};

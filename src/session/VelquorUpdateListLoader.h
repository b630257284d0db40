#pragma once

#include "core/VelquorVehicleFamilyModel.h"
#include "core/VelquorVehicleModel.h"
#include "session/VelquorMainViewModel.h"
#include "session/VelquorUpdateListComposer.h"

#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class VelquorMyUpdatesListModel;

// Loads the chosen device's update list and composes it into the list model: what the main view
// runs each time a device is chosen or refreshed. Only the latest request counts: an answer that
// arrives after a newer request was made (another device chosen meanwhile) is dropped unseen.
//
// GUI thread only, and so are its answers: the answer is composed on the web-service client's
// queue (which reads the install records and the card), then handed to the GUI thread, where it is
// applied when it still belongs to the latest request: the arrays kept, the superseded download
// records deleted, the list model's familyModels set and `delivered` run. No lock is held meanwhile.
// The loader may go away before an answer arrives: the answer is then dropped.
class VelquorUpdateListLoader
{
public:
    using Delivered = std::function<void(const VelquorUpdateListComposer::Result &result)>;
    using InstalledVersion = std::function<QString(const QString &vehicle)>;
    using HasSoftwarePath = std::function<bool(const VelquorDownloadModelPtr &record)>;
    using DeleteVehicle = std::function<void(const QString &vehicle)>;

    explicit VelquorUpdateListLoader(VelquorNetworkManager *network = nullptr);
    ~VelquorUpdateListLoader();
    VelquorUpdateListLoader(const VelquorUpdateListLoader &) = delete;
    VelquorUpdateListLoader &operator=(const VelquorUpdateListLoader &) = delete;

    // The car table, read from the application once and kept while it is not empty.
    QHash<QString, VelquorVehicleModel> allVehicles();
    // Picks the product family's append versions (table read once, kept while not empty) and
    // stores them in the list model.
    QHash<QString, QString> resetAllAppendVersion(const QString &productName, VelquorMyUpdatesListModel &listModel);
    QHash<QString, QString> appendVersions() const;

    // Requests the update list of the list model's chosen device (serial ID and product name).
    void reloadHomeData(const std::shared_ptr<VelquorMyUpdatesListModel> &listModel, Delivered delivered);
    // After software was deleted: shows the operating software again when it is newer than the
    // installed one (forgetting its download records) or missing on the card, otherwise the
    // packages of the last answer; no new request. Answers the groups now in the list model.
    QList<VelquorVehicleFamilyGroup> deleteResetHomeData(VelquorMyUpdatesListModel &listModel);

    // The groups of the last successful answer.
    QList<VelquorVehicleFamilyGroup> osArray() const;
    QList<VelquorVehicleFamilyGroup> vehicleArray() const;

    // "V" and the running application's version, as the installer record is compared with.
    static QString applicationVersion();

    // Where the card and the install records are read and download records deleted; the real
    // database and card unless a test replaces them. A request uses the hooks set when it was made.
    void setInstalledVersion(InstalledVersion installedVersion);
    void setHasSoftwarePath(HasSoftwarePath hasSoftwarePath);
    void setDeleteVehicle(DeleteVehicle deleteVehicle);

private:
    struct Shared;

    VelquorUpdateListComposer::Environment environmentFor(const QString &productName);

    VelquorMainViewModel m_viewModel;
    std::shared_ptr<Shared> m_shared;
    QHash<QString, VelquorVehicleModel> m_allVehicles;
    QHash<QString, QHash<QString, QString>> m_allAppendVersions;
    QHash<QString, QString> m_appendVersions;
    InstalledVersion m_installedVersion;
    HasSoftwarePath m_hasSoftwarePath;
};

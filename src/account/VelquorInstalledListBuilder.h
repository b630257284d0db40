#pragma once

#include "core/VelquorSoftwareManagementListModel.h"

#include <QString>

#include <optional>

class VelquorCommonTool;
class VelquorDownloadDataBaseManager;

// Builds the software-management list from the chosen card and the install records: the card's
// operating software when its "Scan" directory holds a version file, then one row per installed
// vehicle whose package directory is on the card, with its version and languages. Reads the
// database and the card; call it off the GUI thread.
class VelquorInstalledListBuilder
{
public:
    // The shared database and tool unless a test passes its own.
    explicit VelquorInstalledListBuilder(VelquorDownloadDataBaseManager *database = nullptr,
                                         VelquorCommonTool *commonTool = nullptr);

    // The rows; absent when no card is chosen (the list then keeps what it shows).
    std::optional<VelquorSoftwareManagementList> buildList() const;

    // The language codes whose language file is in the first existing directory of `path`
    // (directories joined with ";"), joined with "|"; empty when there is none.
    QString getLanguage(const QString &path) const;
    // Whether a file or directory exists at the path.
    static bool isHasInstall(const QString &path);

private:
    VelquorSoftwareManagementListModelPtr systemRow() const;
    VelquorSoftwareManagementListModelPtr vehicleRow(const QString &vehicle) const;

    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
};

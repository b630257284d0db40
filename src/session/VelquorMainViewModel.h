#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorNetworkError.h"
#include "core/VelquorProductResultModel.h"
#include "core/VelquorResultModel.h"
#include "core/VelquorSoftwareResultModel.h"
#include "core/VelquorSupportTicketsModel.h"
#include "core/VelquorUpgradeResultModel.h"
#include "core/VelquorVehicleFamilyModel.h"
#include "core/VelquorVehicleModel.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class VelquorNetworkManager;

// Go-between of the pages and the web-service client, and the rules that turn a device's update
// list into rows of the updates page. Holds nothing between calls.
//
// Each request calls its completion exactly once: (answer, no error) when the service answered
// (the answer is null when it did not parse), or (null, error) on a transport failure. Answers
// arrive on the client's parsing queue, failures on the GUI thread; nothing is moved to the GUI
// thread here.
class VelquorMainViewModel
{
public:
    template <class Model>
    using Completion =
        std::function<void(std::shared_ptr<Model> answer, const std::optional<VelquorNetworkError> &error)>;

    // The client to call; the shared one unless a test passes its own.
    explicit VelquorMainViewModel(VelquorNetworkManager *network = nullptr);

    // --- Requests (user name from the saved login).
    void requestProductSerialNumbersWithCompletion(Completion<VelquorProductResultModel> completion) const;
    // Without a serial ID the service is asked for serial ID 0.
    void requestMyUpdatesWithSerialID(std::optional<qint64> serialID,
                                      Completion<VelquorUpgradeResultModel> completion) const;
    void requestSoftwareInfoWithProductID(qint64 productID, Completion<VelquorSoftwareResultModel> completion) const;
    void requestProductIDsWithCompletion(Completion<VelquorProductResultModel> completion) const;
    void requestUserComplaint(const VelquorSupportTicketsModel &ticket,
                              Completion<VelquorResultModel> completion) const;

    // The saved user's name as the service knows it; the empty text when none is usable.
    static QString userName();

    // --- List rules.
    // Of consecutive records of one software (letter case ignored) keeps the newest; equal
    // versions all stay. Only the last kept record is compared with the next one.
    static VelquorDownloadModelList filterLastestSoftware(const VelquorDownloadModelList &records);
    // Wraps each record in a family row named after its car-table vehicle (or its software, which
    // also becomes the record's vehicle), renames old maintenance names and groups the rows.
    static QList<VelquorVehicleFamilyGroup>
    transformFullDwonloadModels(const VelquorDownloadModelList &records,
                                const QHash<QString, VelquorVehicleModel> &vehicleModels, const QString &productName);
    // The family with the current spelling of an old maintenance vehicle name.
    static QList<VelquorVehicleFamilyModelPtr> resetMainData(const VelquorVehicleFamilyModelPtr &family,
                                                             const QString &productName);
    // Sorts the families by vehicle (letter case ignored) and groups those with the same vehicle
    // text; fills each family's sub-vehicles.
    static QList<VelquorVehicleFamilyGroup> getGroupArray(QList<VelquorVehicleFamilyModelPtr> &families,
                                                          const QString &productName);
    static bool isBasicSeriesDefault(const QString &productName);
    static bool getIsProduct(const QString &productName);
    // The makes a vehicle package covers; `subVehicles` when the vehicle has no entry.
    static QStringList getPaySubVehicles(const QString &vehicle, const QStringList &subVehicles);

    // --- Product family and its append versions.
    static QString getAppendProduct(const QString &productName);
    // The product family's entry of the append-version table, or the entry "other".
    static QHash<QString, QString> appendVersionsFor(const QString &productName,
                                                     const QHash<QString, QHash<QString, QString>> &allAppendVersions);

    // --- Version readings of the list rules.
    // The decimal number a text starts with (after white space); 0 when it starts with none.
    static double leadingNumber(QStringView text);
    // The number after the leading non-digits of a version text ("V1.20" and "1.20" read 1.2).
    static double versionNumberAfterPrefix(const QString &version);
    // The filter's reading: the text after the first "V", or the whole text by the rule above.
    static double filterVersionNumber(const QString &version);

private:
    VelquorNetworkManager &network() const;

    VelquorNetworkManager *m_network;
};

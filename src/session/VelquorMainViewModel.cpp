#include "session/VelquorMainViewModel.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorUserManager.h"
#include "session/VelquorDeviceModelTable.h"
#include "session/VelquorShellConstants.h"

#include <QJsonObject>

#include <algorithm>

namespace {

const QString kNullText = QStringLiteral("null");

// Adapts the client's two callbacks to the one completion of the view model.
template <class Model>
std::pair<VelquorNetworkManager::Success<Model>, VelquorNetworkManager::Failure>
completionCallbacks(VelquorMainViewModel::Completion<Model> completion)
{
    auto shared = std::make_shared<VelquorMainViewModel::Completion<Model>>(std::move(completion));
    auto success = [shared](std::shared_ptr<Model> answer) {
        if (*shared)
            (*shared)(std::move(answer), std::nullopt);
    };
    auto failure = [shared](const VelquorNetworkError &error) {
        if (*shared)
            (*shared)(nullptr, error);
    };
    return {success, failure};
}

struct BrandRow
{
    QStringList keys;
    QStringList brands;
};

const QList<BrandRow> &brandTable()
{
    static const QList<BrandRow> rows{
        {{QStringLiteral("BENZ")}, {QStringLiteral("BENZ"), QStringLiteral("SPRINTER")}},
        {{QStringLiteral("VAG"), QStringLiteral("VW")},
         {QStringLiteral("VW"), QStringLiteral("AUDI"), QStringLiteral("SKODA"), QStringLiteral("SEAT"),
          QStringLiteral("BENTLEY"), QStringLiteral("BUGATTI"), QStringLiteral("LAMBORGHINI"),
          QStringLiteral("VW COMMERCIAL")}},
        {{QStringLiteral("BMW")}, {QStringLiteral("BMW"), QStringLiteral("MINI"), QStringLiteral("ROLLS-ROYCE")}},
        {{QStringLiteral("FIAT")},
         {QStringLiteral("FIAT"), QStringLiteral("ABARTH"), QStringLiteral("ALFA ROMEO"), QStringLiteral("LANCIA")}},
        {{QStringLiteral("HONDA")}, {QStringLiteral("HONDA"), QStringLiteral("ACURA")}},
        {{QStringLiteral("HYUNDAI")}, {QStringLiteral("HYUNDAI"), QStringLiteral("KIA")}},
        {{QStringLiteral("LANDROVER"), QStringLiteral("LAND_ROVER")},
         {QStringLiteral("LAND ROVER"), QStringLiteral("JAGUAR")}},
        {{QStringLiteral("OPEL")}, {QStringLiteral("OPEL"), QStringLiteral("VAUXHALL")}},
        {{QStringLiteral("RENAULT")}, {QStringLiteral("RENAULT"), QStringLiteral("DACIA")}},
        {{QStringLiteral("TOYOTA")}, {QStringLiteral("TOYOTA"), QStringLiteral("LEXUS"), QStringLiteral("SCION")}},
        {{QStringLiteral("FORD")}, {QStringLiteral("FORD"), QStringLiteral("EU FORD")}},
        {{QStringLiteral("PEUGEOT")}, {QStringLiteral("PEUGEOT"), QStringLiteral("CITROEN")}},
    };
    return rows;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

VelquorMainViewModel::VelquorMainViewModel(VelquorNetworkManager *network) : m_network(network) {}

VelquorNetworkManager &VelquorMainViewModel::network() const
{
    return m_network ? *m_network : VelquorNetworkManager::sharedManager();
}

QString VelquorMainViewModel::userName()
{
    const auto user = VelquorUserManager::sharedManager().getUserInfo();
    if (!user || !VelquorCommonTool::isUsableText(user->userReName()))
        return QStringLiteral("");
    return user->userReName();
}

void VelquorMainViewModel::requestProductSerialNumbersWithCompletion(
    Completion<VelquorProductResultModel> completion) const
{
    QJsonObject params{{QStringLiteral("user_name"), userName()}};
    auto [success, failure] = completionCallbacks(std::move(completion));
    network().requestGetProductWithParams(params, success, failure);
}

void VelquorMainViewModel::requestMyUpdatesWithSerialID(std::optional<qint64> serialID,
                                                        Completion<VelquorUpgradeResultModel> completion) const
{
    QJsonObject params{{QStringLiteral("login_name"), userName()}, {QStringLiteral("serialid"), serialID.value_or(0)}};
    auto [success, failure] = completionCallbacks(std::move(completion));
    network().requestUpdateProductWithParams(params, success, failure);
}

void VelquorMainViewModel::requestSoftwareInfoWithProductID(qint64 productID,
                                                            Completion<VelquorSoftwareResultModel> completion) const
{
    QJsonObject params{{QStringLiteral("product_id"), productID}};
    auto [success, failure] = completionCallbacks(std::move(completion));
    network().requestGetSoftwareInfoWithParams(params, success, failure);
}

void VelquorMainViewModel::requestProductIDsWithCompletion(Completion<VelquorProductResultModel> completion) const
{
    auto [success, failure] = completionCallbacks(std::move(completion));
    network().requestGetProductInfoWithParams(QJsonObject(), success, failure);
}

void VelquorMainViewModel::requestUserComplaint(const VelquorSupportTicketsModel &ticket,
                                                Completion<VelquorResultModel> completion) const
{
    // An unset ticket field goes out as an empty text: the service expects every key.
    auto text = [](const QString &value) { return value.isNull() ? QStringLiteral("") : value; };
    QJsonObject params{
        {QStringLiteral("user_name"), userName()},
        {QStringLiteral("title"), text(ticket.subject())},
        {QStringLiteral("product_name"), text(ticket.scanner())},
        {QStringLiteral("software_name"), text(ticket.software())},
        {QStringLiteral("years"), text(ticket.year())},
        {QStringLiteral("engine"), text(ticket.engineSize())},
        {QStringLiteral("problem"), text(ticket.problem())},
        {QStringLiteral("vin"), text(ticket.vin())},
        {QStringLiteral("version"), text(ticket.version())},
        {QStringLiteral("vech"), kNullText},
        {QStringLiteral("car_m"), kNullText},
        {QStringLiteral("part_number"), kNullText},
    };
    auto [success, failure] = completionCallbacks(std::move(completion));
    network().requestSupportWithParams(params, success, failure);
}

// ---------------------------------------------------------------------------------------------
// Version readings

double VelquorMainViewModel::leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text.at(i))) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        qsizetype afterPoint = i + 1;
        qsizetype fraction = 0;
        while (afterPoint < text.size() && isDigit(text.at(afterPoint))) {
            ++afterPoint;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = afterPoint;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    // Read in the C locale whatever the user's locale says about decimal separators.
    return text.mid(start, i - start).toDouble();
}

double VelquorMainViewModel::versionNumberAfterPrefix(const QString &version)
{
    qsizetype i = 0;
    while (i < version.size() && !isDigit(version.at(i)))
        ++i;
    return leadingNumber(QStringView(version).mid(i));
}

double VelquorMainViewModel::filterVersionNumber(const QString &version)
{
    const qsizetype v = version.indexOf(QLatin1Char('V'));
    if (v < 0)
        return versionNumberAfterPrefix(version);
    return leadingNumber(QStringView(version).mid(v + 1));
}

// ---------------------------------------------------------------------------------------------
// List rules

VelquorDownloadModelList VelquorMainViewModel::filterLastestSoftware(const VelquorDownloadModelList &records)
{
    VelquorDownloadModelList result;
    for (const auto &record : records) {
        if (!record)
            continue;
        if (result.isEmpty() || record->software().compare(result.last()->software(), Qt::CaseInsensitive) != 0) {
            result.append(record);
            continue;
        }
        const double current = filterVersionNumber(record->version());
        const double kept = filterVersionNumber(result.last()->version());
        if (current > kept) {
            result.removeLast();
            result.append(record);
        } else if (current == kept) {
            result.append(record);
        }
    }
    return result;
}

QList<VelquorVehicleFamilyGroup>
VelquorMainViewModel::transformFullDwonloadModels(const VelquorDownloadModelList &records,
                                                  const QHash<QString, VelquorVehicleModel> &vehicleModels,
                                                  const QString &productName)
{
    QList<VelquorVehicleFamilyModelPtr> families;
    for (const auto &record : records) {
        if (!record)
            continue;
        auto family = VelquorVehicleFamilyModel::create();
        family->setModel(record);

        const QString sdPath = record->sdPath();
        const auto row = VelquorCommonTool::isUsableText(sdPath) ? vehicleModels.constFind(sdPath.toUpper())
                                                                 : vehicleModels.constEnd();
        const QString vehicle = row != vehicleModels.constEnd() ? row->vehicle() : record->software();
        family->setVehicle(vehicle);
        record->setVehicle(vehicle);

        if (vehicle.toUpper().contains(VelquorShell::kMaintenancePrefix))
            families.append(resetMainData(family, productName));
        else
            families.append(family);
    }
    return getGroupArray(families, productName);
}

QList<VelquorVehicleFamilyModelPtr> VelquorMainViewModel::resetMainData(const VelquorVehicleFamilyModelPtr &family,
                                                                        const QString &productName)
{
    // The service still names two maintenance packages by their old spellings.
    const QString vehicle = family->vehicle();
    if (vehicle.compare(QLatin1String("MAINTENANCE_SANGYONG"), Qt::CaseInsensitive) == 0)
        family->setVehicle(QStringLiteral("MAINTENANCE_SSANGYONG"));
    else if (vehicle.compare(QLatin1String("MAINTENANCE_JAL"), Qt::CaseInsensitive) == 0)
        family->setVehicle(QStringLiteral("MAINTENANCE_LANDROVER"));
    return {family};
}

QList<VelquorVehicleFamilyGroup> VelquorMainViewModel::getGroupArray(QList<VelquorVehicleFamilyModelPtr> &families,
                                                                     const QString &productName)
{
    // Stable, so families of one vehicle keep the answer's order.
    std::stable_sort(families.begin(), families.end(), [](const auto &a, const auto &b) {
        return a->vehicle().compare(b->vehicle(), Qt::CaseInsensitive) < 0;
    });

    QStringList vehicles;
    for (const auto &family : families) {
        const QString vehicle = family->vehicle();
        if (!vehicles.contains(vehicle))
            vehicles.append(vehicle);
    }

    const bool basic = isBasicSeriesDefault(productName);
    const bool paid = getIsProduct(productName);
    QList<VelquorVehicleFamilyGroup> groups;
    for (const QString &vehicle : vehicles) {
        VelquorVehicleFamilyGroup group;
        for (const auto &family : families) {
            if (family->vehicle() != vehicle)
                continue;
            const auto record = family->model();
            if (basic || (paid && record->price() > 0))
                family->setSubVehicles(getPaySubVehicles(record->vehicle(), {family->vehicle().toUpper()}));
            else
                family->setSubVehicles({record->software().toUpper()});
            group.append(family);
        }
        groups.append(group);
    }
    return groups;
}

bool VelquorMainViewModel::isBasicSeriesDefault(const QString &productName)
{
    const QStringList &models = VelquorDeviceModelTable::basicSeriesDefaultModels();
    return std::any_of(models.begin(), models.end(),
                       [&](const QString &model) { return productName.compare(model, Qt::CaseInsensitive) == 0; });
}

bool VelquorMainViewModel::getIsProduct(const QString &productName)
{
    const QString upper = productName.toUpper();
    const QStringList &models = VelquorDeviceModelTable::paidProductModels();
    return std::any_of(models.begin(), models.end(), [&](const QString &model) { return upper.contains(model); });
}

QStringList VelquorMainViewModel::getPaySubVehicles(const QString &vehicle, const QStringList &subVehicles)
{
    for (const BrandRow &row : brandTable()) {
        for (const QString &key : row.keys) {
            if (vehicle.compare(key, Qt::CaseInsensitive) == 0)
                return row.brands;
        }
    }
    return subVehicles;
}

QString VelquorMainViewModel::getAppendProduct(const QString &productName)
{
    const QString upper = productName.toUpper();
    for (const auto &test : VelquorDeviceModelTable::familyKeyChain()) {
        if (upper.contains(test.contains))
            return test.familyKey.isEmpty() ? upper : test.familyKey;
    }
    return upper;
}

QHash<QString, QString>
VelquorMainViewModel::appendVersionsFor(const QString &productName,
                                        const QHash<QString, QHash<QString, QString>> &allAppendVersions)
{
    const auto entry = allAppendVersions.constFind(getAppendProduct(productName));
    if (entry != allAppendVersions.constEnd())
        return *entry;
    return allAppendVersions.value(VelquorShell::kOtherAppendVersions);
}

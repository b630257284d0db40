#include "session/VelquorProductListComposer.h"

#include "core/VelquorMyUpdatesListModel.h"

#include <QHash>

#include <algorithm>

VelquorProductListComposer::Result
VelquorProductListComposer::compose(const std::shared_ptr<VelquorProductResultModel> &answer)
{
    Result result;
    const qint64 code = answer ? answer->msgCode() : 0;
    if (code != 1) {
        result.alertKey = code == 2 ? QStringLiteral("UpdateHint3") : QStringLiteral("UpdateHint2");
        return result;
    }

    QHash<QString, qint64> serialIDs;
    QHash<QString, QString> productNames;
    QStringList serials;
    for (const VelquorProductInfoModel &product : answer->productInfo()) {
        serialIDs.insert(product.serialNumber(), product.serial_id());
        productNames.insert(product.serialNumber(), product.productName());
        result.allSerialNumbers.append(product.serialNumber());
        serials.append(product.serialNumber());
        result.allProductNames.append(product.productName());
        if (!result.distinctProductNames.contains(product.productName()))
            result.distinctProductNames.append(product.productName());
    }

    std::stable_sort(serials.begin(), serials.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    result.serialNumbers = serials;
    for (const QString &serial : serials) {
        result.serialIDs.append(serialIDs.value(serial));
        result.productNames.append(productNames.value(serial));
    }
    return result;
}

void VelquorProductListComposer::apply(const Result &result, VelquorMyUpdatesListModel &listModel)
{
    listModel.setAllSerialNumbers(result.allSerialNumbers);
    listModel.setAllProductNames(result.allProductNames);
    listModel.setSerialNumbers(result.serialNumbers);
    listModel.setSerialIDs(result.serialIDs);
    listModel.setProductNames(result.productNames);
}

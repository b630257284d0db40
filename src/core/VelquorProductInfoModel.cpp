#include "VelquorProductInfoModel.h"

const VelquorJsonMapping<VelquorProductInfoModel> &VelquorProductInfoModel::mapping()
{
    static const VelquorJsonMapping<VelquorProductInfoModel> table = [] {
        VelquorJsonMapping<VelquorProductInfoModel> fields;
        fields
            .field(QStringLiteral("serialNumber"), &VelquorProductInfoModel::m_serialNumber,
                   QStringLiteral("serial_number"))
            .field(QStringLiteral("serial_id"), &VelquorProductInfoModel::m_serial_id)
            .field(QStringLiteral("productName"), &VelquorProductInfoModel::m_productName,
                   QStringLiteral("product_name"))
            .field(QStringLiteral("productID"), &VelquorProductInfoModel::m_productID, QStringLiteral("product_id"));
        return fields;
    }();
    return table;
}

QJsonObject VelquorProductInfoModel::encodeWithCoder() const
{
    return mapping().toArchive(*this, QStringLiteral("VelquorProductInfoModel"));
}

std::optional<VelquorProductInfoModel> VelquorProductInfoModel::initWithCoder(const QJsonValue &archive)
{
    VelquorProductInfoModel model;
    if (!mapping().fillFromArchive(model, archive, QStringLiteral("VelquorProductInfoModel")))
        return std::nullopt;
    return model;
}

#include "VelquorLoginResultModel.h"

const VelquorJsonMapping<VelquorLoginResultModel> &VelquorLoginResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorLoginResultModel> table = [] {
        VelquorJsonMapping<VelquorLoginResultModel> fields;
        addEnvelopeFields(fields);
        fields.field(QStringLiteral("userInfo"), &VelquorLoginResultModel::m_userInfo, QStringLiteral("User_Info"))
            .field(QStringLiteral("userReName"), &VelquorLoginResultModel::m_userReName, QStringLiteral("User_reName"))
            .field(QStringLiteral("right"), &VelquorLoginResultModel::m_right, QStringLiteral("is_right"));
        return fields;
    }();
    return table;
}

QJsonObject VelquorLoginResultModel::encodeWithCoder() const
{
    return mapping().toArchive(*this, QStringLiteral("VelquorLoginResultModel"));
}

std::optional<VelquorLoginResultModel> VelquorLoginResultModel::initWithCoder(const QJsonValue &archive)
{
    VelquorLoginResultModel model;
    if (!mapping().fillFromArchive(model, archive, QStringLiteral("VelquorLoginResultModel")))
        return std::nullopt;
    return model;
}

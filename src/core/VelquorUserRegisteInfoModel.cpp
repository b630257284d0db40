#include "VelquorUserRegisteInfoModel.h"

const VelquorJsonMapping<VelquorUserRegisteInfoModel> &VelquorUserRegisteInfoModel::mapping()
{
    static const VelquorJsonMapping<VelquorUserRegisteInfoModel> table = [] {
        VelquorJsonMapping<VelquorUserRegisteInfoModel> fields;
        addDetailFields(fields);
        fields.field(QStringLiteral("pwd"), &VelquorUserRegisteInfoModel::m_pwd)
            .field(QStringLiteral("email"), &VelquorUserRegisteInfoModel::m_email)
            .field(QStringLiteral("reg_ip"), &VelquorUserRegisteInfoModel::m_reg_ip);
        return fields;
    }();
    return table;
}

QJsonObject VelquorUserRegisteInfoModel::encodeWithCoder() const
{
    return mapping().toArchive(*this, QStringLiteral("VelquorUserRegisteInfoModel"));
}

std::optional<VelquorUserRegisteInfoModel> VelquorUserRegisteInfoModel::initWithCoder(const QJsonValue &archive)
{
    VelquorUserRegisteInfoModel model;
    if (!mapping().fillFromArchive(model, archive, QStringLiteral("VelquorUserRegisteInfoModel")))
        return std::nullopt;
    return model;
}

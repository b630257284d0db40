#include "VelquorUserRegisteInfoModel.h"

const VelquorJsonMapping<VelquorUserRegisteInfoModel> &VelquorUserRegisteInfoModel::mapping()
{
    static const VelquorJsonMapping<VelquorUserRegisteInfoModel> table = [] {
        VelquorJsonMapping<VelquorUserRegisteInfoModel> fields;
        fields.field(QStringLiteral("login_name"), &VelquorUserRegisteInfoModel::m_login_name)
            .field(QStringLiteral("pwd"), &VelquorUserRegisteInfoModel::m_pwd)
            .field(QStringLiteral("email"), &VelquorUserRegisteInfoModel::m_email)
            .field(QStringLiteral("first_name"), &VelquorUserRegisteInfoModel::m_first_name)
            .field(QStringLiteral("middle_name"), &VelquorUserRegisteInfoModel::m_middle_name)
            .field(QStringLiteral("last_name"), &VelquorUserRegisteInfoModel::m_last_name)
            .field(QStringLiteral("nick_name"), &VelquorUserRegisteInfoModel::m_nick_name)
            .field(QStringLiteral("address"), &VelquorUserRegisteInfoModel::m_address)
            .field(QStringLiteral("address_two"), &VelquorUserRegisteInfoModel::m_address_two)
            .field(QStringLiteral("city"), &VelquorUserRegisteInfoModel::m_city)
            .field(QStringLiteral("state"), &VelquorUserRegisteInfoModel::m_state)
            .field(QStringLiteral("country"), &VelquorUserRegisteInfoModel::m_country)
            .field(QStringLiteral("telphone"), &VelquorUserRegisteInfoModel::m_telphone)
            .field(QStringLiteral("zip"), &VelquorUserRegisteInfoModel::m_zip)
            .field(QStringLiteral("reg_ip"), &VelquorUserRegisteInfoModel::m_reg_ip)
            .field(QStringLiteral("is_receive_email"), &VelquorUserRegisteInfoModel::m_is_receive_email)
            .field(QStringLiteral("is_notified_update"), &VelquorUserRegisteInfoModel::m_is_notified_update)
            .field(QStringLiteral("is_receive_catalog"), &VelquorUserRegisteInfoModel::m_is_receive_catalog);
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

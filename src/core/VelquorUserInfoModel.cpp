#include "VelquorUserInfoModel.h"

const VelquorJsonMapping<VelquorUserInfoModel> &VelquorUserInfoModel::mapping()
{
    static const VelquorJsonMapping<VelquorUserInfoModel> table = [] {
        VelquorJsonMapping<VelquorUserInfoModel> fields;
        fields.field(QStringLiteral("first"), &VelquorUserInfoModel::m_first)
            .field(QStringLiteral("middle"), &VelquorUserInfoModel::m_middle)
            .field(QStringLiteral("last"), &VelquorUserInfoModel::m_last)
            .field(QStringLiteral("address"), &VelquorUserInfoModel::m_address)
            .field(QStringLiteral("email"), &VelquorUserInfoModel::m_email)
            .field(QStringLiteral("address_two"), &VelquorUserInfoModel::m_address_two)
            .field(QStringLiteral("country"), &VelquorUserInfoModel::m_country)
            .field(QStringLiteral("state"), &VelquorUserInfoModel::m_state)
            .field(QStringLiteral("city"), &VelquorUserInfoModel::m_city)
            .field(QStringLiteral("zip"), &VelquorUserInfoModel::m_zip)
            .field(QStringLiteral("update"), &VelquorUserInfoModel::m_update)
            .field(QStringLiteral("telephone"), &VelquorUserInfoModel::m_telephone)
            .field(QStringLiteral("user_name"), &VelquorUserInfoModel::m_user_name);
        return fields;
    }();
    return table;
}

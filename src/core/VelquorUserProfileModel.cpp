#include "VelquorUserProfileModel.h"

const VelquorJsonMapping<VelquorUserProfileModel> &VelquorUserProfileModel::mapping()
{
    static const VelquorJsonMapping<VelquorUserProfileModel> table = [] {
        VelquorJsonMapping<VelquorUserProfileModel> fields;
        fields.field(QStringLiteral("first_name"), &VelquorUserProfileModel::m_first_name)
            .field(QStringLiteral("middle_name"), &VelquorUserProfileModel::m_middle_name)
            .field(QStringLiteral("last_name"), &VelquorUserProfileModel::m_last_name)
            .field(QStringLiteral("login_name"), &VelquorUserProfileModel::m_login_name)
            .field(QStringLiteral("login_pwd"), &VelquorUserProfileModel::m_login_pwd)
            .field(QStringLiteral("nick_name"), &VelquorUserProfileModel::m_nick_name)
            .field(QStringLiteral("telphone"), &VelquorUserProfileModel::m_telphone)
            .field(QStringLiteral("address"), &VelquorUserProfileModel::m_address)
            .field(QStringLiteral("address_two"), &VelquorUserProfileModel::m_address_two)
            .field(QStringLiteral("city"), &VelquorUserProfileModel::m_city)
            .field(QStringLiteral("country"), &VelquorUserProfileModel::m_country)
            .field(QStringLiteral("state"), &VelquorUserProfileModel::m_state)
            .field(QStringLiteral("zip"), &VelquorUserProfileModel::m_zip)
            .field(QStringLiteral("is_receive_email"), &VelquorUserProfileModel::m_is_receive_email)
            .field(QStringLiteral("is_notified_update"), &VelquorUserProfileModel::m_is_notified_update)
            .field(QStringLiteral("is_receive_catalog"), &VelquorUserProfileModel::m_is_receive_catalog);
        return fields;
    }();
    return table;
}

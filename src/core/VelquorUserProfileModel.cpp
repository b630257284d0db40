#include "VelquorUserProfileModel.h"

const VelquorJsonMapping<VelquorUserProfileModel> &VelquorUserProfileModel::mapping()
{
    static const VelquorJsonMapping<VelquorUserProfileModel> table = [] {
        VelquorJsonMapping<VelquorUserProfileModel> fields;
        addDetailFields(fields);
        fields.field(QStringLiteral("login_pwd"), &VelquorUserProfileModel::m_login_pwd);
        return fields;
    }();
    return table;
}

#include "VelquorUserInfoResultModel.h"

const VelquorJsonMapping<VelquorUserInfoResultModel> &VelquorUserInfoResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorUserInfoResultModel> table = [] {
        VelquorJsonMapping<VelquorUserInfoResultModel> fields;
        fields.field(QStringLiteral("msgCode"), &VelquorUserInfoResultModel::m_msgCode, QStringLiteral("MSG_CODE"))
            .field(QStringLiteral("result"), &VelquorUserInfoResultModel::m_result, QStringLiteral("RESULT"));
        return fields;
    }();
    return table;
}

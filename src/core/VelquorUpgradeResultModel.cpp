#include "VelquorUpgradeResultModel.h"

const VelquorJsonMapping<VelquorUpgradeResultModel> &VelquorUpgradeResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorUpgradeResultModel> table = [] {
        VelquorJsonMapping<VelquorUpgradeResultModel> fields;
        addEnvelopeFields(fields);
        fields.field(QStringLiteral("upgrade"), &VelquorUpgradeResultModel::m_upgrade, QStringLiteral("UPGRADE"));
        return fields;
    }();
    return table;
}

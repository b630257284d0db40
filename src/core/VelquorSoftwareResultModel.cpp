#include "VelquorSoftwareResultModel.h"

const VelquorJsonMapping<VelquorSoftwareResultModel> &VelquorSoftwareResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorSoftwareResultModel> table = [] {
        VelquorJsonMapping<VelquorSoftwareResultModel> fields;
        addEnvelopeFields(fields);
        fields.field(QStringLiteral("softwareInfo"), &VelquorSoftwareResultModel::m_softwareInfo,
                     QStringLiteral("SOFTWARE_INFO"));
        return fields;
    }();
    return table;
}

#include "VelquorSoftwareInfoModel.h"

const VelquorJsonMapping<VelquorSoftwareInfoModel> &VelquorSoftwareInfoModel::mapping()
{
    static const VelquorJsonMapping<VelquorSoftwareInfoModel> table = [] {
        VelquorJsonMapping<VelquorSoftwareInfoModel> fields;
        fields
            .field(QStringLiteral("softwareName"), &VelquorSoftwareInfoModel::m_softwareName,
                   QStringLiteral("software_name"))
            .field(QStringLiteral("softwareID"), &VelquorSoftwareInfoModel::m_softwareID,
                   QStringLiteral("software_id"));
        return fields;
    }();
    return table;
}

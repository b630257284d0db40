#include "VelquorResultModel.h"

const VelquorJsonMapping<VelquorResultModel> &VelquorResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorResultModel> table = [] {
        VelquorJsonMapping<VelquorResultModel> fields;
        addEnvelopeFields(fields);
        return fields;
    }();
    return table;
}

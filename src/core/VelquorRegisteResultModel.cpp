#include "VelquorRegisteResultModel.h"

const VelquorJsonMapping<VelquorRegisteResultModel> &VelquorRegisteResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorRegisteResultModel> table = [] {
        VelquorJsonMapping<VelquorRegisteResultModel> fields;
        addEnvelopeFields(fields);
        return fields;
    }();
    return table;
}

#pragma once

#include "core/VelquorAnswerEnvelope.h"
#include "core/VelquorJsonMapping.h"

// The answer of UserReg.
class VelquorRegisteResultModel : public VelquorAnswerEnvelope, public VelquorJsonModel<VelquorRegisteResultModel>
{
public:
    static const VelquorJsonMapping<VelquorRegisteResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

private:
};

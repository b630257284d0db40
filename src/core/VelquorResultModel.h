#pragma once

#include "core/VelquorAnswerEnvelope.h"
#include "core/VelquorJsonMapping.h"

// The plain answer envelope: the answer of UserComplaint and UpdateUserInformation.
class VelquorResultModel : public VelquorAnswerEnvelope, public VelquorJsonModel<VelquorResultModel>
{
public:
    static const VelquorJsonMapping<VelquorResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

private:
};

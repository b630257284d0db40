#pragma once

#include "core/VelquorAnswerEnvelope.h"
#include "core/VelquorJsonMapping.h"
#include "core/VelquorSoftwareInfoModel.h"

// The answer of SoftwareInfo.
class VelquorSoftwareResultModel : public VelquorAnswerEnvelope, public VelquorJsonModel<VelquorSoftwareResultModel>
{
public:
    static const VelquorJsonMapping<VelquorSoftwareResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    QList<VelquorSoftwareInfoModel> softwareInfo() const { return m_softwareInfo; }
    void setSoftwareInfo(const QList<VelquorSoftwareInfoModel> &value) { m_softwareInfo = value; }

private:
    QList<VelquorSoftwareInfoModel> m_softwareInfo;
};

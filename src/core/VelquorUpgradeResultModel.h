#pragma once

#include "core/VelquorAnswerEnvelope.h"
#include "core/VelquorDownloadModel.h"
#include "core/VelquorJsonMapping.h"

// The answer of ProductUpdateInformation: the packages offered for one device.
class VelquorUpgradeResultModel : public VelquorAnswerEnvelope, public VelquorJsonModel<VelquorUpgradeResultModel>
{
public:
    static const VelquorJsonMapping<VelquorUpgradeResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    QList<VelquorDownloadModelPtr> upgrade() const { return m_upgrade; }
    void setUpgrade(const QList<VelquorDownloadModelPtr> &value) { m_upgrade = value; }

private:
    QList<VelquorDownloadModelPtr> m_upgrade;
};

#pragma once

#include "core/VelquorJsonMapping.h"

// One software of a product.
class VelquorSoftwareInfoModel : public VelquorJsonModel<VelquorSoftwareInfoModel>
{
public:
    static const VelquorJsonMapping<VelquorSoftwareInfoModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    QString softwareName() const { return m_softwareName; }
    void setSoftwareName(const QString &value) { m_softwareName = value; }
    qint64 softwareID() const { return m_softwareID; }
    void setSoftwareID(qint64 value) { m_softwareID = value; }

private:
    QString m_softwareName;
    qint64 m_softwareID = 0;
};

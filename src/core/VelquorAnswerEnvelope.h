#pragma once

#include "core/VelquorJsonMapping.h"

#include <QString>

// What every answer of the service carries: "MSG_CODE" (1 means the request succeeded; a missing
// member reads as 0, a failure) and the service's message "MSG_INFO".
class VelquorAnswerEnvelope
{
public:
    qint64 msgCode() const { return m_msgCode; }
    void setMsgCode(qint64 value) { m_msgCode = value; }
    QString msgInfo() const { return m_msgInfo; }
    void setMsgInfo(const QString &value) { m_msgInfo = value; }

protected:
    template <class Model> static void addEnvelopeFields(VelquorJsonMapping<Model> &fields)
    {
        fields.field(QStringLiteral("msgCode"), &VelquorAnswerEnvelope::m_msgCode, QStringLiteral("MSG_CODE"))
            .field(QStringLiteral("msgInfo"), &VelquorAnswerEnvelope::m_msgInfo, QStringLiteral("MSG_INFO"));
    }

private:
    qint64 m_msgCode = 0;
    QString m_msgInfo;
};

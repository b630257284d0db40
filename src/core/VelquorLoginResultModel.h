#pragma once

#include "core/VelquorAnswerEnvelope.h"
#include "core/VelquorJsonMapping.h"

#include <optional>

// The answer of UserLogin; archived in "userInfo.data" it is also the signed-in user.
class VelquorLoginResultModel : public VelquorAnswerEnvelope, public VelquorJsonModel<VelquorLoginResultModel>
{
public:
    static const VelquorJsonMapping<VelquorLoginResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    // Keyed archive: every property under its own name; decoding accepts only this class.
    QJsonObject encodeWithCoder() const;
    static std::optional<VelquorLoginResultModel> initWithCoder(const QJsonValue &archive);

    QString userInfo() const { return m_userInfo; }
    void setUserInfo(const QString &value) { m_userInfo = value; }
    // The account's user name as the service keeps it; later requests send it back.
    QString userReName() const { return m_userReName; }
    void setUserReName(const QString &value) { m_userReName = value; }
    bool isRight() const { return m_right; }
    void setRight(bool value) { m_right = value; }

private:
    QString m_userInfo;
    QString m_userReName;
    bool m_right = false;
};

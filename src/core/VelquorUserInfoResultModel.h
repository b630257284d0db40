#pragma once

#include "core/VelquorJsonMapping.h"
#include "core/VelquorUserInfoModel.h"

#include <memory>

// The answer of GetUserInformation: "MSG_CODE" and the profile under "RESULT" (no "MSG_INFO").
class VelquorUserInfoResultModel : public VelquorJsonModel<VelquorUserInfoResultModel>
{
public:
    static const VelquorJsonMapping<VelquorUserInfoResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    qint64 msgCode() const { return m_msgCode; }
    void setMsgCode(qint64 value) { m_msgCode = value; }
    std::shared_ptr<VelquorUserInfoModel> result() const { return m_result; }
    void setResult(const std::shared_ptr<VelquorUserInfoModel> &value) { m_result = value; }

private:
    qint64 m_msgCode = 0;
    std::shared_ptr<VelquorUserInfoModel> m_result;
};

#pragma once

#include "core/VelquorJsonMapping.h"
#include "core/VelquorUserDetailsModel.h"

#include <optional>

// The sign-up record: the body of UserReg (members named as the properties) and the record
// kept in "registeInfo.data".
class VelquorUserRegisteInfoModel : public VelquorUserDetailsModel, public VelquorJsonModel<VelquorUserRegisteInfoModel>
{
public:
    static const VelquorJsonMapping<VelquorUserRegisteInfoModel> &mapping();

    // Keyed archive: every property under its own name; decoding accepts only this class.
    QJsonObject encodeWithCoder() const;
    static std::optional<VelquorUserRegisteInfoModel> initWithCoder(const QJsonValue &archive);

    QString pwd() const { return m_pwd; }
    void setPwd(const QString &value) { m_pwd = value; }
    QString email() const { return m_email; }
    void setEmail(const QString &value) { m_email = value; }
    QString reg_ip() const { return m_reg_ip; }
    void setReg_ip(const QString &value) { m_reg_ip = value; }

private:
    QString m_pwd;
    QString m_email;
    QString m_reg_ip;
};

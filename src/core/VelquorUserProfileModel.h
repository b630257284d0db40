#pragma once

#include "core/VelquorJsonMapping.h"
#include "core/VelquorUserDetailsModel.h"

// The profile page's record, sent as the body of UpdateUserInformation (members named as the properties).
class VelquorUserProfileModel : public VelquorUserDetailsModel, public VelquorJsonModel<VelquorUserProfileModel>
{
public:
    static const VelquorJsonMapping<VelquorUserProfileModel> &mapping();

    QString login_pwd() const { return m_login_pwd; }
    void setLogin_pwd(const QString &value) { m_login_pwd = value; }

private:
    QString m_login_pwd;
};

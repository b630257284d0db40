#include "account/VelquorProfileForm.h"

#include "core/VelquorCommonTool.h"

namespace {

QString usable(const QString &value)
{
    return VelquorCommonTool::isUsableText(value) ? value : QString();
}

// The service expects every member: an entry never goes out absent.
QString sent(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

VelquorProfileForm::Entries VelquorProfileForm::entriesFromUserInfo(const VelquorUserInfoModel &userInfo)
{
    Entries entries;
    entries.userID = usable(userInfo.user_name());
    entries.firstName = usable(userInfo.first());
    entries.lastName = usable(userInfo.last());
    entries.email = usable(userInfo.email());
    entries.telephone = usable(userInfo.telephone());
    entries.address = usable(userInfo.address());
    entries.city = usable(userInfo.city());
    entries.province = usable(userInfo.state());
    entries.country = usable(userInfo.country());
    return entries;
}

bool VelquorProfileForm::isValid(const Entries &entries)
{
    return !entries.userID.isEmpty() && !entries.firstName.isEmpty() && !entries.lastName.isEmpty() &&
           entries.email.contains(QLatin1Char('@')) && !entries.telephone.isEmpty() && !entries.address.isEmpty() &&
           !entries.province.isEmpty() && !entries.country.isEmpty();
}

VelquorUserProfileModel VelquorProfileForm::profileModel(const Entries &entries, const QString &password)
{
    VelquorUserProfileModel model;
    model.setLogin_name(sent(entries.userID));
    model.setFirst_name(sent(entries.firstName));
    model.setLast_name(sent(entries.lastName));
    model.setTelphone(sent(entries.telephone));
    model.setAddress(sent(entries.address));
    model.setAddress_two(sent(entries.address));
    model.setCity(sent(entries.city));
    model.setState(sent(entries.province));
    model.setCountry(sent(entries.country));
    model.setMiddle_name(QStringLiteral(""));
    model.setNick_name(QStringLiteral(""));
    model.setZip(QStringLiteral(""));
    model.setLogin_pwd(sent(password));
    model.setIs_receive_email(true);
    model.setIs_notified_update(true);
    model.setIs_receive_catalog(true);
    return model;
}

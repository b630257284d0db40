#pragma once

#include "core/VelquorJsonMapping.h"

// The profile that GetUserInformation answers; members are named as the properties.
class VelquorUserInfoModel : public VelquorJsonModel<VelquorUserInfoModel>
{
public:
    static const VelquorJsonMapping<VelquorUserInfoModel> &mapping();

    QString first() const { return m_first; }
    void setFirst(const QString &value) { m_first = value; }
    QString middle() const { return m_middle; }
    void setMiddle(const QString &value) { m_middle = value; }
    QString last() const { return m_last; }
    void setLast(const QString &value) { m_last = value; }
    QString address() const { return m_address; }
    void setAddress(const QString &value) { m_address = value; }
    QString email() const { return m_email; }
    void setEmail(const QString &value) { m_email = value; }
    QString address_two() const { return m_address_two; }
    void setAddress_two(const QString &value) { m_address_two = value; }
    QString country() const { return m_country; }
    void setCountry(const QString &value) { m_country = value; }
    QString state() const { return m_state; }
    void setState(const QString &value) { m_state = value; }
    QString city() const { return m_city; }
    void setCity(const QString &value) { m_city = value; }
    QString zip() const { return m_zip; }
    void setZip(const QString &value) { m_zip = value; }
    bool update() const { return m_update; }
    void setUpdate(bool value) { m_update = value; }
    QString telephone() const { return m_telephone; }
    void setTelephone(const QString &value) { m_telephone = value; }
    QString user_name() const { return m_user_name; }
    void setUser_name(const QString &value) { m_user_name = value; }

private:
    QString m_first;
    QString m_middle;
    QString m_last;
    QString m_address;
    QString m_email;
    QString m_address_two;
    QString m_country;
    QString m_state;
    QString m_city;
    QString m_zip;
    bool m_update = false;
    QString m_telephone;
    QString m_user_name;
};

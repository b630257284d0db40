#pragma once

#include "core/VelquorJsonMapping.h"

// The account holder's details that both the sign-up record and the profile record carry, under
// the same member names. Each record adds them to its own field table with addDetailFields.
class VelquorUserDetailsModel
{
public:
    QString login_name() const { return m_login_name; }
    void setLogin_name(const QString &value) { m_login_name = value; }
    QString first_name() const { return m_first_name; }
    void setFirst_name(const QString &value) { m_first_name = value; }
    QString middle_name() const { return m_middle_name; }
    void setMiddle_name(const QString &value) { m_middle_name = value; }
    QString last_name() const { return m_last_name; }
    void setLast_name(const QString &value) { m_last_name = value; }
    QString nick_name() const { return m_nick_name; }
    void setNick_name(const QString &value) { m_nick_name = value; }
    QString telphone() const { return m_telphone; }
    void setTelphone(const QString &value) { m_telphone = value; }
    QString address() const { return m_address; }
    void setAddress(const QString &value) { m_address = value; }
    QString address_two() const { return m_address_two; }
    void setAddress_two(const QString &value) { m_address_two = value; }
    QString city() const { return m_city; }
    void setCity(const QString &value) { m_city = value; }
    QString state() const { return m_state; }
    void setState(const QString &value) { m_state = value; }
    QString country() const { return m_country; }
    void setCountry(const QString &value) { m_country = value; }
    QString zip() const { return m_zip; }
    void setZip(const QString &value) { m_zip = value; }
    bool is_receive_email() const { return m_is_receive_email; }
    void setIs_receive_email(bool value) { m_is_receive_email = value; }
    bool is_notified_update() const { return m_is_notified_update; }
    void setIs_notified_update(bool value) { m_is_notified_update = value; }
    bool is_receive_catalog() const { return m_is_receive_catalog; }
    void setIs_receive_catalog(bool value) { m_is_receive_catalog = value; }

protected:
    // Adds these fields, each under its property name, to a record's table.
    template <class Model> static void addDetailFields(VelquorJsonMapping<Model> &fields)
    {
        using Self = VelquorUserDetailsModel;
        fields.field(QStringLiteral("login_name"), &Self::m_login_name)
            .field(QStringLiteral("first_name"), &Self::m_first_name)
            .field(QStringLiteral("middle_name"), &Self::m_middle_name)
            .field(QStringLiteral("last_name"), &Self::m_last_name)
            .field(QStringLiteral("nick_name"), &Self::m_nick_name)
            .field(QStringLiteral("telphone"), &Self::m_telphone)
            .field(QStringLiteral("address"), &Self::m_address)
            .field(QStringLiteral("address_two"), &Self::m_address_two)
            .field(QStringLiteral("city"), &Self::m_city)
            .field(QStringLiteral("state"), &Self::m_state)
            .field(QStringLiteral("country"), &Self::m_country)
            .field(QStringLiteral("zip"), &Self::m_zip)
            .field(QStringLiteral("is_receive_email"), &Self::m_is_receive_email)
            .field(QStringLiteral("is_notified_update"), &Self::m_is_notified_update)
            .field(QStringLiteral("is_receive_catalog"), &Self::m_is_receive_catalog);
    }

private:
    QString m_login_name;
    QString m_first_name;
    QString m_middle_name;
    QString m_last_name;
    QString m_nick_name;
    QString m_telphone;
    QString m_address;
    QString m_address_two;
    QString m_city;
    QString m_state;
    QString m_country;
    QString m_zip;
    bool m_is_receive_email = false;
    bool m_is_notified_update = false;
    bool m_is_receive_catalog = false;
};

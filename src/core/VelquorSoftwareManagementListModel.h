#pragma once

#include <QList>
#include <QString>

#include <memory>

// One row of the software-management list: the card's operating software or one installed
// vehicle. Rows are built off the GUI thread and handed over whole; afterwards only the GUI thread
// touches them (the check mark changes with the user's clicks).
class VelquorSoftwareManagementListModel
{
public:
    QString item() const { return m_item; }
    void setItem(const QString &value) { m_item = value; }
    // "OS-SOFTWARE" on the system row; not set on vehicle rows.
    QString software() const { return m_software; }
    void setSoftware(const QString &value) { m_software = value; }
    // The version text as stored ("V12.34").
    QString version() const { return m_version; }
    void setVersion(const QString &value) { m_version = value; }
    // The records' languages, upper-cased and joined with "/": shown when the card has no language file.
    QString language() const { return m_language; }
    void setLanguage(const QString &value) { m_language = value; }
    // The language codes found on the card, joined with "|"; read when the row is built.
    QString cardLanguages() const { return m_cardLanguages; }
    void setCardLanguages(const QString &value) { m_cardLanguages = value; }
    // Absolute directories on the card, joined with ";".
    QString path() const { return m_path; }
    void setPath(const QString &value) { m_path = value; }
    // The vehicle name; "OS-SOFTWARE" on the system row.
    QString vehicle() const { return m_vehicle; }
    void setVehicle(const QString &value) { m_vehicle = value; }
    // The row's check mark.
    bool isSelected() const { return m_selected; }
    void setSelected(bool value) { m_selected = value; }

private:
    QString m_item;
    QString m_software;
    QString m_version;
    QString m_language;
    QString m_cardLanguages;
    QString m_path;
    QString m_vehicle;
    bool m_selected = false;
};

using VelquorSoftwareManagementListModelPtr = std::shared_ptr<VelquorSoftwareManagementListModel>;
using VelquorSoftwareManagementList = QList<VelquorSoftwareManagementListModelPtr>;

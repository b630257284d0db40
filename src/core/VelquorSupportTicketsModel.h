#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The feedback form: its fields, sent as the support request, and the choices of its two boxes.
class VelquorSupportTicketsModel
{
public:
    QString subject() const { return m_subject; }
    void setSubject(const QString &value) { m_subject = value; }
    // The device's product name.
    QString scanner() const { return m_scanner; }
    void setScanner(const QString &value) { m_scanner = value; }
    QString software() const { return m_software; }
    void setSoftware(const QString &value) { m_software = value; }
    QString version() const { return m_version; }
    void setVersion(const QString &value) { m_version = value; }
    QString vin() const { return m_vin; }
    void setVin(const QString &value) { m_vin = value; }
    QString year() const { return m_year; }
    void setYear(const QString &value) { m_year = value; }
    QString engineSize() const { return m_engineSize; }
    void setEngineSize(const QString &value) { m_engineSize = value; }
    QString problem() const { return m_problem; }
    void setProblem(const QString &value) { m_problem = value; }

    // Choices of the scanner box (the account's product names), without duplicates, in order.
    QStringList scanners() const { return m_scanners; }
    void setScanners(const QStringList &value) { m_scanners = value; }
    // Choices of the software box (the chosen product's software names), without duplicates, in order.
    QStringList softwares() const { return m_softwares; }
    void setSoftwares(const QStringList &value) { m_softwares = value; }
    // Id of the chosen catalogue product; absent until one is chosen.
    std::optional<qint64> productID() const { return m_productID; }
    void setProductID(std::optional<qint64> value) { m_productID = value; }

private:
    QString m_subject;
    QString m_scanner;
    QString m_software;
    QString m_version;
    QString m_vin;
    QString m_year;
    QString m_engineSize;
    QString m_problem;
    QStringList m_scanners;
    QStringList m_softwares;
    std::optional<qint64> m_productID;
};

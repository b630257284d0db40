#pragma once

#include <QString>

// One row of the bundle's vehicle table car_ini: where a vehicle's software lives on the card.
class VelquorVehicleModel
{
public:
    // Card path with "/" separators.
    QString path() const { return m_path; }
    void setPath(const QString &value) { m_path = value; }
    // Vehicle name shown for the path.
    QString vehicle() const { return m_vehicle; }
    void setVehicle(const QString &value) { m_vehicle = value; }
    // Last component of the path.
    QString subVehicle() const { return m_subVehicle; }
    void setSubVehicle(const QString &value) { m_subVehicle = value; }

private:
    QString m_path;
    QString m_vehicle;
    QString m_subVehicle;
};

#pragma once

#include "core/VelquorJsonMapping.h"

#include <optional>

// One device of the account (UserProductInformation) or one product of the catalogue (ProductInfo).
class VelquorProductInfoModel : public VelquorJsonModel<VelquorProductInfoModel>
{
public:
    static const VelquorJsonMapping<VelquorProductInfoModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    // Keyed archive: every property under its own name; decoding accepts only this class.
    QJsonObject encodeWithCoder() const;
    static std::optional<VelquorProductInfoModel> initWithCoder(const QJsonValue &archive);

    QString serialNumber() const { return m_serialNumber; }
    void setSerialNumber(const QString &value) { m_serialNumber = value; }
    qint64 serial_id() const { return m_serial_id; }
    void setSerial_id(qint64 value) { m_serial_id = value; }
    QString productName() const { return m_productName; }
    void setProductName(const QString &value) { m_productName = value; }
    qint64 productID() const { return m_productID; }
    void setProductID(qint64 value) { m_productID = value; }

private:
    QString m_serialNumber;
    qint64 m_serial_id = 0;
    QString m_productName;
    qint64 m_productID = 0;
};

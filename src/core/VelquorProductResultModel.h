#pragma once

#include "core/VelquorAnswerEnvelope.h"
#include "core/VelquorJsonMapping.h"
#include "core/VelquorProductInfoModel.h"

// The answer of UserProductInformation (productInfo) and of ProductInfo (product).
class VelquorProductResultModel : public VelquorAnswerEnvelope, public VelquorJsonModel<VelquorProductResultModel>
{
public:
    static const VelquorJsonMapping<VelquorProductResultModel> &mapping();
    // Property name -> JSON key where the service names a member differently.
    static QHash<QString, QString> replacedKeyFromPropertyName() { return mapping().replacedKeys(); }

    QList<VelquorProductInfoModel> productInfo() const { return m_productInfo; }
    void setProductInfo(const QList<VelquorProductInfoModel> &value) { m_productInfo = value; }
    QList<VelquorProductInfoModel> product() const { return m_product; }
    void setProduct(const QList<VelquorProductInfoModel> &value) { m_product = value; }

private:
    QList<VelquorProductInfoModel> m_productInfo;
    QList<VelquorProductInfoModel> m_product;
};

#include "VelquorProductResultModel.h"

const VelquorJsonMapping<VelquorProductResultModel> &VelquorProductResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorProductResultModel> table = [] {
        VelquorJsonMapping<VelquorProductResultModel> fields;
        addEnvelopeFields(fields);
        fields
            .field(QStringLiteral("productInfo"), &VelquorProductResultModel::m_productInfo,
                   QStringLiteral("PRODUCT_INFO"))
            .field(QStringLiteral("product"), &VelquorProductResultModel::m_product, QStringLiteral("PRODUCT"));
        return fields;
    }();
    return table;
}

#include "session/VelquorProductListComposer.h"
#include "core/VelquorMyUpdatesListModel.h"

#include <gtest/gtest.h>

namespace {

VelquorProductInfoModel product(const QString &serial, qint64 id, const QString &name)
{
    VelquorProductInfoModel model;
    model.setSerialNumber(serial);
    model.setSerial_id(id);
    model.setProductName(name);
    return model;
}

} // namespace

TEST(ProductListComposition, DevicesAreSortedIgnoringCaseWithIdsAndNamesAlongside)
{
    auto answer = std::make_shared<VelquorProductResultModel>();
    answer->setMsgCode(1);
    answer->setProductInfo({product("vq9b", 3, "VQ900 PRO"), product("VQ3A", 1, "VQ300 LITE"),
                            product("VQ9B", 2, "VQ900 PRO"), product("vq1c", 4, "VQ100 MINI")});
    const auto result = VelquorProductListComposer::compose(answer);
    EXPECT_TRUE(result.alertKey.isEmpty());
    EXPECT_EQ(result.allSerialNumbers, (QStringList{"vq9b", "VQ3A", "VQ9B", "vq1c"}));
    EXPECT_EQ(result.allProductNames, (QStringList{"VQ900 PRO", "VQ300 LITE", "VQ900 PRO", "VQ100 MINI"}));
    EXPECT_EQ(result.distinctProductNames, (QStringList{"VQ900 PRO", "VQ300 LITE", "VQ100 MINI"}));
    // Serials differing only in case both stay, in answer order.
    EXPECT_EQ(result.serialNumbers, (QStringList{"vq1c", "VQ3A", "vq9b", "VQ9B"}));
    EXPECT_EQ(result.serialIDs, (QList<qint64>{4, 1, 3, 2}));
    EXPECT_EQ(result.productNames, (QStringList{"VQ100 MINI", "VQ300 LITE", "VQ900 PRO", "VQ900 PRO"}));

    VelquorMyUpdatesListModel list;
    VelquorProductListComposer::apply(result, list);
    EXPECT_EQ(list.serialNumbers(), result.serialNumbers);
    EXPECT_EQ(list.serialIDs(), result.serialIDs);
    EXPECT_EQ(list.allSerialNumbers(), result.allSerialNumbers);
}

TEST(ProductListComposition, NoDeviceAndFailuresNameTheirMessage)
{
    auto noDevice = std::make_shared<VelquorProductResultModel>();
    noDevice->setMsgCode(2);
    EXPECT_EQ(VelquorProductListComposer::compose(noDevice).alertKey, "UpdateHint3");
    auto refused = std::make_shared<VelquorProductResultModel>();
    refused->setMsgCode(0);
    EXPECT_EQ(VelquorProductListComposer::compose(refused).alertKey, "UpdateHint2");
    const auto failed = VelquorProductListComposer::compose(nullptr);
    EXPECT_EQ(failed.alertKey, "UpdateHint2");
    EXPECT_TRUE(failed.serialNumbers.isEmpty());
}

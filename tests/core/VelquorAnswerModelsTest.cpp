#include "core/VelquorFileUploadResultModel.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorProductResultModel.h"
#include "core/VelquorUpgradeResultModel.h"
#include "core/VelquorUserInfoResultModel.h"
#include "core/VelquorUserProfileModel.h"
#include "core/VelquorUserRegisteInfoModel.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

} // namespace

TEST(VelquorAnswerModels, EnvelopeReadsCodeLeniently)
{
    EXPECT_EQ(VelquorLoginResultModel::fromJson(json(R"({"MSG_CODE":"1"})")).msgCode(), 1);
    EXPECT_EQ(VelquorLoginResultModel::fromJson(json(R"({"MSG_CODE":" -1 "})")).msgCode(), -1);
    EXPECT_EQ(VelquorLoginResultModel::fromJson(json(R"({"MSG_CODE":1.0})")).msgCode(), 1);
    EXPECT_EQ(VelquorLoginResultModel::fromJson(json(R"({"MSG_INFO":"x"})")).msgCode(), 0);
    EXPECT_EQ(VelquorLoginResultModel::fromJson(json(R"({"MSG_CODE":"abc"})")).msgCode(), 0);
    EXPECT_EQ(VelquorLoginResultModel::fromJson(json(R"({"MSG_CODE":"1e30"})")).msgCode(), 0);
}

TEST(VelquorAnswerModels, FlagsNullsAndUnknownMembers)
{
    for (const char *yes : {R"({"is_right":"true"})", R"({"is_right":"YES"})", R"({"is_right":1})",
                            R"({"is_right":true})", R"({"is_right":"1"})"})
        EXPECT_TRUE(VelquorLoginResultModel::fromJson(json(yes)).isRight()) << yes;
    for (const char *no : {R"({"is_right":"false"})", R"({"is_right":"no"})", R"({"is_right":0})",
                           R"({"is_right":null})", R"({"is_right":"maybe"})"})
        EXPECT_FALSE(VelquorLoginResultModel::fromJson(json(no)).isRight()) << no;

    const auto login = VelquorLoginResultModel::fromJson(
        json(R"({"MSG_CODE":1,"MSG_INFO":null,"User_reName":42,"User_Info":"info","surprise":[1,2]})"));
    EXPECT_TRUE(login.msgInfo().isNull());
    EXPECT_EQ(login.userReName(), QStringLiteral("42"));
    EXPECT_EQ(login.userInfo(), QStringLiteral("info"));
}

TEST(VelquorAnswerModels, ArraysBecomeElementModels)
{
    const auto products = VelquorProductResultModel::fromJson(json(R"({"MSG_CODE":1,"PRODUCT_INFO":[
        {"serial_number":"SN1","serial_id":"7","product_name":"P1","product_id":3}, "skipped",
        {"serial_number":"SN2","serial_id":8}]})"));
    ASSERT_EQ(products.productInfo().size(), 2);
    EXPECT_EQ(products.productInfo()[0].serialNumber(), QStringLiteral("SN1"));
    EXPECT_EQ(products.productInfo()[0].serial_id(), 7);
    EXPECT_EQ(products.productInfo()[0].productID(), 3);
    EXPECT_EQ(products.productInfo()[1].serial_id(), 8);
    EXPECT_TRUE(products.product().isEmpty());

    EXPECT_TRUE(VelquorProductResultModel::fromJson(json(R"({"MSG_CODE":1})")).productInfo().isEmpty());

    const auto upgrade = VelquorUpgradeResultModel::fromJson(json(R"({"MSG_CODE":1,"UPGRADE":[
        {"software":"BENZ","version":"V12.35","sd_path":"Vehicles/Europe/BENZ","file_path":"a_EN.zip",
         "is_update":"true","price":"0"}]})"));
    ASSERT_EQ(upgrade.upgrade().size(), 1);
    EXPECT_EQ(upgrade.upgrade()[0]->sdPath(), QStringLiteral("Vehicles/Europe/BENZ"));
    EXPECT_TRUE(upgrade.upgrade()[0]->isUpdate());
}

TEST(VelquorAnswerModels, NestedResultAndUploadAnswer)
{
    const auto info = VelquorUserInfoResultModel::fromJson(
        json(R"({"MSG_CODE":"1","RESULT":{"first":"Ada","update":"true","zip":12345}})"));
    EXPECT_EQ(info.msgCode(), 1);
    ASSERT_TRUE(info.result());
    EXPECT_EQ(info.result()->first(), QStringLiteral("Ada"));
    EXPECT_TRUE(info.result()->update());
    EXPECT_EQ(info.result()->zip(), QStringLiteral("12345"));
    EXPECT_FALSE(VelquorUserInfoResultModel::fromJson(json(R"({"MSG_CODE":0,"RESULT":null})")).result());

    const auto upload = VelquorFileUploadResultModel::fromJson(json(R"({"status":"yes","size":"2048","ext":".log"})"));
    EXPECT_TRUE(upload.status());
    EXPECT_EQ(upload.size(), 2048);
    EXPECT_EQ(upload.ext(), QStringLiteral(".log"));
}

TEST(VelquorAnswerModels, RequestModelsLeaveAbsentTextsOut)
{
    VelquorUserProfileModel profile;
    profile.setFirst_name(QStringLiteral("Ada"));
    profile.setZip(QStringLiteral(""));
    profile.setIs_receive_email(true);
    const QJsonObject object = profile.toJson();
    EXPECT_EQ(object.value(QStringLiteral("first_name")).toString(), QStringLiteral("Ada"));
    EXPECT_TRUE(object.value(QStringLiteral("zip")).isString());
    EXPECT_FALSE(object.contains(QStringLiteral("last_name")));
    EXPECT_EQ(object.value(QStringLiteral("is_receive_email")), QJsonValue(true));
    EXPECT_EQ(object.value(QStringLiteral("is_notified_update")), QJsonValue(false));
    EXPECT_EQ(object.size(), 5);
}

TEST(VelquorAnswerModels, ArchivesKeepEveryPropertyAndOnlyTheirClass)
{
    VelquorLoginResultModel login;
    login.setMsgCode(1);
    login.setMsgInfo(QStringLiteral("LOGIN_SUCCESS"));
    login.setUserInfo(QStringLiteral("info"));
    login.setUserReName(QStringLiteral("demo"));
    login.setRight(true);
    const QJsonObject archive = login.encodeWithCoder();
    EXPECT_TRUE(archive.contains(QStringLiteral("userReName"))) << "archived under property names";

    const auto back = VelquorLoginResultModel::initWithCoder(archive);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->msgCode(), 1);
    EXPECT_EQ(back->msgInfo(), QStringLiteral("LOGIN_SUCCESS"));
    EXPECT_EQ(back->userInfo(), QStringLiteral("info"));
    EXPECT_EQ(back->userReName(), QStringLiteral("demo"));
    EXPECT_TRUE(back->isRight());

    EXPECT_FALSE(VelquorUserRegisteInfoModel::initWithCoder(archive));
    EXPECT_FALSE(VelquorLoginResultModel::initWithCoder(QJsonValue(QStringLiteral("text"))));
    EXPECT_EQ(VelquorLoginResultModel::replacedKeyFromPropertyName().value(QStringLiteral("right")),
              QStringLiteral("is_right"));
}

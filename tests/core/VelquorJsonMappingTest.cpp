#include "core/VelquorJsonMapping.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <limits>

namespace {
// The member "v" of a one-member JSON text.
QJsonValue member(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object().value(QStringLiteral("v"));
}
} // namespace

TEST(VelquorJsonConvert, NumbersReadAsTextKeepEveryDigitOfWholeNumbers)
{
    const QList<QPair<const char *, QString>> cases = {
        {R"({"v":17000000})", QStringLiteral("17000000")},
        {R"({"v":-3})", QStringLiteral("-3")},
        {R"({"v":0.1})", QStringLiteral("0.1")},
        {R"({"v":12.3})", QStringLiteral("12.3")},
        {R"({"v":1e20})", QStringLiteral("1e+20")},
        {R"({"v":true})", QStringLiteral("1")},
        {R"({"v":9007199254740993})", QStringLiteral("9007199254740993")},
    };
    for (const auto &[json, expected] : cases) {
        QString text;
        EXPECT_TRUE(VelquorJsonConvert::read(member(json), text)) << json;
        EXPECT_EQ(text, expected) << json;
    }
    // Beyond 2^53 a double would round the id.
    qint64 id = 0;
    EXPECT_TRUE(VelquorJsonConvert::read(member(R"({"v":9223372036854775807})"), id));
    EXPECT_EQ(id, std::numeric_limits<qint64>::max());
}

TEST(VelquorJsonConvert, NumbersThatDoNotFitLeaveTheFieldAlone)
{
    quint64 size = 7;
    EXPECT_TRUE(VelquorJsonConvert::read(member(R"({"v":"18446744073709551615"})"), size));
    EXPECT_EQ(size, std::numeric_limits<quint64>::max());
    EXPECT_TRUE(VelquorJsonConvert::read(member(R"({"v":-5})"), size));
    EXPECT_EQ(size, 0u) << "a negative size reads as none";
    size = 7;
    for (const char *json : {R"({"v":1e300})", R"({"v":"inf"})", R"({"v":"-inf"})", R"({"v":"nan"})", R"({"v":null})"})
        EXPECT_FALSE(VelquorJsonConvert::read(member(json), size)) << json;
    EXPECT_EQ(size, 7u);

    float ratio = 0.25f;
    EXPECT_TRUE(VelquorJsonConvert::read(member(R"({"v":"0.5"})"), ratio));
    EXPECT_EQ(ratio, 0.5f);
    EXPECT_FALSE(VelquorJsonConvert::read(member(R"({"v":1e300})"), ratio));
    EXPECT_EQ(ratio, 0.5f);

    double price = 1.5;
    bool flag = false;
    EXPECT_FALSE(VelquorJsonConvert::read(member(R"({"v":"inf"})"), price));
    EXPECT_FALSE(VelquorJsonConvert::read(member(R"({"v":"inf"})"), flag));
    EXPECT_EQ(price, 1.5);
    EXPECT_FALSE(flag);
}

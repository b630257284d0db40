#include "core/VelquorDownloadModel.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
QJsonObject parse(const char *json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}
} // namespace

TEST(DownloadModel, NewRecordIsEmpty)
{
    const auto model = VelquorDownloadModel::create();
    EXPECT_TRUE(model->software().isNull());
    EXPECT_TRUE(model->language().isNull());
    EXPECT_TRUE(model->updateInfo().isNull());
    EXPECT_TRUE(model->resumeData().isNull());
    EXPECT_EQ(model->state(), 0);
    EXPECT_EQ(model->ratio(), 0.0f);
    EXPECT_FALSE(model->isSelected());
}

TEST(DownloadModel, TransformingGetters)
{
    const auto model = VelquorDownloadModel::create();
    model->setLanguage(QStringLiteral(" English\n"));
    EXPECT_EQ(model->language(), QStringLiteral("English"));
    model->setUpdateInfo(QStringLiteral("a OSTRELLE_VELQUOR_FLAGbOSTRELLE_VELQUOR_FLAG"));
    EXPECT_EQ(model->updateInfo(), QStringLiteral("a \nb\n"));
    model->setUpdateInfo(QStringLiteral("plain notes"));
    EXPECT_EQ(model->updateInfo(), QStringLiteral("plain notes"));
}

TEST(DownloadModel, ReadsTheUpdateListElementLeniently)
{
    const auto model = VelquorDownloadModel::fromJson(parse(R"({
        "software": "FORD", "version": "V12.34", "language": "English", "release": "R1",
        "is_update": "true", "file_path": "pkg/FORD_V12.34.zip", "sd_path": "Scan/Ford",
        "update_info": "notes", "price": "9.5", "vehicle": "FORD", "totalFileSize": "17000000",
        "state": 2, "ratio": 0.5, "selected": "yes", "zipPath": null, "unknown": {"x": 1}
    })"));
    EXPECT_EQ(model->software(), QStringLiteral("FORD"));
    EXPECT_EQ(model->releaseVerion(), QStringLiteral("R1"));
    EXPECT_TRUE(model->isUpdate());
    EXPECT_EQ(model->filePath(), QStringLiteral("pkg/FORD_V12.34.zip"));
    EXPECT_EQ(model->sdPath(), QStringLiteral("Scan/Ford"));
    EXPECT_EQ(model->updateInfo(), QStringLiteral("notes"));
    EXPECT_EQ(model->price(), 9.5);
    EXPECT_EQ(model->totalFileSize(), 17000000u);
    EXPECT_EQ(model->state(), 2);
    EXPECT_EQ(model->ratio(), 0.5f);
    EXPECT_TRUE(model->isSelected());
    EXPECT_TRUE(model->zipPath().isNull()) << "null leaves the field empty";

    EXPECT_FALSE(VelquorDownloadModel::fromJson(parse(R"({"software": "X"})"))->isUpdate());
    EXPECT_FALSE(VelquorDownloadModel::fromJson(parse(R"({"is_update": "no"})"))->isUpdate());
    EXPECT_TRUE(VelquorDownloadModel::fromJson(parse(R"({"is_update": 1})"))->isUpdate());
    EXPECT_EQ(VelquorDownloadModel::fromJson(parse(R"({"state": "abc", "speed": -5})"))->state(), 0);
    EXPECT_EQ(VelquorDownloadModel::fromJson(parse(R"({"speed": -5, "tmpFileSize": 1e300})"))->speed(), 0u);
}

TEST(DownloadModel, JsonRoundTripCopiesEveryField)
{
    const auto model = VelquorDownloadModel::create();
    model->setSoftware(QStringLiteral("BMW"));
    model->setReleaseVerion(QStringLiteral("R2"));
    model->setIsUpdate(true);
    model->setSdPath(QStringLiteral("Scan/BMW"));
    model->setUrl(QStringLiteral("http://h/BMW_1.zip"));
    model->setResumeData(QByteArray("\x00\xffresume", 8));
    model->setTotalFileSize(16 * 1024 * 1024 + 7);
    model->setLastStateTime(1700000000123456);
    model->setProgress(0.25);
    model->setRatio(0.75f);
    model->setResumeCount(2);

    const QJsonObject json = model->toJson();
    EXPECT_EQ(json.value(QStringLiteral("release")).toString(), QStringLiteral("R2"));
    EXPECT_EQ(json.value(QStringLiteral("sd_path")).toString(), QStringLiteral("Scan/BMW"));
    EXPECT_FALSE(json.contains(QStringLiteral("version"))) << "absent texts are left out";

    const auto copy = model->copy();
    EXPECT_NE(copy.get(), model.get());
    EXPECT_EQ(copy->toJson(), json);
    EXPECT_EQ(copy->resumeData(), model->resumeData());
    EXPECT_EQ(copy->lastStateTime(), 1700000000123456u);
    EXPECT_EQ(copy->resumeCount(), 2);
}

TEST(DownloadModel, OneWriterAndReadersShareARecord)
{
    const auto model = VelquorDownloadModel::create();
    const QString a(512, QLatin1Char('a'));
    const QString b(1024, QLatin1Char('b'));
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            model->setUrl(i % 2 ? a : b);
            model->setResumeData(i % 2 ? a.toLatin1() : b.toLatin1());
        }
        done = true;
    });
    bool whole = true;
    while (!done) {
        const QString url = model->url();
        whole = whole && (url.isNull() || url == a || url == b);
    }
    writer.join();
    EXPECT_TRUE(whole);
}

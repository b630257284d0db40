#include "support/TestEnvironment.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorNetworkManager.h"
#include "standin/DemoCatalogue.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>

namespace {

class DemoServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        ASSERT_TRUE(server.start());
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
    }
    void TearDown() override { qunsetenv("VELQUOR_SERVICE_URL"); }

    // Sends one operation through the client and answers its model (none when it did not parse).
    template <class Model, class Send> std::shared_ptr<Model> call(Send send)
    {
        auto mutex = std::make_shared<std::mutex>();
        auto result = std::make_shared<std::pair<bool, std::shared_ptr<Model>>>();
        send(
            [mutex, result](std::shared_ptr<Model> model) {
                std::lock_guard lock(*mutex);
                *result = {true, model};
            },
            [mutex, result](const VelquorNetworkError &) {
                std::lock_guard lock(*mutex);
                result->first = true;
            });
        EXPECT_TRUE(waitUntil([&] {
            std::lock_guard lock(*mutex);
            return result->first;
        }));
        std::lock_guard lock(*mutex);
        return result->second;
    }

    static QJsonObject login(const QString &account, const QString &password)
    {
        return {{"OstrelleUserLoginName", account}, {"OstrelleUserPassWods", VelquorCommonTool::md5String(password)}};
    }

    QTemporaryDir data;
    standin::StandinServer server;
    VelquorNetworkManager client;
};

// 7zz extracts `archive` with the password into `target`; true on success.
bool extract(const QString &archive, const QString &target, const QString &password)
{
    QProcess process;
    process.start(QStringLiteral("7zz"),
                  {QStringLiteral("x"), QStringLiteral("-p") + password, QStringLiteral("-o") + target,
                   QStringLiteral("-y"), QStringLiteral("-bso0"), QStringLiteral("-bsp0"), archive});
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST_F(DemoServiceTest, AnswersEveryOperation)
{
    ASSERT_TRUE(standin::installDemoService(server, QString()));
    const auto signedIn = call<VelquorLoginResultModel>(
        [&](auto s, auto f) { client.requestLoginWithParams(login("demo", "demo1234"), s, f); });
    ASSERT_TRUE(signedIn);
    EXPECT_EQ(signedIn->msgCode(), 1);
    EXPECT_EQ(signedIn->userReName(), QStringLiteral("demo"));
    EXPECT_TRUE(signedIn->isRight());
    const auto refused = call<VelquorLoginResultModel>(
        [&](auto s, auto f) { client.requestLoginWithParams(login("demo", "wrong"), s, f); });
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->msgCode(), 1);

    const auto devices = call<VelquorProductResultModel>([&](auto s, auto f) {
        client.requestGetProductWithParams({{"user_name", "demo"}}, s, f);
    });
    ASSERT_TRUE(devices);
    EXPECT_EQ(devices->msgCode(), 1);
    ASSERT_EQ(devices->productInfo().size(), 2);
    const qint64 serialId = devices->productInfo().first().serial_id();
    EXPECT_GT(serialId, 0);
    EXPECT_NE(devices->productInfo()[0].productName(), devices->productInfo()[1].productName());

    const auto upgrade = call<VelquorUpgradeResultModel>([&](auto s, auto f) {
        client.requestUpdateProductWithParams({{"login_name", "demo"}, {"serialid", serialId}}, s, f);
    });
    ASSERT_TRUE(upgrade);
    EXPECT_EQ(upgrade->msgCode(), 1);
    QStringList softwares;
    bool split = false, append = false, backslashCleaned = false, notesWithLineBreaks = false;
    for (const VelquorDownloadModelPtr &record : upgrade->upgrade()) {
        softwares << record->software();
        split = split || record->filePath().contains(QLatin1String("part.zip"));
        append = append || record->filePath().contains(QLatin1String("APPEND.zip"));
        backslashCleaned = backslashCleaned || record->sdPath() == QLatin1String("Vehicles/Europe/VW");
        notesWithLineBreaks = notesWithLineBreaks || record->updateInfo().contains(QLatin1String("\r\n"));
    }
    EXPECT_TRUE(softwares.contains(QStringLiteral("OS-SOFTWARE")));
    EXPECT_TRUE(softwares.contains(QStringLiteral("MAC_UPDATETOOLS")));
    EXPECT_TRUE(split && append && backslashCleaned && notesWithLineBreaks);

    const auto softwareInfo = call<VelquorSoftwareResultModel>([&](auto s, auto f) {
        client.requestGetSoftwareInfoWithParams({{"product_id", devices->productInfo().first().productID()}}, s, f);
    });
    ASSERT_TRUE(softwareInfo);
    EXPECT_FALSE(softwareInfo->softwareInfo().isEmpty());
    const auto catalogue =
        call<VelquorProductResultModel>([&](auto s, auto f) { client.requestGetProductInfoWithParams({}, s, f); });
    ASSERT_TRUE(catalogue);
    EXPECT_GE(catalogue->product().size(), 2);

    QJsonObject ticket;
    for (const char *member : {"user_name", "title", "product_name", "software_name", "years", "engine", "problem",
                               "vin", "version", "vech", "car_m", "part_number"})
        ticket.insert(QLatin1String(member), QStringLiteral("null"));
    ticket.insert(QStringLiteral("user_name"), QStringLiteral("demo"));
    const auto support =
        call<VelquorResultModel>([&](auto s, auto f) { client.requestSupportWithParams(ticket, s, f); });
    ASSERT_TRUE(support);
    EXPECT_EQ(support->msgCode(), 1);

    const auto saved = call<VelquorResultModel>([&](auto s, auto f) {
        client.requestUpdateUserInfoWithParams({{"login_name", "demo"}, {"city", "Dover"}}, s, f);
    });
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->msgCode(), 1);
    const auto profile = call<VelquorUserInfoResultModel>([&](auto s, auto f) {
        client.requestGetUserInfoWithParams({{"login_name", "demo"}}, s, f);
    });
    ASSERT_TRUE(profile && profile->result());
    EXPECT_EQ(profile->msgCode(), 1);
    EXPECT_EQ(profile->result()->city(), QStringLiteral("Dover"));

    const QJsonObject newcomer{{"login_name", "newcomer"}, {"pwd", "abc123"}, {"email", "new@example.com"}};
    const auto registered =
        call<VelquorRegisteResultModel>([&](auto s, auto f) { client.requestRegisteWithParams(newcomer, s, f); });
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->msgCode(), 1);
    const auto again =
        call<VelquorRegisteResultModel>([&](auto s, auto f) { client.requestRegisteWithParams(newcomer, s, f); });
    ASSERT_TRUE(again);
    EXPECT_EQ(again->msgInfo(), QStringLiteral("USER_NAME_REG"));
    const auto newcomerIn = call<VelquorLoginResultModel>(
        [&](auto s, auto f) { client.requestLoginWithParams(login("newcomer", "abc123"), s, f); });
    ASSERT_TRUE(newcomerIn);
    EXPECT_EQ(newcomerIn->msgCode(), 1);

    const auto upload = call<VelquorFileUploadResultModel>([&](auto s, auto f) {
        client.requestUploadWithParams({{"serial", "VQ9A00123456"}, {"Filedata", "log"}}, "scan.log", s, f);
    });
    ASSERT_TRUE(upload);
    EXPECT_TRUE(upload->status());
}

TEST_F(DemoServiceTest, ArchivesExtractWithThePasswordAndAreMadeOnce)
{
    QString error;
    ASSERT_TRUE(standin::installDemoService(server, data.path(), &error)) << qPrintable(error);
    const QString password = QStringLiteral("Xq3.lantermovex.qz#%!&*");
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    int index = 0;
    for (const standin::DemoArchive &archive : standin::demoArchives()) {
        // As the client keeps them: split parts joined in order; 7z packages under a ".7z" name.
        QByteArray bytes;
        for (const QString &file : archive.partPaths.isEmpty() ? QStringList{archive.path} : archive.partPaths)
            bytes += contentOf(QDir(data.path()).filePath(file));
        ASSERT_FALSE(bytes.isEmpty()) << qPrintable(archive.path);
        const bool zip = archive.format == standin::DemoArchive::Format::Zip;
        const QString local = scratch.filePath(QStringLiteral("%1.%2").arg(index).arg(zip ? "zip" : "7z"));
        QFile out(local);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();

        const QString target = scratch.filePath(QStringLiteral("out%1").arg(index++));
        EXPECT_FALSE(extract(local, target + QStringLiteral("-wrong"), QStringLiteral("wrong")))
            << qPrintable(archive.path);
        ASSERT_TRUE(extract(local, target, password)) << qPrintable(archive.path);
        for (const standin::DemoArchiveEntry &entry : archive.entries)
            EXPECT_EQ(contentOf(QDir(target).filePath(entry.path)), entry.content) << qPrintable(entry.path);
    }

    // A second start over the same data directory keeps the archives it finds.
    QString sample;
    for (const standin::DemoArchive &archive : standin::demoArchives()) {
        if (archive.partPaths.isEmpty())
            sample = QDir(data.path()).filePath(archive.path);
    }
    const QDateTime made = QFileInfo(sample).lastModified();
    standin::StandinServer second;
    ASSERT_TRUE(standin::installDemoService(second, data.path()));
    EXPECT_EQ(QFileInfo(sample).lastModified(), made);
}

TEST(DemoCatalogue, CardPathsMatchTheBundledTables)
{
    const auto vehicles = VelquorCommonTool::sharedTool().getNewAllVehicleModelsFromBundle();
    const auto appendVersions = VelquorCommonTool::sharedTool().getAllVersionModelsFromBundle();
    ASSERT_TRUE(appendVersions.contains(QStringLiteral("other")));
    QStringList missing;
    for (const standin::DemoDevice &device : standin::demoDevices()) {
        for (const standin::DemoPackage &package : standin::demoUpdateList(device.serialId)) {
            const QString key = QString(package.sdPath).replace(QLatin1Char('\\'), QLatin1Char('/')).toUpper();
            if (package.software.isEmpty() || key.isEmpty() || key == QLatin1String("SCAN"))
                continue;
            if (!vehicles.contains(key))
                missing << key;
            if (package.filePath.contains(QLatin1String("APPEND.zip"))) {
                EXPECT_TRUE(appendVersions.value(QStringLiteral("other")).contains(key)) << qPrintable(key);
            }
        }
    }
    missing.removeDuplicates();
    // One package is deliberately outside the vehicle table: it is listed under its software name.
    EXPECT_EQ(missing, QStringList{QStringLiteral("SPECIAL/ADAS")});
}

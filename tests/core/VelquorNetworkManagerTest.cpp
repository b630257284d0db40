#include "support/TestEnvironment.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorHTTPSessionManager.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorNetworkRequest.h"
#include "platform/DispatchQueue.h"
#include "standin/StandinServer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>

using standin::Fault;
using standin::LoggedRequest;
using standin::StandinServer;

namespace {

template <class Model> struct Outcome
{
    bool done = false;
    bool succeeded = false;
    std::shared_ptr<Model> model;
    VelquorNetworkError error;
    QString queueLabel; // where the callback ran
    bool onGuiThread = false;
};

QString currentQueueLabel()
{
    const DispatchQueue *queue = DispatchQueue::current();
    return queue ? queue->label() : QString();
}

// Calls `send(success, failure)` and waits until one of the two has been called.
template <class Model, class Send> Outcome<Model> await(Send send, int timeoutMs = 10000)
{
    struct Shared
    {
        std::mutex mutex;
        Outcome<Model> outcome;
        int calls = 0;
    };
    auto shared = std::make_shared<Shared>();
    auto success = [shared](std::shared_ptr<Model> model) {
        std::lock_guard lock(shared->mutex);
        ++shared->calls;
        shared->outcome = {true,
                           true,
                           model,
                           {},
                           currentQueueLabel(),
                           QThread::currentThread() == QCoreApplication::instance()->thread()};
    };
    auto failure = [shared](const VelquorNetworkError &error) {
        std::lock_guard lock(shared->mutex);
        ++shared->calls;
        shared->outcome = {true,
                           false,
                           nullptr,
                           error,
                           currentQueueLabel(),
                           QThread::currentThread() == QCoreApplication::instance()->thread()};
    };
    send(success, failure);
    EXPECT_TRUE(waitUntil(
        [&] {
            std::lock_guard lock(shared->mutex);
            return shared->outcome.done;
        },
        timeoutMs));
    // A second callback would arrive soon after the first.
    waitUntil([] { return false; }, 50);
    std::lock_guard lock(shared->mutex);
    EXPECT_EQ(shared->calls, 1);
    return shared->outcome;
}

class VelquorNetworkManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().chopped(1).toUtf8()); // the client adds the "/"
    }
    void TearDown() override
    {
        VelquorHTTPSessionManager::sharedManager().setTimeoutInterval(60 * 1000);
        qunsetenv("VELQUOR_SERVICE_URL");
        server.stop();
    }

    void answer(const QString &operation, const QByteArray &json)
    {
        server.setOperation(operation, [json](const LoggedRequest &) { return json; });
    }

    LoggedRequest lastRequestTo(const QString &path)
    {
        const auto requests = server.requestsTo(path);
        return requests.empty() ? LoggedRequest() : requests.back();
    }

    StandinServer server;
    VelquorNetworkManager manager;
};

} // namespace

TEST_F(VelquorNetworkManagerTest, EveryOperationPostsItsPathBodyKeyAndMembers)
{
    using M = VelquorNetworkManager;
    struct Case
    {
        QString operation;
        QString bodyKey;
        QJsonObject params;
        std::function<void(M &, const QJsonObject &, std::function<void()>)> send;
    };
    auto done = [](auto callback) { return [callback](auto) { callback(); }; };
    const QJsonObject login{{"OstrelleUserLoginName", "demo"},
                            {"OstrelleUserPassWods", VelquorCommonTool::md5String(QStringLiteral("demo1234"))}};
    const QJsonObject support{{"user_name", "demo"},     {"title", "t"},    {"product_name", "VQ900 PRO"},
                              {"software_name", "BENZ"}, {"years", "2015"}, {"engine", "2.0"},
                              {"problem", "p"},          {"vin", "V"},      {"version", "V12.35"},
                              {"vech", "null"},          {"car_m", "null"}, {"part_number", "null"}};
    const std::vector<Case> cases = {
        {"UserReg", "information", QJsonObject{{"login_name", "new"}, {"pwd", "secret12"}},
         [&](M &m, const QJsonObject &p, auto cb) { m.requestRegisteWithParams(p, done(cb), done(cb)); }},
        {"UserLogin", "information", login,
         [&](M &m, const QJsonObject &p, auto cb) { m.requestLoginWithParams(p, done(cb), done(cb)); }},
        {"UserProductInformation", "information", QJsonObject{{"user_name", "demo"}},
         [&](M &m, const QJsonObject &p, auto cb) { m.requestGetProductWithParams(p, done(cb), done(cb)); }},
        {"ProductUpdateInformation", "information", QJsonObject{{"login_name", "demo"}, {"serialid", 1001}},
         [&](M &m, const QJsonObject &p, auto cb) { m.requestUpdateProductWithParams(p, done(cb), done(cb)); }},
        {"UserComplaint", "contents", support,
         [&](M &m, const QJsonObject &p, auto cb) { m.requestSupportWithParams(p, done(cb), done(cb)); }},
        {"SoftwareInfo", "information", QJsonObject{{"product_id", 11}},
         [&](M &m, const QJsonObject &p, auto cb) { m.requestGetSoftwareInfoWithParams(p, done(cb), done(cb)); }},
        {"ProductInfo", "information", QJsonObject(),
         [&](M &m, const QJsonObject &p, auto cb) { m.requestGetProductInfoWithParams(p, done(cb), done(cb)); }},
        {"GetUserInformation", "information", QJsonObject{{"login_name", "demo"}},
         [&](M &m, const QJsonObject &p, auto cb) { m.requestGetUserInfoWithParams(p, done(cb), done(cb)); }},
        {"UpdateUserInformation", "information", QJsonObject{{"login_name", "demo"}, {"is_receive_email", true}},
         [&](M &m, const QJsonObject &p, auto cb) { m.requestUpdateUserInfoWithParams(p, done(cb), done(cb)); }},
    };
    for (const Case &c : cases) {
        answer(c.operation, R"({"MSG_CODE":1})");
        std::atomic<bool> finished{false};
        c.send(manager, c.params, [&finished] { finished = true; });
        ASSERT_TRUE(waitUntil([&] { return finished.load(); })) << qPrintable(c.operation);

        const LoggedRequest request = lastRequestTo(QStringLiteral("/webs/WebService.asmx/") + c.operation);
        EXPECT_EQ(request.method, QStringLiteral("POST")) << qPrintable(c.operation);
        EXPECT_EQ(request.formKey, c.bodyKey) << qPrintable(c.operation);
        EXPECT_EQ(request.json.toObject(), c.params) << qPrintable(c.operation);
        EXPECT_TRUE(request.headers.value(QStringLiteral("content-type"))
                        .startsWith(QStringLiteral("application/x-www-form-urlencoded")))
            << qPrintable(c.operation);
    }

    const LoggedRequest signIn = lastRequestTo(QStringLiteral("/webs/WebService.asmx/UserLogin"));
    const QString digest = signIn.json.toObject().value(QStringLiteral("OstrelleUserPassWods")).toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(digest).hasMatch()) << qPrintable(digest);
    EXPECT_EQ(digest, QString::fromLatin1(QCryptographicHash::hash("demo1234", QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(lastRequestTo(QStringLiteral("/webs/WebService.asmx/ProductInfo")).body, QByteArray("information={}"));
}

TEST_F(VelquorNetworkManagerTest, FormFieldCarriesAmpersandPlusAndPercentIntact)
{
    answer(QStringLiteral("UserComplaint"), R"({"MSG_CODE":1})");
    const QString problem = QStringLiteral("brakes & lights + 50% = \"bad\" ü");
    const auto outcome = await<VelquorResultModel>([&](auto success, auto failure) {
        manager.requestSupportWithParams(QJsonObject{{"problem", problem}}, success, failure);
    });
    ASSERT_TRUE(outcome.succeeded);
    const LoggedRequest request = lastRequestTo(QStringLiteral("/webs/WebService.asmx/UserComplaint"));
    EXPECT_EQ(request.json.toObject().value(QStringLiteral("problem")).toString(), problem);
    EXPECT_TRUE(request.body.contains("%26") && request.body.contains("%2B") && request.body.contains("%25"));
    EXPECT_TRUE(request.body.contains("brakes ") && request.body.contains("\xc3\xbc"))
        << "other bytes stay as they are";
}

TEST_F(VelquorNetworkManagerTest, AnswersAreCleanedParsedAndDeliveredOnTheNetworkQueue)
{
    // The service writes paths with bare backslashes and its notes with raw line breaks.
    answer(QStringLiteral("UserLogin"),
           "{\"MSG_CODE\":\"1\",\"MSG_INFO\":\"Welcome\\r\\nback\",\"User_reName\":\"Demo\",\"is_right\":\"True\"}");
    const auto login = await<VelquorLoginResultModel>(
        [&](auto success, auto failure) { manager.requestLoginWithParams(QJsonObject(), success, failure); });
    ASSERT_TRUE(login.succeeded);
    ASSERT_TRUE(login.model);
    EXPECT_EQ(login.model->msgCode(), 1);
    EXPECT_TRUE(login.model->isRight());
    EXPECT_EQ(login.queueLabel, QStringLiteral("com.ostrelle.Velquor.network"));
    EXPECT_FALSE(login.onGuiThread);

    answer(QStringLiteral("ProductUpdateInformation"),
           "{\"MSG_CODE\":1,\"UPGRADE\":[{\"software\":\"BENZ\",\"sd_path\":\"Vehicles\\Europe\\BENZ\","
           "\"update_info\":\"Fixes:\r\n- ABS\r\n\",\"is_update\":\"False\"}]}");
    const auto upgrade = await<VelquorUpgradeResultModel>(
        [&](auto success, auto failure) { manager.requestUpdateProductWithParams(QJsonObject(), success, failure); });
    ASSERT_TRUE(upgrade.model);
    ASSERT_EQ(upgrade.model->upgrade().size(), 1);
    const VelquorDownloadModelPtr record = upgrade.model->upgrade().first();
    EXPECT_EQ(record->sdPath(), QStringLiteral("Vehicles/Europe/BENZ"));
    EXPECT_EQ(record->updateInfo(), QStringLiteral("Fixes:\r\n- ABS\r\n")) << "the flag turns back into line feeds";
    EXPECT_FALSE(record->isUpdate());
}

TEST_F(VelquorNetworkManagerTest, StatusOutsideSuccessGoesToFailureOnTheGuiThread)
{
    answer(QStringLiteral("UserLogin"), R"({"MSG_CODE":1})");
    Fault fault;
    fault.kind = Fault::Kind::Status;
    fault.status = 500;
    server.setFault(QStringLiteral("/webs/WebService.asmx/UserLogin"), fault);
    const auto outcome = await<VelquorLoginResultModel>(
        [&](auto success, auto failure) { manager.requestLoginWithParams(QJsonObject(), success, failure); });
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.httpStatus, 500);
    EXPECT_TRUE(outcome.onGuiThread);
}

TEST_F(VelquorNetworkManagerTest, AnswerThatDoesNotParseSucceedsWithoutModel)
{
    answer(QStringLiteral("UserLogin"), R"({"MSG_CODE":1})");
    for (const Fault::Kind kind : {Fault::Kind::NotXml, Fault::Kind::Garbage}) {
        Fault fault;
        fault.kind = kind;
        server.setFault(QStringLiteral("/webs/WebService.asmx/UserLogin"), fault);
        const auto outcome = await<VelquorLoginResultModel>(
            [&](auto success, auto failure) { manager.requestLoginWithParams(QJsonObject(), success, failure); });
        EXPECT_TRUE(outcome.succeeded);
        EXPECT_FALSE(outcome.model);
    }
}

TEST_F(VelquorNetworkManagerTest, AnAnswerOverSixteenMegabytesIsRefusedAndTheClientGoesOn)
{
    // A well-formed answer that only its size makes unacceptable.
    QByteArray padding(17 * 1000 * 1000, 'x');
    server.setOperation(QStringLiteral("UserLogin"), [padding](const LoggedRequest &) {
        return QByteArray(R"({"MSG_CODE":1,"MSG_INFO":")") + padding + "\"}";
    });
    const auto refused = await<VelquorLoginResultModel>(
        [&](auto success, auto failure) { manager.requestLoginWithParams(QJsonObject(), success, failure); });
    ASSERT_TRUE(refused.done);
    EXPECT_FALSE(refused.succeeded);
    EXPECT_EQ(refused.error.code, QNetworkReply::UnknownContentError);
    EXPECT_TRUE(refused.onGuiThread);

    answer(QStringLiteral("UserLogin"), R"({"MSG_CODE":1})");
    const auto next = await<VelquorLoginResultModel>(
        [&](auto success, auto failure) { manager.requestLoginWithParams(QJsonObject(), success, failure); });
    ASSERT_TRUE(next.model);
    EXPECT_EQ(next.model->msgCode(), 1);
}

TEST_F(VelquorNetworkManagerTest, StalledServerTimesOut)
{
    answer(QStringLiteral("UserLogin"), R"({"MSG_CODE":1})");
    Fault fault;
    fault.kind = Fault::Kind::Stall;
    fault.stallMs = 5000;
    server.setFault(QStringLiteral("/webs/WebService.asmx/UserLogin"), fault);
    VelquorHTTPSessionManager::sharedManager().setTimeoutInterval(300);
    const auto outcome = await<VelquorLoginResultModel>(
        [&](auto success, auto failure) { manager.requestLoginWithParams(QJsonObject(), success, failure); }, 3000);
    EXPECT_TRUE(outcome.done);
    EXPECT_FALSE(outcome.succeeded);
}

TEST_F(VelquorNetworkManagerTest, UploadSendsSerialFieldAndFilePartAndReadsPlainJson)
{
    const auto outcome = await<VelquorFileUploadResultModel>([&](auto success, auto failure) {
        manager.requestUploadWithParams(QJsonObject{{"serial", "VQ9A00123456"}, {"Filedata", "log line\n"}},
                                        QStringLiteral("scan.log"), success, failure);
    });
    ASSERT_TRUE(outcome.succeeded);
    EXPECT_TRUE(outcome.onGuiThread);
    ASSERT_TRUE(outcome.model);
    EXPECT_TRUE(outcome.model->status());
    EXPECT_EQ(outcome.model->name(), QStringLiteral("scan.log"));
    EXPECT_EQ(outcome.model->size(), 9);

    const LoggedRequest request = lastRequestTo(QStringLiteral("/function/upload.ashx"));
    ASSERT_EQ(request.parts.size(), 2u);
    EXPECT_EQ(request.parts[0].name, QStringLiteral("Filedata"));
    EXPECT_EQ(request.parts[0].fileName, QStringLiteral("scan.log"));
    EXPECT_EQ(request.parts[0].contentType, QStringLiteral("application/octet-stream"));
    EXPECT_EQ(request.parts[0].content, QByteArray("log line\n"));
    EXPECT_EQ(request.parts[1].name, QStringLiteral("serial"));
    EXPECT_TRUE(request.parts[1].fileName.isEmpty());
    EXPECT_EQ(request.parts[1].content, QByteArray("VQ9A00123456"));

    // Only the body keys present are sent.
    const auto partial = await<VelquorFileUploadResultModel>([&](auto success, auto failure) {
        manager.requestUploadWithParams(QJsonObject{{"serial", "X"}}, QStringLiteral("a.log"), success, failure);
    });
    ASSERT_TRUE(partial.model);
    EXPECT_FALSE(partial.model->status());
    EXPECT_EQ(lastRequestTo(QStringLiteral("/function/upload.ashx")).parts.size(), 1u);
}

TEST(VelquorNetworkManager, FormatXMLStringCleansTheAnswerText)
{
    EXPECT_EQ(VelquorNetworkManager::formatXMLString(QStringLiteral("\r\n \t{\"a\":\"x\r\ny\"}\r\n")),
              QStringLiteral("{\"a\":\"x\rOSTRELLE_VELQUOR_FLAGy\"}"));
    EXPECT_EQ(VelquorNetworkManager::formatXMLString(QStringLiteral("{\"p\":\"A\\B\",\"t\":True,\"f\":False}")),
              QStringLiteral("{\"p\":\"A/B\",\"t\":true,\"f\":false}"));
    // Framed by line breaks, the JSON still parses.
    EXPECT_TRUE(VelquorNetworkManager::answerObject("<string>\n{\"MSG_CODE\":1}\n</string>"));
}

TEST(VelquorNetworkManager, RootTextJoinsTextAndCdataOfTheRoot)
{
    EXPECT_EQ(VelquorNetworkManager::rootText("<?xml version=\"1.0\"?><r>{\"a\":<![CDATA[\"<b>\"]]>&#xD;}</r>"),
              QStringLiteral("{\"a\":\"<b>\"\r}"));
    EXPECT_EQ(VelquorNetworkManager::rootText("<r>a<i>b</i>c</r>"), QStringLiteral("abc"));
    EXPECT_FALSE(VelquorNetworkManager::rootText("{\"MSG_CODE\":1}"));
    EXPECT_FALSE(VelquorNetworkManager::rootText(""));
    EXPECT_FALSE(VelquorNetworkManager::rootText("<r>unclosed"));
    EXPECT_FALSE(VelquorNetworkManager::answerObject("<r>[1,2]</r>"));
}

TEST(VelquorNetworkRequest, FormBodyEscapesOnlyWhatTheFormDecodingWouldChange)
{
    EXPECT_EQ(VelquorNetworkRequest::formBody(QStringLiteral("information"), QJsonObject{{"k", "a%b&c+d e/f"}}),
              QByteArray("information={\"k\":\"a%25b%26c%2Bd e/f\"}"));
}

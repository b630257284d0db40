#include "support/TestEnvironment.h"

#include "standin/ByteRange.h"
#include "standin/FormBody.h"
#include "standin/StandinServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace standin;

namespace {

struct Answer
{
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QMap<QByteArray, QByteArray> headers; // names in lower case
};

class StandinServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        QDir(root.path()).mkpath(QStringLiteral("files"));
        content.resize(300000);
        for (qsizetype i = 0; i < content.size(); ++i)
            content[i] = char((i * 7 + i / 251) & 0xff);
        writeFile(QStringLiteral("files/pack.7z"), content);
        server.setFileRoot(root.path());
        ASSERT_TRUE(server.start());
        ASSERT_NE(server.port(), 0);
    }

    void writeFile(const QString &relative, const QByteArray &data)
    {
        QFile file(root.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QUrl url(const QString &path) const { return QUrl(server.baseUrl() + path); }

    Answer wait(QNetworkReply *reply)
    {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        Answer answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.error = reply->error();
        answer.body = reply->readAll();
        for (const auto &[name, value] : reply->rawHeaderPairs())
            answer.headers.insert(name.toLower(), value);
        reply->deleteLater();
        return answer;
    }

    Answer get(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &headers = {})
    {
        QNetworkRequest request(url(path));
        for (const auto &[name, value] : headers)
            request.setRawHeader(name, value);
        return wait(network.get(request));
    }

    Answer post(const QString &path, const QByteArray &body)
    {
        QNetworkRequest request(url(path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        return wait(network.post(request, body));
    }

    // What arrives for a request written byte for byte, bypassing any client-side path clean-up.
    QByteArray raw(const QByteArray &request)
    {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), server.port());
        EXPECT_TRUE(socket.waitForConnected(5000));
        socket.write(request);
        socket.waitForBytesWritten(5000);
        QByteArray answer;
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        return answer + socket.readAll();
    }

    QTemporaryDir root;
    QByteArray content;
    StandinServer server;
    QNetworkAccessManager network;
};

QByteArray rootText(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QByteArray text;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isCharacters())
            text += reader.text().toUtf8();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return text;
}

} // namespace

TEST_F(StandinServerTest, HeadAndRangesFollowHttpRules)
{
    const Answer head = wait(network.head(QNetworkRequest(url(QStringLiteral("files/pack.7z")))));
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.headers.value("content-length"), QByteArray::number(content.size()));
    EXPECT_EQ(head.headers.value("accept-ranges"), "bytes");
    const QByteArray etag = head.headers.value("etag");
    const QByteArray lastModified = head.headers.value("last-modified");
    ASSERT_FALSE(etag.isEmpty());
    ASSERT_FALSE(lastModified.isEmpty());
    EXPECT_TRUE(head.body.isEmpty());

    const Answer tail = get(QStringLiteral("files/pack.7z"), {{"Range", "bytes=123456-"}, {"If-Range", etag}});
    EXPECT_EQ(tail.status, 206);
    EXPECT_EQ(tail.headers.value("content-range"), "bytes 123456-299999/300000");
    EXPECT_EQ(tail.body, content.mid(123456));

    const Answer middle = get(QStringLiteral("files/pack.7z"), {{"Range", "bytes=70000-70009"}});
    EXPECT_EQ(middle.status, 206);
    EXPECT_EQ(middle.body, content.mid(70000, 10));

    const Answer byDate = get(QStringLiteral("files/pack.7z"), {{"Range", "bytes=10-"}, {"If-Range", lastModified}});
    EXPECT_EQ(byDate.status, 206);
    EXPECT_EQ(byDate.body.size(), content.size() - 10);

    const Answer past = get(QStringLiteral("files/pack.7z"), {{"Range", "bytes=300000-"}});
    EXPECT_EQ(past.status, 416);
    EXPECT_EQ(past.headers.value("content-range"), "bytes */300000");

    // The client's validator names another version of the file: it gets the whole current one.
    const Answer changed = get(QStringLiteral("files/pack.7z"), {{"Range", "bytes=100-"}, {"If-Range", "\"1-2\""}});
    EXPECT_EQ(changed.status, 200);
    EXPECT_EQ(changed.body, content);
    const Answer oldDate =
        get(QStringLiteral("files/pack.7z"), {{"Range", "bytes=100-"}, {"If-Range", "Mon, 01 Jan 2001 00:00:00 GMT"}});
    EXPECT_EQ(oldDate.status, 200);
    EXPECT_EQ(oldDate.body.size(), content.size());

    EXPECT_EQ(get(QStringLiteral("files/missing.7z")).status, 404);
}

TEST(ByteRangeTest, ResolvesOneRangeAgainstTheSize)
{
    using Outcome = ByteRange::Outcome;
    struct Row
    {
        const char *header;
        qint64 size;
        Outcome outcome;
        qint64 first;
        qint64 last;
    };
    const Row rows[] = {
        {"bytes=0-", 10, Outcome::Partial, 0, 9},      {"bytes=4-6", 10, Outcome::Partial, 4, 6},
        {"bytes=4-99", 10, Outcome::Partial, 4, 9},    {"bytes=-3", 10, Outcome::Partial, 7, 9},
        {"bytes=-30", 10, Outcome::Partial, 0, 9},     {"bytes=10-", 10, Outcome::Unsatisfiable, 0, 0},
        {"bytes=0-", 0, Outcome::Unsatisfiable, 0, 0}, {"bytes=-0", 10, Outcome::Unsatisfiable, 0, 0},
        {"bytes=6-4", 10, Outcome::Whole, 0, 0},       {"bytes=0-1,4-5", 10, Outcome::Whole, 0, 0},
        {"items=0-1", 10, Outcome::Whole, 0, 0},       {"bytes=x-", 10, Outcome::Whole, 0, 0},
        {"bytes=-", 10, Outcome::Whole, 0, 0},
    };
    for (const Row &row : rows) {
        const ByteRange range = ByteRange::resolve(row.header, row.size);
        EXPECT_EQ(range.outcome, row.outcome) << row.header;
        if (row.outcome == Outcome::Partial) {
            EXPECT_EQ(range.first, row.first) << row.header;
            EXPECT_EQ(range.last, row.last) << row.header;
        }
    }
}

TEST_F(StandinServerTest, PathsOutsideTheRootAreRefused)
{
    QTemporaryDir outside;
    QFile secret(outside.filePath(QStringLiteral("secret.txt")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("SECRET");
    secret.close();
    ASSERT_TRUE(QFile::link(outside.path(), root.filePath(QStringLiteral("files/escape"))));
    const QString outsideName = QFileInfo(outside.path()).fileName();

    const QList<QByteArray> targets = {
        "/files/../../" + outsideName.toUtf8() + "/secret.txt",
        "/files/%2e%2e/%2E%2E/" + outsideName.toUtf8() + "/secret.txt",
        "/files/escape/secret.txt",
        "/files/..%2f..%2f" + outsideName.toUtf8() + "%2fsecret.txt",
        "/files",
    };
    for (const QByteArray &target : targets) {
        const QByteArray answer = raw("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 404")) << target.constData() << ": " << answer.left(40).constData();
        EXPECT_FALSE(answer.contains("SECRET")) << target.constData();
    }
    EXPECT_TRUE(raw("GET /files/pack.7z HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 200"));
}

TEST_F(StandinServerTest, OperationsGetTheFormDecodedJsonAndAnswerInTheEnvelope)
{
    server.setOperation(QStringLiteral("UserLogin"), [](const LoggedRequest &request) {
        QJsonObject answer{{QStringLiteral("MSG_CODE"), 1},
                           {QStringLiteral("User_reName"), request.json.toObject().value(QStringLiteral("name"))}};
        return QJsonDocument(answer).toJson(QJsonDocument::Compact);
    });

    // The client percent-encodes only "%", "&" and "+"; everything else travels raw.
    const QByteArray json = R"({"name":"a&b+c%d <é>"})";
    QByteArray encoded = json;
    encoded.replace("%", "%25").replace("&", "%26").replace("+", "%2B");
    const Answer answer = post(QStringLiteral("webs/WebService.asmx/UserLogin"), "information=" + encoded);

    EXPECT_EQ(answer.status, 200);
    EXPECT_TRUE(answer.headers.value("content-type").startsWith("text/xml"));
    EXPECT_TRUE(
        answer.body.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<string xmlns=\"http://tempuri.org/\">"));
    EXPECT_TRUE(answer.body.contains("a&amp;b+c%d &lt;é&gt;"));
    const QJsonObject parsed = QJsonDocument::fromJson(rootText(answer.body)).object();
    EXPECT_EQ(parsed.value(QStringLiteral("User_reName")).toString(), QStringLiteral("a&b+c%d <é>"));

    const auto logged = server.requestsTo(QStringLiteral("/webs/WebService.asmx/UserLogin"));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].method, QStringLiteral("POST"));
    EXPECT_EQ(logged[0].formKey, QStringLiteral("information"));
    EXPECT_EQ(logged[0].formValue, json);
    EXPECT_EQ(logged[0].json.toObject().value(QStringLiteral("name")).toString(), QStringLiteral("a&b+c%d <é>"));
    EXPECT_EQ(logged[0].status, 200);
    EXPECT_EQ(logged[0].headers.value(QStringLiteral("content-type")),
              QStringLiteral("application/x-www-form-urlencoded"));

    EXPECT_EQ(post(QStringLiteral("webs/WebService.asmx/NoSuchOperation"), "information={}").status, 404);
}

TEST(EnvelopeTest, EscapesMarkupAndCarriageReturnsAndReadsBackUnchanged)
{
    const QByteArray json = "{\"t\":\"R&D <x> \\\"q\\\" line\r\nnext\"}";
    const QByteArray xml = StandinServer::envelope(json);
    EXPECT_TRUE(xml.contains("R&amp;D &lt;x&gt;"));
    EXPECT_TRUE(xml.contains("line&#xD;\nnext"));
    EXPECT_TRUE(xml.endsWith("</string>"));
    EXPECT_EQ(rootText(xml), json);
}

TEST(FormBodyTest, DecodesEscapesAndPlusButKeepsRawAndMalformedBytes)
{
    EXPECT_EQ(FormBody::decode("a%26b%2Bc%25d+e"), "a&b+c%d e");
    EXPECT_EQ(FormBody::decode("{\"x\":\"\xc3\xa9\"}"), "{\"x\":\"\xc3\xa9\"}");
    EXPECT_EQ(FormBody::decode("100%"), "100%");
    EXPECT_EQ(FormBody::decode("%4"), "%4");
    EXPECT_EQ(FormBody::decode("%zz%41"), "%zzA");

    // A raw "&" splits the field, as the service's form reader does.
    const auto fields = FormBody::parse("information={\"a\":\"x&y\"}");
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].first, "information");
    EXPECT_EQ(fields[0].second, "{\"a\":\"x");
    EXPECT_EQ(fields[1].first, "y\"}");
}

TEST_F(StandinServerTest, StatusGarbageAndNotXmlFaultsAreCountedPerRequest)
{
    server.setOperation(QStringLiteral("ProductInfo"),
                        [](const LoggedRequest &) { return QByteArrayLiteral(R"({"MSG_CODE":1})"); });
    const QString path = QStringLiteral("/webs/WebService.asmx/ProductInfo");
    const QString relative = path.mid(1);

    Fault status;
    status.kind = Fault::Kind::Status;
    status.status = 500;
    status.times = 1;
    server.setFault(path, status);
    const Answer failed = post(relative, "information={}");
    EXPECT_EQ(failed.status, 500);
    EXPECT_NE(failed.error, QNetworkReply::NoError);
    EXPECT_TRUE(failed.body.startsWith("<?xml")); // a 500 that still carries an XML body
    EXPECT_EQ(post(relative, "information={}").status, 200);

    Fault garbage;
    garbage.kind = Fault::Kind::Garbage;
    garbage.times = 2;
    server.setFault(path, garbage);
    for (int i = 0; i < 2; ++i) {
        const Answer answer = post(relative, "information={}");
        EXPECT_EQ(answer.status, 200);
        QXmlStreamReader reader(answer.body);
        while (!reader.atEnd())
            reader.readNext();
        EXPECT_TRUE(reader.hasError());
        EXPECT_TRUE(QJsonDocument::fromJson(answer.body).isNull());
    }
    EXPECT_TRUE(post(relative, "information={}").body.startsWith("<?xml"));

    Fault notXml;
    notXml.kind = Fault::Kind::NotXml;
    server.setFault(path, notXml);
    EXPECT_EQ(post(relative, "information={}").body, R"({"MSG_CODE":1})");
    server.clearFaults();
    EXPECT_TRUE(post(relative, "information={}").body.startsWith("<?xml"));

    const auto logged = server.requestsTo(path);
    ASSERT_EQ(logged.size(), 7u);
    EXPECT_EQ(logged[0].status, 500);
    EXPECT_EQ(logged[1].status, 200);
}

TEST_F(StandinServerTest, DroppedConnectionEndsShortOfTheAnnouncedLength)
{
    Fault drop;
    drop.kind = Fault::Kind::DropAfter;
    drop.bytes = 1000;
    drop.times = 2;
    server.setFault(QStringLiteral("/files/pack.7z"), drop);

    // A HEAD probe does not spend the fault meant for the download.
    EXPECT_EQ(wait(network.head(QNetworkRequest(url(QStringLiteral("files/pack.7z"))))).status, 200);

    const QByteArray answer = raw("GET /files/pack.7z HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    const qsizetype headerEnd = answer.indexOf("\r\n\r\n");
    ASSERT_GT(headerEnd, 0);
    EXPECT_TRUE(answer.left(headerEnd).contains("Content-Length: 300000"));
    EXPECT_EQ(answer.mid(headerEnd + 4), content.left(1000));

    // Qt may report such an end as an error or, when it sees the close before reading, as a finished
    // reply: either way the client can tell by the length.
    const Answer cut = get(QStringLiteral("files/pack.7z"));
    EXPECT_EQ(cut.headers.value("content-length"), QByteArray::number(content.size()));
    EXPECT_EQ(cut.body, content.left(1000));
    EXPECT_EQ(server.abortedTransfers(), 0); // the server hung up, not the client

    const Answer whole = get(QStringLiteral("files/pack.7z"));
    EXPECT_EQ(whole.error, QNetworkReply::NoError);
    EXPECT_EQ(whole.body, content);
}

TEST_F(StandinServerTest, OverlongAnswersClaimAnotherSizeAndSendMoreThanTheFile)
{
    Fault overlong;
    overlong.kind = Fault::Kind::Overlong;
    overlong.announcedSize = 1000000000000000;
    overlong.bytes = 1000;
    server.setFault(QStringLiteral("/files/pack.7z"), overlong);
    const QByteArray extra(1000, 'Z');
    const auto split = [](const QByteArray &answer) {
        const qsizetype headerEnd = answer.indexOf("\r\n\r\n");
        EXPECT_GT(headerEnd, 0);
        return std::pair{answer.left(headerEnd), answer.mid(headerEnd + 4)};
    };

    // The probe still measures the file itself.
    const Answer head = wait(network.head(QNetworkRequest(url(QStringLiteral("files/pack.7z")))));
    EXPECT_EQ(head.headers.value("content-length"), QByteArray::number(content.size()));

    const auto [whole, wholeBody] = split(raw("GET /files/pack.7z HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    EXPECT_TRUE(whole.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(whole.contains("Content-Length: 1000000000000000"));
    EXPECT_EQ(wholeBody, content + extra);

    // Past the file's end a range still gets bytes, up to the size claimed.
    const auto [tail, tailBody] =
        split(raw("GET /files/pack.7z HTTP/1.1\r\nHost: 127.0.0.1\r\nRange: bytes=299000-\r\n\r\n"));
    EXPECT_TRUE(tail.startsWith("HTTP/1.1 206"));
    EXPECT_TRUE(tail.contains("Content-Range: bytes 299000-999999999999999/1000000000000000"));
    EXPECT_EQ(tailBody, content.mid(299000) + extra);
    const auto [past, pastBody] =
        split(raw("GET /files/pack.7z HTTP/1.1\r\nHost: 127.0.0.1\r\nRange: bytes=400000-\r\n\r\n"));
    EXPECT_TRUE(past.startsWith("HTTP/1.1 206"));
    EXPECT_EQ(pastBody, extra);
    const auto [beyond, beyondBody] =
        split(raw("GET /files/pack.7z HTTP/1.1\r\nHost: 127.0.0.1\r\nRange: bytes=1000000000000000-\r\n\r\n"));
    EXPECT_TRUE(beyond.startsWith("HTTP/1.1 416"));
    EXPECT_TRUE(beyond.contains("Content-Range: bytes */1000000000000000"));

    // Without a size claimed: a complete chunked answer, longer than the file.
    overlong.announcedSize = 0;
    server.setFault(QStringLiteral("/files/pack.7z"), overlong);
    const Answer chunked = get(QStringLiteral("files/pack.7z"));
    EXPECT_EQ(chunked.error, QNetworkReply::NoError);
    EXPECT_EQ(chunked.status, 200);
    EXPECT_FALSE(chunked.headers.contains("content-length"));
    EXPECT_EQ(chunked.body, content + extra);
}

TEST_F(StandinServerTest, ThrottledStreamArrivesWholeAndAClientAbortIsCounted)
{
    Fault throttle;
    throttle.kind = Fault::Kind::Throttle;
    throttle.bytesPerSecond = 400000;
    throttle.times = 1;
    server.setFault(QStringLiteral("/files/pack.7z"), throttle);
    QElapsedTimer timer;
    timer.start();
    const Answer slow = get(QStringLiteral("files/pack.7z"));
    EXPECT_EQ(slow.body, content);
    EXPECT_GE(timer.elapsed(), 500); // 300 kB at 400 kB/s
    EXPECT_EQ(server.abortedTransfers(), 0);

    throttle.bytesPerSecond = 20000;
    server.setFault(QStringLiteral("/files/pack.7z"), throttle);
    QNetworkReply *reply = network.get(QNetworkRequest(url(QStringLiteral("files/pack.7z"))));
    ASSERT_TRUE(waitUntil([&] { return reply->bytesAvailable() > 0; }, 5000));
    reply->abort();
    reply->deleteLater();
    EXPECT_TRUE(waitUntil([&] { return server.abortedTransfers() == 1; }, 5000));
}

TEST_F(StandinServerTest, StallHoldsTheAnswerButNotStop)
{
    Fault stall;
    stall.kind = Fault::Kind::Stall;
    stall.stallMs = 200;
    stall.times = 1;
    server.setFault(QStringLiteral("/files/pack.7z"), stall);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(get(QStringLiteral("files/pack.7z")).body, content);
    EXPECT_GE(timer.elapsed(), 180);

    stall.stallMs = 60000;
    server.setFault(QStringLiteral("/files/pack.7z"), stall);
    QNetworkReply *reply = network.get(QNetworkRequest(url(QStringLiteral("files/pack.7z"))));
    ASSERT_TRUE(waitUntil([&] { return server.requestsTo(QStringLiteral("/files/pack.7z")).size() == 2; }));
    EXPECT_EQ(reply->bytesAvailable(), 0);
    timer.restart();
    server.stop();
    EXPECT_LT(timer.elapsed(), 10000); // far sooner than the stall would end
    EXPECT_EQ(server.port(), 0);
    wait(reply);
}

TEST_F(StandinServerTest, MultipartUploadIsLoggedAndAnsweredWithPlainJson)
{
    auto *multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart serial;
    serial.setHeader(QNetworkRequest::ContentDispositionHeader, QStringLiteral("form-data; name=\"serial\""));
    serial.setBody("SN123");
    QHttpPart file;
    file.setHeader(QNetworkRequest::ContentDispositionHeader,
                   QStringLiteral("form-data; name=\"Filedata\"; filename=\"log.txt\""));
    file.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/octet-stream"));
    file.setBody("report body");
    multipart->append(serial);
    multipart->append(file);
    QNetworkReply *reply = network.post(QNetworkRequest(url(QStringLiteral("function/upload.ashx"))), multipart);
    multipart->setParent(reply);
    const Answer answer = wait(reply);

    EXPECT_EQ(answer.status, 200);
    const QJsonObject json = QJsonDocument::fromJson(answer.body).object();
    EXPECT_TRUE(json.value(QStringLiteral("status")).toBool());
    EXPECT_EQ(json.value(QStringLiteral("name")).toString(), QStringLiteral("log.txt"));
    EXPECT_EQ(json.value(QStringLiteral("size")).toInt(), 11);

    const auto logged = server.requestsTo(QStringLiteral("/function/upload.ashx"));
    ASSERT_EQ(logged.size(), 1u);
    ASSERT_EQ(logged[0].parts.size(), 2u);
    EXPECT_EQ(logged[0].parts[0].name, QStringLiteral("Filedata"));
    EXPECT_EQ(logged[0].parts[0].fileName, QStringLiteral("log.txt"));
    EXPECT_EQ(logged[0].parts[0].content, "report body");
    EXPECT_EQ(logged[0].parts[1].name, QStringLiteral("serial"));
    EXPECT_TRUE(logged[0].parts[1].fileName.isEmpty());
    EXPECT_EQ(logged[0].parts[1].content, "SN123");
}

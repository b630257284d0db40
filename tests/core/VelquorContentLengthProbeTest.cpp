#include "core/VelquorContentLengthProbe.h"
#include "platform/DispatchQueue.h"

#include "standin/StandinServer.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <latch>

namespace {

class ContentLengthProbeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        server.setFileRoot(files.path());
        ASSERT_TRUE(server.start());
    }

    void serve(const QString &relative, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(files.filePath(relative)).absolutePath());
        QFile file(files.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    int requests(const QString &relative, const QString &method) const
    {
        int count = 0;
        for (const auto &request : server.requestsTo(u'/' + relative))
            count += request.method == method ? 1 : 0;
        return count;
    }

    QTemporaryDir files;
    standin::StandinServer server;
};

TEST_F(ContentLengthProbeTest, OnlyAnAnswer200WithAPositiveLengthMeasuresAFile)
{
    serve(QStringLiteral("files/A_V1.00.zip"), QByteArray(123457, 'a'));
    serve(QStringLiteral("files/EMPTY_V1.00.zip"), QByteArray());
    const QStringList urls{server.baseUrl() + QStringLiteral("files/A_V1.00.zip"),
                           server.baseUrl() + QStringLiteral("files/EMPTY_V1.00.zip"),
                           server.baseUrl() + QStringLiteral("files/MISSING_V1.00.zip"), QStringLiteral("<null>")};

    // From a worker of a concurrent queue, as the updates page runs it; no other thread takes part.
    DispatchQueue queue(QStringLiteral("probe-test"), DispatchQueue::Kind::Concurrent);
    QList<VelquorContentLengthProbe::Answer> answers;
    std::latch done(1);
    queue.async([&] {
        answers = VelquorContentLengthProbe().contentLengths(urls);
        done.count_down();
    });
    done.wait();

    ASSERT_EQ(answers.size(), 4);
    EXPECT_TRUE(answers[0].ok);
    EXPECT_EQ(answers[0].contentLength, 123457u);
    EXPECT_EQ(answers[0].httpStatus, 200);
    // A length of 0 would give every archive of the vehicle a share of 0: no measurement.
    EXPECT_FALSE(answers[1].ok);
    EXPECT_EQ(answers[1].httpStatus, 200);
    EXPECT_FALSE(answers[2].ok);
    EXPECT_EQ(answers[2].httpStatus, 404);
    EXPECT_FALSE(answers[3].ok);
    EXPECT_FALSE(answers[3].message.isEmpty());

    const auto logged = server.requestsTo(QStringLiteral("/files/A_V1.00.zip"));
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged.front().method, QStringLiteral("HEAD"));
    EXPECT_EQ(logged.front().headers.value(QStringLiteral("accept-encoding")), QStringLiteral("identity"));
    EXPECT_EQ(requests(QStringLiteral("files/A_V1.00.zip"), QStringLiteral("GET")), 0);
}

TEST_F(ContentLengthProbeTest, ASilentServerEndsAtTheTimeOutAndACancelEndsAtOnce)
{
    serve(QStringLiteral("files/SLOW_V1.00.zip"), QByteArray(1000, 's'));
    standin::Fault stall;
    stall.kind = standin::Fault::Kind::Stall;
    stall.stallMs = 60 * 1000;
    server.setFault(QStringLiteral("/files/SLOW_V1.00.zip"), stall);
    const QStringList urls{server.baseUrl() + QStringLiteral("files/SLOW_V1.00.zip")};

    VelquorContentLengthProbe probe(300);
    EXPECT_EQ(probe.timeout(), 300);
    const auto timedOut = probe.contentLengths(urls);
    ASSERT_EQ(timedOut.size(), 1);
    EXPECT_FALSE(timedOut[0].ok);
    EXPECT_EQ(timedOut[0].httpStatus, 0);

    probe.setTimeout(VelquorContentLengthProbe::DefaultTimeoutMs);
    std::atomic<int> asked{0};
    const auto cancelled = probe.contentLengths(urls, [&] { return ++asked > 2; });
    ASSERT_EQ(cancelled.size(), 1);
    EXPECT_FALSE(cancelled[0].ok);
    EXPECT_GT(asked.load(), 2);
    server.stop(); // ends the stalled answers
}

} // namespace

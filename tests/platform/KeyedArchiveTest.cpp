#include "platform/KeyedArchive.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

int modeOf(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

QJsonObject record(const QString &name, int size = 0)
{
    return QJsonObject{{QStringLiteral("userReName"), name},
                       {QStringLiteral("padding"), QString(size, QLatin1Char('x'))}};
}

} // namespace

TEST(KeyedArchiveTest, WritesPrivatelyAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("userInfo.data"));
    // An older copy that anybody could read.
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);

    ASSERT_TRUE(KeyedArchive::write(path, record(QStringLiteral("demo"))));
    EXPECT_EQ(modeOf(path), 0600);
    const auto read = KeyedArchive::read(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->toObject().value(QStringLiteral("userReName")).toString(), QStringLiteral("demo"));

    const QString fresh = dir.filePath(QStringLiteral("registeInfo.data"));
    ASSERT_TRUE(KeyedArchive::write(fresh, QJsonValue(42)));
    EXPECT_EQ(modeOf(fresh), 0600);
    EXPECT_EQ(KeyedArchive::read(fresh)->toInt(), 42);
}

TEST(KeyedArchiveTest, AFailedWriteLeavesTheOldArchive)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("userInfo.data"));
    ASSERT_TRUE(KeyedArchive::write(path, record(QStringLiteral("before"))));
    const QByteArray before = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    // The disk "fills up" mid-write: a file-size limit works even for root, unlike a read-only directory.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = KeyedArchive::write(path, record(QStringLiteral("after"), 100000));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(KeyedArchive::read(path)->toObject().value(QStringLiteral("userReName")).toString(),
              QStringLiteral("before"));
    // No half-written temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("userInfo.data")});

    // A directory that does not exist: a plain failure, nothing created.
    EXPECT_FALSE(KeyedArchive::write(dir.filePath(QStringLiteral("missing/userInfo.data")), QJsonValue(1)));
}

TEST(KeyedArchiveTest, ReadsOnlyArchivesItWrote)
{
    QTemporaryDir dir;
    const auto readText = [&](const QByteArray &text) {
        const QString path = dir.filePath(QStringLiteral("x.data"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text);
        file.close();
        return KeyedArchive::read(path);
    };
    EXPECT_FALSE(readText("not json").has_value());
    EXPECT_FALSE(readText("[1,2]").has_value());
    EXPECT_FALSE(readText(R"({"root":{}})").has_value());
    EXPECT_FALSE(readText(R"({"archive":2,"root":{}})").has_value());
    EXPECT_TRUE(readText(R"({"archive":1,"root":null})").has_value());
    EXPECT_FALSE(KeyedArchive::read(dir.filePath(QStringLiteral("absent.data"))).has_value());
}

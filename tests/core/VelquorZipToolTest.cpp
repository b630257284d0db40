#include "core/VelquorZipTool.h"

#include "support/FatCard.h"
#include "support/TestArchives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace TestArchives;

namespace {
thread_local int *fsyncCalls = nullptr; // set while a test counts this thread's flushes
} // namespace

// Counts flushes asked on a counting thread; every call goes on to the C library.
extern "C" int fsync(int fd)
{
    if (fsyncCalls)
        ++*fsyncCalls;
    static const auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return next(fd);
}
using Kind = VelquorZipTool::Result::Kind;

namespace {

class ZipToolTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(work.isValid()); }

    // A password-protected package of two folders, made with the real 7zz.
    QString makePackage(QMap<QString, QByteArray> *contents)
    {
        const QString source = work.filePath(QStringLiteral("source"));
        contents->insert(QStringLiteral("Scan/VERSION.TXT"), "V3.20\r\n");
        contents->insert(QStringLiteral("Scan/DIAG/SYSTEM.BIN"), randomBytes(700 * 1024, 7));
        contents->insert(QStringLiteral("Scan/english.cfg"), "LANGUAGE=English\r\n");
        for (auto it = contents->cbegin(); it != contents->cend(); ++it)
            EXPECT_TRUE(writeFile(source + QLatin1Char('/') + it.key(), it.value()));
        const QString archive = work.filePath(QStringLiteral("OS-SOFTWARE_V3.20.zip"));
        EXPECT_TRUE(pack(source, archive, QStringLiteral("zip"), archivePassword()));
        return archive;
    }

    QTemporaryDir work;
};

} // namespace

TEST_F(ZipToolTest, ExtractsAPasswordZipOntoAFatCardByteForByte)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    QMap<QString, QByteArray> contents;
    const QString archive = makePackage(&contents);
    // Overwrite on: a stale file of the same name is replaced.
    ASSERT_TRUE(writeFile(card.mountPath() + QStringLiteral("/Scan/VERSION.TXT"), "V3.10 and more text\r\n"));

    QList<QPair<quint64, quint64>> reports;
    int flushes = 0;
    fsyncCalls = &flushes;
    const auto result = VelquorZipTool::unzipFileAtPath(archive, card.mountPath(), true, archivePassword(),
                                                        [&](quint64 done, quint64 total) {
                                                            reports.append({done, total});
                                                        });
    fsyncCalls = nullptr;
    ASSERT_TRUE(result.succeeded()) << result.message.toStdString();
    // No file waits for the card on its own (a stop would wait for it); the caller flushes the whole.
    EXPECT_EQ(flushes, 0);
    EXPECT_EQ(filesBelow(card.mountPath() + QStringLiteral("/Scan")), below(contents, QStringLiteral("Scan")));

    ASSERT_FALSE(reports.isEmpty());
    quint64 expectedTotal = 0;
    for (const QByteArray &content : std::as_const(contents))
        expectedTotal += quint64(content.size());
    for (qsizetype i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].second, expectedTotal);
        if (i > 0) {
            EXPECT_LE(reports[i - 1].first, reports[i].first);
        }
    }
    EXPECT_EQ(reports.last().first, expectedTotal);

    ASSERT_TRUE(card.unmount());
    QString fsck;
    EXPECT_TRUE(card.fsckClean(&fsck)) << fsck.toStdString();
    ASSERT_TRUE(card.remount());
    EXPECT_EQ(filesBelow(card.mountPath() + QStringLiteral("/Scan")), below(contents, QStringLiteral("Scan")))
        << "everything reached the image";
}

TEST_F(ZipToolTest, BadArchivesEndInOneErrorOfTheirKind)
{
    QMap<QString, QByteArray> contents;
    const QString archive = makePackage(&contents);
    const QString out = work.filePath(QStringLiteral("out"));

    auto wrong = VelquorZipTool::unzipFileAtPath(archive, out, true, QStringLiteral("not it"));
    EXPECT_EQ(wrong.kind, Kind::WrongPassword) << wrong.message.toStdString();
    auto none = VelquorZipTool::unzipFileAtPath(archive, out, true, QString());
    EXPECT_EQ(none.kind, Kind::WrongPassword) << none.message.toStdString();

    QFile original(archive);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("half.zip")), bytes.left(bytes.size() / 2)));
    EXPECT_EQ(
        VelquorZipTool::unzipFileAtPath(work.filePath(QStringLiteral("half.zip")), out, true, archivePassword()).kind,
        Kind::CorruptArchive);
    // Damage inside the stored data: found at the latest by the checksum.
    for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 64; ++i)
        bytes[i] = char(bytes[i] ^ 0x5a);
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("damaged.zip")), bytes));
    const auto damaged =
        VelquorZipTool::unzipFileAtPath(work.filePath(QStringLiteral("damaged.zip")), out, true, archivePassword());
    EXPECT_FALSE(damaged.succeeded());

    // A 7z under a zip name is not a zip.
    const QString sevenZip = work.filePath(QStringLiteral("really7z.zip"));
    ASSERT_TRUE(pack(work.filePath(QStringLiteral("source")), work.filePath(QStringLiteral("p.7z")),
                     QStringLiteral("7z"), archivePassword()));
    ASSERT_TRUE(QFile::rename(work.filePath(QStringLiteral("p.7z")), sevenZip));
    EXPECT_EQ(VelquorZipTool::unzipFileAtPath(sevenZip, out, true, archivePassword()).kind, Kind::CorruptArchive);

    EXPECT_EQ(
        VelquorZipTool::unzipFileAtPath(work.filePath(QStringLiteral("gone.zip")), out, true, archivePassword()).kind,
        Kind::MissingArchive);
}

TEST_F(ZipToolTest, NothingIsWrittenOutsideTheDestination)
{
    using Entry = RawEntry;
    const QString target = work.filePath(QStringLiteral("card/Vehicles"));
    const QString outside = work.filePath(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(target));
    ASSERT_TRUE(QDir().mkpath(outside));
    const QString absolute = outside + QStringLiteral("/absolute.txt");
    const struct
    {
        const char *label;
        Entry hostile;
    } cases[] = {
        {"dot-dot", {QStringLiteral("FORD/../../../outside/escape.txt"), "x"}},
        {"leading dot-dot", {QStringLiteral("../escape.txt"), "x"}},
        {"backslash dot-dot", {QStringLiteral("FORD\\..\\..\\escape.txt"), "x"}},
        {"absolute", {absolute, "x"}},
        {"drive", {QStringLiteral("C:/escape.txt"), "x"}},
        {"symbolic link", {QStringLiteral("FORD/link"), outside.toUtf8(), Entry::Kind::SymbolicLink}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const QString archive = work.filePath(QStringLiteral("hostile.zip"));
        // The harmless entry comes first: the whole archive is refused before anything is written.
        ASSERT_TRUE(makeRawZip(
            archive,
            {{QStringLiteral("FORD/VERSION.TXT"), "V1"}, c.hostile, {QStringLiteral("FORD/link/escape.txt"), "x"}}));
        const auto result = VelquorZipTool::unzipFileAtPath(archive, target, true, QString());
        EXPECT_EQ(result.kind, Kind::UnsafeEntry) << result.message.toStdString();
        EXPECT_EQ(entriesBelow(target), QStringList());
        EXPECT_EQ(entriesBelow(outside), QStringList());
        EXPECT_EQ(entriesBelow(work.filePath(QStringLiteral("card"))), QStringList{QStringLiteral("Vehicles")});
    }

    // A link already on the card is never followed, for a folder or a file.
    ASSERT_TRUE(QFile::link(outside, target + QStringLiteral("/FORD")));
    ASSERT_TRUE(makeRawZip(work.filePath(QStringLiteral("plain.zip")), {{QStringLiteral("FORD/escape.txt"), "x"}}));
    EXPECT_EQ(VelquorZipTool::unzipFileAtPath(work.filePath(QStringLiteral("plain.zip")), target, true, QString()).kind,
              Kind::UnsafeEntry);
    QFile::remove(target + QStringLiteral("/FORD"));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/victim.txt"), target + QStringLiteral("/victim.txt")));
    ASSERT_TRUE(makeRawZip(work.filePath(QStringLiteral("file.zip")), {{QStringLiteral("victim.txt"), "x"}}));
    EXPECT_EQ(VelquorZipTool::unzipFileAtPath(work.filePath(QStringLiteral("file.zip")), target, true, QString()).kind,
              Kind::UnsafeEntry);
    EXPECT_EQ(entriesBelow(outside), QStringList());
}

TEST_F(ZipToolTest, AnArchiveReachingOutOfItsPackageFolderIsRefusedBeforeAnythingIsWritten)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    const QString europe = card.mountPath() + QStringLiteral("/Vehicles/Europe");
    ASSERT_TRUE(writeFile(europe + QStringLiteral("/VW/VERSION.TXT"), "V8.20"));
    const auto packages = makeHostileBenzPackages(work.path(), QStringLiteral("zip"));
    ASSERT_EQ(packages.size(), 6);
    const QStringList before = entriesBelow(card.mountPath());

    for (const auto &package : packages) {
        SCOPED_TRACE(package.label.toStdString());
        const auto result = VelquorZipTool::unzipFileAtPath(package.archive, europe, true, archivePassword(), {},
                                                            nullptr, QStringLiteral("BENZ"));
        EXPECT_EQ(result.kind, Kind::UnsafeEntry) << result.message.toStdString();
        EXPECT_EQ(entriesBelow(card.mountPath()), before);
        EXPECT_EQ(filesBelow(europe + QStringLiteral("/VW")),
                  (QMap<QString, QByteArray>{{QStringLiteral("VERSION.TXT"), "V8.20"}}));
    }
}

TEST_F(ZipToolTest, AFullCardIsAnErrorNeverSuccess)
{
    FatCard card(2);
    VELQUOR_REQUIRE_FAT_CARD(card);
    const QString source = work.filePath(QStringLiteral("big"));
    ASSERT_TRUE(writeFile(source + QStringLiteral("/FORD/DIAG/BIG.BIN"), randomBytes(3 * 1024 * 1024, 3)));
    const QString archive = work.filePath(QStringLiteral("big.zip"));
    ASSERT_TRUE(pack(source, archive, QStringLiteral("zip"), archivePassword()));

    const auto result = VelquorZipTool::unzipFileAtPath(archive, card.mountPath(), true, archivePassword());
    // The kernel's vfat says ENOSPC; fusefat answers EPERM when it runs out of clusters.
    EXPECT_TRUE(result.kind == Kind::NoSpace || result.kind == Kind::WriteFailed) << result.message.toStdString();
}

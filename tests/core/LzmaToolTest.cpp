#include "core/LzmaTool.h"
#include "core/SevenZipOutput.h"
#include "core/VelquorAppUpdateManager.h"
#include "platform/NotificationCenter.h"

#include "support/FatCard.h"
#include "support/TestArchives.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace {

const QString ArchivePassword = QStringLiteral("Xq3.lantermovex.qz#%!&*");

// Makes an encrypted 7z archive of `sourceDir`'s content with the real 7zz.
bool make7z(const QString &sourceDir, const QString &archive, const QString &password, const QStringList &extra = {})
{
    QProcess process;
    process.setWorkingDirectory(sourceDir);
    QStringList arguments{QStringLiteral("a"),      QStringLiteral("-t7z"),  QStringLiteral("-y"),
                          QStringLiteral("-bso0"),  QStringLiteral("-bsp0"), QStringLiteral("-p") + password,
                          QStringLiteral("-mhe=on")};
    arguments << extra << archive << QStringLiteral(".");
    process.start(QStringLiteral("7zz"), arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// 7zz processes that are children of this test process.
int sevenZipChildren()
{
    int count = 0;
    const QString self = QString::number(::getpid());
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(stat.readAll());
        const qsizetype close = text.lastIndexOf(u')');
        const QString name = text.mid(text.indexOf(u'(') + 1, close - text.indexOf(u'(') - 1);
        const QStringList rest = text.mid(close + 2).split(u' ');
        if (name == QLatin1String("7zz") && rest.size() > 1 && rest[1] == self)
            ++count;
    }
    return count;
}

class RecordingDelegate : public LzmaToolDelegate
{
public:
    void decompressWithProgress(double progress, const QString &path) override
    {
        std::lock_guard lock(mutex);
        progresses.append(progress);
        paths.append(path);
    }
    void decompressErrorWithError(const LzmaToolError &error) override
    {
        std::lock_guard lock(mutex);
        errors.append(error);
    }
    std::mutex mutex;
    QList<double> progresses;
    QStringList paths;
    QList<LzmaToolError> errors;
};

class LzmaToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        NotificationCenter::workspace().addObserver(this, LzmaTool::decompressFinishedNotification(),
                                                    [this](const Notification &) { ++finished; });
        tool.setDelegate(&delegate);
    }
    void TearDown() override
    {
        tool.setDelegate(nullptr);
        NotificationCenter::workspace().removeObserver(this);
    }

    QString makeCardArchive()
    {
        const QString source = work.filePath(QStringLiteral("source"));
        EXPECT_TRUE(writeFile(source + QStringLiteral("/Scan/FORD/VERSION.TXT"), "V12.34\r\n"));
        EXPECT_TRUE(writeFile(source + QStringLiteral("/Scan/FORD/english.cfg"), QByteArray(200000, 'e')));
        const QString archive = work.filePath(QStringLiteral("FORD_V12.34.7z"));
        EXPECT_TRUE(make7z(source, archive, ArchivePassword));
        return archive;
    }

    QTemporaryDir work;
    LzmaTool tool;
    RecordingDelegate delegate;
    std::atomic<int> finished{0};
};

TEST_F(LzmaToolTest, RightPasswordExtractsEveryItemAndFinishesOnce)
{
    const QString archive = makeCardArchive();
    const QString card = work.filePath(QStringLiteral("card"));
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, card);

    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(delegate.errors.isEmpty());
    ASSERT_FALSE(delegate.progresses.isEmpty());
    EXPECT_DOUBLE_EQ(delegate.progresses.last(), 1.0);
    for (qsizetype i = 1; i < delegate.progresses.size(); ++i)
        EXPECT_LE(delegate.progresses[i - 1], delegate.progresses[i]);
    QFile version(card + QStringLiteral("/Scan/FORD/VERSION.TXT"));
    ASSERT_TRUE(version.open(QIODevice::ReadOnly));
    EXPECT_EQ(version.readAll(), QByteArray("V12.34\r\n"));
    EXPECT_EQ(QFileInfo(card + QStringLiteral("/Scan/FORD/english.cfg")).size(), 200000);
}

TEST_F(LzmaToolTest, FailuresReachTheDelegateOnceAndNeverTheNotification)
{
    const QString archive = makeCardArchive();

    tool.decompressWithPath(archive, QStringLiteral("wrong password"), LzmaTool::FileType7z, work.filePath("a"));
    ASSERT_EQ(delegate.errors.size(), 1);
    EXPECT_EQ(delegate.errors[0].kind, LzmaToolError::Kind::WrongPassword) << delegate.errors[0].message.toStdString();

    // No password at all for an encrypted archive: 7zz gets an empty input and gives up.
    tool.decompressWithPath(archive, QString(), LzmaTool::FileType7z, work.filePath("b"));
    ASSERT_EQ(delegate.errors.size(), 2);

    QFile damaged(work.filePath(QStringLiteral("damaged.7z")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    QFile original(archive);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    damaged.write(original.read(original.size() / 2));
    damaged.close();
    tool.decompressWithPath(damaged.fileName(), ArchivePassword, LzmaTool::FileType7z, work.filePath("c"));
    ASSERT_EQ(delegate.errors.size(), 3);
    EXPECT_NE(delegate.errors[2].kind, LzmaToolError::Kind::ToolFailed) << delegate.errors[2].message.toStdString();

    tool.decompressWithPath(work.filePath(QStringLiteral("missing.7z")), ArchivePassword, LzmaTool::FileType7z,
                            work.filePath("d"));
    ASSERT_EQ(delegate.errors.size(), 4);
    EXPECT_EQ(delegate.errors[3].kind, LzmaToolError::Kind::MissingArchive);

    tool.decompressWithPath(archive, ArchivePassword, 4, work.filePath("e"));
    ASSERT_EQ(delegate.errors.size(), 5);
    EXPECT_EQ(delegate.errors[4].kind, LzmaToolError::Kind::UnsupportedFileType);

    EXPECT_EQ(finished, 0);
    EXPECT_EQ(sevenZipChildren(), 0);
}

TEST_F(LzmaToolTest, AFatCardThatHoldsNoPermissionsStillGetsEveryFile)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    const QString source = work.filePath(QStringLiteral("fat"));
    QMap<QString, QByteArray> contents;
    for (int i = 0; i < 40; ++i)
        contents.insert(QStringLiteral("FORD/DIAG/M%1.BIN").arg(i), TestArchives::randomBytes(4096 + i, quint32(i)));
    contents.insert(QStringLiteral("FORD/VERSION.TXT"), "V30.00");
    for (auto it = contents.cbegin(); it != contents.cend(); ++it)
        ASSERT_TRUE(writeFile(source + QLatin1Char('/') + it.key(), it.value()));
    const QString archive = work.filePath(QStringLiteral("FORD_V30.00.7z"));
    ASSERT_TRUE(make7z(source, archive, ArchivePassword));

    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, card.mountPath());
    EXPECT_TRUE(delegate.errors.isEmpty())
        << (delegate.errors.isEmpty() ? "" : delegate.errors[0].message.toStdString());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(TestArchives::filesBelow(card.mountPath() + QStringLiteral("/FORD")),
              TestArchives::below(contents, QStringLiteral("FORD")));

    // Every other complaint still fails, even when it comes among complaints about attributes.
    const QString plain = work.filePath(QStringLiteral("plain.7z"));
    ASSERT_TRUE(make7z(source, plain, ArchivePassword, {QStringLiteral("-mhe=off")}));
    tool.decompressWithPath(plain, QStringLiteral("wrong"), LzmaTool::FileType7z,
                            card.mountPath() + QStringLiteral("/again"));
    ASSERT_EQ(delegate.errors.size(), 1);
    EXPECT_EQ(delegate.errors[0].kind, LzmaToolError::Kind::WrongPassword) << delegate.errors[0].message.toStdString();
    EXPECT_EQ(finished, 1);
}

TEST_F(LzmaToolTest, AnArchiveReachingOutOfItsPackageFolderIsRefusedBeforeAnythingIsWritten)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    const QString europe = card.mountPath() + QStringLiteral("/Vehicles/Europe");
    ASSERT_TRUE(writeFile(europe + QStringLiteral("/VW/VERSION.TXT"), "V8.20"));
    const auto packages = TestArchives::makeHostileBenzPackages(work.path(), QStringLiteral("7z"));
    ASSERT_EQ(packages.size(), 6);
    const QStringList before = TestArchives::entriesBelow(card.mountPath());

    for (const auto &package : packages) {
        SCOPED_TRACE(package.label.toStdString());
        delegate.errors.clear();
        tool.decompressWithPath(package.archive, ArchivePassword, LzmaTool::FileType7z, europe, nullptr,
                                QStringLiteral("BENZ"));
        ASSERT_EQ(delegate.errors.size(), 1);
        EXPECT_EQ(delegate.errors[0].kind, LzmaToolError::Kind::UnsafeEntry)
            << delegate.errors[0].message.toStdString();
        EXPECT_EQ(TestArchives::entriesBelow(card.mountPath()), before);
        EXPECT_EQ(TestArchives::filesBelow(europe + QStringLiteral("/VW")),
                  (QMap<QString, QByteArray>{{QStringLiteral("VERSION.TXT"), "V8.20"}}));
    }
    EXPECT_EQ(finished, 0);

    // The folder is compared as the card compares names: "Benz/" is BENZ's own.
    const QString source = work.filePath(QStringLiteral("spelt"));
    ASSERT_TRUE(writeFile(source + QStringLiteral("/Benz/VERSION.TXT"), "V12.35"));
    const QString spelt = work.filePath(QStringLiteral("spelt.7z"));
    ASSERT_TRUE(make7z(source, spelt, ArchivePassword));
    delegate.errors.clear();
    tool.decompressWithPath(spelt, ArchivePassword, LzmaTool::FileType7z, europe, nullptr, QStringLiteral("BENZ"));
    EXPECT_TRUE(delegate.errors.isEmpty());
    EXPECT_EQ(finished, 1);
}

TEST_F(LzmaToolTest, ItsOwnArchivesNeedTheirPasswordToOpen)
{
    const QString source = work.filePath(QStringLiteral("pack/Scan"));
    ASSERT_TRUE(writeFile(source + QStringLiteral("/BMW/VERSION.TXT"), "V3.00"));
    std::atomic<int> compressed{0};
    NotificationCenter::workspace().addObserver(this, LzmaTool::compressFinishedNotification(),
                                                [&](const Notification &) { ++compressed; });
    const QString archive = work.filePath(QStringLiteral("BMW.7z"));
    tool.compressWithDestinationPath(archive, ArchivePassword, LzmaTool::FileType7z, source);
    EXPECT_EQ(compressed, 1);

    tool.decompressWithPath(archive, QStringLiteral("not it"), LzmaTool::FileType7z, work.filePath("x"));
    ASSERT_EQ(delegate.errors.size(), 1);
    EXPECT_EQ(delegate.errors[0].kind, LzmaToolError::Kind::WrongPassword);
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("y"));
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(QFileInfo::exists(work.filePath(QStringLiteral("y/Scan/BMW/VERSION.TXT"))));
}

TEST_F(LzmaToolTest, AbortEndsARunningExtractionWithoutAnyReport)
{
    // A large archive that takes a while to write out: a sparse file of zeros.
    const QString source = work.filePath(QStringLiteral("large"));
    QDir().mkpath(source);
    QFile sparse(source + QStringLiteral("/zeros.bin"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize(qint64(512) * 1024 * 1024));
    sparse.close();
    const QString archive = work.filePath(QStringLiteral("large.7z"));
    ASSERT_TRUE(make7z(source, archive, ArchivePassword, {QStringLiteral("-mx1")}));

    tool.abortDecompress(); // nothing runs: does nothing
    std::atomic<bool> returned{false};
    std::thread extraction([&] {
        tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("out"));
        returned = true;
    });
    // Abort as soon as the tool runs, whether or not it has reported progress yet.
    ASSERT_TRUE(waitUntil([] { return sevenZipChildren() > 0; }, 20000));
    tool.abortDecompress();
    extraction.join();

    EXPECT_TRUE(returned);
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(delegate.errors.isEmpty());
    EXPECT_EQ(sevenZipChildren(), 0);
}

TEST_F(LzmaToolTest, ACallersStopSetBeforeTheRunIsNotLost)
{
    const QString archive = makeCardArchive();
    std::atomic<bool> stop{true};
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("stopped"), &stop);

    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(delegate.errors.isEmpty());
    EXPECT_TRUE(delegate.progresses.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("stopped/Scan"))));

    // The stop is its caller's: a run without it extracts as before.
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("later"));
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(QFileInfo::exists(work.filePath(QStringLiteral("later/Scan/FORD/VERSION.TXT"))));
}

TEST_F(LzmaToolTest, AnArchiveCheckedBeforeIsListedAgainOnlyWhenItOrItsFolderChanged)
{
    // Every run of 7zz leaves its command in a log.
    const QString log = work.filePath(QStringLiteral("7zz.log"));
    const QString logged = work.filePath(QStringLiteral("logged-7zz"));
    ASSERT_TRUE(
        writeFile(logged, QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\nexec 7zz \"$@\"\n").arg(log).toUtf8()));
    ASSERT_TRUE(QFile::setPermissions(logged, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    tool.setExecutable(logged);
    const auto commands = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                              : QStringList();
    };
    const QString archive = makeCardArchive();
    const QString scan = QStringLiteral("Scan");

    EXPECT_EQ(tool.checkArchive(archive, ArchivePassword, LzmaTool::FileType7z, scan), LzmaTool::EntryCheck::Passed);
    EXPECT_EQ(tool.checkArchive(archive, ArchivePassword, LzmaTool::FileType7z, scan), LzmaTool::EntryCheck::Passed);
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("a"), nullptr, scan);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(QFileInfo::exists(work.filePath(QStringLiteral("a/Scan/FORD/VERSION.TXT"))));
    EXPECT_EQ(commands(), (QStringList{QStringLiteral("l"), QStringLiteral("x")}));

    // A pass for one package folder says nothing of another.
    EXPECT_EQ(tool.checkArchive(archive, ArchivePassword, LzmaTool::FileType7z, scan), LzmaTool::EntryCheck::Passed);
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("b"), nullptr,
                            QStringLiteral("Other"));
    ASSERT_EQ(delegate.errors.size(), 1);
    EXPECT_EQ(delegate.errors[0].kind, LzmaToolError::Kind::UnsafeEntry);
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("b"))));

    // Rewritten where it lies after its check, now reaching out of its folder: listed again and refused
    // before anything is written.
    const QString source = work.filePath(QStringLiteral("hostile"));
    ASSERT_TRUE(writeFile(source + QStringLiteral("/Scan/FORD/VERSION.TXT"), "V12.34\r\n"));
    ASSERT_TRUE(writeFile(source + QStringLiteral("/Outside/EVIL.TXT"), "escaped"));
    const QString hostile = work.filePath(QStringLiteral("hostile.7z"));
    ASSERT_TRUE(make7z(source, hostile, ArchivePassword));
    QFile replacement(hostile);
    ASSERT_TRUE(replacement.open(QIODevice::ReadOnly));
    QFile rewritten(archive);
    ASSERT_TRUE(rewritten.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(rewritten.write(replacement.readAll()) > 0);
    rewritten.close();
    const qsizetype listedBefore = commands().count(QStringLiteral("l"));
    tool.decompressWithPath(archive, ArchivePassword, LzmaTool::FileType7z, work.filePath("c"), nullptr, scan);
    ASSERT_EQ(delegate.errors.size(), 2);
    EXPECT_EQ(delegate.errors[1].kind, LzmaToolError::Kind::UnsafeEntry);
    EXPECT_FALSE(QFileInfo::exists(work.filePath(QStringLiteral("c"))));
    EXPECT_EQ(commands().count(QStringLiteral("l")), listedBefore + 1);
    EXPECT_EQ(finished, 1);
}

TEST(SevenZipOutputTest, ReadsProgressSeparatedByBackspaces)
{
    // Recorded from `7zz x -bso0 -bsp1` while extracting one large item.
    const QByteArray recorded =
        "  0M Scan\b\b\b\b\b\b\b\b\b          \b\b\b\b\b\b\b\b\b\b  0%\b\b\b\b    \b\b\b\b  0% 2\b\b\b\b\b\b"
        "      \b\b\b\b\b\b 78% 4 - Scan/FORD/big2.bin\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b"
        "                           \b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b";
    SevenZipOutput output;
    QList<SevenZipOutput::Progress> updates;
    // Fed in uneven pieces, as a pipe delivers it.
    for (qsizetype at = 0; at < recorded.size(); at += 7)
        updates += output.feed(recorded.mid(at, 7));
    ASSERT_EQ(updates.size(), 3);
    EXPECT_DOUBLE_EQ(updates[0].fraction, 0.0);
    EXPECT_TRUE(updates[1].path.isEmpty());
    EXPECT_DOUBLE_EQ(updates[2].fraction, 0.78);
    EXPECT_EQ(updates[2].path, QStringLiteral("Scan/FORD/big2.bin"));

    SevenZipOutput::Progress progress;
    EXPECT_TRUE(SevenZipOutput::parseUpdate(QStringLiteral(" 12% Update/2019/a.bin"), &progress));
    EXPECT_EQ(progress.path, QStringLiteral("Update/2019/a.bin"));
    EXPECT_FALSE(SevenZipOutput::parseUpdate(QStringLiteral("  0M Scan"), &progress));
}

TEST(SevenZipOutputTest, ClassifiesTheToolsErrors)
{
    const struct
    {
        const char *text;
        LzmaToolError::Kind kind;
    } cases[] = {
        {"ERROR: Data Error in encrypted file. Wrong password? : Scan/FORD/VERSION.TXT",
         LzmaToolError::Kind::WrongPassword},
        {"ERROR: a.7z\nCannot open encrypted archive. Wrong password?", LzmaToolError::Kind::WrongPassword},
        {"ERROR: a.7z\nCan't open as archive: 1", LzmaToolError::Kind::CorruptArchive},
        {"ERROR: Unexpected end of archive", LzmaToolError::Kind::CorruptArchive},
        {"ERROR: CRC Failed : Scan/FORD/big.bin", LzmaToolError::Kind::CorruptArchive},
        {"ERROR: No space left on device : /media/card/Scan/FORD/big.bin", LzmaToolError::Kind::NoSpace},
        {"ERROR: Permission denied", LzmaToolError::Kind::ToolFailed},
    };
    for (const auto &c : cases) {
        const LzmaToolError error = SevenZipOutput::errorFor(2, QString::fromLatin1(c.text));
        EXPECT_EQ(error.kind, c.kind) << c.text;
        EXPECT_EQ(error.exitCode, 2);
    }
}

TEST(SevenZipOutputTest, TellsUnsupportedAttributesFromRealErrors)
{
    // Recorded on a FUSE-mounted FAT image and from the kernel's vfat.
    for (const char *line : {"ERROR: Cannot set file attribute : errno=38 : Function not implemented : m/Scan/FORD",
                             "ERROR: Cannot set file attribute : errno=1 : Operation not permitted : m/Scan/a.bin",
                             "ERROR: Cannot set file attribute : errno=95 : Operation not supported : m/Scan"})
        EXPECT_TRUE(SevenZipOutput::isUnsupportedAttributeComplaint(QString::fromLatin1(line))) << line;
    for (const char *line : {"ERROR: Cannot set file attribute : errno=5 : Input/output error : m/Scan/FORD",
                             "ERROR: Data Error in encrypted file. Wrong password? : Scan/FORD/VERSION.TXT",
                             "ERROR: No space left on device : m/Scan/FORD/big.bin", ""})
        EXPECT_FALSE(SevenZipOutput::isUnsupportedAttributeComplaint(QString::fromLatin1(line))) << line;
}

TEST(VelquorAppUpdateManagerTest, OpensThePackageWithTheCommandAndWaitsForIt)
{
    QTemporaryDir work;
    const QString record = work.filePath(QStringLiteral("opened.txt"));
    VelquorAppUpdateManager manager;
    // A recorder that takes its time: the call must return only after it exited.
    manager.setOpenCommand(QStringLiteral("/bin/sh"),
                           {QStringLiteral("-c"), QStringLiteral("sleep 0.3; printf '%s' \"$1\" > \"$0\""), record});
    manager.openInstallationPackage(QStringLiteral("/tmp/Update/MAC_UPDATETOOLS/Velquor.pkg"));
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("/tmp/Update/MAC_UPDATETOOLS/Velquor.pkg"));

    // A command that does not exist reports nothing and returns.
    manager.setOpenCommand(QStringLiteral("/nonexistent/opener"));
    manager.openInstallationPackage(QStringLiteral("/tmp/x.pkg"));
}

} // namespace

#include "core/VelquorCommonTool.h"

#include "platform/StandardLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {
void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

VelquorDownloadModelPtr recordAt(const QString &sdPath, const QString &version = QStringLiteral("V1.00"))
{
    auto model = VelquorDownloadModel::create();
    model->setSdPath(sdPath);
    model->setVersion(version);
    return model;
}

// A fresh tool whose card is a temporary directory holding a sibling outside the card.
class CommonToolCardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(base.isValid());
        card = base.filePath(QStringLiteral("card"));
        QDir().mkpath(card);
        writeFile(base.filePath(QStringLiteral("outside/keep.txt")), "keep");
        tool.setSaveFilePath(card);
    }

    QString onCard(const QString &relative) const { return card + QLatin1Char('/') + relative; }

    QTemporaryDir base;
    QString card;
    VelquorCommonTool tool;
};
} // namespace

TEST(CommonToolText, UsableTextRule)
{
    for (const QString &empty : {QString(), QStringLiteral(""), QStringLiteral(" \n\t"), QStringLiteral("NULL"),
                                 QStringLiteral("<null>"), QStringLiteral("(null)")})
        EXPECT_FALSE(VelquorCommonTool::isUsableText(empty)) << empty.toStdString();
    for (const QString &usable :
         {QStringLiteral("null"), QStringLiteral(" <null>"), QStringLiteral("Scan/Ford"), QStringLiteral("0")})
        EXPECT_TRUE(VelquorCommonTool::isUsableText(usable)) << usable.toStdString();
    EXPECT_FALSE(VelquorCommonTool::isUsableText(QVariant()));
    EXPECT_FALSE(VelquorCommonTool::isUsableText(QVariant::fromValue(nullptr)));
    EXPECT_TRUE(VelquorCommonTool::isUsableText(QVariant(QStringLiteral("x"))));
}

TEST(CommonToolText, VersionNumbersAndComparison)
{
    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QStringLiteral("V12.34")), 12.34f);
    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QStringLiteral("12.34abc")), 12.34f);
    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QStringLiteral("12.34\r\n")), 12.34f);
    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QStringLiteral("V1.2.3")), 1.2f);
    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QString()), 0.0f);
    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QStringLiteral("Vx")), 0.0f);

    EXPECT_FALSE(VelquorCommonTool::compareVersion1(QStringLiteral("V12.34"), QStringLiteral("12.34")));
    EXPECT_FALSE(VelquorCommonTool::compareVersion1(QStringLiteral("12.34"), QStringLiteral("V12.34")));
    EXPECT_FALSE(VelquorCommonTool::compareVersion1(QStringLiteral("1.0005"), QStringLiteral("1.0")));
    EXPECT_TRUE(VelquorCommonTool::compareVersion1(QStringLiteral("1.01"), QStringLiteral("1.0")));
    EXPECT_FALSE(VelquorCommonTool::compareVersion1(QStringLiteral("1.0"), QStringLiteral("1.01")));
    // Single precision: 1.001f - 1.0f is just above 0.001.
    EXPECT_TRUE(VelquorCommonTool::compareVersion1(QStringLiteral("1.001"), QStringLiteral("1.0")));
    EXPECT_EQ(VelquorCommonTool::compare2Version1(QStringLiteral("V2.5"), QStringLiteral("V1.25")), 1.25f);
}

// Qt applies the user's locale to the C library at start-up; a version must read the same under a
// locale that writes decimal commas.
TEST(CommonToolText, VersionNumbersIgnoreTheDecimalCommaOfTheLocale)
{
    // A locale that defines only its numbers, compiled here so the test needs no installed locale.
    QTemporaryDir locales;
    ASSERT_TRUE(locales.isValid());
    writeFile(locales.filePath(QStringLiteral("comma.def")),
              "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \"\"\ngrouping -1\nEND LC_NUMERIC\n");
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-c"), QStringLiteral("-f"), QStringLiteral("ANSI_X3.4-1968"), QStringLiteral("-i"),
                     locales.filePath(QStringLiteral("comma.def")), locales.filePath(QStringLiteral("comma"))});
    localedef.waitForFinished(30000); // warns (and exits non-zero) about the categories left out
    // The process's locale is the next case's too: put back however this one ends.
    struct Restore
    {
        const QByteArray numeric = std::setlocale(LC_NUMERIC, nullptr);
        const bool hadPath = qEnvironmentVariableIsSet("LOCPATH");
        const QByteArray path = qgetenv("LOCPATH");
        ~Restore()
        {
            std::setlocale(LC_NUMERIC, numeric.constData());
            if (hadPath)
                qputenv("LOCPATH", path);
            else
                qunsetenv("LOCPATH");
        }
    } restore;
    qputenv("LOCPATH", QFile::encodeName(locales.path()));
    if (!std::setlocale(LC_NUMERIC, "comma"))
        GTEST_SKIP() << "cannot build a decimal-comma locale here";
    ASSERT_EQ(std::strtod("2.5", nullptr), 2.0) << "the locale writes decimal commas";

    EXPECT_EQ(VelquorCommonTool::getVersionNumber(QStringLiteral("V12.34")), 12.34f);
    EXPECT_TRUE(VelquorCommonTool::compareVersion1(QStringLiteral("V2.50"), QStringLiteral("V2.00")));
}

TEST(CommonToolText, ChecksAndDigests)
{
    EXPECT_EQ(VelquorCommonTool::md5String(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(VelquorCommonTool::md5String(QByteArray()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(VelquorCommonTool::md5Data("abc").size(), 16);

    EXPECT_TRUE(VelquorCommonTool::isPureDigit(QString()));
    EXPECT_TRUE(VelquorCommonTool::isPureDigit(QStringLiteral("0123")));
    EXPECT_FALSE(VelquorCommonTool::isPureDigit(QStringLiteral("12a")));
    for (const char *yes : {"1.2.3", ".", "+", "-12", "+3.5"})
        EXPECT_TRUE(VelquorCommonTool::isNumber(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"", "1e5", "--1", "1 "})
        EXPECT_FALSE(VelquorCommonTool::isNumber(QString::fromLatin1(no))) << no;

    EXPECT_TRUE(VelquorCommonTool::isAvailableEmail(QStringLiteral("a.b+c@mail.example.com")));
    EXPECT_FALSE(VelquorCommonTool::isAvailableEmail(QStringLiteral("a@b.c")));
    EXPECT_FALSE(VelquorCommonTool::isAvailableEmail(QStringLiteral("x a@b.com")));
    EXPECT_TRUE(
        VelquorCommonTool::isAvailableEmail(QStringLiteral("ada@example.museum"))); // long top-level domains are real
    EXPECT_TRUE(VelquorCommonTool::isAvailablePassword(QStringLiteral("abc123")));
    EXPECT_FALSE(VelquorCommonTool::isAvailablePassword(QStringLiteral("abcdef")));
    EXPECT_FALSE(VelquorCommonTool::isAvailablePassword(QStringLiteral("123456")));
    EXPECT_FALSE(VelquorCommonTool::isAvailablePassword(QStringLiteral("ab12")));
    EXPECT_FALSE(VelquorCommonTool::isAvailablePassword(QStringLiteral("abc123abc123abc12")));
    EXPECT_FALSE(VelquorCommonTool::isAvailablePassword(QStringLiteral("abc_123")));
}

TEST(CommonToolArchives, CachePathsAndFileNames)
{
    VelquorCommonTool tool;
    const QString cache = QDir(StandardLocations::documentsDirectory()).filePath(QStringLiteral("Update"));
    EXPECT_EQ(tool.getUpdateDirectory(), cache);
    EXPECT_TRUE(QFileInfo(cache).isDir());
    EXPECT_EQ(tool.getSoftwareUpdatePathWithSoftware(QStringLiteral("FORD")), cache + QStringLiteral("/FORD"));
    EXPECT_TRUE(QFileInfo(cache + QStringLiteral("/FORD")).isDir());
    for (const char *bad : {"", ".", "..", "a/b"})
        EXPECT_EQ(tool.getSoftwareUpdatePathWithSoftware(QString::fromLatin1(bad)), QString()) << bad;

    EXPECT_EQ(tool.getZipResourcePath(QStringLiteral("http://h/p/PKG_V1.20.zip")),
              cache + QStringLiteral("/PKG_V1.20.zip"));
    for (const char *bad : {"http://h/p/", "http://h/p/.", "http://h/p/..", ""})
        EXPECT_EQ(tool.getZipResourcePath(QString::fromLatin1(bad)), QString()) << bad;
    EXPECT_EQ(VelquorCommonTool::get7zFileName(QStringLiteral("http://h/PKG_V1.20.zip")),
              QStringLiteral("PKG_V1.20.7z"));
    EXPECT_EQ(VelquorCommonTool::get7zFileName(QStringLiteral("http://h/PKG.bin")), QStringLiteral("PKG.bin"));
    EXPECT_EQ(tool.get7ZResourcePath(QStringLiteral("http://h/PKG.zip")), cache + QStringLiteral("/PKG.7z"));
    EXPECT_EQ(tool.get7ZResourcePath(QStringLiteral("http://h/..")), QString());
}

TEST(CommonToolArchives, PackageUrlOfASplitPartLooksAtTheFileNameOnly)
{
    auto whole = [](const char *url) {
        return VelquorCommonTool::getDataPackageURLFromZipURL(QString::fromLatin1(url));
    };
    EXPECT_EQ(whole("http://h/p/PKG_V1.20_3.zip"), QStringLiteral("http://h/p/PKG_V1.20.zip"));
    EXPECT_EQ(whole("http://my_host/dir_x/PKG_V1.20_3.zip"), QStringLiteral("http://my_host/dir_x/PKG_V1.20.zip"));
    EXPECT_EQ(whole("http://my_host/dir_x/PKG.zip"), QStringLiteral("http://my_host/dir_x/PKG.zip"));
    EXPECT_EQ(whole("http://h/p/PKG_V1.20_3.7z"), QStringLiteral("http://h/p/PKG_V1.20_3.7z"));
    EXPECT_EQ(whole("http://h/p/PKG.zip"), QStringLiteral("http://h/p/PKG.zip"));
}

TEST(CommonToolArchives, RemovingACachedArchiveTouchesOnlyFilesInTheCache)
{
    VelquorCommonTool tool;
    const QString cache = tool.getUpdateDirectory();
    QTemporaryDir outside;
    writeFile(cache + QStringLiteral("/a.zip"), "a");
    writeFile(cache + QStringLiteral("/FORD/b.zip"), "b");
    writeFile(outside.filePath(QStringLiteral("c.zip")), "c");
    QDir().mkpath(cache + QStringLiteral("/dir.zip"));
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("c.zip")), cache + QStringLiteral("/link.zip")));

    EXPECT_TRUE(tool.removeCachedArchive(cache + QStringLiteral("/a.zip")));
    EXPECT_TRUE(tool.removeCachedArchive(cache + QStringLiteral("/FORD/b.zip")));
    EXPECT_FALSE(tool.removeCachedArchive(outside.filePath(QStringLiteral("c.zip"))));
    EXPECT_FALSE(
        tool.removeCachedArchive(cache + QStringLiteral("/FORD/../../") + QFileInfo(outside.path()).fileName()));
    EXPECT_FALSE(tool.removeCachedArchive(cache + QStringLiteral("/dir.zip")));
    EXPECT_FALSE(tool.removeCachedArchive(cache + QStringLiteral("/link.zip")));
    EXPECT_FALSE(tool.removeCachedArchive(QString()));
    EXPECT_FALSE(QFileInfo::exists(cache + QStringLiteral("/a.zip")));
    EXPECT_TRUE(QFileInfo::exists(outside.filePath(QStringLiteral("c.zip"))));
    EXPECT_TRUE(QFileInfo(cache + QStringLiteral("/dir.zip")).isDir());

    auto model = VelquorDownloadModel::create();
    model->setZipPath(outside.filePath(QStringLiteral("c.zip")));
    EXPECT_TRUE(tool.getHasDownFile(model));
    model->setZipPath(QStringLiteral("<null>"));
    EXPECT_FALSE(tool.getHasDownFile(model));
}

TEST(CommonToolFiles, DocumentsVersionFile)
{
    VelquorCommonTool tool;
    EXPECT_EQ(tool.getVersion(), QString());
    EXPECT_TRUE(tool.writeVersion(QStringLiteral("V1.2 é")));
    EXPECT_EQ(tool.getVersion(), QStringLiteral("V1.2 é"));
    EXPECT_TRUE(tool.writeVersion(QStringLiteral("V1.3")));
    EXPECT_EQ(tool.getVersion(), QStringLiteral("V1.3"));
}

TEST_F(CommonToolCardTest, PackageDirectoryFoundInLetterCaseVariants)
{
    QDir().mkpath(onCard(QStringLiteral("Scan/FORD")));
    writeFile(onCard(QStringLiteral("Scan/FORD/ENGLISH.CFG")), "");
    writeFile(onCard(QStringLiteral("Scan/FORD/Version.txt")), "V12.34\r\n");
    const auto ford = recordAt(QStringLiteral("Scan/Ford"), QStringLiteral("V12.34"));
    ford->setLanguage(QStringLiteral("English"));

    EXPECT_EQ(tool.getSoftwarePath(ford), onCard(QStringLiteral("Scan/FORD")));
    EXPECT_FALSE(tool.getHasSoftwarePath(ford));
    EXPECT_TRUE(tool.getIsHasLanFromModel(ford));
    EXPECT_TRUE(tool.isSameVersion(ford));
    EXPECT_FALSE(tool.unInstallSoftwore(ford));
    EXPECT_TRUE(QFileInfo(onCard(QStringLiteral("Scan/FORD"))).isDir());

    for (const char *name : {"bmw", "bMW"}) {
        QDir().mkpath(onCard(QStringLiteral("Scan/") + QString::fromLatin1(name)));
        EXPECT_EQ(tool.getSoftwarePathByPath(QStringLiteral("Scan/BMW")),
                  onCard(QStringLiteral("Scan/") + QString::fromLatin1(name)))
            << name;
        QDir(onCard(QStringLiteral("Scan/") + QString::fromLatin1(name))).removeRecursively();
    }
    QDir().mkpath(onCard(QStringLiteral("Scan/Bmw")));
    EXPECT_EQ(tool.getSoftwarePathByPath(QStringLiteral("Scan/BMW")), QString()) << "not one of the four variants";
    EXPECT_EQ(tool.getSoftwarePathByPath(QStringLiteral("Scan/bmw")), onCard(QStringLiteral("Scan/Bmw")));
    EXPECT_EQ(tool.getSoftwarePathByPath(QStringLiteral("<null>")), QString());

    QDir().mkpath(onCard(QStringLiteral("Scan/Kia")));
    const auto kia = recordAt(QStringLiteral("Scan/Kia"));
    EXPECT_TRUE(tool.getHasSoftwarePath(kia));
    EXPECT_TRUE(tool.unInstallSoftwore(kia));
    EXPECT_FALSE(QFileInfo::exists(onCard(QStringLiteral("Scan/Kia"))));
}

TEST_F(CommonToolCardTest, VersionLanguageAndLinkFiles)
{
    const QString dir = onCard(QStringLiteral("Scan/Audi"));
    QDir().mkpath(dir);
    EXPECT_EQ(VelquorCommonTool::getVersionPathFromFilePath(dir), QString());
    EXPECT_FALSE(tool.isSameVersion(recordAt(QStringLiteral("Scan/Audi"))));
    writeFile(dir + QStringLiteral("/Version.txt"), "V3.00");
    EXPECT_EQ(VelquorCommonTool::getVersionFromFilePath(dir), QStringLiteral("V3.00"));
    writeFile(dir + QStringLiteral("/version.txt"), "V2.00");
    EXPECT_EQ(VelquorCommonTool::getVersionFromFilePath(dir), QStringLiteral("V2.00"));
    writeFile(dir + QStringLiteral("/VERSION.TXT"), "V2.001\n");
    EXPECT_EQ(VelquorCommonTool::getVersionPathFromFilePath(dir), dir + QStringLiteral("/VERSION.TXT"));
    EXPECT_EQ(VelquorCommonTool::getVersionFromFilePath(dir), QStringLiteral("V2.001\n"));
    EXPECT_FALSE(tool.isSameVersion(recordAt(QStringLiteral("Scan/Audi"), QStringLiteral("V2.00"))));
    EXPECT_TRUE(tool.isSameVersion(recordAt(QStringLiteral("Scan/Audi"), QStringLiteral("V2.002"))));
    EXPECT_EQ(VelquorCommonTool::getVersionFromFilePath(QString()), QString());

    EXPECT_EQ(VelquorCommonTool::getLinkFromFilePath(dir), QString());
    writeFile(dir + QStringLiteral("/LINK.TXT"), "");
    EXPECT_EQ(VelquorCommonTool::getLinkFromFilePath(dir), dir + QStringLiteral("/LINK.TXT"));
    writeFile(dir + QStringLiteral("/link.txt"), "");
    EXPECT_EQ(VelquorCommonTool::getLinkFromFilePath(dir), dir + QStringLiteral("/link.txt"));

    const auto audi = recordAt(QStringLiteral("Scan/Audi"));
    audi->setLanguage(QStringLiteral("Chinese Simplified"));
    EXPECT_FALSE(tool.getIsHasLanFromModel(audi));
    for (const char *file : {"chinesesimplified.cfg", "CHINESESIMPLIFIED.CFG", "ChineseSimplified.cfg"}) {
        writeFile(dir + QLatin1Char('/') + QString::fromLatin1(file), "");
        EXPECT_TRUE(tool.getIsHasLanFromModel(audi)) << file;
        QFile::remove(dir + QLatin1Char('/') + QString::fromLatin1(file));
    }
    writeFile(dir + QStringLiteral("/Chinesesimplified.cfg"), "");
    EXPECT_TRUE(VelquorCommonTool::getIsHasLanFromFilePath(dir, QStringLiteral("chinesesimplified")));
    EXPECT_FALSE(tool.getIsHasLanFromModel(recordAt(QStringLiteral("(null)"))));
}

TEST_F(CommonToolCardTest, HighestInstalledVersion)
{
    EXPECT_EQ(tool.getMaxVersionFromList({}), QStringLiteral("V0.00"));
    writeFile(onCard(QStringLiteral("A/VERSION.TXT")), "V1.50");
    writeFile(onCard(QStringLiteral("B/version.txt")), "V12.345");
    QDir().mkpath(onCard(QStringLiteral("C")));
    EXPECT_EQ(tool.getMaxVersionFromList({recordAt(QStringLiteral("A")), recordAt(QStringLiteral("B")),
                                          recordAt(QStringLiteral("C")), nullptr}),
              QStringLiteral("V12.35"));
    EXPECT_EQ(tool.getMaxVersionFromList({recordAt(QStringLiteral("C"))}), QStringLiteral("V0.00"));
}

TEST_F(CommonToolCardTest, JoinsAndParents)
{
    EXPECT_EQ(tool.getDecompressPathWithSoftware(QStringLiteral("Scan/Ford")), onCard(QStringLiteral("Scan/Ford")));
    EXPECT_EQ(tool.getScanPathFromSDCard(), onCard(QStringLiteral("Scan")));
    EXPECT_EQ(VelquorCommonTool::getParentPath(QStringLiteral("Scan/Ford/Ford")), QStringLiteral("Scan/Ford"));
    EXPECT_EQ(VelquorCommonTool::getParentPath(QStringLiteral("Ford")), QString());
    EXPECT_EQ(tool.getSoftwareParentPath(recordAt(QStringLiteral("Scan/Ford/Ford"))),
              onCard(QStringLiteral("Scan/Ford")));
    EXPECT_EQ(tool.getSoftwareParentPath(recordAt(QStringLiteral("Ford"))), card)
        << "a top-level package extracts into the root";

    tool.setSaveFilePath(card + QLatin1Char('/'));
    EXPECT_EQ(tool.getScanPathFromSDCard(), onCard(QStringLiteral("Scan")));
}

TEST_F(CommonToolCardTest, ALeadingSlashIsReadFromTheCardRoot)
{
    writeFile(onCard(QStringLiteral("Scan/FORD/VERSION.TXT")), "V1.00");
    const auto ford = recordAt(QStringLiteral("/Scan/FORD"));
    EXPECT_EQ(tool.getDecompressPathWithSoftware(QStringLiteral("/Scan/FORD")), onCard(QStringLiteral("Scan/FORD")));
    EXPECT_EQ(tool.getSoftwarePath(ford), onCard(QStringLiteral("Scan/FORD")));
    EXPECT_TRUE(tool.getHasSoftwarePath(ford));
    EXPECT_EQ(tool.getSoftwareParentPath(ford), onCard(QStringLiteral("Scan")));
    EXPECT_EQ(tool.getSoftwareParentPath(recordAt(QStringLiteral("/FORD"))), card);
    EXPECT_TRUE(tool.isSameVersion(ford));
    EXPECT_TRUE(tool.unInstallSoftwore(ford));
    EXPECT_FALSE(QFileInfo::exists(onCard(QStringLiteral("Scan/FORD"))));
    EXPECT_TRUE(QFileInfo(onCard(QStringLiteral("Scan"))).isDir());
}

TEST_F(CommonToolCardTest, HostileCardPathsAreRefused)
{
    QDir().mkpath(onCard(QStringLiteral("Scan")));
    for (const char *bad : {"", "<null>", "NULL", "  ", "/", "/../outside", "../outside", "Scan/../../outside",
                            "./Scan", "Scan/.", "..", "Scan/.."}) {
        const auto model = recordAt(QString::fromLatin1(bad));
        SCOPED_TRACE(bad);
        EXPECT_EQ(tool.getSoftwarePath(model), QString());
        EXPECT_FALSE(tool.getHasSoftwarePath(model));
        EXPECT_FALSE(tool.getIsHasLanFromModel(model));
        EXPECT_FALSE(tool.unInstallSoftwore(model));
        EXPECT_EQ(tool.getSoftwareParentPath(model), QString());
        EXPECT_EQ(tool.getDecompressPathWithSoftware(QString::fromLatin1(bad)), QString());
    }
    EXPECT_TRUE(QFileInfo::exists(base.filePath(QStringLiteral("outside/keep.txt"))));
    EXPECT_TRUE(QFileInfo(onCard(QStringLiteral("Scan"))).isDir());
    EXPECT_TRUE(QFileInfo(card).isDir());

    // Without a sound card root nothing is found and nothing is removed.
    for (const QString &root : {QString(), QStringLiteral("relative/card")}) {
        tool.setSaveFilePath(root);
        EXPECT_EQ(tool.getSoftwarePath(recordAt(QStringLiteral("Scan"))), QString());
        EXPECT_FALSE(tool.unInstallSoftwore(recordAt(QStringLiteral("Scan"))));
        EXPECT_EQ(tool.getSoftwareParentPath(recordAt(QStringLiteral("Scan"))), QString());
        EXPECT_EQ(tool.getScanPathFromSDCard(), QString());
    }
    EXPECT_TRUE(QFileInfo(onCard(QStringLiteral("Scan"))).isDir());
}

TEST_F(CommonToolCardTest, ALinkOnTheCardCannotLeadARemovalOutside)
{
    ASSERT_TRUE(QFile::link(base.filePath(QStringLiteral("outside")), onCard(QStringLiteral("Evil"))));
    QDir().mkpath(onCard(QStringLiteral("Real")));
    ASSERT_TRUE(QFile::link(base.filePath(QStringLiteral("outside")), onCard(QStringLiteral("Real/Inner"))));
    for (const char *linked : {"Evil", "Evil/keep.txt", "Real/Inner"}) {
        SCOPED_TRACE(linked);
        const auto model = recordAt(QString::fromLatin1(linked));
        EXPECT_EQ(tool.getSoftwarePath(model), QString());
        EXPECT_FALSE(tool.unInstallSoftwore(model));
        EXPECT_EQ(tool.getDecompressPathWithSoftware(QString::fromLatin1(linked)), QString());
    }
    EXPECT_TRUE(QFileInfo::exists(base.filePath(QStringLiteral("outside/keep.txt"))));
}

TEST_F(CommonToolCardTest, ALetterCaseVariantThatIsALinkIsNotFollowedOffTheCard)
{
    writeFile(base.filePath(QStringLiteral("outside/VERSION.TXT")), "V1.00");
    writeFile(base.filePath(QStringLiteral("outside/english.cfg")), "");
    QDir().mkpath(onCard(QStringLiteral("Scan")));
    ASSERT_TRUE(QFile::link(base.filePath(QStringLiteral("outside")), onCard(QStringLiteral("Scan/FORD"))));
    const auto ford = recordAt(QStringLiteral("Scan/Ford"), QStringLiteral("V1.00"));
    ford->setLanguage(QStringLiteral("English"));

    EXPECT_EQ(tool.getSoftwarePath(ford), QString());
    EXPECT_EQ(tool.getSoftwarePathByPath(QStringLiteral("Scan/Ford")), QString());
    EXPECT_FALSE(tool.isSameVersion(ford));
    EXPECT_FALSE(tool.getIsHasLanFromModel(ford));
    EXPECT_EQ(tool.getMaxVersionFromList({ford}), QStringLiteral("V0.00"));
}

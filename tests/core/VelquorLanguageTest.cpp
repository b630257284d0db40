#include "core/VelquorCommonTool.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QString choose(const QStringList &preferred)
{
    return VelquorCommonTool::chooseLanguage(preferred);
}

// Writes an id-based table and compiles it the way the build does.
bool compileTable(const QString &directory, const QString &code, const QList<QPair<QString, QString>> &messages)
{
    QByteArray ts = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\">\n<context>\n"
                    "<name></name>\n";
    for (const auto &[id, text] : messages)
        ts += "<message id=\"" + id.toUtf8() + "\"><translation>" + text.toUtf8() + "</translation></message>\n";
    ts += "</context>\n</TS>\n";
    const QString tsPath = directory + QStringLiteral("/Velquor_") + code + QStringLiteral(".ts");
    QFile file(tsPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(ts);
    file.close();
    const QString lrelease = QLibraryInfo::path(QLibraryInfo::BinariesPath) + QStringLiteral("/lrelease");
    const int exitCode = QProcess::execute(
        lrelease, {QStringLiteral("-idbased"), QStringLiteral("-silent"), tsPath, QStringLiteral("-qm"),
                   directory + QStringLiteral("/Velquor_") + code + QStringLiteral(".qm")});
    return exitCode == 0;
}
} // namespace

TEST(LanguageChoice, FirstSupportedPreferredLanguage)
{
    EXPECT_EQ(VelquorCommonTool::applicationSupportLanguages().size(), 19);
    EXPECT_EQ(VelquorCommonTool::applicationSupportLanguages().at(3), QStringLiteral("zh-HK"));
    EXPECT_EQ(choose({QStringLiteral("fr-CA"), QStringLiteral("de")}), QStringLiteral("fr"));
    EXPECT_EQ(choose({QStringLiteral("xx"), QStringLiteral("de-AT")}), QStringLiteral("de"));
    EXPECT_EQ(choose({QStringLiteral("pt-BR")}), QStringLiteral("pt"));
    EXPECT_EQ(choose({QStringLiteral("xx"), QStringLiteral("yy-ZZ")}), QStringLiteral("en"));
    EXPECT_EQ(choose({}), QStringLiteral("en"));
    EXPECT_EQ(choose({QStringLiteral("sv_SE.UTF-8")}), QStringLiteral("sv"));
    // A code is a whole subtag: Filipino is not Finnish, Hawaiian not Hebrew.
    EXPECT_EQ(choose({QStringLiteral("fil"), QStringLiteral("fi-FI")}), QStringLiteral("fi"));
    EXPECT_EQ(choose({QStringLiteral("haw"), QStringLiteral("he")}), QStringLiteral("he"));
    EXPECT_EQ(choose({QStringLiteral("fil")}), QStringLiteral("en"));
}

TEST(LanguageChoice, ChineseByScript)
{
    EXPECT_EQ(choose({QStringLiteral("zh-Hant-TW")}), QStringLiteral("zh-HK"));
    EXPECT_EQ(choose({QStringLiteral("zh-Hans-CN")}), QStringLiteral("zh-Hans"));
    EXPECT_EQ(choose({QStringLiteral("zh_CN")}), QStringLiteral("zh-Hans"));
    EXPECT_EQ(choose({QStringLiteral("zh_CN.UTF-8")}), QStringLiteral("zh-Hans"));
    EXPECT_EQ(choose({QStringLiteral("zh_TW")}), QStringLiteral("zh-HK"));
    EXPECT_EQ(choose({QStringLiteral("zh-HK")}), QStringLiteral("zh-HK"));
    EXPECT_EQ(choose({QStringLiteral("zha"), QStringLiteral("ko")}), QStringLiteral("ko"));
}

TEST(LanguageChoice, TextsComeFromTheChosenTable)
{
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    if (!compileTable(directory.path(), QStringLiteral("en"), {{QStringLiteral("Update21"), QStringLiteral("OK")}}) ||
        !compileTable(directory.path(), QStringLiteral("fr"),
                      {{QStringLiteral("Update21"), QStringLiteral("D'accord")}}))
        GTEST_SKIP() << "lrelease is not available";

    VelquorCommonTool tool;
    EXPECT_EQ(tool.translationResourcePath(QStringLiteral("zh-Hans")),
              QStringLiteral(":/translations/Velquor_zh-Hans.qm"));
    tool.setTranslationsDirectory(directory.path());
    tool.setPreferredLanguagesOverride(QStringList{QStringLiteral("fr_CA"), QStringLiteral("de")});
    EXPECT_EQ(tool.getCurrentLanguageBundle(), QStringLiteral("fr"));
    EXPECT_EQ(tool.localizedString(QStringLiteral("Update21")), QStringLiteral("D'accord"));
    EXPECT_EQ(tool.localizedString(QStringLiteral("NoSuchKey")), QStringLiteral("NoSuchKey"));

    // A supported language without a table falls back to English.
    tool.setPreferredLanguagesOverride(QStringList{QStringLiteral("de")});
    EXPECT_EQ(tool.getCurrentLanguageBundle(), QStringLiteral("en"));
    EXPECT_EQ(tool.localizedString(QStringLiteral("Update21")), QStringLiteral("OK"));

    // Chosen again at every lookup.
    tool.setPreferredLanguagesOverride(QStringList{QStringLiteral("fr")});
    EXPECT_EQ(tool.localizedString(QStringLiteral("Update21")), QStringLiteral("D'accord"));

    tool.setTranslationsDirectory(directory.path() + QStringLiteral("/missing"));
    EXPECT_EQ(tool.localizedString(QStringLiteral("Update21")), QStringLiteral("Update21"));
}

#include "core/BaseMainTools.h"
#include "core/VelquorCommonTool.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QByteArray crlf(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

QStringList pathsOf(const QList<VelquorVehicleModel> &models)
{
    QStringList paths;
    for (const auto &model : models)
        paths << model.path();
    return paths;
}

const QByteArray kCarIni = crlf({
    QStringLiteral("Scan\\Ford\t\tFord"),
    QStringLiteral("//Europe"),
    QStringLiteral("Scan\\Europe\\BMW\t\tBMW"),
    QStringLiteral("Scan/Europe/Mini\t\tBMW"),
    QStringLiteral("Scan\\Europe\\Audi\t\tAudi\t\tExtra"), // three fields: ignored
    QStringLiteral("Scan\\Europe\\Seat\tSEAT"),            // one tab: ignored
    QStringLiteral("Scan/Europe/SEAT\t\tSEAT"),
    QStringLiteral("//Asia"),
    QStringLiteral("Scan/Asia/kia\t\tKIA"),
    QStringLiteral("Scan/Asia/KIA\t\tKia"),
    QStringLiteral("Scan/Asia/Hyundai\t\tKIA"),
    QString(),
});
} // namespace

TEST(BundleTables, CarIniRows)
{
    const QList<VelquorVehicleModel> rows = VelquorCommonTool::parseVehicleModels(kCarIni);
    EXPECT_EQ(pathsOf(rows), QStringList({"Scan/Ford", "Scan/Europe/BMW", "Scan/Europe/Mini", "Scan/Europe/SEAT",
                                          "Scan/Asia/kia", "Scan/Asia/KIA", "Scan/Asia/Hyundai"}));
    EXPECT_EQ(rows.at(2).vehicle(), QStringLiteral("BMW"));
    EXPECT_EQ(rows.at(2).subVehicle(), QStringLiteral("Mini"));

    const auto byPath = VelquorCommonTool::parseNewAllVehicleModels(kCarIni);
    EXPECT_EQ(byPath.size(), 6) << "Scan/Asia/kia and Scan/Asia/KIA share a key";
    EXPECT_EQ(byPath.value(QStringLiteral("SCAN/ASIA/KIA")).vehicle(), QStringLiteral("Kia")) << "the later line wins";
    EXPECT_EQ(byPath.value(QStringLiteral("SCAN/FORD")).path(), QStringLiteral("Scan/Ford"));

    const auto sections = VelquorCommonTool::parseAllVehicleModels(kCarIni);
    EXPECT_EQ(sections.keys().size(), 3);
    EXPECT_EQ(pathsOf(sections.value(QStringLiteral("General"))), QStringList({"Scan/Ford"}));
    EXPECT_EQ(pathsOf(sections.value(QStringLiteral("Europe"))),
              QStringList({"Scan/Europe/BMW", "Scan/Europe/Mini", "Scan/Europe/SEAT"}));
    EXPECT_EQ(sections.value(QStringLiteral("Asia")).size(), 3);

    EXPECT_TRUE(VelquorCommonTool::parseVehicleModels(QByteArray()).isEmpty());
    EXPECT_TRUE(VelquorCommonTool::parseAllVehicleModels(QByteArray()).isEmpty());
}

TEST(BundleTables, VehicleNamesAndTheirSubVehicles)
{
    const auto vehicles = VelquorCommonTool::vehiclesFromModels(VelquorCommonTool::parseVehicleModels(kCarIni));
    ASSERT_EQ(vehicles.size(), 3) << "SEAT is left out";
    EXPECT_EQ(vehicles.at(0).first, QStringLiteral("BMW"));
    EXPECT_EQ(vehicles.at(0).second, QStringList({"BMW", "Mini"}));
    EXPECT_EQ(vehicles.at(1).first, QStringLiteral("Ford"));
    EXPECT_EQ(vehicles.at(1).second, QStringList({"Ford"}));
    EXPECT_EQ(vehicles.at(2).first, QStringLiteral("KIA"));
    EXPECT_EQ(vehicles.at(2).second, QStringList({"kia", "Hyundai"}));
}

TEST(BundleTables, SectionsAndTheirLastLine)
{
    const QByteArray endsInBreak =
        crlf({QStringLiteral("//P1"), QStringLiteral("SCAN/FORD = 12.30"), QStringLiteral("not an entry"),
              QStringLiteral("A = B = C"), QStringLiteral("SCAN/FORD = 12.40"), QStringLiteral("//other"),
              QStringLiteral("SCAN/BMW = 1.5"), QString()});
    auto tables = VelquorCommonTool::parseAllVersionModels(endsInBreak);
    EXPECT_EQ(tables.size(), 2);
    EXPECT_EQ(tables.value(QStringLiteral("P1")), (QHash<QString, QString>{{"SCAN/FORD", "12.40"}}));
    EXPECT_EQ(tables.value(QStringLiteral("other")), (QHash<QString, QString>{{"SCAN/BMW", "1.5"}}));

    // Without the final line break the last line is still data.
    tables = VelquorCommonTool::parseAllVersionModels(endsInBreak.chopped(2));
    EXPECT_EQ(tables.value(QStringLiteral("other")).value(QStringLiteral("SCAN/BMW")), QStringLiteral("1.5"));

    // Lines before the first header belong to no car_version section; a header on the last line
    // opens an empty one; a later section of the same name replaces the earlier.
    tables = VelquorCommonTool::parseAllVersionModels(
        crlf({QStringLiteral("X = 1"), QStringLiteral("//P1"), QStringLiteral("A = 1"), QStringLiteral("//P1"),
              QStringLiteral("B = 2"), QStringLiteral("//Last")}));
    EXPECT_EQ(tables.size(), 2);
    EXPECT_EQ(tables.value(QStringLiteral("P1")), (QHash<QString, QString>{{"B", "2"}}));
    EXPECT_TRUE(tables.contains(QStringLiteral("Last")));
    EXPECT_TRUE(tables.value(QStringLiteral("Last")).isEmpty());
}

TEST(BundleTables, ResourcesReadWithoutFailing)
{
    // The shipped tables may be absent in a bare build; a missing resource reads as empty.
    VelquorCommonTool tool;
    const auto rows = tool.getVehicleModelsFromBundle();
    EXPECT_EQ(tool.getNewAllVehicleModelsFromBundle().isEmpty(), rows.isEmpty());
    tool.getAllVersionModelsFromBundle();
    tool.getVehicles();
}

class AppendRuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.isValid());
        VelquorCommonTool::sharedTool().setSaveFilePath(card.path());
        QDir().mkpath(card.filePath(QStringLiteral("Scan/FORD")));
    }
    void TearDown() override { VelquorCommonTool::sharedTool().setSaveFilePath(QString()); }

    void install(const QByteArray &version)
    {
        QFile file(card.filePath(QStringLiteral("Scan/FORD/VERSION.TXT")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(version);
    }

    static VelquorDownloadModelPtr append(const QString &version,
                                          const QString &filePath = QStringLiteral("p/FORD_APPEND.zip"))
    {
        auto model = VelquorDownloadModel::create();
        model->setFilePath(filePath);
        model->setVersion(version);
        model->setSdPath(QStringLiteral("Scan/Ford"));
        return model;
    }

    QTemporaryDir card;
    const QHash<QString, QString> table = {{QStringLiteral("SCAN/FORD"), QStringLiteral("12.3")}};
};

TEST_F(AppendRuleTest, AppliesOnlyFromTheTableVersionOfTheSameWholeVersion)
{
    install("V12.50\r\n");
    EXPECT_TRUE(BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.01"))));
    EXPECT_FALSE(BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.00")))) << "a whole version";
    EXPECT_FALSE(
        BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.01"), QStringLiteral("p/FORD_append.zip"))));
    EXPECT_FALSE(BaseMainTools::isHasAppend({}, append(QStringLiteral("V12.01"))));
    install("V11.50");
    EXPECT_FALSE(BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.01")))) << "newer whole version";
    install("V12.20");
    EXPECT_FALSE(BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.01")))) << "below the table version";
    install("V12.30");
    EXPECT_TRUE(BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.01"))));
    QFile::remove(card.filePath(QStringLiteral("Scan/FORD/VERSION.TXT")));
    EXPECT_FALSE(BaseMainTools::isHasAppend(table, append(QStringLiteral("V12.01")))) << "nothing installed";
    EXPECT_FALSE(BaseMainTools::isHasAppend(table, nullptr));

    EXPECT_EQ(BaseMainTools::getVersion(QStringLiteral("V12.34")), 12.34f);
    EXPECT_EQ(BaseMainTools::getVersion(QStringLiteral("12.34")), 12.34f);
    EXPECT_EQ(BaseMainTools::getVersion(QStringLiteral("abc")), 0.0f);
}

#include "AcceptanceFixture.h"
#include "JourneyUser.h"

#include "support/TestArchives.h"
#include "support/TestEnvironment.h"

#include "account/VelquorSoftwareManagementView.h"
#include "controls/VelquorAlert.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorTabItemButton.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorUserManager.h"
#include "shell/VelquorMainViewController.h"
#include "shell/VelquorStartup.h"
#include "shell/VelquorTitleBarView.h"
#include "shell/VelquorWindow.h"
#include "shell/VelquorWindowController.h"
#include "standin/DemoCard.h"
#include "standin/DemoService.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

using Acceptance = AcceptanceFixture;

namespace {

constexpr int kUpdateAllMs = 240000;
constexpr int kScreenMs = 30000;

// What the full demo device is offered over the demo card, by software, and the archives that
// bring it: the catalogue's new vehicles whole, BENZ (one version behind) as its append package
// and the language it lacks; HONDA and the operating software are current and not offered.
const QMap<QString, QStringList> kOffered = {
    {"ADAS", {"files/ADAS/ADAS_V1.05.zip", "files/ADAS/ADAS_V1.05_EN.zip"}},
    {"BENZ", {"files/BENZ/BENZ_V12.35_APPEND.zip", "files/BENZ/BENZ_V12.35_DE.zip"}},
    {"BMW", {"files/BMW/BMW_V15.02.zip", "files/BMW/BMW_V15.02_EN.zip", "files/BMW/BMW_V15.02_FR.zip"}},
    {"FORD", {"files/FORD/FORD_V30.00.zip", "files/FORD/FORD_V30.00_EN.zip"}},
    {"SSANGYONG", {"files/SSANGYONG/SSANGYONG_V2.10.zip", "files/SSANGYONG/SSANGYONG_V2.10_EN.zip"}},
    // Delivered in parts: joined into the first part's record.
    {"TOYOTA", {"files/TOYOTA/TOYOTA_V20.10_1_part.zip", "files/TOYOTA/TOYOTA_V20.10_EN.zip"}},
    {"VW", {"files/VW/VW_V8.20.zip", "files/VW/VW_V8.20_EN.zip"}},
};

QString describeRows(const JourneyUser &user)
{
    QStringList rows;
    for (const QString &title : user.rowTitles()) {
        VelquorDownloadButton *button = user.downloadButton(title);
        rows.append(QStringLiteral("%1 (state %2)").arg(title).arg(button ? button->downloadState() : -1));
    }
    return rows.join(QStringLiteral(", ")) + QStringLiteral("; overall: \"") + user.overallText() + u'"';
}

QMap<QString, QStringList> expectedInState(qint64 state)
{
    QMap<QString, QStringList> result;
    for (auto it = kOffered.begin(); it != kOffered.end(); ++it) {
        for (const QString &path : it.value())
            result[it.key()].append(QStringLiteral("%1 %2").arg(path).arg(state));
        result[it.key()].sort();
    }
    return result;
}

} // namespace

TEST_F(Acceptance, SignInUpdateEverythingUninstallOneAndQuitDuringADownload)
{
    ASSERT_NO_FATAL_FAILURE(prepare());
    if (IsSkipped())
        return;
    VelquorStartup startup(*qApp);
    VelquorWindow &window = *startup.windowController().window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    JourneyUser user(window);

    // 1. Sign in as the demo account, remembered.
    const QString account = QString::fromLatin1(standin::demoAccountName);
    ASSERT_TRUE(user.signIn(account, QString::fromLatin1(standin::demoAccountPassword)))
        << user.lastProblem().toStdString();
    QStringList captions;
    for (VelquorTabItemButton *button : user.mainScreen()->tabView()->itemButtons())
        captions.append(button->caption());
    EXPECT_EQ(captions, (QStringList{JourneyUser::text("Main1"), JourneyUser::text("Main3"), JourneyUser::text("Main4"),
                                     JourneyUser::text("Main7")}));
    EXPECT_TRUE(VelquorUserManager::sharedManager().autoLogin());
    // The keyring keeps the password on its own queue, while the main view comes up.
    EXPECT_TRUE(waitUntil(
        [&] {
            return VelquorKeychainManager::sharedManager().readDataFromKeyChain(account) ==
                   std::optional<QString>(QString::fromLatin1(standin::demoAccountPassword));
        },
        kScreenMs));

    // 2. The card and the full device: one row per vehicle the catalogue offers over the card.
    ASSERT_TRUE(user.chooseCardAndDevice(kCardName, kProDevice)) << user.lastProblem().toStdString();
    ASSERT_TRUE(waitUntil([&] { return user.rowTitles() == QStringList(kOffered.keys()); }, kScreenMs))
        << describeRows(user).toStdString();
    for (const QString &title : user.rowTitles())
        EXPECT_EQ(user.downloadButton(title)->downloadState(), 0) << title.toStdString();

    // 3. Update-all: every row finishes, and the card holds every file of every archive fetched.
    QTest::mouseClick(user.updatesPage()->updateAllButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil(
        [&] {
            return user.allRowsShow(8, QStringLiteral("Update36")) &&
                   user.overallText() == JourneyUser::text("Update36");
        },
        kUpdateAllMs))
        << describeRows(user).toStdString();
    EXPECT_EQ(user.rowTitles(), QStringList(kOffered.keys()));

    // software -> "archive state" of a table's records, sorted.
    const auto bySoftware = [this](const VelquorDownloadModelList &records) {
        QMap<QString, QStringList> result;
        for (const auto &record : records)
            result[record->software()].append(
                QStringLiteral("%1 %2").arg(relativeToService(record->url())).arg(record->state()));
        for (QStringList &entries : result)
            entries.sort();
        return result;
    };
    auto database = openDemoTables();
    EXPECT_EQ(bySoftware(database->getAllCacheData()), expectedInState(8));
    QMap<QString, QStringList> installed = bySoftware(database->getAllCacheDataForInstall());
    // What the demo card held before and was not offered keeps its records.
    EXPECT_EQ(installed.take("HONDA"), QStringList{"<null> 8"});
    EXPECT_EQ(installed.take("OS-SOFTWARE"), QStringList{"<null> 8"});
    EXPECT_EQ(installed, expectedInState(8));

    for (auto it = kOffered.begin(); it != kOffered.end(); ++it) {
        QList<standin::DemoArchive> archives;
        for (const QString &path : it.value()) {
            const auto archive = archiveAt(path);
            ASSERT_TRUE(archive) << path.toStdString();
            archives.append(*archive);
        }
        EXPECT_EQ(differencesOnCard(it.key(), archives), QStringList()) << it.key().toStdString();
    }
    // Untouched: the current vehicle that was on the card.
    for (const standin::DemoPackage &package : standin::demoCardPackages()) {
        if (package.software == QLatin1String("HONDA")) {
            EXPECT_EQ(differencesOnCard(package.software, standin::demoArchivesOf(package)), QStringList());
        }
    }
    // The archives go once the installation is recorded.
    EXPECT_TRUE(waitUntil([] { return TestArchives::entriesBelow(archiveCache()).isEmpty(); }, kScreenMs))
        << TestArchives::entriesBelow(archiveCache()).join(", ").toStdString();

    // 4. Software management lists what the card holds; BMW is ticked and uninstalled.
    ASSERT_TRUE(user.clickTab(VelquorMainViewController::SoftwareManagementTab)) << user.lastProblem().toStdString();
    // The system first, then the vehicles in the order they were installed.
    const auto listed = [&] {
        QStringList rows = user.softwareRows();
        if (!rows.isEmpty())
            std::sort(rows.begin() + 1, rows.end());
        return rows;
    };
    const QStringList expectedList{"OS-SOFTWARE | V3.20 | ",
                                   "ADAS | V1.05 | ENGLISH",
                                   "BENZ | V12.35 | GERMAN",
                                   "BMW | V15.02 | ENGLISH/FRENCH",
                                   "FORD | V30.00 | ENGLISH",
                                   "HONDA | V11.40 | ENGLISH",
                                   "MAINTENANCE_SSANGYONG | V2.10 | ENGLISH",
                                   "TOYOTA | V20.10 | ENGLISH",
                                   "VW | V8.20 | ENGLISH"};
    ASSERT_TRUE(waitUntil([&] { return listed() == expectedList; }, kScreenMs))
        << user.softwareRows().join("; ").toStdString();
    const qint64 bmwRow = user.softwareRows().indexOf("BMW | V15.02 | ENGLISH/FRENCH");
    ASSERT_TRUE(user.clickSoftwareRow(bmwRow)) << user.lastProblem().toStdString();
    ASSERT_TRUE(user.softwarePage()->listModels().at(bmwRow)->isSelected());
    QTest::mouseClick(user.softwarePage()->uninstallButton(), Qt::LeftButton);
    ASSERT_TRUE(user.answerOk(JourneyUser::text("Installed1"))) << user.lastProblem().toStdString();

    const QString europe = QDir(card->mountPath()).filePath(QStringLiteral("Vehicles/Europe"));
    EXPECT_FALSE(QFileInfo::exists(europe + QStringLiteral("/BMW")));
    EXPECT_TRUE(QFileInfo::exists(europe + QStringLiteral("/VW/VERSION.TXT"))) << "its neighbours stay";
    EXPECT_TRUE(database->getModelWithVehicle(QStringLiteral("BMW")).isEmpty());
    EXPECT_TRUE(database->getAllDataWithVehicleForInstall(QStringLiteral("BMW")).isEmpty());
    ASSERT_TRUE(waitUntil([&] { return !user.softwareRows().contains("BMW | V15.02 | ENGLISH/FRENCH"); }, kScreenMs));
    QStringList remaining = expectedList;
    remaining.removeOne("BMW | V15.02 | ENGLISH/FRENCH");
    EXPECT_EQ(listed(), remaining);

    // Back on the updates page only BMW is offered again.
    ASSERT_TRUE(user.clickTab(VelquorMainViewController::UpdatesTab)) << user.lastProblem().toStdString();
    ASSERT_TRUE(waitUntil([&] { return user.rowTitles() == QStringList{"BMW"}; }, kScreenMs))
        << describeRows(user).toStdString();
    EXPECT_EQ(user.downloadButton("BMW")->downloadState(), 0);

    // 5. Closing while BMW downloads (slowly) asks first; OK quits.
    standin::Fault throttle;
    throttle.kind = standin::Fault::Kind::Throttle;
    throttle.bytesPerSecond = 1024;
    for (const QString &path : kOffered.value("BMW"))
        server.setFault(u'/' + path, throttle);
    ASSERT_TRUE(user.press("BMW")) << user.lastProblem().toStdString();
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto rows = database->getModelWithVehicle(QStringLiteral("BMW"));
            return std::any_of(rows.begin(), rows.end(), [](const auto &row) { return row->state() == 1; });
        },
        kScreenMs))
        << describeRows(user).toStdString();

    QTest::mouseClick(user.mainScreen()->titleBarView()->closeButton(), Qt::LeftButton);
    VelquorAlert *question = user.waitForAlert(JourneyUser::text("UpdateHint11"));
    ASSERT_TRUE(question);
    EXPECT_TRUE(window.isVisible()) << "nothing closes before the answer";
    EXPECT_EQ(question->okButton()->text(), JourneyUser::text("Update26"));
    EXPECT_EQ(question->cancelButton()->text(), JourneyUser::text("Update27"));

    // The answer is given inside the application's own event loop, which ends when it quits.
    QTimer::singleShot(0, question->okButton(),
                       [button = question->okButton()] { QTest::mouseClick(button, Qt::LeftButton); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    watchdog.start(kScreenMs);
    EXPECT_EQ(startup.exec(), 0) << "the application did not quit after OK";
    EXPECT_FALSE(window.isVisible());

    ASSERT_TRUE(card->unmount());
    QString report;
    EXPECT_TRUE(card->fsckClean(&report)) << report.toStdString();
}

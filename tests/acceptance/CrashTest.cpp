#include "AcceptanceFixture.h"
#include "JourneyUser.h"

#include "support/TestArchives.h"
#include "support/TestEnvironment.h"

#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSecureField.h"
#include "controls/VelquorSecureTextField.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/ChildProcess.h"
#include "platform/DispatchQueue.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorStartup.h"
#include "shell/VelquorWindow.h"
#include "shell/VelquorWindowController.h"
#include "standin/DemoArchives.h"
#include "standin/DemoCard.h"
#include "standin/DemoService.h"
#include "updates/VelquorCacheCleanup.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTest>

using Acceptance = AcceptanceFixture;

namespace {

constexpr int kCardMegabytes = 256;
constexpr int kScreenMs = 30000;
constexpr int kInstallMs = 240000;
constexpr int kChildRunMs = 600000;

const QString kDataArchive = QStringLiteral("files/FORD/FORD_V30.00.zip");
const QString kBigEntry = QStringLiteral("FORD/DIAG/MAPS.BIN");

QString account()
{
    return QString::fromLatin1(standin::demoAccountName);
}

QString password()
{
    return QString::fromLatin1(standin::demoAccountPassword);
}

// Bytes that compress to almost nothing: a big file costs little to serve, but long to write.
QByteArray bigContent(qsizetype size)
{
    const QByteArray block = TestArchives::randomBytes(16 * 1024, 7);
    QByteArray content;
    content.reserve(size);
    while (content.size() < size)
        content.append(block.left(size - content.size()));
    return content;
}

// Whether a running process names `text` on its command line.
bool anyProcessNames(const QString &text)
{
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        QFile commandLine(processes.next() + QStringLiteral("/cmdline"));
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(text.toUtf8()))
            return true;
    }
    return false;
}

bool anyRowIn(VelquorDownloadDataBaseManager &database, const QString &vehicle, qint64 state)
{
    const auto rows = database.getModelWithVehicle(vehicle);
    return std::any_of(rows.begin(), rows.end(), [state](const auto &row) { return row->state() == state; });
}

} // namespace

TEST_F(Acceptance, AVehicleKilledWhileItExtractsIsOfferedAgainAndInstallsOnAConsistentCard)
{
    if (isChild()) {
        // The first run: sign in, choose the card and the full device, press FORD, and work on
        // until the parent kills it.
        VelquorStartup startup(*qApp);
        VelquorWindow &window = *startup.windowController().window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        JourneyUser user(window);
        ASSERT_TRUE(user.signIn(account(), password())) << user.lastProblem().toStdString();
        ASSERT_TRUE(user.chooseCardAndDevice(kCardName, kProDevice)) << user.lastProblem().toStdString();
        ASSERT_TRUE(user.press(QStringLiteral("FORD"))) << user.lastProblem().toStdString();
        waitUntil([] { return false; }, kChildRunMs);
        FAIL() << "the parent never killed this run";
    }
    ASSERT_NO_FATAL_FAILURE(prepare(kCardMegabytes));
    if (IsSkipped())
        return;

    // FORD's data package grows a big file, so that its extraction takes a while even on a fast card.
    std::optional<standin::DemoArchive> data = archiveAt(kDataArchive);
    ASSERT_TRUE(data);
    data->entries.append({kBigEntry, bigContent(card->driver() == QLatin1String("vfat") ? 96 << 20 : 12 << 20)});
    {
        QTemporaryDir source;
        for (const standin::DemoArchiveEntry &entry : std::as_const(data->entries))
            ASSERT_TRUE(TestArchives::writeFile(source.filePath(entry.path), entry.content));
        const QString served = QDir(serviceData->path()).filePath(kDataArchive);
        ASSERT_TRUE(QFile::remove(served));
        ASSERT_TRUE(TestArchives::pack(source.path(), served, QStringLiteral("7z"), standin::demoArchivePassword()));
    }
    QString fordFolder = QDir(card->mountPath()).filePath(QStringLiteral("Vehicles/America/FORD"));
    const QString bigOnCard = QDir(card->mountPath()).filePath(QStringLiteral("Vehicles/America/") + kBigEntry);

    // The first run goes on in a child process sharing HOME, service and card, killed mid-extraction.
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    environment.insert(QString::fromLatin1(kSharedHomeVariable), QDir::homePath());
    child.setProcessEnvironment(environment);
    ChildProcess::bindLifetimeToParent(child);
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    ASSERT_TRUE(child.waitForStarted());

    auto database = openDemoTables();
    const bool extracting = waitUntil(
        [&] {
            return child.state() != QProcess::Running ||
                   (anyRowIn(*database, QStringLiteral("FORD"), 6) && QFileInfo::exists(bigOnCard));
        },
        kInstallMs);
    const bool running = child.state() == QProcess::Running;
    child.kill();
    child.waitForFinished();
    ASSERT_TRUE(extracting && running) << "the first run ended or never extracted FORD:\n"
                                       << child.readAll().toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    // Its 7zz dies with it: nothing goes on writing to the card.
    EXPECT_TRUE(waitUntil([] { return !anyProcessNames(archiveCache()); }, kScreenMs));

    // What the kill left: FORD half-installed, without install records.
    EXPECT_TRUE(anyRowIn(*database, QStringLiteral("FORD"), 6));
    EXPECT_FALSE(anyRowIn(*database, QStringLiteral("FORD"), 8));
    EXPECT_TRUE(database->getAllDataWithVehicleForInstall(QStringLiteral("FORD")).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(bigOnCard));

    // The card is pulled, and another one holding a whole FORD of its own is put in.
    ASSERT_TRUE(card->unmount());
    FatCard other;
    ASSERT_TRUE(other.mounted());
    QString reason;
    ASSERT_TRUE(standin::writeDemoCard(other.mountPath(), &reason)) << reason.toStdString();
    const QString otherFord = QDir(other.mountPath()).filePath(QStringLiteral("Vehicles/America/FORD"));
    ASSERT_TRUE(TestArchives::writeFile(otherFord + QStringLiteral("/VERSION.TXT"), "V29.00"));
    ASSERT_TRUE(TestArchives::writeFile(otherFord + QStringLiteral("/english.cfg"), "LANGUAGE=English\r\n"));
    ASSERT_TRUE(TestArchives::writeFile(otherFord + QStringLiteral("/DIAG/FORD.BIN"), bigContent(64 * 1024)));
    const QMap<QString, QByteArray> filesOnOther = TestArchives::filesBelow(other.mountPath());
    qputenv("VELQUOR_CARD_VOLUMES", other.mountPath().toUtf8());

    // Started again: the remembered sign-in fills the form.
    VelquorStartup startup(*qApp);
    VelquorWindow &window = *startup.windowController().window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    JourneyUser user(window);
    VelquorLoginViewController *login = user.loginScreen();
    ASSERT_TRUE(login);
    EXPECT_EQ(login->accountField()->text(), account());
    EXPECT_TRUE(waitUntil([&] { return login->passwordField()->secureTextField()->text() == password(); }));
    EXPECT_TRUE(login->rememberButton()->isChecked());
    ASSERT_TRUE(user.signIn(account(), password())) << user.lastProblem().toStdString();

    // With the other card and the device chosen, the clean-up leaves that card's FORD as it is.
    ASSERT_TRUE(user.chooseCardAndDevice(kCardName, kProDevice)) << user.lastProblem().toStdString();
    VelquorCacheCleanup::queue().sync([] {});
    VelquorDownloadManager::sharedManager().queue().sync([] {});
    VelquorDownloadManager::sharedManager().filesQueue().sync([] {});
    EXPECT_EQ(TestArchives::filesBelow(other.mountPath()), filesOnOther);

    // The first card comes back in another reader.
    const QString reader = QFileInfo(card->mountPath()).absolutePath() + QStringLiteral("/READER2/") + kCardName;
    qputenv("VELQUOR_CARD_VOLUMES", reader.toUtf8());
    ASSERT_TRUE(other.unmount());
    ASSERT_TRUE(card->remount(reader));
    fordFolder = QDir(card->mountPath()).filePath(QStringLiteral("Vehicles/America/FORD"));
    ASSERT_TRUE(QFileInfo::exists(fordFolder));
    VelquorMyUpdatesView *page = user.updatesPage();
    ASSERT_TRUE(page);
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto devices = page->devices();
            return devices.size() == 1 && devices.first().path == reader;
        },
        kScreenMs));

    // After the device choice FORD is offered again and its half-written folder is gone.
    ASSERT_TRUE(user.chooseCardAndDevice(kCardName, kProDevice)) << user.lastProblem().toStdString();
    ASSERT_TRUE(waitUntil([&] { return user.rowTitles().contains(QStringLiteral("FORD")); }, kScreenMs))
        << user.rowTitles().join(", ").toStdString();
    EXPECT_EQ(user.downloadButton(QStringLiteral("FORD"))->downloadState(), 0);
    EXPECT_TRUE(waitUntil(
        [&] {
            return !QFileInfo::exists(fordFolder) && database->getModelWithVehicle(QStringLiteral("FORD")).isEmpty();
        },
        kScreenMs));

    // A press installs it whole.
    ASSERT_TRUE(user.press(QStringLiteral("FORD"))) << user.lastProblem().toStdString();
    ASSERT_TRUE(
        waitUntil([&] { return user.rowShows(QStringLiteral("FORD"), 8, QStringLiteral("Update36")); }, kInstallMs));
    const auto language = archiveAt(QStringLiteral("files/FORD/FORD_V30.00_EN.zip"));
    ASSERT_TRUE(language);
    EXPECT_EQ(differencesOnCard(QStringLiteral("FORD"), {*data, *language}), QStringList());
    const auto rows = database->getModelWithVehicle(QStringLiteral("FORD"));
    EXPECT_EQ(rows.size(), 2);
    EXPECT_TRUE(std::all_of(rows.begin(), rows.end(), [](const auto &row) { return row->state() == 8; }));
    EXPECT_EQ(database->getAllDataWithVehicleForInstall(QStringLiteral("FORD")).size(), 2);
    EXPECT_TRUE(waitUntil([] { return TestArchives::entriesBelow(archiveCache()).isEmpty(); }, kScreenMs))
        << TestArchives::entriesBelow(archiveCache()).join(", ").toStdString();

    // The card is consistent.
    ASSERT_TRUE(card->unmount());
    QString report;
    EXPECT_TRUE(card->fsckClean(&report)) << report.toStdString();
}

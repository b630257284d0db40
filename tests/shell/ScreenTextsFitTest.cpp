#include "ShellScreenFixture.h"

#include "support/EveryLanguageTextFit.h"

#include "account/VelquorSoftwareManagementView.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorComboBox.h"
#include "controls/VelquorTabItemButton.h"
#include "controls/VelquorTabView.h"
#include "controls/VelquorTableView.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorUserManager.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "session/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorWindow.h"
#include "updates/VelquorMyUpdatesView.h"
#include "updates/VelquorVehicleRows.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace shelltest;

namespace {

std::unique_ptr<QWidget> windowWith(const QString &identifier,
                                    const std::function<void(VelquorViewController *)> &prepare = {})
{
    auto window = std::make_unique<VelquorWindow>();
    window->setContentViewController(VelquorStoryboard::instantiateControllerWithIdentifier(identifier));
    if (prepare)
        prepare(window->contentViewController());
    window->show();
    return window;
}

VelquorMainViewController *mainViewOf(QWidget *window)
{
    return qobject_cast<VelquorMainViewController *>(static_cast<VelquorWindow *>(window)->contentViewController());
}

// One row per download state, each a vehicle of its own with a picture, sized as the page sizes
// its rows; the overall progress shows under them, as the installing text.
void showRowsInEveryState(VelquorMyUpdatesView *page)
{
    VelquorDownloadManager &manager = VelquorDownloadManager::sharedManager();
    manager.setDownloadPausedModels({});
    const QStringList vehicles = {"BENZ", "BMW", "FORD", "OPEL", "VW", "TOYOTA", "HONDA", "MAZDA", "VOLVO", "FIAT"};
    QList<VelquorVehicleFamilyGroup> groups;
    for (qint64 state = VelquorDownloadStateNone; state <= VelquorDownloadStateInstallFailed; ++state) {
        const QString vehicle = vehicles.at(state);
        auto record = VelquorDownloadModel::create();
        record->setSoftware(vehicle);
        record->setVehicle(vehicle);
        record->setVersion(QStringLiteral("V12.34"));
        record->setReleaseVerion(QStringLiteral("2026-11-02"));
        record->setLanguage(QStringLiteral("ENGLISH"));
        record->setSdPath(QStringLiteral("Vehicles/") + vehicle);
        record->setUpdateInfo(QStringLiteral("Adds new models."));
        record->setIsUpdate(true);
        record->setState(state);
        record->setProgress(0.42);
        record->setTotalFileSize(123456789);
        auto family = VelquorVehicleFamilyModel::create();
        family->setVehicle(vehicle);
        family->setSubVehicles({vehicle});
        family->setModel(record);
        groups.append({family});
    }
    VelquorVehicleRows rows(manager, VelquorDownloadDataBaseManager::sharedManager(), VelquorCommonTool::sharedTool());
    for (qint64 i = 0; i < groups.size(); ++i)
        groups[i].first()->setHeight(rows.rowHeight(groups, i));
    manager.setFamilyModels(groups);
    page->tableView()->reloadData();
    page->tableView()->show();
    page->reloadTotalGroupTask();
}

void clickTab(QWidget *window, int index)
{
    VelquorTabItemButton *button = mainViewOf(window)->tabView()->itemButtons().value(index);
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

class ScreenTextsFit : public ShellScreenFixture
{
protected:
    void SetUp() override
    {
        ShellScreenFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(card.path()));
    }

    // The main view of the signed-in demo user with its devices loaded and the card found, on the
    // updates tab with rows in every state.
    std::unique_ptr<QWidget> mainView()
    {
        qputenv("VELQUOR_CARD_VOLUMES", card.path().toUtf8());
        VelquorLoginResultModel user;
        user.setUserReName(QString::fromLatin1(standin::demoAccountName));
        VelquorUserManager::sharedManager().saveUserInfo(user);
        auto window = windowWith(VelquorShell::kMainViewControllerIdentifier);
        VelquorAlert::setMainWindow(window.get());
        VelquorMainViewController *main = mainViewOf(window.get());
        VelquorMyUpdatesView *updates = main->myUpdatesView();
        EXPECT_TRUE(waitUntil(
            [&] { return !main->isInitializing() && !updates->sdCardComboBox()->currentText().isEmpty(); }, 10000));
        showRowsInEveryState(updates);
        return window;
    }

    QTemporaryDir card{QDir::tempPath() + QStringLiteral("/SDCARD-XXXXXX")};
};

} // namespace

TEST_F(ScreenTextsFit, SignInAndSignUpInEveryLanguage)
{
    const QList<ScreenLook> looks = {
        {QStringLiteral("login"), [] { return windowWith(VelquorShell::kLoginViewControllerIdentifier); }},
        {QStringLiteral("login while signing in"),
         [] {
             return windowWith(VelquorShell::kLoginViewControllerIdentifier, [](VelquorViewController *screen) {
                 static_cast<VelquorLoginViewController *>(screen)->logining(true);
             });
         }},
        {QStringLiteral("sign-up"), [] { return windowWith(VelquorShell::kRegisteViewControllerIdentifier); }},
    };
    const QStringList offenders = textFitOffendersInEveryLanguage(looks);
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ScreenTextsFit, MainViewAndItsPagesInEveryLanguage)
{
    VelquorDownloadDataBaseManager::sharedManager().creatDBWithSerialNumber(
        QStringLiteral("VQ9A00123456"), QString::fromLatin1(standin::demoAccountName));
    const QList<ScreenLook> looks = {
        {QStringLiteral("main view, updates"),
         [this] { return mainView(); },
         {
             {QStringLiteral("card taken out while downloading"),
              [](QWidget *window) {
                  // Without a card the help blinks under the table, beside the progress of the
                  // downloads that go on.
                  VelquorMyUpdatesView *updates = mainViewOf(window)->myUpdatesView();
                  qputenv("VELQUOR_CARD_VOLUMES", QByteArray());
                  updates->reloadSDCard(false);
                  ASSERT_TRUE(waitUntil([&] { return updates->helpButton()->isVisibleTo(window); }));
                  showRowsInEveryState(updates);
              }},
             {QStringLiteral("downloads paused"),
              [](QWidget *window) {
                  VelquorDownloadManager &manager = VelquorDownloadManager::sharedManager();
                  manager.setDownloadPausedModels(
                      {manager.familyModels().at(VelquorDownloadStatePaused).first()->model()});
                  mainViewOf(window)->myUpdatesView()->reloadTotalGroupTask();
              }},
             {QStringLiteral("profile"), [](QWidget *window) { clickTab(window, 1); }},
             {QStringLiteral("feedback"), [](QWidget *window) { clickTab(window, 2); }},
             {QStringLiteral("software management"),
              [](QWidget *window) {
                  clickTab(window, 3);
                  // Half way through an uninstall: the bar and its percentage show beside the button.
                  mainViewOf(window)->softwareManagementView()->unInstallProgress(0.5);
              }},
         }},
    };
    const QStringList offenders = textFitOffendersInEveryLanguage(looks);
    VelquorDownloadManager::sharedManager().setUnInstalling(false);
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char('\n')).toStdString();
}

#include "ShellScreenFixture.h"
#include "session/ShellTestSupport.h"

#include "account/VelquorSupportTicketsView.h"
#include "controls/VelquorSecureTextField.h"
#include "controls/VelquorTabItemButton.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "core/VelquorUserManager.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "session/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorWindow.h"
#include "shell/VelquorWindowController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <thread>

using namespace shelltest;

namespace {

const QString kProSerial = QStringLiteral("VQ9A00123456");
const QString kLiteSerial = QStringLiteral("VQ3B00654321");

QByteArray upgradeAnswer(const VelquorDownloadModelList &records)
{
    QJsonArray upgrade;
    for (const auto &r : records)
        upgrade.append(r->toJson());
    return QJsonDocument(QJsonObject{{"MSG_CODE", 1}, {"MSG_INFO", "OK"}, {"UPGRADE", upgrade}})
        .toJson(QJsonDocument::Compact);
}

class MainViewScreen : public ShellScreenFixture
{
protected:
    // A card is in: without one the updates page lets go of the chosen device and its rows.
    void SetUp() override
    {
        ShellScreenFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(card.path()));
        qputenv("VELQUOR_CARD_VOLUMES", card.path().toUtf8());
    }

    void TearDown() override
    {
        window.reset();
        ShellScreenFixture::TearDown();
    }

    QTemporaryDir card{QDir::tempPath() + QStringLiteral("/SDCARD-XXXXXX")};

    // The main view of a signed-in demo user, in its window, as sign-in leaves it.
    VelquorMainViewController *open()
    {
        VelquorLoginResultModel user;
        user.setUserReName(QString::fromLatin1(standin::demoAccountName));
        VelquorUserManager::sharedManager().saveUserInfo(user);
        window = std::make_unique<VelquorWindow>();
        VelquorAlert::setMainWindow(window.get());
        window->setContentViewController(
            VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kMainViewControllerIdentifier));
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return main();
    }

    VelquorMainViewController *main() const
    {
        return window ? qobject_cast<VelquorMainViewController *>(window->contentViewController()) : nullptr;
    }

    // Waits until the devices are loaded and the cover is gone.
    bool loaded() const
    {
        return waitUntil([&] { return !main()->isInitializing(); }, 10000);
    }

    // Asks for a device's update list the way the updates page does.
    void chooseDevice(const QString &serial, qint64 serialID, const QString &product)
    {
        const auto refresh = main()->myUpdatesView()->refreshCompletion();
        ASSERT_TRUE(refresh);
        refresh(serial, serialID, product, true);
    }

    bool allAnswered(const QString &operation, size_t count)
    {
        const bool answered = waitUntil(
            [&] {
                const auto requests = requestsTo(operation);
                return requests.size() >= count &&
                       std::all_of(requests.begin(), requests.end(), [](const auto &r) { return r.status != 0; });
            },
            10000);
        waitUntil([] { return false; }, 300); // time for a late answer to be handled, were it not dropped
        return answered;
    }

    void clickTab(int index)
    {
        VelquorTabItemButton *button = main()->tabView()->itemButtons().value(index);
        ASSERT_TRUE(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::unique_ptr<VelquorWindow> window;
};

} // namespace

TEST_F(MainViewScreen, SigningInShowsFourTabsOverTheAccountsDevicesAndKeepsEveryPage)
{
    VelquorWindowController controller;
    controller.windowDidLoad();
    auto *login = qobject_cast<VelquorLoginViewController *>(controller.window()->contentViewController());
    ASSERT_TRUE(login);
    QTest::keyClicks(login->accountField(), standin::demoAccountName);
    QTest::keyClicks(login->passwordField()->secureTextField(), standin::demoAccountPassword);
    QTest::mouseClick(login->loginButton(), Qt::LeftButton);

    VelquorMainViewController *screen = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            screen = qobject_cast<VelquorMainViewController *>(controller.window()->contentViewController());
            return screen != nullptr;
        },
        10000));
    EXPECT_EQ(VelquorAlert::mainWindow(), controller.window());
    EXPECT_EQ(screen->titleBarView()->titleLabel()->text(), "Velquor V1.0.0");
    EXPECT_EQ(screen->bottomView()->footerLabel()->text(), text("App3"));
    EXPECT_EQ(screen->bottomView()->comLabel()->text(), text("App4"));

    ASSERT_TRUE(waitUntil([&] { return !screen->isInitializing(); }, 10000));
    QStringList captions;
    for (VelquorTabItemButton *button : screen->tabView()->itemButtons())
        captions.append(button->caption());
    EXPECT_EQ(captions, QStringList({text("Main1"), text("Main3"), text("Main4"), text("Main7")}));
    EXPECT_EQ(screen->tabView()->currentItemIndex(), 0);
    EXPECT_EQ(screen->tabView()->scrollView()->widget(), screen->myUpdatesView());

    // The devices, sorted for the device box, handed to the updates page with its two callbacks.
    const auto list = screen->listModel();
    EXPECT_EQ(list->serialNumbers(), QStringList({kLiteSerial, kProSerial}));
    EXPECT_EQ(list->serialIDs(), QList<qint64>({1002, 1001}));
    EXPECT_EQ(list->productNames(), QStringList({"VQ300 LITE", "VQ900 PRO"}));
    EXPECT_EQ(screen->myUpdatesView()->myUpdatesModel(), list);
    EXPECT_TRUE(screen->myUpdatesView()->refreshCompletion());
    EXPECT_TRUE(screen->myUpdatesView()->deleteRefresh());
    EXPECT_TRUE(messages.isEmpty());

    // The feedback tab offers the account's products; the page left behind stays inside the window.
    QPointer<VelquorMyUpdatesView> updates = screen->myUpdatesView();
    QTest::mouseClick(screen->tabView()->itemButtons().at(2), Qt::LeftButton);
    EXPECT_EQ(screen->tabView()->scrollView()->widget(), screen->supportTicketsView());
    EXPECT_EQ(screen->supportTicketsView()->ticketsModel().scanners(), QStringList({"VQ900 PRO", "VQ300 LITE"}));
    EXPECT_EQ(screen->supportTicketsView()->geometry(), QRect(0, 0, 1140, 724 - 44 - 25 - 44));
    ASSERT_TRUE(updates);
    EXPECT_FALSE(updates->isWindow());
    EXPECT_TRUE(updates->isHidden());
    EXPECT_EQ(updates->window(), controller.window());

    QTest::mouseClick(screen->tabView()->itemButtons().at(0), Qt::LeftButton);
    EXPECT_EQ(screen->tabView()->scrollView()->widget(), updates.data());
    EXPECT_TRUE(updates->isVisible());
}

TEST_F(MainViewScreen, AFailedDeviceListShowsItsSheetThenUncoversEmptyPages)
{
    struct Row
    {
        const char *name;
        std::function<void(standin::StandinServer &)> arrange;
        QString messageKey;
    };
    const Row rows[] = {
        {"no device (code 2)",
         [](standin::StandinServer &s) {
             s.setOperation("UserProductInformation",
                            [](const auto &) { return QByteArray(R"({"MSG_CODE":2,"MSG_INFO":"NO_PRODUCT"})"); });
         },
         "UpdateHint3"},
        {"transport failure",
         [](standin::StandinServer &s) {
             standin::Fault fault;
             fault.status = 503;
             s.setFault("/webs/WebService.asmx/UserProductInformation", fault);
         },
         "UpdateHint2"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        standin::installDemoService(server, QString());
        server.clearFaults();
        row.arrange(server);
        messages.clear();
        open();
        EXPECT_TRUE(main()->isInitializing());
        ASSERT_TRUE(waitUntil([&] { return !messages.isEmpty(); }, 10000));
        EXPECT_EQ(messages, QStringList{text(row.messageKey)});
        ASSERT_TRUE(loaded());
        EXPECT_TRUE(main()->allSerialNumbers().isEmpty());
        EXPECT_FALSE(main()->myUpdatesView()->myUpdatesModel());
        window.reset();
    }
}

TEST_F(MainViewScreen, UpdateListAnswersAreAppliedOnlyForTheLatestChoice)
{
    server.setOperation("ProductUpdateInformation", [](const standin::LoggedRequest &request) {
        switch (request.json.toObject().value("serialid").toInt()) {
        case 1001:
            // The first device's answer arrives after the second device's.
            QThread::msleep(700);
            return upgradeAnswer({record("BENZ", "V12.10", "Vehicles/Europe/BENZ", "English")});
        case 1002:
            return upgradeAnswer({record("HONDA", "V11.40", "Vehicles/Asia/HONDA", "English")});
        case 7:
            return upgradeAnswer({});
        default:
            return QByteArray(R"({"MSG_CODE":0})");
        }
    });
    open();
    ASSERT_TRUE(loaded());

    chooseDevice(kProSerial, 1001, "VQ900 PRO");
    EXPECT_TRUE(main()->isInitializing());
    // The page may ask from a worker thread; the request still goes out from the GUI thread.
    const auto refresh = main()->myUpdatesView()->refreshCompletion();
    std::thread([&] { refresh(kLiteSerial, 1002, "VQ300 LITE", true); }).join();
    ASSERT_TRUE(allAnswered("ProductUpdateInformation", 2));

    EXPECT_EQ(describe(main()->listModel()->familyModels()), QStringList{"HONDA [HONDA, ACURA] = HONDA V11.40"});
    EXPECT_EQ(main()->listModel()->serialNumber(), kLiteSerial);
    EXPECT_EQ(main()->listModel()->serialID(), 1002);
    EXPECT_EQ(VelquorDownloadManager::sharedManager().productName(), "VQ300 LITE");
    EXPECT_FALSE(main()->isInitializing());
    EXPECT_TRUE(messages.isEmpty());

    // An empty list, then a failed request: their sheets, each uncovering the pages when it ends.
    chooseDevice("EMPTY", 7, "VQ100 MINI");
    ASSERT_TRUE(waitUntil([&] { return messages.size() == 1; }, 10000));
    EXPECT_EQ(messages.last(), text("UpdateHint12"));
    EXPECT_TRUE(main()->listModel()->familyModels().isEmpty());
    EXPECT_TRUE(waitUntil([&] { return !main()->isInitializing(); }));

    standin::Fault fault;
    fault.status = 503;
    server.setFault("/webs/WebService.asmx/ProductUpdateInformation", fault);
    chooseDevice(kProSerial, 1001, "VQ900 PRO");
    ASSERT_TRUE(waitUntil([&] { return messages.size() == 2; }, 10000));
    EXPECT_EQ(messages.last(), text("UpdateHint4"));
    EXPECT_TRUE(waitUntil([&] { return !main()->isInitializing(); }));
}

TEST_F(MainViewScreen, ClosingAsksWhileAnythingDownloadsOrInstalls)
{
    answerAlerts = false;
    open();
    ASSERT_TRUE(loaded());
    auto &database = VelquorDownloadDataBaseManager::sharedManager();
    database.creatDBWithSerialNumber(kProSerial, standin::demoAccountName);
    auto downloading = record("BENZ", "V12.35", "Vehicles/Europe/BENZ", "English");
    downloading->setVehicle("BENZ");
    downloading->setUrl("files/BENZ/BENZ_V12.35_EN.zip");
    downloading->setState(1);
    database.insertModel(downloading);

    // The title band's close button asks first; Cancel keeps the window.
    QTest::mouseClick(main()->titleBarView()->closeButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return shownAlerts.size() == 1; }));
    EXPECT_EQ(messages.last(), text("UpdateHint11"));
    ASSERT_TRUE(shownAlerts.last());
    EXPECT_EQ(shownAlerts.last()->okButton()->text(), text("Update26"));
    EXPECT_EQ(shownAlerts.last()->cancelButton()->text(), text("Update27"));
    EXPECT_EQ(shownAlerts.last()->parentWidget(), window.get());
    // Asked once, however often closing is tried meanwhile.
    window->close();
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(shownAlerts.size(), 1);
    QTest::mouseClick(shownAlerts.last()->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    database.deleteAll();

    // A vehicle queued for extraction, or a row extracting or waiting to install, asks as well,
    // also when the window manager closes the window.
    auto extracting = VelquorVehicleFamilyModel::create();
    extracting->setModel(record("TOYOTA", "V20.10"));
    extracting->model()->setState(6);
    const std::function<void()> busy[] = {
        [] { VelquorDownloadManager::sharedManager().addVehicle("HONDA"); },
        [&] { VelquorDownloadManager::sharedManager().setFamilyModels({{extracting}}); },
        [&] {
            extracting->model()->setState(7);
            VelquorDownloadManager::sharedManager().setFamilyModels({{extracting}});
        },
    };
    for (const auto &makeBusy : busy) {
        SCOPED_TRACE(&makeBusy - busy);
        VelquorDownloadManager::sharedManager().setVehicles({});
        VelquorDownloadManager::sharedManager().setFamilyModels({});
        makeBusy();
        const qsizetype before = shownAlerts.size();
        window->close();
        ASSERT_TRUE(waitUntil([&] { return shownAlerts.size() == before + 1; }));
        EXPECT_EQ(messages.last(), text("UpdateHint11"));
        shownAlerts.last()->closeAction();
        EXPECT_TRUE(window->isVisible());
    }

    // OK closes the window, and with the last window the application quits.
    answerAlerts = true;
    auto &application = *qobject_cast<QApplication *>(QCoreApplication::instance());
    QSignalSpy lastWindowClosed(&application, &QGuiApplication::lastWindowClosed);
    QTimer::singleShot(0, window.get(), [&] { window->close(); });
    EXPECT_EQ(execUntilQuit(10000), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(lastWindowClosed.count(), 1);
    EXPECT_EQ(messages.last(), text("UpdateHint11"));

    // Nothing in progress: the window closes at once.
    VelquorDownloadManager::sharedManager().setVehicles({});
    VelquorDownloadManager::sharedManager().setFamilyModels({});
    open();
    ASSERT_TRUE(loaded());
    const qsizetype before = shownAlerts.size();
    QTest::mouseClick(main()->titleBarView()->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(shownAlerts.size(), before);
}

TEST_F(MainViewScreen, TheFeedbackFormStaysAsTheUserLeftItWhenTheDevicesArriveAgain)
{
    open();
    ASSERT_TRUE(loaded());
    clickTab(2);
    VelquorSupportTicketsView *page = main()->supportTicketsView();
    ASSERT_TRUE(page->isVisible());
    const auto choose = [](QComboBox *box, const QString &wanted) {
        box->setFocus();
        for (int i = 0; i <= box->count() && box->currentText() != wanted; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        return box->currentText() == wanted;
    };
    QTest::keyClicks(page->subjectSearchField(), "Live data freezes");
    ASSERT_TRUE(choose(page->scannerComboBox(), "VQ300 LITE"));
    ASSERT_TRUE(waitUntil([&] { return page->ticketsModel().productID() == 12; }, 10000));
    page->softwareComboBox()->showPopup();
    ASSERT_TRUE(waitUntil([&] { return page->softwareComboBox()->count() == 4; }, 10000));
    page->softwareComboBox()->hidePopup();
    ASSERT_TRUE(choose(page->softwareComboBox(), "TOYOTA"));
    QTest::keyClicks(page->vinSearchField(), "JTDBR32E720123456");

    // The devices are loaded again while the feedback tab is current: the tab is drawn anew, not shown.
    main()->requestProductWithAlert(true);
    ASSERT_TRUE(allAnswered("UserProductInformation", 2));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(page->subjectSearchField()->text(), "Live data freezes");
    EXPECT_EQ(page->vinSearchField()->text(), "JTDBR32E720123456");
    EXPECT_EQ(page->scannerComboBox()->currentText(), "VQ300 LITE");
    EXPECT_EQ(page->ticketsModel().productID(), 12);
    EXPECT_EQ(page->softwareComboBox()->currentText(), "TOYOTA");
    EXPECT_EQ(page->ticketsModel().softwares(), (QStringList{"OS-SOFTWARE", "BENZ", "TOYOTA", "HONDA"}));
    EXPECT_EQ(page->ticketsModel().scanners(), QStringList({"VQ900 PRO", "VQ300 LITE"}));

    // Showing the tab again starts afresh.
    clickTab(1);
    clickTab(2);
    EXPECT_TRUE(page->subjectSearchField()->text().isEmpty());
    EXPECT_TRUE(page->scannerComboBox()->currentText().isEmpty());
    EXPECT_FALSE(page->ticketsModel().productID());
    EXPECT_EQ(page->softwareComboBox()->count(), 0);
}

TEST_F(MainViewScreen, CardEventsReloadOnlyWhatTheCurrentTabShows)
{
    QTemporaryDir work;
    const QString table = work.filePath("mountinfo");
    const QByteArray root = "26 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
    const QByteArray withCard = root + "43 26 8:17 / /media/user/CARD rw - vfat /dev/sdb1 rw\n";
    const QByteArray withTwoCards = withCard + "44 26 8:33 / /media/user/CARD2 rw - vfat /dev/sdc1 rw\n";
    auto writeTable = [&](const QByteArray &text) {
        QFile file(table);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    writeTable(root);
    VelquorDeviceManager &devices = VelquorDeviceManager::sharedManager();
    devices.setMountInfoPath(table);
    devices.addObservers();

    // The answer to the first card's request comes late, after the second card's.
    const auto calls = std::make_shared<std::atomic<int>>(0);
    server.setOperation("UserProductInformation", [calls](const standin::LoggedRequest &) {
        const int call = ++*calls;
        if (call == 2)
            QThread::msleep(700);
        const QString serial = call == 1 ? kProSerial : call == 2 ? QStringLiteral("LATE") : QStringLiteral("NEW");
        return QJsonDocument(QJsonObject{{"MSG_CODE", 1},
                                         {"PRODUCT_INFO", QJsonArray{QJsonObject{{"serial_number", serial},
                                                                                 {"serial_id", "5"},
                                                                                 {"product_name", "VQ900 PRO"},
                                                                                 {"product_id", "11"}}}}})
            .toJson(QJsonDocument::Compact);
    });
    open();
    ASSERT_TRUE(loaded());
    ASSERT_EQ(requestsTo("UserProductInformation").size(), 1u);

    // Cards inserted while the updates tab is current: the devices are loaded again, under the cover.
    writeTable(withCard);
    devices.checkMountsNow();
    EXPECT_TRUE(main()->isInitializing());
    ASSERT_TRUE(waitUntil([&] { return calls->load() == 2; }, 10000));
    writeTable(withTwoCards);
    devices.checkMountsNow();
    ASSERT_TRUE(allAnswered("UserProductInformation", 3));
    EXPECT_FALSE(main()->isInitializing());
    EXPECT_EQ(main()->listModel()->serialNumbers(), QStringList{"NEW"});
    EXPECT_EQ(main()->allSerialNumbers(), QStringList{"NEW"});
    EXPECT_TRUE(messages.isEmpty());

    // On the feedback tab neither removing nor inserting a card changes anything.
    clickTab(2);
    writeTable(root);
    devices.checkMountsNow();
    writeTable(withCard);
    devices.checkMountsNow();
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(requestsTo("UserProductInformation").size(), 3u);
    EXPECT_EQ(main()->tabView()->currentItemIndex(), 2);
    EXPECT_EQ(main()->tabView()->scrollView()->widget(), main()->supportTicketsView());
    EXPECT_FALSE(main()->isInitializing());

    window.reset();
    EXPECT_EQ(devices.delegate(), nullptr);
}

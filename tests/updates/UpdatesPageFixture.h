#pragma once

#include "SharedState.h"
#include "support/TestEnvironment.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorComboBox.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "core/VelquorUserManager.h"
#include "platform/NotificationCenter.h"
#include "session/VelquorMainViewModel.h"
#include "session/VelquorProductListComposer.h"
#include "session/VelquorUpdateListLoader.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"
#include "updates/VelquorCardChoice.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace updatestest {

inline const QString kProDevice = QStringLiteral("VQ9A00123456");
inline const QString kLiteDevice = QStringLiteral("VQ3B00654321");
inline const QString kAccount = QStringLiteral("demo");

// A record of the download or install table.
inline VelquorDownloadModelPtr record(const QString &vehicle, qint64 state, const QString &url = {})
{
    auto model = VelquorDownloadModel::create();
    model->setSoftware(vehicle);
    model->setVehicle(vehicle);
    model->setVersion(QStringLiteral("V1.00"));
    model->setLanguage(QStringLiteral("English"));
    model->setSdPath(QStringLiteral("Vehicles/Test/") + vehicle);
    model->setFilePath(QStringLiteral("files/%1.zip").arg(vehicle));
    model->setUrl(url.isEmpty() ? QStringLiteral("http://127.0.0.1:1/files/%1.zip").arg(vehicle) : url);
    model->setState(state);
    return model;
}

// One shown row holding `records` of one vehicle.
inline VelquorVehicleFamilyGroup group(const VelquorDownloadModelList &records, double height = 120)
{
    VelquorVehicleFamilyGroup rows;
    for (const auto &r : records) {
        auto family = VelquorVehicleFamilyModel::create();
        family->setVehicle(r->vehicle());
        family->setSubVehicles({r->vehicle()});
        family->setModel(r);
        family->setHeight(height);
        rows.append(family);
    }
    return rows;
}

// The updates page signed in to the in-process demo service, with card folders given as card
// volumes (and no real volume). The main view's part is played here: the products and the chosen
// device's update list are loaded and composed as it does and handed to the page.
class UpdatesPageFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clearSharedState();
        progressObservers = progressObserverCount();
        ASSERT_TRUE(server.start());
        standin::installDemoService(server, QString());
        qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());

        QFile mountInfo(cards.filePath("mountinfo"));
        ASSERT_TRUE(mountInfo.open(QIODevice::WriteOnly));
        mountInfo.close();
        VelquorDeviceManager::sharedManager().setMountInfoPath(mountInfo.fileName());
        setCardFolders({QStringLiteral("SDCARD")});

        VelquorUserManager::sharedManager().saveAccountName(kAccount);
        VelquorLoginResultModel user;
        user.setUserReName(kAccount);
        ASSERT_TRUE(VelquorUserManager::sharedManager().saveUserInfo(user));

        VelquorAlert::setPresentationHook([this](VelquorAlert *alert) {
            shownAlerts.append(alert);
            if (answerAlerts)
                alert->done(VelquorAlert::OKReturnCode);
        });

        VelquorCardChoice::setDirectoryChooser(
            [this](QWidget *, const QString &message, const QString &, const QString &) { accessAsked.append(message); });

        page = std::make_unique<VelquorMyUpdatesView>();
        page->resize(1140, 636);
        page->setRefreshCompletion([this](const QString &serial, std::optional<qint64> serialID,
                                          const QString &productName, bool refresh) {
            ++refreshRequests;
            list->setSerialNumber(serial);
            list->setSerialID(serialID);
            list->setProductName(productName);
            list->setRefresh(refresh);
            loader.reloadHomeData(list, [this](const auto &) {
                // Shown after the loader is done with it; dropped with the page (and this case).
                QMetaObject::invokeMethod(
                    page.get(),
                    [this] {
                        ++deliveries;
                        page->setMyUpdatesModel(list);
                    },
                    Qt::QueuedConnection);
            });
        });
        page->show();
    }

    void TearDown() override
    {
        page.reset();
        VelquorAlert::setPresentationHook(nullptr);
        VelquorCardChoice::setDirectoryChooser(nullptr);
        EXPECT_TRUE(accessAsked.isEmpty()) << "the card folders are writable";
        EXPECT_EQ(progressObserverCount(), progressObservers) << "the page stops observing as it goes";
        clearSharedState();
    }

    // The folders (created under the card directory) offered as card volumes, in order.
    void setCardFolders(const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names) {
            QDir().mkpath(cards.filePath(name));
            paths.append(cards.filePath(name));
        }
        qputenv("VELQUOR_CARD_VOLUMES", paths.join(QLatin1Char(':')).toUtf8());
    }
    QString cardPath(const QString &name = QStringLiteral("SDCARD")) const { return cards.filePath(name); }

    // A package as it stands on the card after installation: version file and language file.
    void installOnCard(const QString &sdPath, const QString &version, const QString &card = QStringLiteral("SDCARD"))
    {
        const QString directory = cards.filePath(card + QLatin1Char('/') + sdPath);
        QDir().mkpath(directory);
        QFile versionFile(directory + QStringLiteral("/VERSION.TXT"));
        ASSERT_TRUE(versionFile.open(QIODevice::WriteOnly));
        versionFile.write(version.toUtf8());
        versionFile.close();
        QFile language(directory + QStringLiteral("/english.cfg"));
        ASSERT_TRUE(language.open(QIODevice::WriteOnly));
        language.write("LANGUAGE=English\r\n");
    }

    // An install record of the device's tables.
    static void recordInstalled(const QString &vehicle, const QString &version, const QString &sdPath)
    {
        auto installed = record(vehicle, VelquorDownloadStateInstalled);
        installed->setVersion(version);
        installed->setSdPath(sdPath);
        VelquorDownloadDataBaseManager::sharedManager().insertModelForInstall(installed);
    }

    static void openTables(const QString &serial = kProDevice)
    {
        VelquorDownloadDataBaseManager::sharedManager().creatDBWithSerialNumber(serial, kAccount);
    }

    // The account's devices, as the main view composes them after sign-in, handed to the page.
    void loadProducts()
    {
        std::atomic<bool> answered{false};
        VelquorProductListComposer::Result result;
        VelquorMainViewModel viewModel;
        viewModel.requestProductSerialNumbersWithCompletion([&](auto answer, const auto &) {
            result = VelquorProductListComposer::compose(answer);
            answered = true;
        });
        ASSERT_TRUE(waitUntil([&] { return answered.load(); }, 10000));
        ASSERT_TRUE(result.alertKey.isEmpty()) << result.alertKey.toStdString();
        VelquorProductListComposer::apply(result, *list);
        page->setMyUpdatesModel(list);
    }

    // Chooses the item that begins with this text in the box's list as the user does: open it and
    // click the item. A card's free space may change between two readings, so cards go by name.
    static void choose(VelquorComboBox *box, const QString &text)
    {
        box->showPopup();
        const int index = box->findText(text, Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << text.toStdString();
        QAbstractItemView *view = box->view();
        ASSERT_TRUE(waitUntil([&] { return view->isVisible(); }));
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        waitUntil([&] { return !view->isVisible(); }, 1000);
    }

    // The items the box offers when it is opened.
    static QStringList itemsOf(VelquorComboBox *box)
    {
        box->reloadData();
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
        return items;
    }

    static int progressObserverCount()
    {
        return NotificationCenter::workspace().observerCount(QString::fromLatin1(VelquorDownload::ProgressNotification));
    }

    static QString text(const QString &key) { return VelquorCommonTool::sharedTool().localizedString(key); }
    static VelquorDownloadManager &manager() { return VelquorDownloadManager::sharedManager(); }
    static VelquorDownloadDataBaseManager &database() { return VelquorDownloadDataBaseManager::sharedManager(); }

    standin::StandinServer server;
    QTemporaryDir cards;
    std::shared_ptr<VelquorMyUpdatesListModel> list = std::make_shared<VelquorMyUpdatesListModel>();
    VelquorUpdateListLoader loader;
    std::unique_ptr<VelquorMyUpdatesView> page;
    std::atomic<int> refreshRequests{0};
    std::atomic<int> deliveries{0};
    QList<QPointer<VelquorAlert>> shownAlerts;
    bool answerAlerts = true;
    QStringList accessAsked;
    int progressObservers = 0;
};

} // namespace updatestest

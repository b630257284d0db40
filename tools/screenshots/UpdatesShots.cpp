// The updates page: vehicle rows in their states under the overall progress, and the page without a
// card. The page reads a card folder and a database of its own, in a private home of this process.
#include "ShotRegistry.h"

#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

namespace {

const QString kSerial = QStringLiteral("VQ9A00123456");

// A home, a card folder and an empty mount table, so only the card folder is offered.
QTemporaryDir &sandbox()
{
    static QTemporaryDir directory;
    static const bool made = [] {
        qputenv("HOME", directory.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        QDir(directory.path()).mkpath(QStringLiteral("SDCARD"));
        QFile mountInfo(directory.filePath(QStringLiteral("mountinfo")));
        mountInfo.open(QIODevice::WriteOnly);
        VelquorDeviceManager::sharedManager().setMountInfoPath(mountInfo.fileName());
        return true;
    }();
    Q_UNUSED(made);
    return directory;
}

void offerCard(bool present)
{
    qputenv("VELQUOR_CARD_VOLUMES", present ? sandbox().filePath(QStringLiteral("SDCARD")).toUtf8() : QByteArray());
}

std::shared_ptr<VelquorMyUpdatesListModel> listModel()
{
    auto list = std::make_shared<VelquorMyUpdatesListModel>();
    list->setSerialNumbers({QStringLiteral("VQ3B00654321"), kSerial});
    list->setSerialIDs({1002, 1001});
    list->setProductNames({QStringLiteral("VQ300 LITE"), QStringLiteral("VQ900 PRO")});
    list->setSerialNumber(kSerial);
    list->setSerialID(1001);
    list->setProductName(QStringLiteral("VQ900 PRO"));
    return list;
}

struct Package
{
    const char *vehicle;
    const char *version;
    const char *language;
    const char *sdPath;
    qint64 state;
    double progress;
};

VelquorVehicleFamilyGroup rowOf(const Package &package, qint64 now)
{
    auto record = VelquorDownloadModel::create();
    record->setSoftware(QString::fromLatin1(package.vehicle));
    record->setVehicle(QString::fromLatin1(package.vehicle));
    record->setVersion(QString::fromLatin1(package.version));
    record->setReleaseVerion(QStringLiteral("%1 (2024)").arg(QString::fromLatin1(package.version)));
    record->setLanguage(QString::fromLatin1(package.language));
    record->setSdPath(QString::fromLatin1(package.sdPath));
    record->setUpdateInfo(QStringLiteral("New: coverage for the latest model year\nFixed: service reset on some models"));
    record->setUrl(QStringLiteral("http://127.0.0.1:8080/files/%1.zip").arg(QString::fromLatin1(package.vehicle)));
    record->setIsUpdate(true);
    record->setState(package.state);
    record->setProgress(package.progress);
    record->setTotalFileSize(48200000);
    record->setSpeed(1500000);
    record->setLastSpeedTime(double(now));
    auto &database = VelquorDownloadDataBaseManager::sharedManager();
    database.insertModel(record);
    if (package.state == VelquorDownloadStateInstalled)
        database.insertModelForInstall(record);
    auto family = VelquorVehicleFamilyModel::create();
    family->setVehicle(record->vehicle());
    family->setSubVehicles({record->vehicle()});
    family->setModel(record);
    family->setHeight(120);
    return {family};
}

void waitFor(const std::function<bool()> &ready)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready() && timer.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

std::unique_ptr<QWidget> pageWithRows()
{
    sandbox();
    offerCard(true);
    auto &database = VelquorDownloadDataBaseManager::sharedManager();
    database.creatDBWithSerialNumber(kSerial, QStringLiteral("demo"));
    database.deleteAll();
    const qint64 now = VelquorDownloadDataBaseManager::currentTimeMicroseconds();
    const Package packages[] = {
        {"BENZ", "V12.35", "English/German", "Vehicles/Europe/BENZ", VelquorDownloadStateNone, 0},
        {"BMW", "V15.02", "English", "Vehicles/Europe/BMW", VelquorDownloadStateDownloading, 0.42},
        {"TOYOTA", "V20.10", "English", "Vehicles/Asia/TOYOTA", VelquorDownloadStatePaused, 0.63},
        {"VW", "V8.20", "English", "Vehicles/Europe/VW", VelquorDownloadStateExtracting, 0.8},
        {"HONDA", "V11.40", "English", "Vehicles/Asia/HONDA", VelquorDownloadStateInstalled, 1},
        {"FORD", "V30.00", "English", "Vehicles/America/FORD", VelquorDownloadStateInstallFailed, 0},
    };
    QList<VelquorVehicleFamilyGroup> rows;
    for (const Package &package : packages)
        rows.append(rowOf(package, now));

    // Taller than in the window, so that all six rows show at once.
    auto page = std::make_unique<VelquorMyUpdatesView>();
    page->resize(1140, 880);
    page->setMyUpdatesModel(listModel());
    VelquorDownloadManager::sharedManager().setFamilyModels(rows);
    page->displayUpdateView(true);
    page->reloadAllData();
    return page;
}

std::unique_ptr<QWidget> pageWithoutCard()
{
    sandbox();
    offerCard(false);
    VelquorDownloadDataBaseManager::sharedManager().creatDBWithSerialNumber(QStringLiteral("VQ-NO-CARD"),
                                                                           QStringLiteral("demo"));
    VelquorDownloadManager::sharedManager().setFamilyModels({});
    auto page = std::make_unique<VelquorMyUpdatesView>();
    page->resize(1140, 636);
    page->setMyUpdatesModel(listModel());
    page->displayUpdateView(false);
    return page;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    registry.add("updates", "page", pageWithRows, [](QWidget *widget) {
        auto *page = static_cast<VelquorMyUpdatesView *>(widget);
        waitFor([page] { return !page->devices().isEmpty() && page->progressLabel()->isVisible(); });
    });
    registry.add("updates", "page-no-card", pageWithoutCard, [](QWidget *widget) {
        auto *page = static_cast<VelquorMyUpdatesView *>(widget);
        waitFor([page] { return page->isHelpBlinking(); });
    });
}

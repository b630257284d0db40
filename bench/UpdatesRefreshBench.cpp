// One tick of the updates page's 1-second refresh (the table reloaded, the rows whose downloads
// moved set up again, the overall progress with its database reads), for 30 and for 300 vehicle
// rows. The target: a 300-row tick within one frame (16 ms).
#include "BenchSupport.h"

#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "controls/VelquorTableView.h"
#include "updates/VelquorMyUpdatesView.h"
#include "updates/VelquorProgressRefresh.h"

#include <QApplication>

#include <algorithm>
#include <vector>

namespace {

// Three packages per vehicle, in the states a busy afternoon leaves: installed, downloading,
// waiting, paused, waiting to be installed.
QList<VelquorVehicleFamilyGroup> fill(VelquorDownloadDataBaseManager &database, int vehicles)
{
    const qint64 states[] = {8, 1, 2, 3, 7};
    const qint64 now = VelquorDownloadDataBaseManager::currentTimeMicroseconds();
    QList<VelquorVehicleFamilyGroup> rows;
    for (int v = 0; v < vehicles; ++v) {
        const QString vehicle = QStringLiteral("VEHICLE%1").arg(v, 3, 10, QLatin1Char('0'));
        const qint64 state = states[v % 5];
        VelquorVehicleFamilyGroup group;
        for (int p = 0; p < 3; ++p) {
            auto record = VelquorDownloadModel::create();
            record->setSoftware(QStringLiteral("%1_%2").arg(vehicle).arg(p));
            record->setVehicle(vehicle);
            record->setVersion(QStringLiteral("V%1.%2").arg(10 + p).arg(v % 100));
            record->setReleaseVerion(QStringLiteral("V%1 (2024)").arg(10 + p));
            record->setLanguage(p == 0 ? QStringLiteral("English") : QStringLiteral("German"));
            record->setSdPath(QStringLiteral("Vehicles/Europe/") + vehicle);
            record->setUpdateInfo(QStringLiteral("New: coverage for the latest model year\nFixed: service reset"));
            record->setUrl(QStringLiteral("http://127.0.0.1:1/files/%1_%2.zip").arg(vehicle).arg(p));
            record->setIsUpdate(true);
            record->setState(state);
            record->setProgress(0.37);
            record->setTotalFileSize(123456789);
            record->setSpeed(250000);
            record->setLastSpeedTime(double(now));
            database.insertModel(record);
            auto family = VelquorVehicleFamilyModel::create();
            family->setVehicle(vehicle);
            family->setSubVehicles({vehicle});
            family->setModel(record);
            family->setHeight(120);
            group.append(family);
        }
        // Every vehicle was installed once before, in this or an earlier version.
        database.insertModelForInstall(group.first()->model());
        rows.append(group);
    }
    return rows;
}

double medianTickMs(VelquorMyUpdatesView &page, const QString &serial, int vehicles)
{
    auto &database = VelquorDownloadDataBaseManager::sharedManager();
    database.creatDBWithSerialNumber(serial, QStringLiteral("bench"));
    VelquorDownloadManager::sharedManager().setFamilyModels(fill(database, vehicles));
    page.progressRefresh()->tick(); // the row views are made once
    QApplication::processEvents();
    std::vector<double> ticks;
    for (int i = 0; i < 25; ++i) {
        // A second later the downloading rows have moved on.
        for (const auto &group : VelquorDownloadManager::sharedManager().familyModels())
            for (const auto &family : group)
                if (family->model()->state() == VelquorDownloadStateDownloading)
                    family->model()->setProgress(family->model()->progress() + 0.001);
        ticks.push_back(bench::timed([&] { page.progressRefresh()->tick(); }) * 1000);
        QApplication::processEvents();
    }
    std::sort(ticks.begin(), ticks.end());
    // Its two halves, with no row moving (an unchanged row is not set up again).
    std::vector<double> table, total;
    for (int i = 0; i < 25; ++i) {
        table.push_back(bench::timed([&] { page.tableView()->reloadData(); }) * 1000);
        total.push_back(bench::timed([&] { page.reloadTotalGroupTask(); }) * 1000);
        QApplication::processEvents();
    }
    std::sort(table.begin(), table.end());
    std::sort(total.begin(), total.end());
    const QByteArray label = QByteArray::number(vehicles) + " rows";
    bench::report(("  " + label + ": table reload, no row changed").constData(), table[12], "ms");
    bench::report(("  " + label + ": overall progress with its reads").constData(), total[12], "ms");
    return ticks[ticks.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    bench::privateHome();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    VelquorMyUpdatesView page;
    page.resize(1140, 636);
    page.show();

    const double small = medianTickMs(page, QStringLiteral("BENCH30"), 30);
    const double large = medianTickMs(page, QStringLiteral("BENCH300"), 300);

    bench::report("refresh tick, 30 rows (90 downloads, 30 installs): median", small, "ms");
    bench::report("refresh tick, 300 rows (900 downloads, 300 installs): median", large, "ms");
    bench::report("growth 300 / 30 rows", large / small, "");
    bench::report("target for 300 rows", 16, "ms");
    DispatchQueue::shutdownAll();
    return large < 16 ? 0 : 3;
}

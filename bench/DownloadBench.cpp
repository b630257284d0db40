// Download of a 1 GiB file from the stand-in over loopback by the download manager against
// `curl -o`, and the peak memory while three 1 GiB vehicles download at once.
#include "BenchSupport.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "standin/StandinServer.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSemaphore>

#include <condition_variable>
#include <mutex>

namespace {

constexpr qint64 FileSize = qint64(1) << 30;

struct Completions
{
    std::mutex mutex;
    std::condition_variable changed;
    QStringList vehicles;

    void waitFor(const QStringList &expected)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] {
            for (const QString &vehicle : expected) {
                if (!vehicles.contains(vehicle))
                    return false;
            }
            return true;
        });
    }
};

void addVehicle(const QString &vehicle, const QString &url)
{
    auto row = VelquorDownloadModel::create();
    row->setSoftware(vehicle);
    row->setVehicle(vehicle);
    row->setUrl(url);
    row->setZipPath(VelquorCommonTool::sharedTool().get7ZResourcePath(url));
    row->setState(VelquorDownloadStateWaiting);
    row->setExpectedContentLength(FileSize);
    row->setTotalFileSize(FileSize);
    row->setRatio(1);
    VelquorDownloadDataBaseManager::sharedManager().insertModel(row);
}

// The floor set by Qt: one plain QNetworkAccessManager GET on a queue thread, streamed to a file.
double plainQtDownload(const QString &url, const QString &path)
{
    DispatchQueue queue(QStringLiteral("bench.plainQt"));
    QSemaphore done;
    QElapsedTimer timer;
    timer.start();
    queue.async([&] {
        auto *network = new QNetworkAccessManager(queue.context());
        auto *file = new QFile(path, network);
        file->open(QIODevice::WriteOnly);
        QNetworkRequest request{QUrl(url)};
        request.setRawHeader("Accept-Encoding", "identity");
        QNetworkReply *reply = network->get(request);
        reply->setReadBufferSize(1024 * 1024);
        QObject::connect(reply, &QNetworkReply::readyRead, network, [reply, file] { file->write(reply->readAll()); });
        QObject::connect(reply, &QNetworkReply::finished, network, [&, reply, file, network] {
            file->write(reply->readAll());
            file->close();
            network->deleteLater();
            done.release();
        });
    });
    done.acquire();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    bench::privateHome();
    QCoreApplication app(argc, argv);
    AppInfo::applyToApplication();

    QTemporaryDir served(QDir::tempPath() + QStringLiteral("/velquor-bench-served-XXXXXX"));
    const QString original = served.filePath(QStringLiteral("files/BIG_V1.00.zip"));
    if (!bench::writeRandomFile(original, FileSize, 1))
        return 1;
    // The same bytes under several names: one URL per transfer.
    const QStringList names{"RUN1", "RUN2", "QT1", "QT2", "CAR1", "CAR2", "CAR3"};
    for (const QString &name : names)
        QFile::link(original, served.filePath(QStringLiteral("files/%1_V1.00.zip").arg(name)));

    standin::StandinServer server;
    server.setFileRoot(served.path());
    if (!server.start())
        return 1;
    auto urlOf = [&](const QString &name) { return server.baseUrl() + QStringLiteral("files/%1_V1.00.zip").arg(name); };

    VelquorDownloadDataBaseManager::sharedManager().creatDBWithSerialNumber(QStringLiteral("BENCH"),
                                                                            QStringLiteral("bench"));
    Completions completions;
    NotificationCenter::workspace().addObserver(
        &completions, QString::fromLatin1(VelquorDownload::RequestCompleteNotification),
        [&](const Notification &notification) {
            const auto row = std::any_cast<VelquorDownloadModelPtr>(notification.object);
            std::lock_guard lock(completions.mutex);
            completions.vehicles.append(row->vehicle());
            completions.changed.notify_all();
        });
    int result = 0;
    {
        VelquorDownloadManager manager;
        // The settling waits before a vehicle and its rows start are no transfer time.
        manager.setStartDelays(0, 0);
        const QString curlOut = served.filePath(QStringLiteral("curl.out"));
        double curl = 1e9;
        double ours = 1e9;
        for (const QString &run : {QStringLiteral("RUN1"), QStringLiteral("RUN2")}) {
            QFile::remove(curlOut);
            curl = std::min(curl, bench::timed([&] {
                                bench::run(QStringLiteral("curl"),
                                           {QStringLiteral("-s"), QStringLiteral("-o"), curlOut, urlOf(run)});
                            }));
            addVehicle(run, urlOf(run));
            ours = std::min(ours, bench::timed([&] {
                                manager.startDownloadTask(
                                    VelquorDownloadDataBaseManager::sharedManager().getModelWithUrl(urlOf(run)));
                                completions.waitFor({run});
                            }));
            QFile::remove(VelquorCommonTool::sharedTool().get7ZResourcePath(urlOf(run)));
        }
        QFile::remove(curlOut);
        double plain = 1e9;
        for (const QString &run : {QStringLiteral("QT1"), QStringLiteral("QT2")}) {
            plain = std::min(plain, plainQtDownload(urlOf(run), curlOut));
            QFile::remove(curlOut);
        }
        bench::report("download 1 GiB: VelquorDownloadManager", ours, "s");
        bench::report("download 1 GiB: plain QNetworkAccessManager to a file", plain, "s");
        bench::report("download 1 GiB: curl -o", curl, "s");
        const double throughputRatio = curl / ours;
        bench::report("throughput ratio manager / curl (target >= 0.9)", throughputRatio, "");

        bench::resetPeakRss();
        const qint64 before = bench::peakRss();
        const QStringList cars{"CAR1", "CAR2", "CAR3"};
        for (const QString &car : cars)
            addVehicle(car, urlOf(car));
        const double three = bench::timed([&] {
            for (const QString &car : cars)
                manager.startDownloadTask(VelquorDownloadDataBaseManager::sharedManager().getModelWithUrl(urlOf(car)));
            completions.waitFor(cars);
        });
        const qint64 peak = bench::peakRss();
        for (const QString &car : cars)
            QFile::remove(VelquorCommonTool::sharedTool().get7ZResourcePath(urlOf(car)));
        bench::report("three 1 GiB vehicles at once", three, "s");
        bench::report("peak RSS before the three vehicles", before / 1e6, "MB");
        bench::report("peak RSS while three vehicles download (target < 150)", peak / 1e6, "MB");
        result = throughputRatio >= 0.9 && peak < 150 * 1000 * 1000 ? 0 : 3;
    }
    NotificationCenter::workspace().removeObserver(&completions);
    server.stop();
    DispatchQueue::shutdownAll();
    return result;
}

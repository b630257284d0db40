// Update-all of a catalogue of twelve vehicles (about 600 MB of 7z archives, three of them served in
// parts) through the updates page, from the stand-in over loopback onto a card folder, against the
// same archives fetched with `curl` and unpacked with `7zz x` one after another. Measured in one
// run: both times and their ratio (target <= 1.1), the peak resident memory of this process while
// the page works (target < 200 MB; the in-process stand-in is counted too), and the longest stall
// of the GUI thread meanwhile, seen by a 10 ms timer (target < 50 ms). `--timeline` prints when
// each row changed its state; `--card DIR` puts both card folders below DIR (a mounted card, say)
// instead of the temporary folder, whose file system also holds the downloads.
#include "BenchSupport.h"

#include "controls/VelquorButton.h"
#include "controls/VelquorComboBox.h"
#include "core/VelquorArchiveConstants.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "core/VelquorUserManager.h"
#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "session/VelquorMainViewModel.h"
#include "session/VelquorProductListComposer.h"
#include "session/VelquorUpdateListLoader.h"
#include "standin/DemoCatalogue.h"
#include "standin/DemoOperations.h"
#include "standin/DemoService.h"
#include "standin/StandinServer.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QApplication>
#include <QDirIterator>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {

constexpr qint64 MB = 1000 * 1000;
constexpr int PartCount = 3;
const QString kVersion = QStringLiteral("V1.00");
const QString kDevice = QStringLiteral("VQ9A00123456");

struct Vehicle
{
    QString name;
    qint64 dataBytes = 0;
    bool split = false;

    QString folder() const { return QStringLiteral("files/%1/%1_%2").arg(name, kVersion); }
    QString dataPath() const { return folder() + QStringLiteral(".zip"); }
    QString languagePath() const { return folder() + QStringLiteral("_EN.zip"); }
    QString partPath(int part) const { return folder() + QStringLiteral("_%1_part.zip").arg(part); }
    QString sdPath() const { return QStringLiteral("Vehicles/Bench/") + name; }
};

QList<Vehicle> catalogue()
{
    const int sizes[] = {40, 60, 45, 55, 50, 50, 65, 35, 48, 52, 58, 42}; // MB, 600 in all
    QList<Vehicle> vehicles;
    for (int i = 0; i < 12; ++i)
        vehicles.append({QStringLiteral("BENCH%1").arg(i + 1, 2, 10, QLatin1Char('0')), sizes[i] * MB, i % 4 == 2});
    return vehicles;
}

// Packs `items` (relative to `directory`, kept as they are named) into a 7z as the service ships
// packages: the real password, headers encrypted.
bool pack7z(const QString &directory, const QStringList &items, const QString &archive,
            const QStringList &switches = {})
{
    QDir().mkpath(QFileInfo(archive).absolutePath());
    QProcess process;
    process.setWorkingDirectory(directory);
    process.setStandardOutputFile(QProcess::nullDevice());
    const QStringList arguments = QStringList{QStringLiteral("a"),
                                              QStringLiteral("-t7z"),
                                              QStringLiteral("-mx=1"),
                                              QStringLiteral("-mhe=on"),
                                              QStringLiteral("-y"),
                                              QStringLiteral("-bsp0"),
                                              QStringLiteral("-p") + VelquorArchive::kArchivePassword} +
                                  switches + QStringList{archive} + items;
    process.start(QStringLiteral("7zz"), arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Cuts a file into `paths.size()` nearly equal byte ranges; joined in order they give it back.
bool splitFile(const QString &path, const QStringList &paths)
{
    QFile whole(path);
    if (!whole.open(QIODevice::ReadOnly))
        return false;
    const qint64 piece = (whole.size() + paths.size() - 1) / paths.size();
    QByteArray buffer;
    for (const QString &partPath : paths) {
        QFile part(partPath);
        if (!part.open(QIODevice::WriteOnly))
            return false;
        for (qint64 left = piece; left > 0 && !whole.atEnd();) {
            buffer = whole.read(std::min<qint64>(left, 4 * MB));
            if (part.write(buffer) != buffer.size())
                return false;
            left -= buffer.size();
        }
    }
    return true;
}

// The vehicle's package folder as it must stand on the card, under `expected`, and its archives
// (data package and language archive) under `served`.
bool makeVehicle(const Vehicle &vehicle, const QString &expected, const QString &served, quint32 seed)
{
    const QString root = expected + QLatin1Char('/') + vehicle.name;
    // Two large data files and forty small ones, as a package holds.
    const qint64 small = vehicle.dataBytes / 10 / 40;
    const qint64 large = (vehicle.dataBytes - 40 * small) / 2;
    bool ok = bench::writeRandomFile(root + QStringLiteral("/DIAG/DATA1.BIN"), large, seed) &&
              bench::writeRandomFile(root + QStringLiteral("/DIAG/DATA2.BIN"), large, seed + 1);
    for (int i = 0; ok && i < 40; ++i)
        ok = bench::writeRandomFile(root + QStringLiteral("/CFG/TABLE%1.DAT").arg(i, 2, 10, QLatin1Char('0')), small,
                                    seed * 100 + i);
    QFile version(root + QStringLiteral("/VERSION.TXT"));
    ok = ok && version.open(QIODevice::WriteOnly) && version.write(kVersion.toUtf8()) > 0;
    version.close();
    QFile english(root + QStringLiteral("/english.cfg"));
    ok = ok && english.open(QIODevice::WriteOnly) && english.write("LANGUAGE=English\r\n") > 0;
    english.close();
    if (!ok || !pack7z(expected, {vehicle.name + QStringLiteral("/english.cfg")},
                       served + QLatin1Char('/') + vehicle.languagePath()))
        return false;
    const QStringList withoutLanguage{QStringLiteral("-xr!english.cfg")};
    if (!vehicle.split)
        return pack7z(expected, {vehicle.name}, served + QLatin1Char('/') + vehicle.dataPath(), withoutLanguage);
    const QString whole = served + QStringLiteral("/whole.7z");
    QStringList parts;
    for (int part = 1; part <= PartCount; ++part)
        parts << served + QLatin1Char('/') + vehicle.partPath(part);
    const bool made = pack7z(expected, {vehicle.name}, whole, withoutLanguage) && splitFile(whole, parts);
    QFile::remove(whole);
    return made;
}

// The update list offering the catalogue, as the service answers it.
QByteArray updateList(const QList<Vehicle> &vehicles)
{
    QList<standin::DemoPackage> packages;
    for (const Vehicle &vehicle : vehicles) {
        standin::DemoPackage package;
        package.software = vehicle.name;
        package.version = kVersion;
        package.language = QStringLiteral("English");
        package.release = kVersion + QStringLiteral(" (2024)");
        package.sdPath = vehicle.sdPath();
        package.updateInfo = QStringLiteral("New: coverage for the latest model year\r\n");
        QStringList files;
        if (vehicle.split) {
            for (int part = 1; part <= PartCount; ++part)
                files << vehicle.partPath(part);
        }
        files << vehicle.languagePath();
        package.filePath = files.join(QLatin1Char(';'));
        packages.append(package);
    }
    return standin::DemoOperations::updateListAnswer(packages);
}

// Every archive fetched with curl and unpacked with 7zz, one after another. Parts are fetched as
// the volumes of one archive, which 7zz reads as they are.
bool fetchAndUnpack(const QList<Vehicle> &vehicles, const QString &baseUrl, const QString &downloads,
                    const QString &card)
{
    const QByteArray password = VelquorArchive::kArchivePassword.toUtf8() + '\n';
    auto fetch = [&](const QString &path, const QString &to) {
        return bench::run(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"), to, baseUrl + path});
    };
    auto unpack = [&](const QString &archive, const QString &into) {
        return bench::run(QStringLiteral("7zz"),
                          {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-o") + into, archive}, {},
                          password);
    };
    QDir().mkpath(downloads);
    for (const Vehicle &vehicle : vehicles) {
        const QString into = card + QLatin1Char('/') + QFileInfo(vehicle.sdPath()).path();
        QString data = downloads + QLatin1Char('/') + vehicle.name + QStringLiteral(".7z");
        if (vehicle.split) {
            for (int part = 1; part <= PartCount; ++part) {
                if (!fetch(vehicle.partPath(part), data + QStringLiteral(".%1").arg(part, 3, 10, QLatin1Char('0'))))
                    return false;
            }
            data += QStringLiteral(".001");
        } else if (!fetch(vehicle.dataPath(), data)) {
            return false;
        }
        const QString language = downloads + QLatin1Char('/') + vehicle.name + QStringLiteral("_EN.7z");
        if (!unpack(data, into) || !fetch(vehicle.languagePath(), language) || !unpack(language, into))
            return false;
    }
    return true;
}

// Whether the two trees hold the same files with the same bytes.
bool sameTree(const QString &expected, const QString &actual)
{
    QDirIterator it(expected, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QFile a(path);
        QFile b(actual + path.mid(expected.size()));
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
            return false;
        while (!a.atEnd()) {
            if (a.read(4 * MB) != b.read(4 * MB))
                return false;
        }
        ++files;
    }
    QDirIterator all(actual, QDir::Files, QDirIterator::Subdirectories);
    while (all.hasNext()) {
        all.next();
        --files;
    }
    return files == 0;
}

// The application, timing every event it delivers on the GUI thread: the longest one names the
// work that stalled it.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!m_timing || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        // Named before: the event may delete its receiver.
        const char *receiverClass = receiver->metaObject()->className();
        const QEvent::Type type = event->type();
        QElapsedTimer timer;
        timer.start();
        const bool result = QApplication::notify(receiver, event);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (ms > m_longestMs) {
            m_longestMs = ms;
            m_longestWhat = QStringLiteral("%1, event type %2").arg(QString::fromLatin1(receiverClass)).arg(int(type));
        }
        return result;
    }
    void setTiming(bool timing) { m_timing = timing; }
    double longestMs() const { return m_longestMs; }
    QString longestWhat() const { return m_longestWhat; }

private:
    bool m_timing = false;
    double m_longestMs = 0;
    QString m_longestWhat;
};

// The worst lateness of a 10 ms timer on the GUI thread.
class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(IntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const double lateMs = double(now - m_last) / 1e6 - IntervalMs;
            m_last = now;
            m_worstMs = std::max(m_worstMs, lateMs);
            if (lateMs > 16)
                ++m_overFrame;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    double worstMs() const { return m_worstMs; }
    int overFrame() const { return m_overFrame; }

private:
    static constexpr int IntervalMs = 10;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_worstMs = 0;
    int m_overFrame = 0;
};

// Spins the GUI thread's event loop until the predicate holds, looking every 50 ms.
bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(50);
    if (!done())
        loop.exec();
    return done();
}

// The updates page signed in to the stand-in, with the demo device chosen, as the main view
// leaves it after sign-in.
struct SignedInPage
{
    std::shared_ptr<VelquorMyUpdatesListModel> list = std::make_shared<VelquorMyUpdatesListModel>();
    VelquorUpdateListLoader loader;
    VelquorMyUpdatesView page;
    std::atomic<int> deliveries{0};

    bool open(const QList<Vehicle> &vehicles)
    {
        VelquorUserManager::sharedManager().saveAccountName(QString::fromLatin1(standin::demoAccountName));
        VelquorLoginResultModel user;
        user.setUserReName(QString::fromLatin1(standin::demoAccountName));
        VelquorUserManager::sharedManager().saveUserInfo(user);
        page.resize(1140, 636);
        page.setRefreshCompletion(
            [this](const QString &serial, std::optional<qint64> serialID, const QString &productName, bool refresh) {
                list->setSerialNumber(serial);
                list->setSerialID(serialID);
                list->setProductName(productName);
                list->setRefresh(refresh);
                loader.reloadHomeData(list, [this](const auto &) {
                    ++deliveries;
                    page.setMyUpdatesModel(list);
                });
            });
        page.show();

        std::atomic<bool> answered{false};
        VelquorProductListComposer::Result products;
        VelquorMainViewModel viewModel;
        viewModel.requestProductSerialNumbersWithCompletion([&](auto answer, const auto &) {
            products = VelquorProductListComposer::compose(answer);
            answered = true;
        });
        if (!spinUntil([&] { return answered.load(); }, 10000))
            return false;
        VelquorProductListComposer::apply(products, *list);
        page.setMyUpdatesModel(list);
        if (!spinUntil([&] { return !page.devices().isEmpty(); }, 10000))
            return false;

        VelquorComboBox *box = page.serialNumberComboBox();
        box->reloadData();
        const int index = box->findText(kDevice);
        if (index < 0)
            return false;
        box->setCurrentIndex(index);
        emit box->activated(index);
        return spinUntil(
            [&] {
                return deliveries.load() > 0 &&
                       VelquorDownloadManager::sharedManager().familyModels().size() == vehicles.size();
            },
            20000);
    }

    // Every shown row in `state`.
    static bool allRowsShow(qint64 state)
    {
        const QList<VelquorVehicleFamilyGroup> groups = VelquorDownloadManager::sharedManager().familyModels();
        return !groups.isEmpty() && std::all_of(groups.begin(), groups.end(), [state](const auto &group) {
            return !group.isEmpty() && group.first()->model() && group.first()->model()->state() == state;
        });
    }
    static bool anyRowShows(qint64 state)
    {
        for (const VelquorVehicleFamilyGroup &group : VelquorDownloadManager::sharedManager().familyModels()) {
            if (!group.isEmpty() && group.first()->model() && group.first()->model()->state() == state)
                return true;
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    bench::privateHome();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication app(argc, argv);
    AppInfo::applyToApplication();

    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/velquor-bench-updateall-XXXXXX"));
    const QString served = work.filePath(QStringLiteral("served"));
    const QString expected = work.filePath(QStringLiteral("expected")); // the card folder Vehicles/Bench
    const QStringList arguments = app.arguments();
    const qsizetype cardArgument = arguments.indexOf(QStringLiteral("--card"));
    QTemporaryDir cardRoot(cardArgument > 0 && cardArgument + 1 < arguments.size()
                               ? arguments.at(cardArgument + 1) + QStringLiteral("/velquor-bench-XXXXXX")
                               : work.filePath(QStringLiteral("cards-XXXXXX")));
    if (!cardRoot.isValid()) {
        std::fprintf(stderr, "no card folder can be made there\n");
        return 1;
    }
    const QString card = cardRoot.filePath(QStringLiteral("SDCARD"));
    const QString baselineCard = cardRoot.filePath(QStringLiteral("baseline"));
    const QList<Vehicle> vehicles = catalogue();
    qint64 archiveBytes = 0;
    const double making = bench::timed([&] {
        for (int i = 0; i < vehicles.size(); ++i) {
            if (!makeVehicle(vehicles[i], expected, served, quint32(11 + i * 7)))
                archiveBytes = -1;
        }
    });
    if (archiveBytes < 0) {
        std::fprintf(stderr, "the archives could not be made\n");
        return 1;
    }
    QDirIterator files(served, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        archiveBytes += QFileInfo(files.next()).size();
    bench::report("archives made (12 vehicles, 3 in parts)", archiveBytes / 1e6, "MB");
    bench::report("  in", making, "s");

    standin::StandinServer server;
    standin::installDemoService(server, QString());
    const QByteArray answer = updateList(vehicles);
    server.setOperation(QStringLiteral("ProductUpdateInformation"), [answer](const auto &) { return answer; });
    server.setFileRoot(served);
    if (!server.start())
        return 1;
    qputenv("VELQUOR_SERVICE_URL", server.baseUrl().toUtf8());
    QDir().mkpath(card);
    qputenv("VELQUOR_CARD_VOLUMES", card.toUtf8());
    // Only the card folder is offered: the machine's own volumes stay out of it.
    QFile mountInfo(work.filePath(QStringLiteral("mountinfo")));
    mountInfo.open(QIODevice::WriteOnly);
    mountInfo.close();
    VelquorDeviceManager::sharedManager().setMountInfoPath(mountInfo.fileName());

    // The floor: curl and 7zz one archive after another (best of two runs, before and after).
    double baseline = bench::timed([&] {
        if (!fetchAndUnpack(vehicles, server.baseUrl(), work.filePath(QStringLiteral("curl")), baselineCard))
            std::fprintf(stderr, "curl or 7zz failed\n");
    });
    const bool baselineRight = sameTree(expected, baselineCard + QStringLiteral("/Vehicles/Bench"));
    if (!baselineRight)
        std::fprintf(stderr, "curl and 7zz did not give the catalogue\n");
    QDir(work.filePath(QStringLiteral("curl"))).removeRecursively();
    QDir(baselineCard).removeRecursively();

    int result = 0;
    {
        SignedInPage signedIn;
        if (!signedIn.open(vehicles)) {
            std::fprintf(stderr, "the page did not show the catalogue\n");
            return 1;
        }

        StallProbe probe;
        bench::resetPeakRss();
        const qint64 rssBefore = bench::peakRss();
        probe.start();
        app.setTiming(true);
        QElapsedTimer clock;
        QTimer::singleShot(100, &signedIn.page, [&] {
            clock.start();
            signedIn.page.updateAllButton()->click();
        });
        // With --timeline: when each row changed its state, in ms from the press.
        const bool timeline = arguments.contains(QStringLiteral("--timeline"));
        QHash<QString, qint64> shown;
        auto trace = [&] {
            for (const VelquorVehicleFamilyGroup &group : VelquorDownloadManager::sharedManager().familyModels()) {
                const QString vehicle = group.first()->vehicle();
                const qint64 state = group.first()->model()->state();
                if (shown.value(vehicle, -1) != state) {
                    shown.insert(vehicle, state);
                    std::printf("  %8.0f ms  %s  %lld\n", clock.nsecsElapsed() / 1e6, qPrintable(vehicle),
                                static_cast<long long>(state));
                }
            }
        };
        const bool installed = spinUntil(
            [&] {
                if (timeline && clock.isValid())
                    trace();
                if (!clock.isValid())
                    return false;
                // Installed: shown so, and out of the extraction set once its archives are deleted.
                return (SignedInPage::allRowsShow(VelquorDownloadStateInstalled) &&
                        VelquorDownloadManager::sharedManager().vehicles().isEmpty()) ||
                       SignedInPage::anyRowShows(VelquorDownloadStateInstallFailed) ||
                       SignedInPage::anyRowShows(VelquorDownloadStateFailed);
            },
            600 * 1000);
        const double ours = clock.nsecsElapsed() / 1e9;
        probe.stop();
        app.setTiming(false);
        const qint64 peak = bench::peakRss();

        const bool allInstalled = installed && SignedInPage::allRowsShow(VelquorDownloadStateInstalled);
        const bool right = allInstalled && sameTree(expected, card + QStringLiteral("/Vehicles/Bench")) &&
                           QDir(VelquorCommonTool::sharedTool().getUpdateDirectory()).isEmpty();
        if (!right)
            std::fprintf(stderr, "the card does not hold the catalogue, or archives stayed (installed: %d)\n",
                         int(allInstalled));

        const double again = bench::timed(
            [&] { fetchAndUnpack(vehicles, server.baseUrl(), work.filePath(QStringLiteral("curl")), baselineCard); });
        baseline = std::min(baseline, again);

        bench::report("update-all through the page: 12 vehicles onto the card", ours, "s");
        bench::report("curl + 7zz x, one archive after another", baseline, "s");
        bench::report("time ratio page / curl + 7zz (target <= 1.1)", ours / baseline, "");
        bench::report("peak RSS before update-all", rssBefore / 1e6, "MB");
        bench::report("peak RSS during update-all, stand-in included (target < 200)", peak / 1e6, "MB");
        bench::report("GUI thread: longest stall of a 10 ms timer (target < 50)", probe.worstMs(), "ms");
        bench::report("GUI thread: stalls longer than 16 ms", probe.overFrame(), "");
        bench::report("GUI thread: longest single event", app.longestMs(), "ms");
        std::printf("  (%s)\n", qPrintable(app.longestWhat()));
        result = right && baselineRight && ours / baseline <= 1.1 && peak < 200 * MB && probe.worstMs() < 50 ? 0 : 3;
    }
    server.stop();
    DispatchQueue::shutdownAll();
    return result;
}

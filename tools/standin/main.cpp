// velquor-standin: the stand-in web service with the demo data set, for ./run and manual tries.
//   velquor-standin --port N --data DIR [--demo-card DIR] [--demo-records FILE]
// Prints the port it listens on alone on the first line, then serves until SIGTERM or SIGINT.
// --demo-card writes the demo card's installed software into DIR, --demo-records the matching
// install records into the application's database FILE, so card, records and catalogue agree.

#include "DemoCard.h"
#include "DemoService.h"
#include "StandinServer.h"
#include "profile/DemoInstallRecords.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char **argv)
{
    // Block the stop signals before any thread exists, so every thread inherits the mask and the
    // main thread alone takes them through sigwait() below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velquor-standin"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in web service with the demo data set."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port to listen on; 0 picks a free one."), QStringLiteral("N"),
                                        QStringLiteral("0"));
    const QCommandLineOption dataOption(QStringLiteral("data"), QStringLiteral("Directory of the demo data set."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption cardOption(QStringLiteral("demo-card"),
                                        QStringLiteral("Write the demo card's installed software into DIR."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption recordsOption(
        QStringLiteral("demo-records"),
        QStringLiteral("Write the demo card's install records into the application's database FILE."),
        QStringLiteral("FILE"));
    parser.addOption(portOption);
    parser.addOption(dataOption);
    parser.addOption(cardOption);
    parser.addOption(recordsOption);
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        std::fprintf(stderr, "velquor-standin: --port needs a number from 0 to 65535\n");
        return 2;
    }
    QString dataDir;
    if (parser.isSet(dataOption)) {
        dataDir = QDir(parser.value(dataOption)).absolutePath();
        if (!QDir().mkpath(dataDir)) {
            std::fprintf(stderr, "velquor-standin: cannot create %s\n", qPrintable(dataDir));
            return 2;
        }
    }

    QString reason;
    if (parser.isSet(cardOption) && !standin::writeDemoCard(QDir(parser.value(cardOption)).absolutePath(), &reason)) {
        std::fprintf(stderr, "velquor-standin: the demo card could not be written: %s\n", qPrintable(reason));
        return 1;
    }
    if (parser.isSet(recordsOption) &&
        !standin::writeDemoInstallRecords(QDir().absoluteFilePath(parser.value(recordsOption)), &reason)) {
        std::fprintf(stderr, "velquor-standin: %s\n", qPrintable(reason));
        return 1;
    }

    standin::StandinServer server;
    // Without its package files the demo still answers every operation, so a failure to make them
    // (reported by the demo itself) does not keep the service from starting.
    standin::installDemoService(server, dataDir);
    if (!server.start(quint16(port))) {
        std::fprintf(stderr, "velquor-standin: cannot listen on 127.0.0.1:%u\n", port);
        return 1;
    }
    std::printf("%u\n", unsigned(server.port()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.stop();
    return 0;
}

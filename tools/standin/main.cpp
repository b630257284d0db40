// velquor-standin: the stand-in web service with the demo data set, for ./run and manual tries.
//   velquor-standin --port N --data DIR
// Prints the port it listens on alone on the first line, then serves until SIGTERM or SIGINT.

#include "DemoService.h"
#include "StandinServer.h"

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
    parser.addOption(portOption);
    parser.addOption(dataOption);
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

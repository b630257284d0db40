#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace {
QTemporaryDir *privateHome = nullptr;
}

void installPrivateHome()
{
    if (privateHome)
        return;
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CACHE_HOME");
    qunsetenv("XDG_DOCUMENTS_DIR");
    // A test that runs part of itself in a child process hands it its own HOME, which it keeps.
    const QByteArray shared = qgetenv(kSharedHomeVariable);
    if (!shared.isEmpty()) {
        qputenv("HOME", shared);
        return;
    }
    privateHome = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/velquor-test-XXXXXX"));
    privateHome->setAutoRemove(true);
    qputenv("HOME", privateHome->path().toUtf8());
    std::atexit([] {
        delete privateHome;
        privateHome = nullptr;
    });
}

void resetPrivateHome()
{
    if (!privateHome)
        return;
    {
        // Cleared through QSettings too: it caches what it read from the file.
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                           QCoreApplication::applicationName());
        settings.clear();
        settings.sync();
    }
    const QDir home(privateHome->path());
    for (const QFileInfo &entry :
         home.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

QString testHome()
{
    return privateHome ? privateHome->path() : QDir::homePath();
}

bool waitUntil(const std::function<bool()> &predicate, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!predicate()) {
        if (deadline.hasExpired())
            return predicate();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

int execUntilQuit(int timeoutMs)
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(timeoutMs);
    return QCoreApplication::exec();
}

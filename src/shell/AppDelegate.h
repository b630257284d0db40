#pragma once

#include <QObject>

class QApplication;

// The application's life: the icon before anything shows, card-volume watching once it runs (and
// nothing else at launch: no database, no network), a running 7z extraction stopped when it quits,
// and quitting when the last window closes.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    explicit AppDelegate(QApplication &application);

    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    bool applicationSupportsSecureRestorableState() const { return true; }
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }

private:
    QApplication &m_application;
};

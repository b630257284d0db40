#pragma once

#include "updates/VelquorGuiPoster.h"
#include "updates/VelquorOverallProgress.h"

#include <QObject>
#include <QPointer>

class QLabel;
class QTimer;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;
class VelquorProgressView;
class VelquorTableView;

// The updates page's 1-second refresh while anything downloads or extracts: each tick reloads the
// table and the overall progress bar and its text, and the timer stops itself at the first tick
// that finds nothing downloading, waiting or queued for extraction. The timer lives on the GUI
// thread and is made only there, so at most one runs however many threads ask for it.
class VelquorProgressRefresh : public QObject
{
    Q_OBJECT
public:
    VelquorProgressRefresh(VelquorTableView *tableView, VelquorProgressView *progressView, QLabel *progressLabel,
                           VelquorDownloadManager &downloadManager, VelquorDownloadDataBaseManager &database,
                           QObject *parent);

    // Starts the timer unless it runs; its first tick comes at once. Any thread; never waits.
    void reloadAllData();
    // Ends the timer now (GUI thread).
    void stop();
    // A timer runs (GUI thread).
    bool isRunning() const { return m_timer != nullptr; }

    // One tick: the table, the overall progress, and the timer's end when nothing works (GUI thread).
    void tick();
    // Recomputes and shows the overall progress; answers what it showed (GUI thread).
    VelquorOverallProgress reloadTotalGroupTask();

    // Test seam: the time the speed samples are compared with (microseconds since 1970); 0 is now.
    void setNowForTesting(qint64 microseconds) { m_nowForTesting = microseconds; }

private:
    void startTimer();
    void hideProgress();

    QPointer<VelquorTableView> m_tableView;
    QPointer<VelquorProgressView> m_progressView;
    QPointer<QLabel> m_progressLabel;
    VelquorDownloadManager &m_downloadManager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorGuiPoster m_poster;
    QTimer *m_timer = nullptr;
    qint64 m_nowForTesting = 0;
};

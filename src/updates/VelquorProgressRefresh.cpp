#include "updates/VelquorProgressRefresh.h"

#include "controls/VelquorProgressView.h"
#include "controls/VelquorTableView.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "updates/VelquorUpdatesStyle.h"

#include <QLabel>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kIntervalMs = 1000;
constexpr int kHideDelayMs = 1000;

} // namespace

VelquorProgressRefresh::VelquorProgressRefresh(VelquorTableView *tableView, VelquorProgressView *progressView,
                                               QLabel *progressLabel, VelquorDownloadManager &downloadManager,
                                               VelquorDownloadDataBaseManager &database, QObject *parent)
    : QObject(parent), m_tableView(tableView), m_progressView(progressView), m_progressLabel(progressLabel),
      m_downloadManager(downloadManager), m_database(database), m_poster(this)
{}

void VelquorProgressRefresh::reloadAllData()
{
    if (QThread::currentThread() == thread())
        startTimer();
    else
        m_poster.post([this] { startTimer(); });
}

void VelquorProgressRefresh::startTimer()
{
    if (m_timer)
        return;
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("refreshTimer"));
    m_timer->setInterval(kIntervalMs);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &VelquorProgressRefresh::tick);
    m_timer->start();
    // The first tick comes at once, but after the caller is done.
    QTimer::singleShot(0, m_timer, [this] { tick(); });
}

void VelquorProgressRefresh::stop()
{
    if (!m_timer)
        return;
    m_timer->stop();
    m_timer->deleteLater();
    m_timer = nullptr;
}

void VelquorProgressRefresh::tick()
{
    if (m_tableView)
        m_tableView->reloadData();
    const VelquorOverallProgress progress = reloadTotalGroupTask();
    if (!progress.working)
        stop();
}

VelquorOverallProgress VelquorProgressRefresh::reloadTotalGroupTask()
{
    VelquorOverallProgress::Input input;
    input.rows = m_downloadManager.familyModels();
    input.installRecords = m_database.getAllCacheDataForInstall();
    input.downloadRows = m_database.getAllCacheData();
    input.extractingVehicles = m_downloadManager.vehicles();
    input.anyPaused = !m_downloadManager.downloadPausedModels().isEmpty();
    input.nowMicroseconds =
        m_nowForTesting > 0 ? m_nowForTesting : VelquorDownloadDataBaseManager::currentTimeMicroseconds();
    const VelquorOverallProgress progress = VelquorOverallProgress::compute(input);
    if (!m_progressView || !m_progressLabel)
        return progress;

    if (!progress.active) {
        hideProgress();
        return progress;
    }
    m_progressView->show();
    m_progressLabel->show();
    m_progressView->setTrackColor(Qt::transparent);
    m_progressView->setFillColor(Qt::green);
    m_progressView->setProgress(progress.value);
    m_progressLabel->setText(VelquorUpdatesStyle::attributedText(
        {{progress.labelText(), VelquorUpdatesStyle::kTextSize, Qt::black}}, Qt::AlignLeft));
    if (progress.text == VelquorOverallProgress::Text::Finished && progress.hideAfterFinished)
        QTimer::singleShot(kHideDelayMs, this, [this] { hideProgress(); });
    return progress;
}

void VelquorProgressRefresh::hideProgress()
{
    if (m_progressView)
        m_progressView->hide();
    if (m_progressLabel)
        m_progressLabel->hide();
}

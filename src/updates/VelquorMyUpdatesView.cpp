#include "updates/VelquorMyUpdatesView.h"

#include "controls/VelquorButton.h"
#include "controls/VelquorComboBox.h"
#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorProgressView.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSearchFieldCell.h"
#include "controls/VelquorTableView.h"
#include "controls/VelquorTextMetrics.h"
#include "core/LzmaTool.h"
#include "core/VelquorAppUpdateManager.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDatabaseConstants.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadConstants.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "updates/VelquorCacheCleanup.h"
#include "updates/VelquorCardChoice.h"
#include "updates/VelquorDownloadCommands.h"
#include "updates/VelquorDownloadHandOver.h"
#include "updates/VelquorExtractionInstaller.h"
#include "updates/VelquorOverallProgress.h"
#include "updates/VelquorProgressRefresh.h"
#include "updates/VelquorUpdateNotes.h"
#include "updates/VelquorUpdatesAlerts.h"
#include "updates/VelquorUpdatesConstants.h"
#include "updates/VelquorUpdatesStyle.h"
#include "updates/VelquorUpdatesTableSource.h"
#include "updates/VelquorVehicleRows.h"

#include <QDirIterator>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {

constexpr int kButtonWidth = 130;
constexpr int kButtonHeight = 48;
constexpr int kBoxWidth = 180;
constexpr int kBoxHeight = 26;
// A caption is as wide as its text plus 8: that room is kept on both sides of the text.
constexpr int kCaptionMargin = 4;
// Height of the strip under the table that holds the help button and the overall progress.
constexpr int kStripHeight = 22;
constexpr int kProgressBarWidth = 300;
constexpr int kProgressBarHeight = 10;
constexpr int kLeastProgressBarWidth = 100;
constexpr int kDeleteRebuildDelayMs = 150;

QString localized(const char *key)
{
    return VelquorCommonTool::sharedTool().localizedString(QString::fromLatin1(key));
}

// The application's own pictures (the resources also hold the toolkit's).
QStringList pngResources()
{
    QStringList paths;
    QDirIterator it(QStringLiteral(":/images"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    paths.sort();
    return paths;
}

VelquorButton *makeButton(const QString &title, QWidget *parent)
{
    auto *button = new VelquorButton(title, parent);
    button->setFont(VelquorUpdatesStyle::systemFont(VelquorUpdatesStyle::kTextSize));
    return button;
}

// The record a download notification carries; null when it carries none.
VelquorDownloadModelPtr notificationRecord(const Notification &notification)
{
    const auto *record = std::any_cast<VelquorDownloadModelPtr>(&notification.object);
    return record ? *record : nullptr;
}

} // namespace

VelquorMyUpdatesView::VelquorMyUpdatesView(QWidget *parent)
    : QWidget(parent), m_rowHeight(VelquorUpdates::kFallbackRowHeight),
      m_downloadManager(VelquorDownloadManager::sharedManager()),
      m_database(VelquorDownloadDataBaseManager::sharedManager()), m_poster(this)
{
    VelquorCommonTool &commonTool = VelquorCommonTool::sharedTool();
    m_rows = std::make_unique<VelquorVehicleRows>(m_downloadManager, m_database, commonTool);
    m_tableSource = std::make_unique<VelquorUpdatesTableSource>(*this, *m_rows, pngResources());
    m_cleanup = std::make_unique<VelquorCacheCleanup>(m_downloadManager, m_database, commonTool);
    m_alerts = std::make_unique<VelquorUpdatesAlerts>(*this);
    m_cardChoice = new VelquorCardChoice(*this, *m_rows, VelquorDeviceManager::sharedManager(), m_downloadManager,
                                         m_database, commonTool);
    m_installer = std::make_unique<VelquorExtractionInstaller>(
        *this, m_downloadManager, m_database, commonTool, VelquorAppUpdateManager::sharedManager(), LzmaTool::tool());
    m_handOver = std::make_unique<VelquorDownloadHandOver>(
        *this, [installer = m_installer.get()](const QString &vehicle) { installer->decompressVehicle(vehicle); },
        &m_downloadManager, &m_database, &commonTool);
    m_commands =
        std::make_unique<VelquorDownloadCommands>(*this, *m_handOver, &m_downloadManager, &m_database, &commonTool);
    setupUI();
    m_refresh =
        new VelquorProgressRefresh(m_tableView, m_progressView, m_progressLabel, m_downloadManager, m_database, this);
    configData();
    observeNotifications();
    makeQueues();
}

VelquorMyUpdatesView::~VelquorMyUpdatesView()
{
    // Waits for a handler running on another thread; none of them waits for this thread.
    NotificationCenter::workspace().removeObserver(this);
    // A probe still running may hand a vehicle to extraction: the installer goes after it.
    m_commands.reset();
    m_handOver.reset();
    m_installer.reset();
    m_refresh->stop();
    m_tableView->setDataSource(nullptr);
}

// --- Set-up

void VelquorMyUpdatesView::setupUI()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    m_tableView = new VelquorTableView(this);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setHeaderVisible(false);
    m_tableView->setRowHeight(m_rowHeight);
    m_tableView->setSelectionHighlightStyle(VelquorTableView::SelectionHighlightStyle::None);
    m_tableView->setGridStyleMask(VelquorTableView::GridNone);
    m_tableView->setUsesAlternatingRowBackgroundColors(true);
    m_tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableView->setFrameShape(QFrame::Box);
    m_tableView->setDataSource(m_tableSource.get());

    m_helpButton = makeButton(localized("RegisterProductHint10"), this);
    m_helpButton->setObjectName(QStringLiteral("helpButton"));

    m_progressView = new VelquorProgressView(this);
    m_progressView->setObjectName(QStringLiteral("progressView"));
    m_progressView->setMaxValue(100);
    m_progressLabel = VelquorUpdatesStyle::makeLabel(QString(), this);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    m_progressLabel->setWordWrap(false);

    m_sdCardField = createField(localized("Update9"));
    m_sdCardField->setObjectName(QStringLiteral("sdCardField"));
    m_sdCardComboBox = createComboBox();
    m_sdCardComboBox->setObjectName(QStringLiteral("sdCardComboBox"));
    m_serialNumberField = createField(localized("Update8"));
    m_serialNumberField->setObjectName(QStringLiteral("serialNumberField"));
    m_serialNumberComboBox = createComboBox();
    m_serialNumberComboBox->setObjectName(QStringLiteral("serialNumberComboBox"));

    m_updateAllButton = makeButton(localized("Update29"), this);
    m_updateAllButton->setObjectName(QStringLiteral("updateAllButton"));
    m_refreshButton = makeButton(localized("Update30"), this);
    m_refreshButton->setObjectName(QStringLiteral("refreshButton"));
}

void VelquorMyUpdatesView::configData()
{
    m_sdCardComboBox->setStringValue(QString());
    m_serialNumberComboBox->setStringValue(QString());
    if (m_myUpdatesModel) {
        if (VelquorCommonTool::isUsableText(m_myUpdatesModel->sdPath()))
            m_sdCardComboBox->setStringValue(m_myUpdatesModel->sdPath());
        if (VelquorCommonTool::isUsableText(m_myUpdatesModel->serialNumber()))
            m_serialNumberComboBox->setStringValue(m_myUpdatesModel->serialNumber());
    }
    connect(m_updateAllButton, &QPushButton::clicked, this, &VelquorMyUpdatesView::updateAllAction);
    connect(m_refreshButton, &QPushButton::clicked, this, &VelquorMyUpdatesView::refreshAction);

    // Red title without a background picture, the help picture before it.
    m_helpButton->setShowBackgroundImage(false);
    m_helpButton->setOnlyShowTextColor(true);
    m_helpButton->setNormalTextColor(Qt::red);
    m_helpButton->setHighlightedTextColor(Qt::red);
    m_helpButton->setImage(VelquorImages::named(VelquorUpdates::kHelpImage, QSize(18, 18)));
    m_helpButton->setAlignment(Qt::AlignLeft);
    connect(m_helpButton, &QPushButton::clicked, this, &VelquorMyUpdatesView::helpAction);

    m_progressView->hide();
    m_progressLabel->hide();
}

void VelquorMyUpdatesView::observeNotifications()
{
    NotificationCenter &center = NotificationCenter::workspace();
    center.removeObserver(this);
    center.addObserver(this, VelquorUpdates::kDeleteSofoNotification,
                       [this](const Notification &notification) { deleteSofoware(notification); });
    center.addObserver(this, VelquorUpdates::kDeleteCarInfoNotification,
                       [this](const Notification &notification) { deleteVehicle(notification); });
    center.addObserver(this, QString::fromLatin1(VelquorDownload::ProgressNotification),
                       [this](const Notification &notification) { downLoadProgress(notification); });
    center.addObserver(this, QString::fromLatin1(VelquorDownload::RequestCompleteNotification),
                       [this](const Notification &notification) { downloadRequestComplete(notification); });
    center.addObserver(this, QString::fromLatin1(VelquorDownload::RequestErrorNotification),
                       [this](const Notification &notification) { downloadRequestError(notification); });
    center.addObserver(this, LzmaTool::decompressFinishedNotification(),
                       [this](const Notification &notification) { decompressFinished(notification); });
    // Every page reads the same file: one sheet says why they are all empty.
    center.addObserver(
        this, QString::fromLatin1(VelquorDatabase::UnavailableNotification), [this](const Notification &notification) {
            const auto *path = std::any_cast<QString>(&notification.object);
            m_poster.post([this, path = path ? *path : QString()] { m_alerts->openDatabaseUnavailable(path); });
        });
}

void VelquorMyUpdatesView::makeQueues()
{
    // Made once for the process: a later page finds them on the download manager.
    if (!m_downloadManager.decompressSerialQueue())
        m_downloadManager.setDecompressSerialQueue(
            std::make_shared<DispatchQueue>(VelquorUpdates::kDecompressQueueLabel));
    if (!m_downloadManager.getContentQueue())
        m_downloadManager.setGetContentQueue(std::make_shared<DispatchQueue>(
            VelquorUpdates::kGetContentLengthQueueLabel, DispatchQueue::Kind::Concurrent));
    if (!m_downloadManager.reloadSDCardQueue())
        m_downloadManager.setReloadSDCardQueue(
            std::make_shared<DispatchQueue>(VelquorUpdates::kReloadSDCardQueueLabel));
}

VelquorSearchField *VelquorMyUpdatesView::createField(const QString &text)
{
    auto *field = new VelquorSearchField(this);
    field->setFiledEventType(1);
    field->setFrame(false);
    field->setEditable(false);
    field->setSelectable(false);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setFont(VelquorUpdatesStyle::systemFont(VelquorUpdatesStyle::kTextSize));
    field->setTextColor(Qt::black);
    field->cell()->setMargin(kCaptionMargin);
    field->setText(text);
    return field;
}

VelquorComboBox *VelquorMyUpdatesView::createComboBox()
{
    auto *box = new VelquorComboBox(this);
    box->setFont(VelquorUpdatesStyle::systemFont(VelquorUpdatesStyle::kTextSize));
    box->setDataSource([this](VelquorComboBox *asked) { return m_cardChoice->numberOfItemsInComboBox(asked); },
                       [this](VelquorComboBox *asked, qint64 index) {
                           return m_cardChoice->comboBoxObjectValueForItemAtIndex(asked, index);
                       });
    connect(box, &VelquorComboBox::selectionDidChange, this, &VelquorMyUpdatesView::comboBoxSelectionDidChange);
    return box;
}

QStringList VelquorMyUpdatesView::pngLists() const
{
    return m_tableSource->pngLists();
}

// --- Layout

void VelquorMyUpdatesView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorMyUpdatesView::layoutSubviews()
{
    const int w = width();
    const int h = height();
    const QFont textFont = VelquorUpdatesStyle::systemFont(VelquorUpdatesStyle::kTextSize);
    // Under the table stand the help button and the overall bar with its text, in a strip as tall
    // as the help is, or as a line of their texts needs where that is more; the table gives up
    // what the strip grows.
    const QSize labelSize = progressLabelSize();
    const int stripHeight = std::max(
        {kStripHeight, labelSize.height(), VelquorTextMetrics::lineSize(m_helpButton->text(), textFont).height()});
    const int buttonsTop = h - 20 - kButtonHeight;
    const int tableBottom = buttonsTop - 20 - (stripHeight - kStripHeight);
    m_tableView->setGeometry(10, 20, qMax(0, w - 20), qMax(0, tableBottom - 20));

    // The buttons are as wide as designed unless their title needs more.
    const int refreshWidth = qMax(kButtonWidth, m_refreshButton->widthForTitle(m_refreshButton->text()));
    const int updateAllWidth = qMax(kButtonWidth, m_updateAllButton->widthForTitle(m_updateAllButton->text()));
    m_refreshButton->setGeometry(w - 30 - refreshWidth, buttonsTop, refreshWidth, kButtonHeight);
    m_updateAllButton->setGeometry(m_refreshButton->x() - 30 - updateAllWidth, buttonsTop, updateAllWidth,
                                   kButtonHeight);

    // Captions as wide as their text plus 8, boxes 5 after them, along the bottom.
    const QFontMetrics metrics(textFont);
    const int boxTop = buttonsTop + (kButtonHeight - kBoxHeight) / 2;
    const int cardCaptionWidth = metrics.horizontalAdvance(m_sdCardField->text()) + 2 * kCaptionMargin;
    m_sdCardField->setGeometry(50, boxTop, cardCaptionWidth, kBoxHeight);
    m_sdCardComboBox->setGeometry(m_sdCardField->geometry().right() + 1 + 5, boxTop, kBoxWidth, kBoxHeight);
    const int deviceCaptionWidth = metrics.horizontalAdvance(m_serialNumberField->text()) + 2 * kCaptionMargin;
    m_serialNumberField->setGeometry(m_sdCardComboBox->geometry().right() + 1 + 20, boxTop, deviceCaptionWidth,
                                     kBoxHeight);
    m_serialNumberComboBox->setGeometry(m_serialNumberField->geometry().right() + 1 + 5, boxTop, kBoxWidth, kBoxHeight);

    // The strip: the help button, then the bar and its text up to the update-all button. The bar
    // keeps its width unless the text after it would be cut; then it gives up what the text lacks.
    const int stripTop = tableBottom + 10;
    const int helpWidth = metrics.horizontalAdvance(m_helpButton->text()) + 40;
    m_helpButton->setGeometry(50, stripTop, helpWidth, stripHeight);
    const int barX = m_helpButton->geometry().right() + 1 + 20;
    const int labelRight = m_updateAllButton->x() - 10;
    const int shortfall = barX + kProgressBarWidth + 10 + labelSize.width() - labelRight;
    const int barWidth = qMax(kLeastProgressBarWidth, kProgressBarWidth - qMax(0, shortfall));
    m_progressView->setGeometry(barX, stripTop + (stripHeight - kProgressBarHeight) / 2, barWidth, kProgressBarHeight);
    const int labelX = barX + barWidth + 10;
    m_progressLabel->setGeometry(labelX, stripTop, qMax(0, labelRight - labelX), stripHeight);
}

QSize VelquorMyUpdatesView::progressLabelSize() const
{
    // The words it shows in this language, and the counts at a wide but ordinary size.
    QList<VelquorOverallProgress> shown(4);
    shown[0].text = VelquorOverallProgress::Text::Finished;
    shown[1].text = VelquorOverallProgress::Text::Extracting;
    shown[2].text = VelquorOverallProgress::Text::Paused;
    shown[3].text = VelquorOverallProgress::Text::Counts;
    shown[3].done = 88;
    shown[3].total = 88;
    shown[3].speed = 888800000;
    const QFont font = VelquorUpdatesStyle::systemFont(VelquorUpdatesStyle::kTextSize);
    QSize size;
    for (const VelquorOverallProgress &progress : std::as_const(shown))
        size = size.expandedTo(VelquorTextMetrics::lineSize(progress.labelText(), font));
    return size;
}

// --- List model and rows

void VelquorMyUpdatesView::setMyUpdatesModel(const std::shared_ptr<VelquorMyUpdatesListModel> &model)
{
    {
        std::lock_guard lock(m_listModelMutex);
        m_myUpdatesModel = model;
    }
    // Records a clean-up is still resetting would hold the rows back: they are rebuilt after it.
    if (m_pendingCleanups > 0)
        m_rebuildAfterCleanup = true;
    else
        configDownload(false);
    reloadSDCard(true);
    if (model && model->refresh()) {
        m_tableView->scrollRowToVisible(0);
        model->setRefresh(false);
    }
}

void VelquorMyUpdatesView::configDownload(bool force)
{
    static const VelquorMyUpdatesListModel noList;
    const VelquorMyUpdatesListModel &list = m_myUpdatesModel ? *m_myUpdatesModel : noList;
    switch (m_rows->configDownload(list, force)) {
    case VelquorVehicleRows::Outcome::Untouched:
        return;
    case VelquorVehicleRows::Outcome::Hidden:
        m_tableView->reloadData();
        m_tableView->hide();
        return;
    case VelquorVehicleRows::Outcome::Shown:
        m_tableView->reloadData();
        m_tableView->show();
        reloadAllData();
        return;
    }
}

bool VelquorMyUpdatesView::isBasicSeriesDefaultProduct() const
{
    return VelquorVehicleRows::isBasicSeriesDefaultProduct(m_myUpdatesModel ? m_myUpdatesModel->productName()
                                                                            : QString());
}

void VelquorMyUpdatesView::displayUpdateView(bool display)
{
    m_tableView->scrollRowToVisible(0);
    m_tableView->setVisible(display);
}

// --- Card and device choice

void VelquorMyUpdatesView::comboBoxSelectionDidChange(VelquorComboBox *box)
{
    m_cardChoice->comboBoxSelectionDidChange(box);
}

void VelquorMyUpdatesView::accessFileDirectory()
{
    m_cardChoice->accessFileDirectory();
}

QList<VelquorDeviceAttributes> VelquorMyUpdatesView::devices() const
{
    return m_cardChoice->devices();
}

bool VelquorMyUpdatesView::isHelpBlinking() const
{
    return m_cardChoice->isHelpBlinking();
}

void VelquorMyUpdatesView::initApplicationDBCache()
{
    ++m_pendingCleanups;
    m_cleanup->initApplicationDBCache(cleanupFinished());
}

void VelquorMyUpdatesView::removeUnfinishedFolders()
{
    ++m_pendingCleanups;
    m_rebuildAfterCleanup = true; // install records may go with the folders
    m_cleanup->queueUnfinishedFolderRemoval(cleanupFinished());
}

std::function<void()> VelquorMyUpdatesView::cleanupFinished()
{
    return [poster = m_poster, this] {
        poster.post([this] {
            if (--m_pendingCleanups > 0 || !m_rebuildAfterCleanup)
                return;
            m_rebuildAfterCleanup = false;
            configDownload(false);
        });
    };
}

// --- Progress refresh

void VelquorMyUpdatesView::reloadTotalGroupTask()
{
    m_refresh->reloadTotalGroupTask();
}

bool VelquorMyUpdatesView::isRefreshRunning() const
{
    return m_refresh->isRunning();
}

// --- Commands

void VelquorMyUpdatesView::downloadAction(VelquorDownloadButton *sender)
{
    // The rows may have changed between drawing and the press.
    if (!sender || !m_rows->isShownRow(sender->tag()))
        return;
    emit downloadActionSent(sender->tag(), sender->downloadState());
    m_commands->downloadAction(int(sender->tag()), sender->downloadState());
}

void VelquorMyUpdatesView::detailAction(QAbstractButton *sender)
{
    const qint64 row = sender ? sender->property("tag").toLongLong() : -1;
    if (!m_rows->isShownRow(row))
        return;
    VelquorUpdateNotes::detailAction(m_downloadManager.familyModels().at(row), isBasicSeriesDefaultProduct(), window(),
                                     this);
}

void VelquorMyUpdatesView::updateAllAction()
{
    m_commands->updateAllAction();
}

void VelquorMyUpdatesView::refreshAction()
{
    m_commands->refreshAction();
}

void VelquorMyUpdatesView::helpAction()
{
    m_alerts->helpAction();
}

// --- Notifications

void VelquorMyUpdatesView::deleteSofoware(const Notification &)
{
    deleteAndRebuild();
}

void VelquorMyUpdatesView::deleteVehicle(const Notification &)
{
    deleteAndRebuild();
}

void VelquorMyUpdatesView::deleteAndRebuild()
{
    m_poster.post([this] { m_refresh->stop(); });
    m_downloadManager.deleteAllTask();
    m_poster.post([this] {
        if (m_deleteRefresh)
            m_deleteRefresh();
    });
    // Rebuilt even though downloads existed before: they were all dropped.
    m_poster.postAfter(kDeleteRebuildDelayMs, [this] { configDownload(true); });
}

void VelquorMyUpdatesView::downLoadProgress(const Notification &notification)
{
    if (const auto row = notificationRecord(notification))
        m_handOver->downLoadProgress(row);
}

void VelquorMyUpdatesView::downloadRequestComplete(const Notification &notification)
{
    if (const auto row = notificationRecord(notification))
        m_handOver->downloadRequestComplete(row);
}

void VelquorMyUpdatesView::downloadRequestError(const Notification &notification)
{
    if (const auto row = notificationRecord(notification))
        m_handOver->downloadRequestError(
            row, notification.userInfo.value(QString::fromLatin1(VelquorDownload::NotRecordedKey)).toBool());
}

// The extraction collaborator follows the 7z runs itself.
void VelquorMyUpdatesView::decompressFinished(const Notification &) {}

// --- Services

void VelquorMyUpdatesView::reloadAllData()
{
    m_refresh->reloadAllData();
}

void VelquorMyUpdatesView::reloadSDCard(bool askAccess)
{
    m_cardChoice->reloadSDCard(askAccess);
}

quint64 VelquorMyUpdatesView::availableCapacity() const
{
    return m_cardChoice->availableCapacity();
}

void VelquorMyUpdatesView::setRowOfVehicle(const QString &vehicle, const VelquorRowUpdate &update)
{
    m_poster.post([this, vehicle, update] {
        for (const VelquorVehicleFamilyGroup &group : m_downloadManager.familyModels()) {
            bool changed = false;
            for (const VelquorVehicleFamilyModelPtr &family : group) {
                const VelquorDownloadModelPtr record = family ? family->model() : nullptr;
                if (!record || family->vehicle().compare(vehicle, Qt::CaseInsensitive) != 0)
                    continue;
                record->setState(update.state);
                record->setProgress(update.progress);
                if (update.totalFileSize)
                    record->setTotalFileSize(*update.totalFileSize);
                changed = true;
            }
            if (changed && update.firstGroupOnly)
                break;
        }
    });
}

void VelquorMyUpdatesView::requestUpdateList()
{
    m_poster.post([this] {
        if (!m_refreshCompletion || !m_myUpdatesModel)
            return;
        m_refreshCompletion(m_myUpdatesModel->serialNumber(), m_myUpdatesModel->serialID(),
                            m_myUpdatesModel->productName(), true);
    });
}

void VelquorMyUpdatesView::openSDMemory()
{
    m_poster.post([this] { m_alerts->openSDMemory(); });
}

void VelquorMyUpdatesView::openInstallNotRecorded(const QString &vehicle)
{
    m_poster.post([this, vehicle] { m_alerts->openInstallNotRecorded(vehicle); });
}

QHash<QString, QString> VelquorMyUpdatesView::appendVersions() const
{
    std::shared_ptr<VelquorMyUpdatesListModel> list;
    {
        std::lock_guard lock(m_listModelMutex);
        list = m_myUpdatesModel;
    }
    return list ? list->appendVersions() : QHash<QString, QString>();
}

void VelquorMyUpdatesView::replanVehicle(const QString &vehicle)
{
    m_poster.post([this, vehicle] { m_commands->replanVehicle(vehicle); });
}

// --- Sheets

void VelquorMyUpdatesView::alertSheetDidEnd(VelquorAlert *alert, int returnCode, void *)
{
    m_alerts->alertSheetDidEnd(alert, returnCode);
}

VelquorAlert *VelquorMyUpdatesView::velquorCapacityAlert() const
{
    return m_alerts->velquorCapacityAlert();
}

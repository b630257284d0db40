#pragma once

#include "controls/VelquorAlertDelegate.h"
#include "core/VelquorDeviceAttributes.h"
#include "updates/VelquorGuiPoster.h"
#include "updates/VelquorUpdatesPageServices.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QAbstractButton;
class QLabel;
class VelquorButton;
class VelquorCacheCleanup;
class VelquorCardChoice;
class VelquorComboBox;
class VelquorDownloadButton;
class VelquorDownloadCommands;
class VelquorDownloadHandOver;
class VelquorExtractionInstaller;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;
class VelquorMyUpdatesListModel;
class VelquorProgressRefresh;
class VelquorProgressView;
class VelquorSearchField;
class VelquorTableView;
class VelquorUpdatesAlerts;
class VelquorUpdatesTableSource;
class VelquorVehicleRows;
struct Notification;

// The updates page: the first tab of the main view. The main view hands it the account's devices
// and the chosen device's update list (setMyUpdatesModel); the page shows the card and device
// choice, one row per vehicle with something to download or install, the overall progress and the
// update-all, refresh and help buttons.
//
// A thin page: each concern is a collaborator of its own (card and device choice, vehicle rows, the
// table's data source, progress refresh, clean-up, sheets), and the page's methods forward to them.
// Widgets, the shown rows and the list model change on the GUI thread only; the notification
// handlers and the services may run on any thread and post their changes there, never waiting.
class VelquorMyUpdatesView : public QWidget, public VelquorUpdatesPageServices, public VelquorAlertDelegate
{
    Q_OBJECT
public:
    // Asks the main view to load a device's update list (serial number, serial ID, product name,
    // show the busy overlay).
    using RefreshCompletion = std::function<void(const QString &serialNumber, std::optional<qint64> serialID,
                                                 const QString &productName, bool refresh)>;
    // Tells the main view that software was deleted and every task dropped.
    using DeleteRefresh = std::function<void()>;

    explicit VelquorMyUpdatesView(QWidget *parent = nullptr);
    ~VelquorMyUpdatesView() override;

    // Stores the model, rebuilds the rows (unless work is in progress) and the card list; a model
    // marked for refresh scrolls the table to its first row.
    void setMyUpdatesModel(const std::shared_ptr<VelquorMyUpdatesListModel> &model);
    std::shared_ptr<VelquorMyUpdatesListModel> myUpdatesModel() const { return m_myUpdatesModel; }

    void setRefreshCompletion(RefreshCompletion completion) { m_refreshCompletion = std::move(completion); }
    RefreshCompletion refreshCompletion() const { return m_refreshCompletion; }
    void setDeleteRefresh(DeleteRefresh deleteRefresh) { m_deleteRefresh = std::move(deleteRefresh); }
    DeleteRefresh deleteRefresh() const { return m_deleteRefresh; }

    // Shows or hides the rows (hidden when the card was removed); scrolls to the first row.
    void displayUpdateView(bool display);

    // --- Rows.
    // Rebuilds the shown rows from the list model; `force` rebuilds even while work is in progress.
    void configDownload(bool force);
    bool isBasicSeriesDefaultProduct() const;
    double rowHeight() const { return m_rowHeight; }

    // --- Card and device choice.
    void comboBoxSelectionDidChange(VelquorComboBox *box);
    void accessFileDirectory();
    QList<VelquorDeviceAttributes> devices() const;
    bool isHelpBlinking() const;

    // --- Clean-up of the chosen device's records (after its tables are opened).
    void initApplicationDBCache();
    // Removes what the chosen card marks as half written, once another card is chosen while the
    // device's tables are open; the rows are rebuilt after it.
    void removeUnfinishedFolders();

    // --- Progress refresh.
    void reloadTotalGroupTask();
    bool isRefreshRunning() const;
    VelquorProgressRefresh *progressRefresh() const { return m_refresh; }

    // --- Commands. A press from a row no longer shown is dropped.
    void downloadAction(VelquorDownloadButton *sender);
    void detailAction(QAbstractButton *sender); // the row index in the property "tag"
    void updateAllAction();
    void refreshAction();
    void helpAction();

    // --- Notification handlers (workspace centre; they run on the posting thread).
    void deleteSofoware(const Notification &notification);
    void deleteVehicle(const Notification &notification);
    void downLoadProgress(const Notification &notification);
    void downloadRequestComplete(const Notification &notification);
    void downloadRequestError(const Notification &notification);
    void decompressFinished(const Notification &notification);

    // --- VelquorUpdatesPageServices (any thread).
    void reloadAllData() override;
    void reloadSDCard(bool askAccess) override;
    quint64 availableCapacity() const override;
    void setRowOfVehicle(const QString &vehicle, const VelquorRowUpdate &update) override;
    void requestUpdateList() override;
    void openSDMemory() override;
    void openInstallNotRecorded(const QString &vehicle) override;
    QHash<QString, QString> appendVersions() const override;
    void replanVehicle(const QString &vehicle) override;

    // --- VelquorAlertDelegate.
    void alertSheetDidEnd(VelquorAlert *alert, int returnCode, void *contextInfo) override;
    VelquorAlert *velquorCapacityAlert() const;

    // --- Controls.
    VelquorTableView *tableView() const { return m_tableView; }
    VelquorProgressView *progressView() const { return m_progressView; }
    QLabel *progressLabel() const { return m_progressLabel; }
    VelquorSearchField *sdCardField() const { return m_sdCardField; }
    VelquorComboBox *sdCardComboBox() const { return m_sdCardComboBox; }
    VelquorSearchField *serialNumberField() const { return m_serialNumberField; }
    VelquorComboBox *serialNumberComboBox() const { return m_serialNumberComboBox; }
    VelquorButton *updateAllButton() const { return m_updateAllButton; }
    VelquorButton *refreshButton() const { return m_refreshButton; }
    VelquorButton *helpButton() const { return m_helpButton; }
    // Paths of the application's png pictures: the vehicle pictures.
    QStringList pngLists() const;

signals:
    // A press on a shown row's download button reached the page.
    void downloadActionSent(qint64 row, qint64 state);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Ends a queued clean-up on the GUI thread: the rows are rebuilt after the last one when asked.
    std::function<void()> cleanupFinished();
    void setupUI();
    void configData();
    void observeNotifications();
    void makeQueues();
    void layoutSubviews();
    // Room the overall progress text needs for any of its texts on one line.
    QSize progressLabelSize() const;
    VelquorSearchField *createField(const QString &text);
    VelquorComboBox *createComboBox();
    void deleteAndRebuild();

    std::shared_ptr<VelquorMyUpdatesListModel> m_myUpdatesModel;
    mutable std::mutex m_listModelMutex; // its pointer is also read by the extraction
    RefreshCompletion m_refreshCompletion;
    DeleteRefresh m_deleteRefresh;
    double m_rowHeight;

    VelquorDownloadManager &m_downloadManager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorGuiPoster m_poster;

    VelquorTableView *m_tableView = nullptr;
    VelquorProgressView *m_progressView = nullptr;
    QLabel *m_progressLabel = nullptr;
    VelquorSearchField *m_sdCardField = nullptr;
    VelquorComboBox *m_sdCardComboBox = nullptr;
    VelquorSearchField *m_serialNumberField = nullptr;
    VelquorComboBox *m_serialNumberComboBox = nullptr;
    VelquorButton *m_updateAllButton = nullptr;
    VelquorButton *m_refreshButton = nullptr;
    VelquorButton *m_helpButton = nullptr;

    std::unique_ptr<VelquorVehicleRows> m_rows;
    std::unique_ptr<VelquorUpdatesTableSource> m_tableSource;
    std::unique_ptr<VelquorCacheCleanup> m_cleanup;
    std::unique_ptr<VelquorUpdatesAlerts> m_alerts;
    VelquorCardChoice *m_cardChoice = nullptr;
    VelquorProgressRefresh *m_refresh = nullptr;
    // The download work; torn down first, in this order, while the page's services still stand.
    std::unique_ptr<VelquorExtractionInstaller> m_installer;
    std::unique_ptr<VelquorDownloadHandOver> m_handOver;
    std::unique_ptr<VelquorDownloadCommands> m_commands;

    // Clean-ups queued and not yet done; a list arriving meanwhile is shown after them, so that
    // records they are about to reset or purge do not hold the rows back.
    int m_pendingCleanups = 0;
    bool m_rebuildAfterCleanup = false;
};

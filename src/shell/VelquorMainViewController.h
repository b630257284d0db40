#pragma once

#include "account/VelquorMyProfileView.h"
#include "account/VelquorSoftwareManagementView.h"
#include "account/VelquorSupportTicketsView.h"
#include "controls/VelquorAlert.h"
#include "controls/VelquorAlertDelegate.h"
#include "controls/VelquorTabItemModel.h"
#include "controls/VelquorTabView.h"
#include "controls/VelquorTabViewDataSource.h"
#include "controls/VelquorTabViewDelegate.h"
#include "core/VelquorDeviceMonitorDelegate.h"
#include "core/VelquorVehicleFamilyModel.h"
#include "shell/VelquorFooterView.h"
#include "shell/VelquorInitializingView.h"
#include "session/VelquorMainViewModel.h"
#include "session/VelquorProductListComposer.h"
#include "shell/VelquorTitleBarView.h"
#include "session/VelquorUpdateListComposer.h"
#include "session/VelquorUpdateListLoader.h"
#include "shell/VelquorViewController.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <memory>

class QLabel;
class VelquorMyUpdatesListModel;

// The main window's content after sign-in: the title band, the tab bar with its four pages (made
// once, kept for the controller's life), the footer, and the white "loading" cover. It loads the
// account's devices, loads the chosen device's update list for the updates page, follows card
// volumes coming and going, and asks before quitting while work is in progress.
//
// GUI thread only. Answers of the service are composed on the client's queue and applied here on
// the GUI thread, each only while it belongs to the latest request of its kind. The callbacks
// installed on the updates page may be called from any thread: they move to the GUI thread.
class VelquorMainViewController : public VelquorViewController,
                                  public VelquorTabViewDataSource,
                                  public VelquorTabViewDelegate,
                                  public VelquorDeviceMonitorDelegate,
                                  public VelquorAlertDelegate
{
    Q_OBJECT
public:
    // Tab positions.
    enum Tab : qint64 { UpdatesTab = 0, ProfileTab = 1, FeedbackTab = 2, SoftwareManagementTab = 3 };

    explicit VelquorMainViewController(QWidget *parent = nullptr);
    ~VelquorMainViewController() override;

    // --- Buttons of the title band. Closing (also by the window manager) goes through closeAction.
    void closeAction();
    void minimizeAction();
    bool windowShouldClose() override;

    // --- Loading.
    // Loads the account's devices with the cover shown; the flag changes nothing.
    void requestProductWithAlert(bool alert);
    // Loads the update list of the list model's chosen device.
    void reloadHomeData();
    // After software was deleted: shows the operating software or the packages of the last list again.
    void deleteResetHomeData();
    // Installs the updates page's two callbacks.
    void reloadUpdateView();
    void showInitializing();
    void hideInitializing();
    bool isInitializing() const;

    // --- Tab bar.
    qint64 numberOfItemsInTabView(VelquorTabView *tabView) override;
    VelquorTabItemModel tabViewItemAtIndex(VelquorTabView *tabView, qint64 index) override;
    QWidget *tabViewContentViewForItemAtIndex(VelquorTabView *tabView, qint64 index) override;
    void tabViewDidSelectTabItemAtIndex(VelquorTabView *tabView, qint64 index) override;

    // --- Card volumes.
    void deviceDidMounted(const Notification &notification) override;
    void deviceDidUnMounted(const Notification &notification) override;

    // --- Sheets of this controller.
    void alertSheetDidEnd(VelquorAlert *alert, int returnCode, void *contextInfo) override;

    // --- Outlets and state.
    VelquorTitleBarView *titleBarView() const { return m_titleBarView; }
    VelquorTabView *tabView() const { return m_tabView; }
    VelquorFooterView *bottomView() const { return m_bottomView; }
    VelquorInitializingView *initialzingView() const { return m_initialzingView; }
    QLabel *initializingLabel() const;
    VelquorMyUpdatesView *myUpdatesView() const { return m_myUpdatesView; }
    VelquorMyProfileView *profileView() const { return m_profileView; }
    VelquorSupportTicketsView *supportTicketsView() const { return m_supportTicketsView; }
    VelquorSoftwareManagementView *softwareManagementView() const { return m_softwareManagementView; }
    VelquorAlert *exitAlert() const { return m_exitAlert; }
    VelquorAlert *noUpdateAlert() const { return m_noUpdateAlert; }
    VelquorAlert *errorAlert() const { return m_errorAlert; }
    QList<VelquorTabItemModel> items() const { return m_items; }
    std::shared_ptr<VelquorMyUpdatesListModel> listModel() const { return m_listModel; }
    QStringList allSerialNumbers() const { return m_allSerialNumbers; }
    QStringList allProductNames() const { return m_allProductNames; }
    // Distinct product names, in answer order.
    QStringList productNames() const { return m_productNames; }
    QList<VelquorVehicleFamilyGroup> osArray() const { return m_updateListLoader.osArray(); }
    QList<VelquorVehicleFamilyGroup> vehicleArray() const { return m_updateListLoader.vehicleArray(); }
    VelquorUpdateListLoader &updateListLoader() { return m_updateListLoader; }

    // Height of the tab bar; the pages fill the tab view below it.
    static constexpr int kTabBarHeight = 44;

protected:
    void viewDidLoad() override;
    void layoutSubviews() override;

private:
    void buildItems();
    void initializing();
    void reloadTabView();
    // The product answer of request `request`, composed; applied only while it is the latest.
    void applyProducts(quint64 request, const VelquorProductListComposer::Result &result);
    void updateListDelivered(const VelquorUpdateListComposer::Result &result);
    // The plain sheet of a failed device list, a second after the failure.
    void alert(const QString &text);
    VelquorAlert *beginWarningSheet(const QString &messageKey, const QString &okKey, const QString &cancelKey);

    QPointer<VelquorTitleBarView> m_titleBarView;
    QPointer<VelquorTabView> m_tabView;
    QPointer<VelquorFooterView> m_bottomView;
    QPointer<VelquorInitializingView> m_initialzingView;
    QPointer<VelquorMyUpdatesView> m_myUpdatesView;
    QPointer<VelquorMyProfileView> m_profileView;
    QPointer<VelquorSupportTicketsView> m_supportTicketsView;
    QPointer<VelquorSoftwareManagementView> m_softwareManagementView;
    QPointer<VelquorAlert> m_exitAlert;
    QPointer<VelquorAlert> m_noUpdateAlert;
    QPointer<VelquorAlert> m_errorAlert;

    QList<VelquorTabItemModel> m_items;
    VelquorMainViewModel m_viewModel;
    VelquorUpdateListLoader m_updateListLoader;
    std::shared_ptr<VelquorMyUpdatesListModel> m_listModel;
    QStringList m_allSerialNumbers;
    QStringList m_allProductNames;
    QStringList m_productNames;
    quint64 m_productRequest = 0;
    bool m_closeConfirmed = false;
};

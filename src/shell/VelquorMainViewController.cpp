#include "shell/VelquorMainViewController.h"

#include "account/VelquorMyProfileView.h"
#include "account/VelquorSoftwareManagementView.h"
#include "account/VelquorSupportTicketsView.h"
#include "controls/VelquorAlert.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorTabView.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDeviceManager.h"
#include "core/VelquorDownloadManager.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "core/VelquorSupportTicketsModel.h"
#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "shell/VelquorExitGuard.h"
#include "shell/VelquorFooterView.h"
#include "shell/VelquorInitializingView.h"
#include "shell/VelquorMessageSheet.h"
#include "session/VelquorShellStyle.h"
#include "shell/VelquorTitleBarView.h"
#include "shell/VelquorWindow.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QPushButton>
#include <QTimer>

namespace {

// The plain sheet of a failed device list comes up this long after the failure.
constexpr int kAlertDelayMs = 1000;

QString text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

// Runs `work` on the GUI thread: at once when called there, otherwise posted and never waited for.
void onGuiThread(DispatchQueue::Work work)
{
    if (DispatchQueue::main().isCurrent())
        work();
    else
        DispatchQueue::main().async(std::move(work));
}

} // namespace

VelquorMainViewController::VelquorMainViewController(QWidget *parent)
    : VelquorViewController(parent), m_listModel(std::make_shared<VelquorMyUpdatesListModel>())
{
    buildItems();
}

VelquorMainViewController::~VelquorMainViewController()
{
    VelquorDeviceManager &devices = VelquorDeviceManager::sharedManager();
    if (devices.delegate() == this)
        devices.setDelegate(nullptr);
    if (m_tabView) {
        m_tabView->setDataSource(nullptr);
        m_tabView->setDelegate(nullptr);
    }
    // The pages belong to this controller, wherever the tab view keeps them at the moment.
    delete m_myUpdatesView.data();
    delete m_profileView.data();
    delete m_supportTicketsView.data();
    delete m_softwareManagementView.data();
}

void VelquorMainViewController::buildItems()
{
    m_items = {
        {text(QStringLiteral("Main1")), QStringLiteral("Toolbar_update")},
        {text(QStringLiteral("Main3")), QStringLiteral("Toolbar_info")},
        {text(QStringLiteral("Main4")), QStringLiteral("Toolbar_feedback")},
        {text(QStringLiteral("Main7")), QStringLiteral("Toolbar_print")},
    };
}

void VelquorMainViewController::viewDidLoad()
{
    VelquorViewController::viewDidLoad();
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    m_titleBarView = new VelquorTitleBarView(QStringLiteral("%1 V%2").arg(AppInfo::name(), AppInfo::version()), this);
    m_titleBarView->setObjectName(QStringLiteral("titleBarView"));
    m_titleBarView->titleLabel()->setObjectName(QStringLiteral("titleSearchField"));
    connect(m_titleBarView->closeButton(), &QPushButton::clicked, this, &VelquorMainViewController::closeAction);
    connect(m_titleBarView->miniButton(), &QPushButton::clicked, this, &VelquorMainViewController::minimizeAction);

    m_bottomView = new VelquorFooterView(text(QStringLiteral("App3")), text(QStringLiteral("App4")), this);
    m_bottomView->setObjectName(QStringLiteral("bottomView"));

    m_tabView = new VelquorTabView(this);
    m_tabView->setObjectName(QStringLiteral("tabView"));
    m_tabView->setItemHeight(kTabBarHeight);

    // Each page is made once and kept; the tab view only shows one at a time.
    m_myUpdatesView = new VelquorMyUpdatesView(this);
    m_myUpdatesView->setObjectName(QStringLiteral("myUpdatesView"));
    m_profileView = new VelquorMyProfileView(this);
    m_profileView->setObjectName(QStringLiteral("profileView"));
    m_supportTicketsView = new VelquorSupportTicketsView(this);
    m_supportTicketsView->setObjectName(QStringLiteral("supportTicketsView"));
    m_softwareManagementView = new VelquorSoftwareManagementView(this);
    m_softwareManagementView->setObjectName(QStringLiteral("softwareManagementView"));
    for (QWidget *page :
         {static_cast<QWidget *>(m_myUpdatesView), static_cast<QWidget *>(m_profileView),
          static_cast<QWidget *>(m_supportTicketsView), static_cast<QWidget *>(m_softwareManagementView)})
        page->hide();

    m_tabView->setDelegate(this);
    m_tabView->setDataSource(this);

    VelquorDeviceManager::sharedManager().setDelegate(this);
    initializing();
    requestProductWithAlert(true);
}

void VelquorMainViewController::initializing()
{
    m_initialzingView = new VelquorInitializingView(text(QStringLiteral("MainHint2")), this);
    m_initialzingView->setObjectName(QStringLiteral("initialzingView"));
    m_initialzingView->raise();
}

QLabel *VelquorMainViewController::initializingLabel() const
{
    return m_initialzingView ? m_initialzingView->initializingLabel() : nullptr;
}

void VelquorMainViewController::layoutSubviews()
{
    if (!m_titleBarView)
        return;
    const int titleHeight = VelquorShellStyle::kTitleBarHeight;
    const int footerHeight = VelquorFooterView::kHeight;
    m_titleBarView->setGeometry(0, 0, width(), titleHeight);
    m_bottomView->setGeometry(0, height() - footerHeight, width(), footerHeight);
    m_tabView->setGeometry(0, titleHeight, width(), height() - titleHeight - footerHeight);
    // The cover hides the pages, not the tab bar.
    const int barHeight = qRound(m_tabView->itemHeight());
    m_initialzingView->setGeometry(0, titleHeight + barHeight, m_tabView->width(), m_tabView->height() - barHeight);
}

void VelquorMainViewController::showInitializing()
{
    if (!m_initialzingView)
        return;
    m_initialzingView->raise();
    m_initialzingView->show();
}

void VelquorMainViewController::hideInitializing()
{
    if (m_initialzingView)
        m_initialzingView->hide();
}

bool VelquorMainViewController::isInitializing() const
{
    return m_initialzingView && !m_initialzingView->isHidden();
}

void VelquorMainViewController::reloadTabView()
{
    if (m_tabView)
        m_tabView->reloadTabView();
}

// --- Devices of the account.

void VelquorMainViewController::requestProductWithAlert(bool)
{
    showInitializing();
    m_allSerialNumbers.clear();
    m_allProductNames.clear();
    m_productNames.clear();
    // The list model shares these lists: a failed answer leaves the updates page without devices.
    m_listModel->setAllSerialNumbers({});
    m_listModel->setAllProductNames({});

    const quint64 request = ++m_productRequest;
    const QPointer<VelquorMainViewController> self(this);
    m_viewModel.requestProductSerialNumbersWithCompletion(
        [self, request](std::shared_ptr<VelquorProductResultModel> answer, const auto &) {
            // Composed where the answer arrives; applied on the GUI thread.
            const VelquorProductListComposer::Result result = VelquorProductListComposer::compose(answer);
            onGuiThread([self, request, result] {
                if (self)
                    self->applyProducts(request, result);
            });
        });
}

void VelquorMainViewController::applyProducts(quint64 request, const VelquorProductListComposer::Result &result)
{
    // A card mounted meanwhile asked again: only the latest answer counts.
    if (request != m_productRequest)
        return;
    if (!result.alertKey.isEmpty()) {
        alert(text(result.alertKey));
        return;
    }
    m_allSerialNumbers = result.allSerialNumbers;
    m_allProductNames = result.allProductNames;
    m_productNames = result.distinctProductNames;
    VelquorProductListComposer::apply(result, *m_listModel);
    hideInitializing();
    reloadTabView();
}

void VelquorMainViewController::alert(const QString &message)
{
    const quint64 request = m_productRequest;
    QTimer::singleShot(kAlertDelayMs, this, [this, message, request] {
        // The devices were asked for again meanwhile: that answer speaks instead.
        if (request != m_productRequest)
            return;
        const QPointer<VelquorMainViewController> self(this);
        VelquorMessageSheet::beginSheet(window(), message, [self] {
            if (!self)
                return;
            self->hideInitializing();
            self->reloadTabView();
        });
    });
}

// --- Update list of the chosen device.

void VelquorMainViewController::reloadHomeData()
{
    const QPointer<VelquorMainViewController> self(this);
    m_updateListLoader.reloadHomeData(m_listModel, [self](const VelquorUpdateListComposer::Result &result) {
        if (self)
            self->updateListDelivered(result);
    });
}

void VelquorMainViewController::updateListDelivered(const VelquorUpdateListComposer::Result &result)
{
    switch (result.kind) {
    case VelquorUpdateListComposer::Result::Kind::List:
        hideInitializing();
        reloadTabView();
        break;
    case VelquorUpdateListComposer::Result::Kind::ErrorAlert:
        m_errorAlert = beginWarningSheet(result.alertKey, QStringLiteral("Update21"), QString());
        break;
    case VelquorUpdateListComposer::Result::Kind::NoUpdateAlert:
        m_noUpdateAlert = beginWarningSheet(QStringLiteral("UpdateHint12"), QStringLiteral("Update21"), QString());
        break;
    }
}

void VelquorMainViewController::deleteResetHomeData()
{
    m_updateListLoader.deleteResetHomeData(*m_listModel);
    hideInitializing();
    reloadTabView();
}

void VelquorMainViewController::reloadUpdateView()
{
    if (!m_myUpdatesView)
        return;
    const QPointer<VelquorMainViewController> weakSelf(this);
    m_myUpdatesView->setRefreshCompletion([weakSelf](const QString &serialNumber, std::optional<qint64> serialID,
                                                     const QString &productName, bool refresh) {
        onGuiThread([weakSelf, serialNumber, serialID, productName, refresh] {
            VelquorMainViewController *self = weakSelf;
            if (!self)
                return;
            if (refresh)
                self->showInitializing();
            self->m_listModel->setSerialNumber(serialNumber);
            self->m_listModel->setSerialID(serialID);
            self->m_listModel->setProductName(productName);
            self->m_listModel->setRefresh(refresh);
            VelquorDownloadManager::sharedManager().setProductName(productName);
            self->reloadHomeData();
        });
    });
    m_myUpdatesView->setDeleteRefresh([weakSelf] {
        onGuiThread([weakSelf] {
            if (weakSelf)
                weakSelf->deleteResetHomeData();
        });
    });
}

// --- Tab bar.

qint64 VelquorMainViewController::numberOfItemsInTabView(VelquorTabView *)
{
    return m_items.size();
}

VelquorTabItemModel VelquorMainViewController::tabViewItemAtIndex(VelquorTabView *, qint64 index)
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : VelquorTabItemModel{};
}

QWidget *VelquorMainViewController::tabViewContentViewForItemAtIndex(VelquorTabView *tabView, qint64 index)
{
    QWidget *page = nullptr;
    switch (index) {
    case UpdatesTab:
        if (!m_listModel->allSerialNumbers().isEmpty())
            m_myUpdatesView->setMyUpdatesModel(m_listModel);
        reloadUpdateView();
        page = m_myUpdatesView;
        break;
    case ProfileTab:
        page = m_profileView;
        break;
    case FeedbackTab: {
        VelquorSupportTicketsModel tickets;
        tickets.setScanners(m_productNames);
        m_supportTicketsView->setTicketsModel(tickets);
        page = m_supportTicketsView;
        break;
    }
    case SoftwareManagementTab:
        m_softwareManagementView->updateTableView();
        page = m_softwareManagementView;
        break;
    default:
        return nullptr;
    }
    page->setGeometry(0, 0, tabView->width(), tabView->height() - kTabBarHeight);
    return page;
}

void VelquorMainViewController::tabViewDidSelectTabItemAtIndex(VelquorTabView *, qint64 index)
{
    if (index == SoftwareManagementTab)
        m_softwareManagementView->updateTableView();
}

// --- Card volumes.

void VelquorMainViewController::deviceDidMounted(const Notification &)
{
    if (!m_tabView)
        return;
    switch (m_tabView->currentItemIndex()) {
    case UpdatesTab:
        requestProductWithAlert(true);
        break;
    case SoftwareManagementTab:
        m_softwareManagementView->updateTableView();
        break;
    default:
        break;
    }
}

void VelquorMainViewController::deviceDidUnMounted(const Notification &)
{
    if (!m_tabView)
        return;
    switch (m_tabView->currentItemIndex()) {
    case UpdatesTab:
        reloadTabView();
        m_myUpdatesView->displayUpdateView(false);
        break;
    case SoftwareManagementTab:
        m_softwareManagementView->removeAllData();
        break;
    default:
        break;
    }
}

// --- Sheets and closing.

VelquorAlert *VelquorMainViewController::beginWarningSheet(const QString &messageKey, const QString &okKey,
                                                           const QString &cancelKey)
{
    VelquorAlert *sheet = VelquorAlert::alertWithTitle(AppInfo::name(), text(messageKey), text(okKey),
                                                       cancelKey.isEmpty() ? QString() : text(cancelKey),
                                                       VelquorImages::named(QStringLiteral("warning")));
    sheet->beginSheetModalForWindow(window(), this);
    return sheet;
}

void VelquorMainViewController::alertSheetDidEnd(VelquorAlert *sheet, int returnCode, void *)
{
    if (sheet == m_exitAlert) {
        m_exitAlert = nullptr;
        if (returnCode != VelquorAlert::OKReturnCode)
            return;
        m_closeConfirmed = true;
        window()->close();
        return;
    }
    if (sheet == m_noUpdateAlert || sheet == m_errorAlert) {
        hideInitializing();
        reloadTabView();
    }
}

void VelquorMainViewController::closeAction()
{
    window()->close();
}

bool VelquorMainViewController::windowShouldClose()
{
    if (m_closeConfirmed || !VelquorExitGuard::workInProgress())
        return true;
    // Asked once; a second close while the question is up changes nothing.
    if (!m_exitAlert)
        m_exitAlert =
            beginWarningSheet(QStringLiteral("UpdateHint11"), QStringLiteral("Update26"), QStringLiteral("Update27"));
    return false;
}

void VelquorMainViewController::minimizeAction()
{
    if (VelquorWindow *host = velquorWindow())
        host->miniaturize();
    else
        window()->showMinimized();
}

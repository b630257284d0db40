#include "updates/VelquorUpdatesAlerts.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorHelpAlert.h"
#include "core/VelquorCommonTool.h"
#include "platform/AppInfo.h"
#include "updates/VelquorMyUpdatesView.h"
#include "updates/VelquorUpdatesConstants.h"

#include <memory>

VelquorUpdatesAlerts::VelquorUpdatesAlerts(VelquorMyUpdatesView &page) : m_page(page) {}

void VelquorUpdatesAlerts::openSDMemory()
{
    if (m_capacityAlert && m_capacityAlert->isSheet())
        return;
    const VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    m_capacityAlert = VelquorAlert::alertWithTitle(AppInfo::name(), tool.localizedString(QStringLiteral("UpdateHint14")),
                                                   tool.localizedString(QStringLiteral("Update21")), QString());
    m_capacityAlert->beginSheetModalForWindow(m_page.window(), &m_page);
}

void VelquorUpdatesAlerts::openDatabaseUnavailable(const QString &path)
{
    showMessage(VelquorCommonTool::sharedTool().localizedString(QStringLiteral("UpdateHint15")).arg(path));
}

void VelquorUpdatesAlerts::openInstallNotRecorded(const QString &vehicle)
{
    showMessage(VelquorCommonTool::sharedTool().localizedString(QStringLiteral("UpdateHint16")).arg(vehicle));
}

void VelquorUpdatesAlerts::showMessage(const QString &message)
{
    const VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    VelquorAlert::alertWithTitle(AppInfo::name(), message, tool.localizedString(QStringLiteral("Update21")), QString())
        ->beginSheetModalForWindow(m_page.window(), &m_page);
}

void VelquorUpdatesAlerts::alertSheetDidEnd(VelquorAlert *alert, int returnCode)
{
    if (!alert || alert != m_capacityAlert)
        return;
    m_capacityAlert = nullptr;
    m_page.reloadSDCard(false);
}

void VelquorUpdatesAlerts::helpAction()
{
    std::unique_ptr<VelquorHelpAlert> help(
        VelquorHelpAlert::helpAlertWithTitle(QString(), VelquorUpdates::kHelpPictureImage, true));
    help->runModal();
}

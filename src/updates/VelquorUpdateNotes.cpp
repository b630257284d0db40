#include "VelquorUpdateNotes.h"

#include "controls/VelquorImages.h"
#include "core/VelquorCommonTool.h"
#include "platform/AppInfo.h"
#include "session/VelquorShellConstants.h"
#include "updates/VelquorPackageEntries.h"
#include "updates/VelquorUpdateInfoAlert.h"

#include <QStringList>

namespace {

void addOnce(QStringList &list, const QString &text)
{
    if (!list.contains(text))
        list.append(text);
}

} // namespace

QString VelquorUpdateNotes::message(const VelquorVehicleFamilyGroup &group, bool basicSeries)
{
    VelquorDownloadModelList records;
    QStringList titles;
    for (const VelquorVehicleFamilyModelPtr &family : group) {
        const VelquorDownloadModelPtr record = family->model();
        if (record) {
            records.append(record);
            if (basicSeries) {
                for (const QString &name : family->subVehicles())
                    addOnce(titles, name);
            } else {
                addOnce(titles, record->software().toUpper());
            }
        }
        if (VelquorPackageEntries::isInstaller(family->vehicle())) {
            addOnce(titles, VelquorShell::kInstallerSoftware);
            break;
        }
    }

    QStringList notes;
    for (const auto &record : std::as_const(records)) {
        const QString updateInfo = record->updateInfo();
        const QString info = VelquorCommonTool::isUsableText(updateInfo) ? updateInfo : QString();
        if (basicSeries)
            addOnce(notes, info + QLatin1Char('\n'));
        else
            addOnce(notes, record->software() + QStringLiteral(":\n") + info + QLatin1Char('\n'));
    }
    if (basicSeries)
        return titles.join(QLatin1Char('\n')) + QStringLiteral(":\n") + notes.join(QLatin1Char('\n'));
    return notes.join(QLatin1Char('\n'));
}

VelquorUpdateInfoAlert *VelquorUpdateNotes::detailAction(const VelquorVehicleFamilyGroup &group, bool basicSeries,
                                                         QWidget *window, VelquorAlertDelegate *delegate)
{
    VelquorUpdateInfoAlert *alert = VelquorUpdateInfoAlert::updateInfoAlertWithTitle(
        AppInfo::name(), message(group, basicSeries),
        VelquorCommonTool::sharedTool().localizedString(QStringLiteral("Update21")),
        VelquorImages::named(QStringLiteral("warning")));
    alert->beginSheetModalForWindow(window, delegate);
    return alert;
}

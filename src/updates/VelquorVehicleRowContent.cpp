#include "updates/VelquorVehicleRowContent.h"

#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadModel.h"
#include "platform/ByteCountFormatter.h"
#include "updates/VelquorUpdatesConstants.h"

#include <cmath>

namespace {

void addOnce(QStringList &list, const QString &value)
{
    if (!list.contains(value))
        list.append(value);
}

// Old maintenance names keep the pictures of their current spelling.
QString imageNameOfVehicle(const QString &vehicle)
{
    if (vehicle.compare(QLatin1String("MAINTENANCE_LANDROVER"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("MAINTENANCE_JAL");
    if (vehicle.compare(QLatin1String("MAINTENANCE_SSANGYONG"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("MAINTENANCE_SANGYONG");
    return vehicle;
}

QString lastPathComponent(const QString &path)
{
    QString normalised = path;
    normalised.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return normalised.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
}

} // namespace

VelquorVehicleRowContent VelquorVehicleRowContent::fromGroup(const VelquorVehicleFamilyGroup &group, bool basicSeries)
{
    VelquorVehicleRowContent content;
    content.basicSeries = basicSeries;
    VelquorDownloadModelPtr last;
    QString lastVehicle;
    for (const VelquorVehicleFamilyModelPtr &family : group) {
        const VelquorDownloadModelPtr record = family ? family->model() : nullptr;
        if (!record)
            continue;
        const QString vehicle = family->vehicle();
        if (basicSeries) {
            for (const QString &name : family->subVehicles())
                addOnce(content.names, name);
        } else {
            addOnce(content.names, record->software().toUpper());
        }
        addOnce(content.versions, record->version());
        addOnce(content.releaseVersions, record->releaseVerion());
        addOnce(content.languages, record->language());
        const QString info = VelquorCommonTool::isUsableText(record->updateInfo()) ? record->updateInfo() : QString();
        addOnce(content.notes, basicSeries ? QStringLiteral("%1\n").arg(info)
                                           : QStringLiteral("%1:\n%2\n").arg(record->software(), info));
        last = record;
        lastVehicle = vehicle;
        if (vehicle.compare(VelquorUpdates::kInstallerSoftware, Qt::CaseInsensitive) == 0) {
            addOnce(content.names, VelquorUpdates::kInstallerSoftware);
            break;
        }
    }
    content.languages.sort(Qt::CaseInsensitive);
    if (last) {
        content.state = last->state();
        content.progress = last->progress();
        content.totalFileSize = last->totalFileSize();
        content.isUpdate = last->isUpdate();
        content.vehicleImageName = imageNameOfVehicle(lastVehicle);
        content.backupImageName = lastPathComponent(last->sdPath());
    }
    return content;
}

QString VelquorVehicleRowContent::title() const
{
    return names.join(QLatin1Char('\n'));
}

QString VelquorVehicleRowContent::mainText() const
{
    const QString fourth = state == VelquorDownloadStateNone ? languages.join(QLatin1Char('/'))
                                                             : ByteCountFormatter::fileStyle(qint64(totalFileSize));
    return QStringLiteral("%1\n%2\n%3\n%4")
        .arg(title(), versions.join(QLatin1Char('/')), releaseVersions.join(QLatin1Char('/')), fourth);
}

QString VelquorVehicleRowContent::heightText() const
{
    return QStringLiteral("%1\n%2\n%3\n%4")
        .arg(title(), versions.join(QLatin1Char('/')), releaseVersions.join(QLatin1Char('/')),
             languages.join(QLatin1Char('/')));
}

QString VelquorVehicleRowContent::notesText() const
{
    const QString joined = notes.join(QLatin1Char('\n'));
    return basicSeries ? title() + QStringLiteral(":\n") + joined : joined;
}

double VelquorVehicleRowContent::progressValue() const
{
    if (state == VelquorDownloadStateDownloaded || state == VelquorDownloadStateWaitingInstall)
        return 0;
    if (state == VelquorDownloadStateInstalled)
        return 1.0;
    return progress;
}

QString VelquorVehicleRowContent::progressText() const
{
    return QStringLiteral("%1%").arg(std::floor(progressValue() * 100), 0, 'f', 0);
}

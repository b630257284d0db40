#include "updates/VelquorOverallProgress.h"

#include "core/VelquorCommonTool.h"
#include "platform/ByteCountFormatter.h"
#include "updates/VelquorUpdatesConstants.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

bool inWork(qint64 state)
{
    return state == VelquorDownloadStateDownloading || state == VelquorDownloadStateWaiting ||
           state == VelquorDownloadStatePaused || state == VelquorDownloadStateExtracting ||
           state == VelquorDownloadStateWaitingInstall;
}

bool isSpecialSoftware(const QString &software)
{
    return software.compare(VelquorUpdates::kOperatingSoftware, Qt::CaseInsensitive) == 0 ||
           software.compare(VelquorUpdates::kInstallerSoftware, Qt::CaseInsensitive) == 0;
}

} // namespace

VelquorOverallProgress VelquorOverallProgress::compute(const Input &input)
{
    VelquorOverallProgress result;

    // The shown records, by upper-case vehicle.
    QHash<QString, int> shownVehicles;
    QStringList working;
    for (const VelquorVehicleFamilyGroup &group : input.rows) {
        for (const VelquorVehicleFamilyModelPtr &family : group) {
            const VelquorDownloadModelPtr record = family ? family->model() : nullptr;
            if (!record)
                continue;
            const qint64 state = record->state();
            const QString vehicle = record->vehicle().toUpper();
            shownVehicles[vehicle] += 1;
            if (state != VelquorDownloadStateNone && state != VelquorDownloadStateFailed &&
                state != VelquorDownloadStateInstallFailed)
                result.active = true;
            if (inWork(state) && !working.contains(vehicle))
                working.append(vehicle);
        }
    }

    // The download rows, by upper-case vehicle, and those the speed and the timer look at.
    QHash<QString, VelquorDownloadModelList> rowsOfVehicle;
    VelquorDownloadModelList downloading;
    qint64 waiting = 0;
    bool transferring = false;
    for (const VelquorDownloadModelPtr &row : input.downloadRows) {
        rowsOfVehicle[row->vehicle().toUpper()].append(row);
        const qint64 state = row->state();
        if (state == VelquorDownloadStateDownloading)
            downloading.append(row);
        if (state == VelquorDownloadStateWaiting)
            ++waiting;
        if (state == VelquorDownloadStateDownloading || state == VelquorDownloadStateWaiting)
            transferring = true;
    }
    // Latest state change first, as the database hands them out.
    std::stable_sort(downloading.begin(), downloading.end(), [](const auto &a, const auto &b) {
        return a->lastStateTime() > b->lastStateTime();
    });
    result.working = !input.extractingVehicles.isEmpty() || transferring;

    // Finished: an installed vehicle that is still listed and whose rows are all installed.
    QStringList installed;
    for (const VelquorDownloadModelPtr &record : input.installRecords) {
        const QString vehicle = record->vehicle().toUpper();
        if (!installed.contains(vehicle))
            installed.append(vehicle);
    }
    QSet<QString> finished;
    for (const QString &vehicle : std::as_const(installed)) {
        if (!shownVehicles.contains(vehicle))
            continue;
        const VelquorDownloadModelList rows = rowsOfVehicle.value(vehicle);
        if (!rows.isEmpty() && std::all_of(rows.begin(), rows.end(), [](const auto &row) {
                return row->state() == VelquorDownloadStateInstalled;
            }))
            finished.insert(vehicle);
    }
    result.done = finished.size();
    result.busy = working.size();
    result.total = result.done + result.busy;
    if (!result.active)
        return result;

    qint64 latest = 0;
    for (const VelquorDownloadModelPtr &row : std::as_const(downloading)) {
        result.speed += row->speed();
        latest = std::max(latest, qint64(row->lastSpeedTime()));
    }
    if ((input.nowMicroseconds - latest) * 0.001 * 0.001 > VelquorUpdates::kStaleSpeedSeconds)
        result.speed = 0;
    result.value = result.total > 0 ? double(result.done) / double(result.total) * 100.0 : 0.0;

    if (result.total == result.done && result.done != 0) {
        result.text = Text::Finished;
        result.hideAfterFinished = downloading.isEmpty() || isSpecialSoftware(downloading.first()->software());
    } else if (downloading.size() + waiting >= 1) {
        result.text = Text::Counts;
    } else if (!input.extractingVehicles.isEmpty()) {
        result.text = Text::Extracting;
    } else if (input.anyPaused) {
        result.text = Text::Paused;
    } else {
        result.text = Text::Extracting;
    }
    return result;
}

QString VelquorOverallProgress::labelText() const
{
    const VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    switch (text) {
    case Text::Finished:
        return tool.localizedString(QStringLiteral("Update36"));
    case Text::Counts:
        return QStringLiteral("%1/%2\uFF08%3/s\uFF09").arg(done).arg(total).arg(ByteCountFormatter::fileStyle(qint64(speed)));
    case Text::Extracting:
        return tool.localizedString(QStringLiteral("Update34"));
    case Text::Paused:
        return tool.localizedString(QStringLiteral("Update32"));
    }
    return {};
}

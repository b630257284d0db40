#pragma once

#include "core/VelquorDownloadModel.h"
#include "core/VelquorVehicleFamilyModel.h"

#include <QStringList>

namespace shelltest {

// A record of an update-list answer; a null software leaves the field absent.
inline VelquorDownloadModelPtr record(const QString &software, const QString &version, const QString &sdPath = {},
                                      const QString &language = {}, double price = 0)
{
    auto model = VelquorDownloadModel::create();
    if (!software.isNull())
        model->setSoftware(software);
    model->setVersion(version);
    if (!sdPath.isNull())
        model->setSdPath(sdPath);
    if (!language.isNull())
        model->setLanguage(language);
    model->setPrice(price);
    return model;
}

// One line per group: "vehicle [sub, ...] = software version" per family, families joined by " + ".
inline QStringList describe(const QList<VelquorVehicleFamilyGroup> &groups)
{
    QStringList lines;
    for (const auto &group : groups) {
        QStringList families;
        for (const auto &family : group) {
            families.append(QStringLiteral("%1 [%2] = %3 %4")
                                .arg(family->vehicle(), family->subVehicles().join(QStringLiteral(", ")),
                                     family->model()->software(), family->model()->version()));
        }
        lines.append(families.join(QStringLiteral(" + ")));
    }
    return lines;
}

} // namespace shelltest

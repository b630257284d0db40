#pragma once

#include "core/VelquorDownloadModel.h"

#include <QHash>
#include <QString>

// Decides whether an incremental ("APPEND") package applies to what the card holds.
class BaseMainTools
{
public:
    // appendVersions: the product's section of car_version (upper-case card path -> lowest
    // installed version from which the append package may be applied).
    static bool isHasAppend(const QHash<QString, QString> &appendVersions, const VelquorDownloadModelPtr &model);
    // The same, for the version text the card holds of the package (empty: none).
    static bool isHasAppend(const QHash<QString, QString> &appendVersions, const VelquorDownloadModelPtr &model,
                            const QString &installedVersion);
    // The number after the first "V" (or of the whole text), as a 32-bit float; 0 when none.
    static float getVersion(const QString &version);
};

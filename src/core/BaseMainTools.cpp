#include "BaseMainTools.h"

#include "core/VelquorCommonTool.h"

#include <cmath>

float BaseMainTools::getVersion(const QString &version)
{
    const qsizetype v = version.indexOf(QLatin1Char('V'));
    const QString number = v >= 0 ? version.mid(v + 1) : version;
    // The leading number only; the version-number rule strips the other characters at both ends.
    const QString trimmed = number.trimmed();
    qsizetype end = 0;
    bool seenPoint = false;
    if (end < trimmed.size() && (trimmed.at(end) == QLatin1Char('+') || trimmed.at(end) == QLatin1Char('-')))
        ++end;
    for (; end < trimmed.size(); ++end) {
        const QChar c = trimmed.at(end);
        if (c == QLatin1Char('.') && !seenPoint)
            seenPoint = true;
        else if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
    }
    bool ok = false;
    const float value = trimmed.left(end).toFloat(&ok);
    return ok ? value : 0.0f;
}

bool BaseMainTools::isHasAppend(const QHash<QString, QString> &appendVersions, const VelquorDownloadModelPtr &model)
{
    if (!model || !model->filePath().contains(QLatin1String("APPEND")))
        return false; // the card is read only for an append
    VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    return isHasAppend(appendVersions, model, VelquorCommonTool::getVersionFromFilePath(tool.getSoftwarePath(model)));
}

bool BaseMainTools::isHasAppend(const QHash<QString, QString> &appendVersions, const VelquorDownloadModelPtr &model,
                                const QString &installedText)
{
    if (!model || !model->filePath().contains(QLatin1String("APPEND")))
        return false;
    // An append package never has a whole version.
    const float appendVersion = getVersion(model->version());
    if (std::floor(appendVersion) == appendVersion)
        return false;
    const QString sdPath = model->sdPath();
    if (!VelquorCommonTool::isUsableText(sdPath))
        return false;
    const auto entry = appendVersions.constFind(sdPath.toUpper());
    if (entry == appendVersions.constEnd())
        return false;
    if (installedText.isEmpty())
        return false;
    const float installed = getVersion(installedText);
    // The append must not belong to a newer whole version than the installed one.
    if (std::floor(appendVersion) - std::floor(installed) > 0)
        return false;
    return installed >= getVersion(entry.value());
}

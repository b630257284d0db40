#include "account/VelquorPageAlert.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorImages.h"
#include "core/VelquorCommonTool.h"
#include "platform/AppInfo.h"

#include <QWidget>

namespace {
constexpr int kIconSide = 64;
} // namespace

void VelquorPageAlert::show(QWidget *page, const QString &message, const QString &imageName, const QString &okKey)
{
    QPixmap image = imageName.isEmpty() ? QPixmap() : VelquorImages::named(imageName);
    if (!image.isNull())
        image = image.scaled(kIconSide, kIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    VelquorAlert *alert =
        VelquorAlert::alertWithTitle(AppInfo::name(), message,
                                     VelquorCommonTool::sharedTool().localizedString(okKey), QString(), image);
    alert->beginSheetModalForWindow(page ? page->window() : nullptr, nullptr);
}

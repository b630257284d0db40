#include "shell/VelquorMessageSheet.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorAlertDelegate.h"
#include "controls/VelquorImages.h"
#include "core/VelquorCommonTool.h"
#include "session/VelquorShellConstants.h"

#include <QObject>

namespace {

constexpr int kIconSide = 64;

// Lives as a child of its alert, so it goes when the alert goes.
class SheetEnd : public QObject, public VelquorAlertDelegate
{
public:
    SheetEnd(QObject *parent, std::function<void()> didEnd) : QObject(parent), m_didEnd(std::move(didEnd)) {}

    void alertSheetDidEnd(VelquorAlert *, int, void *) override
    {
        if (auto didEnd = std::exchange(m_didEnd, nullptr))
            didEnd();
    }

private:
    std::function<void()> m_didEnd;
};

} // namespace

VelquorAlert *VelquorMessageSheet::beginSheet(QWidget *window, const QString &message, std::function<void()> didEnd)
{
    const QPixmap icon = VelquorImages::named(VelquorShell::kAppIconImage, QSize(kIconSide, kIconSide));
    const QString ok = VelquorCommonTool::sharedTool().localizedString(QStringLiteral("Update21"));
    VelquorAlert *alert = VelquorAlert::alertWithTitle(QString(), message, ok, QString(), icon);
    auto *end = new SheetEnd(alert, std::move(didEnd));
    alert->beginSheetModalForWindow(window, end);
    return alert;
}

// The shell's screens: sign-in (empty, filled, busy), sign-up (empty, filled), the main view (its
// tabs, loading cover and exit question), a message sheet and the terms document.
#include "ShotRegistry.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorHelpAlert.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorSecureTextField.h"
#include "controls/VelquorTabView.h"
#include "core/VelquorCommonTool.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "shell/VelquorRegisteViewController.h"
#include "session/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorWindow.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>

namespace {

std::unique_ptr<QWidget> windowWith(const QString &identifier)
{
    auto window = std::make_unique<VelquorWindow>();
    window->setContentViewController(VelquorStoryboard::instantiateControllerWithIdentifier(identifier));
    return window;
}

template <class Controller> Controller *contentOf(QWidget *window)
{
    return qobject_cast<Controller *>(static_cast<VelquorWindow *>(window)->contentViewController());
}

void fillLogin(QWidget *window)
{
    auto *login = contentOf<VelquorLoginViewController>(window);
    login->accountField()->setText(QStringLiteral("demo"));
    login->passwordField()->secureTextField()->setText(QStringLiteral("demo1234"));
    login->rememberButton()->setChecked(true);
}

} // namespace

VELQUOR_SHOTS(registry)
{
    registry.add("shell", "login", [] { return windowWith(VelquorShell::kLoginViewControllerIdentifier); });
    registry.add(
        "shell", "login-filled", [] { return windowWith(VelquorShell::kLoginViewControllerIdentifier); }, fillLogin);
    registry.add(
        "shell", "login-busy", [] { return windowWith(VelquorShell::kLoginViewControllerIdentifier); },
        [](QWidget *window) {
            fillLogin(window);
            contentOf<VelquorLoginViewController>(window)->logining(true);
        });
    registry.add("shell", "registe", [] { return windowWith(VelquorShell::kRegisteViewControllerIdentifier); });
    registry.add(
        "shell", "registe-filled", [] { return windowWith(VelquorShell::kRegisteViewControllerIdentifier); },
        [](QWidget *window) {
            auto *registe = contentOf<VelquorRegisteViewController>(window);
            registe->userIDField()->setText(QStringLiteral("new.driver"));
            registe->passwordField()->secureTextField()->setText(QStringLiteral("secret12"));
            registe->confirmPasswordField()->secureTextField()->setText(QStringLiteral("secret12"));
            registe->firstNameField()->setText(QStringLiteral("Ada"));
            registe->lastNameField()->setText(QStringLiteral("Lindqvist"));
            registe->cityField()->setText(QStringLiteral("Uppsala"));
            registe->countryField()->setText(QStringLiteral("Sweden"));
            registe->telephoneField()->setText(QStringLiteral("+46 18 555 0100"));
            registe->emailField()->setText(QStringLiteral("ada@example.org"));
        });
    // The main view as the devices' answer leaves it; no service answers here, so the cover is
    // taken away by hand.
    for (int tab = 0; tab < 4; ++tab)
        registry.add(
            "shell", QStringLiteral("main-tab%1").arg(tab),
            [] { return windowWith(VelquorShell::kMainViewControllerIdentifier); },
            [tab](QWidget *window) {
                auto *main = contentOf<VelquorMainViewController>(window);
                main->hideInitializing();
                main->tabView()->setSelectedTabItemIndex(tab);
            });
    registry.add("shell", "main-loading", [] { return windowWith(VelquorShell::kMainViewControllerIdentifier); });
    registry.add("shell", "main-exit-question", [] {
        const QPixmap icon = VelquorImages::named(QStringLiteral("warning"));
        return std::unique_ptr<QWidget>(VelquorAlert::alertWithTitle(
            QString(), VelquorCommonTool::sharedTool().localizedString(QStringLiteral("UpdateHint11")),
            VelquorCommonTool::sharedTool().localizedString(QStringLiteral("Update26")),
            VelquorCommonTool::sharedTool().localizedString(QStringLiteral("Update27")), icon));
    });
    registry.add("shell", "message-sheet", [] {
        const QPixmap icon = VelquorImages::named(VelquorShell::kAppIconImage, QSize(64, 64));
        return std::unique_ptr<QWidget>(VelquorAlert::alertWithTitle(
            QString(), QStringLiteral("Sign-in failed. Please check your user ID and password."), QStringLiteral("OK"),
            QString(), icon));
    });
    registry.add(
        "shell", "licence",
        [] {
            return std::unique_ptr<QWidget>(
                VelquorHelpAlert::helpAlertWithTitle(QStringLiteral(""), QUrl(QStringLiteral("qrc:/Licence.pdf"))));
        },
        [](QWidget *) {
            // Pages are rendered in the background; give them a moment.
            QEventLoop loop;
            QTimer::singleShot(800, &loop, &QEventLoop::quit);
            loop.exec();
        });
}

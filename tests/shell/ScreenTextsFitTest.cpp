#include "ShellScreenFixture.h"

#include "support/EveryLanguageTextFit.h"

#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorWindow.h"

using namespace shelltest;

namespace {

std::unique_ptr<QWidget> windowWith(const QString &identifier,
                                    const std::function<void(VelquorViewController *)> &prepare = {})
{
    auto window = std::make_unique<VelquorWindow>();
    window->setContentViewController(VelquorStoryboard::instantiateControllerWithIdentifier(identifier));
    if (prepare)
        prepare(window->contentViewController());
    window->show();
    return window;
}

using ScreenTextsFit = ShellScreenFixture;

} // namespace

TEST_F(ScreenTextsFit, SignInAndSignUpInEveryLanguage)
{
    const QList<ScreenLook> looks = {
        {QStringLiteral("login"), [] { return windowWith(VelquorShell::kLoginViewControllerIdentifier); }},
        {QStringLiteral("login while signing in"),
         [] {
             return windowWith(VelquorShell::kLoginViewControllerIdentifier, [](VelquorViewController *screen) {
                 static_cast<VelquorLoginViewController *>(screen)->logining(true);
             });
         }},
        {QStringLiteral("sign-up"), [] { return windowWith(VelquorShell::kRegisteViewControllerIdentifier); }},
    };
    const QStringList offenders = textFitOffendersInEveryLanguage(looks);
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char('\n')).toStdString();
}

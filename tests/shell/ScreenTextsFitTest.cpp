#include "ShellScreenFixture.h"

#include "support/TextFitProbe.h"

#include "core/VelquorCommonTool.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorWindow.h"

#include <functional>
#include <memory>

using namespace shelltest;

namespace {

// One look of a screen: how to bring it up, shown in its window, in the current language.
struct ScreenState
{
    QString name;
    std::function<std::unique_ptr<VelquorWindow>()> show;
};

std::unique_ptr<VelquorWindow> windowWith(const QString &identifier,
                                          const std::function<void(VelquorViewController *)> &prepare = {})
{
    auto window = std::make_unique<VelquorWindow>();
    window->setContentViewController(VelquorStoryboard::instantiateControllerWithIdentifier(identifier));
    if (prepare)
        prepare(window->contentViewController());
    window->show();
    return window;
}

QList<ScreenState> shellScreens()
{
    return {
        {QStringLiteral("login"), [] { return windowWith(VelquorShell::kLoginViewControllerIdentifier); }},
        {QStringLiteral("login while signing in"),
         [] {
             return windowWith(VelquorShell::kLoginViewControllerIdentifier, [](VelquorViewController *screen) {
                 static_cast<VelquorLoginViewController *>(screen)->logining(true);
             });
         }},
        {QStringLiteral("sign-up"), [] { return windowWith(VelquorShell::kRegisteViewControllerIdentifier); }},
    };
}

class ScreenTextsFit : public ShellScreenFixture
{
protected:
    void TearDown() override
    {
        VelquorCommonTool::sharedTool().setPreferredLanguagesOverride(std::nullopt);
        ShellScreenFixture::TearDown();
    }

    // Every offender of every state in every language, each line naming where it was found.
    static QStringList offendersInEveryLanguage(const QList<ScreenState> &states)
    {
        QStringList found;
        for (const QString &language : VelquorCommonTool::applicationSupportLanguages()) {
            VelquorCommonTool::sharedTool().setPreferredLanguagesOverride(QStringList{language});
            EXPECT_EQ(VelquorCommonTool::sharedTool().getCurrentLanguageBundle(), language);
            for (const ScreenState &state : states) {
                const std::unique_ptr<VelquorWindow> window = state.show();
                for (const QString &offender : TextFitProbe::offenders(window.get()))
                    found << QStringLiteral("[%1, %2] %3").arg(language, state.name, offender);
            }
        }
        return found;
    }
};

} // namespace

TEST_F(ScreenTextsFit, SignInAndSignUpInEveryLanguage)
{
    const QStringList offenders = offendersInEveryLanguage(shellScreens());
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char('\n')).toStdString();
}

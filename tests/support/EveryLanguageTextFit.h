#pragma once

#include "support/TextFitProbe.h"

#include "core/VelquorCommonTool.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

// One look of a screen for the language check: how to bring it up, shown, in the current language,
// and what to do to it for each further look of the same screen (another tab, another state), so
// that a screen is built once per language however many of its looks are checked.
struct ScreenLook
{
    struct Step
    {
        QString name;
        std::function<void(QWidget *screen)> apply;
    };

    QString name;
    std::function<std::unique_ptr<QWidget>()> show;
    QList<Step> then = {};
};

// Shows every look in each of the application's languages and answers what TextFitProbe finds,
// each line naming the language and the look. The preferred languages are restored afterwards.
inline QStringList textFitOffendersInEveryLanguage(const QList<ScreenLook> &looks)
{
    VelquorCommonTool &tool = VelquorCommonTool::sharedTool();
    QStringList found;
    for (const QString &language : VelquorCommonTool::applicationSupportLanguages()) {
        tool.setPreferredLanguagesOverride(QStringList{language});
        if (tool.getCurrentLanguageBundle() != language) {
            found << QStringLiteral("[%1] the language's texts are not available").arg(language);
            continue;
        }
        for (const ScreenLook &look : looks) {
            const std::unique_ptr<QWidget> screen = look.show();
            for (const QString &offender : TextFitProbe::offenders(screen.get()))
                found << QStringLiteral("[%1, %2] %3").arg(language, look.name, offender);
            for (const ScreenLook::Step &step : look.then) {
                step.apply(screen.get());
                for (const QString &offender : TextFitProbe::offenders(screen.get()))
                    found << QStringLiteral("[%1, %2, %3] %4").arg(language, look.name, step.name, offender);
            }
        }
    }
    tool.setPreferredLanguagesOverride(std::nullopt);
    return found;
}

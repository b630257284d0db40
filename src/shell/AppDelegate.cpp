#include "shell/AppDelegate.h"

#include "controls/VelquorImages.h"
#include "core/LzmaTool.h"
#include "core/VelquorDeviceManager.h"
#include "session/VelquorShellConstants.h"

#include <QApplication>
#include <QIcon>

AppDelegate::AppDelegate(QApplication &application) : QObject(&application), m_application(application)
{
    m_application.setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());
    connect(&m_application, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
}

void AppDelegate::applicationWillFinishLaunching()
{
    m_application.setWindowIcon(QIcon(VelquorImages::named(VelquorShell::kAppIconImage)));
}

void AppDelegate::applicationDidFinishLaunching()
{
    VelquorDeviceManager::sharedManager().addObservers();
}

void AppDelegate::applicationWillTerminate()
{
    LzmaTool::tool().abortDecompress();
}

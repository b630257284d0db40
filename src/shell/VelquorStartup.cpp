#include "shell/VelquorStartup.h"

#include "shell/AppDelegate.h"
#include "shell/VelquorWindowController.h"

#include <QApplication>

VelquorStartup::VelquorStartup(QApplication &application)
    : m_application(application), m_delegate(std::make_unique<AppDelegate>(application))
{
    m_delegate->applicationWillFinishLaunching();
    m_windowController = std::make_unique<VelquorWindowController>();
    m_windowController->windowDidLoad();
    m_delegate->applicationDidFinishLaunching();
}

// The window goes before the delegate, as it did when main() held both.
VelquorStartup::~VelquorStartup()
{
    m_windowController.reset();
}

int VelquorStartup::exec()
{
    return m_application.exec();
}

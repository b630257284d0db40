#include "shell/VelquorWindowController.h"

#include "session/VelquorShellConstants.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorViewController.h"
#include "shell/VelquorWindow.h"

VelquorWindowController::VelquorWindowController() = default;

VelquorWindowController::~VelquorWindowController() = default;

void VelquorWindowController::windowDidLoad()
{
    m_window = std::make_unique<VelquorWindow>();
    m_window->setContentViewController(
        VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kLoginViewControllerIdentifier));
    m_window->makeKeyAndOrderFront();
}

VelquorWindow *VelquorWindowController::window() const
{
    return m_window.get();
}

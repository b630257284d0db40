#include "shell/VelquorStoryboard.h"

#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "shell/VelquorRegisteViewController.h"
#include "session/VelquorShellConstants.h"

VelquorViewController *VelquorStoryboard::instantiateControllerWithIdentifier(const QString &identifier)
{
    VelquorViewController *controller = nullptr;
    if (identifier == VelquorShell::kLoginViewControllerIdentifier)
        controller = new VelquorLoginViewController;
    else if (identifier == VelquorShell::kRegisteViewControllerIdentifier)
        controller = new VelquorRegisteViewController;
    else if (identifier == VelquorShell::kMainViewControllerIdentifier)
        controller = new VelquorMainViewController;
    if (controller) {
        controller->setObjectName(identifier);
        controller->loadViewIfNeeded();
    }
    return controller;
}

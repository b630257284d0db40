#include "shell/VelquorViewController.h"

#include "session/VelquorShellConstants.h"
#include "shell/VelquorWindow.h"

VelquorViewController::VelquorViewController(QWidget *parent) : QWidget(parent)
{
    setFixedSize(VelquorShell::kWindowWidth, VelquorShell::kWindowHeight);
}

void VelquorViewController::loadViewIfNeeded()
{
    if (m_viewLoaded)
        return;
    m_viewLoaded = true;
    viewDidLoad();
    layoutSubviews();
}

VelquorWindow *VelquorViewController::velquorWindow() const
{
    return qobject_cast<VelquorWindow *>(window());
}

void VelquorViewController::updateViewConstraints()
{
    if (VelquorWindow *host = velquorWindow()) {
        host->setFixedSize(VelquorShell::kWindowWidth, VelquorShell::kWindowHeight);
        host->center();
    }
    layoutSubviews();
}

void VelquorViewController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

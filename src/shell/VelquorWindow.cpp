#include "shell/VelquorWindow.h"

#include "platform/AppInfo.h"
#include "session/VelquorShellConstants.h"
#include "shell/VelquorViewController.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

VelquorWindow::VelquorWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(AppInfo::name());
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setFixedSize(VelquorShell::kWindowWidth, VelquorShell::kWindowHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

VelquorWindow::~VelquorWindow() = default;

void VelquorWindow::setContentViewController(VelquorViewController *controller)
{
    if (controller == m_contentViewController)
        return;
    if (VelquorViewController *previous = m_contentViewController) {
        layout()->removeWidget(previous);
        previous->hide();
        // Released once the events already queued for it (a button's click) have run.
        previous->deleteLater();
    }
    m_contentViewController = controller;
    if (!controller)
        return;
    controller->setParent(this);
    layout()->addWidget(controller);
    controller->loadViewIfNeeded();
    controller->show();
    controller->updateViewConstraints();
}

void VelquorWindow::center()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void VelquorWindow::makeKeyAndOrderFront()
{
    show();
    raise();
    activateWindow();
}

void VelquorWindow::orderFront()
{
    show();
    raise();
}

void VelquorWindow::orderOut()
{
    hide();
}

void VelquorWindow::miniaturize()
{
    showMinimized();
}

void VelquorWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses no child took reach the window: its background moves it.
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (QWindow *handle = windowHandle(); handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    m_dragging = true;
    m_pressGlobal = event->globalPosition().toPoint();
    m_windowOrigin = pos();
    event->accept();
}

void VelquorWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(m_windowOrigin + (event->globalPosition().toPoint() - m_pressGlobal));
    event->accept();
}

void VelquorWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    event->accept();
}

void VelquorWindow::closeEvent(QCloseEvent *event)
{
    if (m_contentViewController && !m_contentViewController->windowShouldClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

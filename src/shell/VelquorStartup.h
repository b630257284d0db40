#pragma once

#include <memory>

class AppDelegate;
class QApplication;
class VelquorWindowController;

// The application as it starts: the delegate set up, the main window with the sign-in screen in
// front, the card volumes watched. main() runs it; tests drive the same start against their own
// event loop. Made on the GUI thread once the QApplication exists; the window goes with it.
class VelquorStartup
{
public:
    explicit VelquorStartup(QApplication &application);
    ~VelquorStartup();
    VelquorStartup(const VelquorStartup &) = delete;
    VelquorStartup &operator=(const VelquorStartup &) = delete;

    VelquorWindowController &windowController() const { return *m_windowController; }

    // Runs the event loop until the application quits; answers its exit code.
    int exec();

private:
    QApplication &m_application;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<VelquorWindowController> m_windowController;
};

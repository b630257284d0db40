#pragma once

#include <memory>

class VelquorWindow;

// Owns the main window: makes it, shows the login screen in it and brings it to the front.
class VelquorWindowController
{
public:
    VelquorWindowController();
    ~VelquorWindowController();
    VelquorWindowController(const VelquorWindowController &) = delete;
    VelquorWindowController &operator=(const VelquorWindowController &) = delete;

    void windowDidLoad();
    VelquorWindow *window() const;

private:
    std::unique_ptr<VelquorWindow> m_window;
};

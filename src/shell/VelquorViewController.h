#pragma once

#include <QWidget>

class VelquorWindow;

// Base of every screen shown as a window's content. A screen is built in code when it is made
// (VelquorStoryboard calls viewDidLoad once), always has the fixed window size, and keeps its
// window at that size and centred whenever it is laid out.
class VelquorViewController : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorViewController(QWidget *parent = nullptr);

    // Builds the screen once; later calls do nothing.
    void loadViewIfNeeded();
    bool isViewLoaded() const { return m_viewLoaded; }

    // The window whose content this screen is; null while it is not installed.
    VelquorWindow *velquorWindow() const;

    // Installed in a window (and at every layout pass): fixes the window's size and centres it,
    // then lays out the screen.
    virtual void updateViewConstraints();

    // The window is asked to close by the window manager. Answers whether it may close.
    virtual bool windowShouldClose() { return true; }

protected:
    virtual void viewDidLoad() {}
    // Places the screen's children for its current size.
    virtual void layoutSubviews() {}
    void resizeEvent(QResizeEvent *event) override;

private:
    bool m_viewLoaded = false;
};

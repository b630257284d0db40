#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

class VelquorViewController;

// The application's window: no title bar of the system's kind (the screens draw their own close
// and minimise buttons), fixed at the size of its content, white, and movable by dragging any
// part of its background. Used for the main window and the sign-up window.
class VelquorWindow : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorWindow(QWidget *parent = nullptr);
    ~VelquorWindow() override;

    // Shows `controller` as the whole content (the window takes it over); the previous content is
    // released. The window takes the screen's size and is centred.
    void setContentViewController(VelquorViewController *controller);
    VelquorViewController *contentViewController() const { return m_contentViewController; }

    // Centres the window on its screen's available area.
    void center();
    // Shows, raises and activates the window.
    void makeKeyAndOrderFront();
    void orderFront();
    void orderOut();
    void miniaturize();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<VelquorViewController> m_contentViewController;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_windowOrigin;
};

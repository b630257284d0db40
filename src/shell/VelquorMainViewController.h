#pragma once

#include "shell/VelquorTitleBarView.h"
#include "shell/VelquorViewController.h"

#include <QPointer>

// The main window's content after sign-in. For now a title band over an empty page; the tab bar
// and its pages come later.
class VelquorMainViewController : public VelquorViewController
{
    Q_OBJECT
public:
    explicit VelquorMainViewController(QWidget *parent = nullptr);

    void closeAction();
    void minimizeAction();

    QWidget *titleBarView() const;
    QWidget *pageView() const { return m_pageView; }

protected:
    void viewDidLoad() override;
    void layoutSubviews() override;

private:
    QPointer<VelquorTitleBarView> m_titleBarView;
    QPointer<QWidget> m_pageView;
};

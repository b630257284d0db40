#include "shell/VelquorMainViewController.h"

#include "platform/AppInfo.h"
#include "shell/VelquorShellStyle.h"
#include "shell/VelquorTitleBarView.h"
#include "shell/VelquorWindow.h"

#include <QPushButton>

VelquorMainViewController::VelquorMainViewController(QWidget *parent) : VelquorViewController(parent) {}

QWidget *VelquorMainViewController::titleBarView() const
{
    return m_titleBarView;
}

void VelquorMainViewController::viewDidLoad()
{
    VelquorViewController::viewDidLoad();
    m_titleBarView = new VelquorTitleBarView(QStringLiteral("%1 V%2").arg(AppInfo::name(), AppInfo::version()), this);
    m_titleBarView->setObjectName(QStringLiteral("titleBarView"));
    connect(m_titleBarView->closeButton(), &QPushButton::clicked, this, &VelquorMainViewController::closeAction);
    connect(m_titleBarView->miniButton(), &QPushButton::clicked, this, &VelquorMainViewController::minimizeAction);

    m_pageView = new QWidget(this);
    m_pageView->setObjectName(QStringLiteral("pageView"));
    m_pageView->setAutoFillBackground(true);
    QPalette colours = m_pageView->palette();
    colours.setColor(QPalette::Window, Qt::white);
    m_pageView->setPalette(colours);
}

void VelquorMainViewController::layoutSubviews()
{
    if (!m_titleBarView)
        return;
    m_titleBarView->setGeometry(0, 0, width(), VelquorShellStyle::kTitleBarHeight);
    m_pageView->setGeometry(0, VelquorShellStyle::kTitleBarHeight, width(),
                            height() - VelquorShellStyle::kTitleBarHeight);
}

void VelquorMainViewController::closeAction()
{
    window()->close();
}

void VelquorMainViewController::minimizeAction()
{
    window()->showMinimized();
}

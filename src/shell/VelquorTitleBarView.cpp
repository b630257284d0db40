#include "shell/VelquorTitleBarView.h"

#include "controls/VelquorImageView.h"
#include "controls/VelquorImages.h"
#include "session/VelquorShellConstants.h"
#include "session/VelquorShellStyle.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kLogoSide = 26;
constexpr int kButtonSide = 44;

QPushButton *bandButton(const QString &objectName, const QString &imageName, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(QIcon(VelquorImages::named(imageName)));
    button->setIconSize(QSize(24, 24));
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"
                                         "QPushButton:hover { background: rgba(255, 255, 255, 36); }"
                                         "QPushButton:pressed { background: rgba(255, 255, 255, 60); }"));
    return button;
}

} // namespace

VelquorTitleBarView::VelquorTitleBarView(const QString &title, QWidget *parent) : QWidget(parent)
{
    setFixedHeight(VelquorShellStyle::kTitleBarHeight);

    m_backgroundImageView = new VelquorImageView(this);
    m_backgroundImageView->setObjectName(QStringLiteral("titleBarBgImageView"));
    m_backgroundImageView->setImageScaling(VelquorImageView::ImageScaling::AxesIndependently);
    m_backgroundImageView->setImage(VelquorImages::named(QStringLiteral("head")));

    // Logo and title let presses through to the band, so the window moves by them too.
    m_logoView = new QLabel(this);
    m_logoView->setObjectName(QStringLiteral("logoImageView"));
    m_logoView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_logoView->setPixmap(VelquorImages::named(VelquorShell::kAppIconImage, QSize(kLogoSide, kLogoSide)));

    m_titleLabel = new QLabel(title, this);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_titleLabel->setFont(VelquorShellStyle::systemFont(15, QFont::DemiBold));
    QPalette colours = m_titleLabel->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    m_titleLabel->setPalette(colours);

    m_miniButton = bandButton(QStringLiteral("miniButton"), QStringLiteral("minimize_white"), this);
    m_closeButton = bandButton(QStringLiteral("closeButton"), QStringLiteral("close_white"), this);
}

void VelquorTitleBarView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int h = height();
    m_backgroundImageView->setGeometry(0, 0, width(), h);
    m_logoView->setGeometry(14, (h - kLogoSide) / 2, kLogoSide, kLogoSide);
    m_titleLabel->setGeometry(50, 0, width() - 50 - 2 * kButtonSide - 8, h);
    m_closeButton->setGeometry(width() - kButtonSide, 0, kButtonSide, h);
    m_miniButton->setGeometry(width() - 2 * kButtonSide, 0, kButtonSide, h);
}

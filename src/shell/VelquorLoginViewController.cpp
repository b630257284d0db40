#include "shell/VelquorLoginViewController.h"

#include "controls/VelquorAlert.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorImageView.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSearchFieldCell.h"
#include "controls/VelquorSecureField.h"
#include "controls/VelquorSecureTextField.h"
#include "controls/VelquorTextMetrics.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorHTTPSessionManager.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorUserManager.h"
#include "core/VelquorUserStoreConstants.h"
#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "session/VelquorShellConstants.h"
#include "session/VelquorShellStyle.h"
#include "shell/VelquorMessageSheet.h"
#include "shell/VelquorRegisteViewController.h"
#include "shell/VelquorStoryboard.h"
#include "shell/VelquorTitleBarView.h"
#include "shell/VelquorWindow.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QJsonObject>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

namespace {

using namespace VelquorShellStyle;

// The screen as designed, in logical pixels of the 1140 x 724 window.
constexpr int kPanelWidth = 520;
constexpr int kFormLeading = 650;
constexpr int kFormWidth = 360;
constexpr int kHeadingTop = 222;
constexpr int kHeadingHeight = 44;
constexpr int kAccountTop = 298;
constexpr int kFieldHeight = 44;
constexpr int kFieldSpace = 16;
constexpr int kForgetPasswordTop = 422;
constexpr int kForgetPasswordHeight = 24;
constexpr int kRegisterTop = 472;
constexpr int kButtonHeight = 48;
constexpr int kButtonWidth = 130;
constexpr int kTextInset = 10;
// Least room between two controls of a row, and between stacked ones.
constexpr int kPairGap = 16;
constexpr int kStackGap = 4;

VelquorLoginViewController::UrlOpener &urlOpener()
{
    static VelquorLoginViewController::UrlOpener opener;
    return opener;
}

QString text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

bool isBlank(const QString &value)
{
    return value.trimmed().isEmpty();
}

// The picture of the left panel: the accent gradient, a few soft rings and the application's
// logo and name.
QPixmap loginPanelPicture(const QSize &size, qreal devicePixelRatio)
{
    QPixmap picture(size * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomRight());
    gradient.setColorAt(0, accentLightColor());
    gradient.setColorAt(0.55, deepColor());
    gradient.setColorAt(1, bandColor());
    painter.fillRect(bounds, gradient);

    painter.setBrush(Qt::NoBrush);
    for (int ring = 0; ring < 4; ++ring) {
        painter.setPen(QPen(QColor(255, 255, 255, 22 - ring * 4), 1.5));
        const qreal radius = 150 + ring * 70;
        painter.drawEllipse(QPointF(bounds.width() * 0.82, bounds.height() * 0.88), radius, radius);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 14));
    painter.drawEllipse(QPointF(bounds.width() * 0.08, bounds.height() * 0.1), 120, 120);

    const int logoSide = 132;
    const QPixmap logo = VelquorImages::named(VelquorShell::kAppIconImage, QSize(logoSide, logoSide), devicePixelRatio);
    const QRectF logoRect((bounds.width() - logoSide) / 2, (bounds.height() - 250) / 2, logoSide, logoSide);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(logoRect, logo, logo.rect());

    painter.setPen(Qt::white);
    painter.setFont(systemFont(40, QFont::DemiBold));
    painter.drawText(QRectF(0, logoRect.bottom() + 24, bounds.width(), 52), Qt::AlignCenter, AppInfo::name());
    painter.setPen(QColor(255, 255, 255, 170));
    painter.setFont(systemFont(15));
    painter.drawText(QRectF(0, logoRect.bottom() + 78, bounds.width(), 24), Qt::AlignCenter,
                     QStringLiteral("V%1").arg(AppInfo::version()));
    return picture;
}

void styleField(QWidget *field)
{
    field->setFont(systemFont(15));
}

} // namespace

VelquorLoginViewController::VelquorLoginViewController(QWidget *parent) : VelquorViewController(parent) {}

VelquorLoginViewController::~VelquorLoginViewController()
{
    NotificationCenter::workspace().removeObserver(this);
    // The sign-up window belongs to this screen; it has no parent that would take it along.
    delete m_registeWindow.data();
}

void VelquorLoginViewController::setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

QUrl VelquorLoginViewController::forgetPasswordURL()
{
    const QUrl service(VelquorHTTPSessionManager::baseAddress());
    QUrl page;
    page.setScheme(service.scheme());
    page.setHost(service.host());
    page.setPort(service.port());
    page.setPath(VelquorShell::kForgotPasswordPath);
    return page;
}

void VelquorLoginViewController::buildView()
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    auto *titleBar = new VelquorTitleBarView(AppInfo::name(), this);
    titleBar->setObjectName(QStringLiteral("titleBarView"));
    m_titleBarView = titleBar;
    m_titleBarBgImageView = titleBar->backgroundImageView();
    m_closeButton = titleBar->closeButton();
    m_miniButton = titleBar->miniButton();
    connect(m_closeButton, &QPushButton::clicked, this, &VelquorLoginViewController::closeAction);
    connect(m_miniButton, &QPushButton::clicked, this, &VelquorLoginViewController::minimizeAction);

    m_loginBackgroundImageView = new VelquorImageView(this);
    m_loginBackgroundImageView->setObjectName(QStringLiteral("loginBackgroundImageView"));
    m_loginBackgroundImageView->setImageScaling(VelquorImageView::ImageScaling::AxesIndependently);

    auto *heading = new QLabel(text(QStringLiteral("Login5")), this);
    heading->setObjectName(QStringLiteral("headingLabel"));
    heading->setFont(systemFont(28, QFont::DemiBold));
    QPalette headingColours = heading->palette();
    headingColours.setColor(QPalette::WindowText, textColor());
    heading->setPalette(headingColours);
    m_headingLabel = heading;

    m_accountField = new VelquorSearchField(this);
    m_accountField->setObjectName(QStringLiteral("accountField"));
    m_accountField->setPlaceholderText(text(QStringLiteral("LoginAccount")));
    styleField(m_accountField);

    m_passwordField = new VelquorSecureField(this);
    m_passwordField->setObjectName(QStringLiteral("passwordField"));
    m_passwordField->secureTextField()->setObjectName(QStringLiteral("secureTextField"));
    m_passwordField->secureTextField()->setPlaceholderText(text(QStringLiteral("LoginPassword")));
    styleField(m_passwordField->secureTextField());

    m_accountField->cell()->setMargin(kTextInset);
    m_passwordField->secureTextField()->setTextMargins(kTextInset, 0, kTextInset, 0);

    m_rememberButton = new QCheckBox(this);
    m_rememberButton->setObjectName(QStringLiteral("rememberButton"));
    m_rememberButton->setFocusPolicy(Qt::NoFocus);
    m_rememberButton->setCursor(Qt::PointingHandCursor);
    m_rememberButton->setFont(systemFont(14));

    m_forgetPasswordButton = new VelquorButton(text(QStringLiteral("LoginForgotPassword")), this);
    m_forgetPasswordButton->setObjectName(QStringLiteral("forgetPasswordButton"));

    m_loginButton = new VelquorButton(text(QStringLiteral("Login5")), this);
    m_loginButton->setObjectName(QStringLiteral("loginButton"));
    m_loginButton->setFont(systemFont(16, QFont::DemiBold));
    m_loginButton->setCursor(Qt::PointingHandCursor);

    m_registeButton = new VelquorButton(text(QStringLiteral("LoginRegister")), this);
    m_registeButton->setObjectName(QStringLiteral("registeButton"));
    m_registeButton->setOnlyShowTextColor(true);
    m_registeButton->setShowBackgroundImage(false);
    m_registeButton->setNormalTextColor(accentColor());
    m_registeButton->setHighlightedTextColor(accentLightColor());
    m_registeButton->setFont(systemFont(15, QFont::DemiBold));
    m_registeButton->setCursor(Qt::PointingHandCursor);

    setTabOrder(m_accountField, m_passwordField->secureTextField());

    // Return signs in, as long as the form is enabled and no sheet is up.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (m_loginButton && m_loginButton->isEnabled())
                loginAction();
        });
    }
}

void VelquorLoginViewController::viewDidLoad()
{
    VelquorViewController::viewDidLoad();
    buildView();

    // The remember box.
    m_rememberButton->setText(text(QStringLiteral("Login4")));
    QPalette boxColours = m_rememberButton->palette();
    boxColours.setColor(QPalette::WindowText, Qt::black);
    m_rememberButton->setPalette(boxColours);
    m_rememberButton->setStyleSheet(
        QStringLiteral("QCheckBox { spacing: 8px; }"
                       "QCheckBox::indicator { width: 18px; height: 18px; }"
                       "QCheckBox::indicator:unchecked { image: url(:/images/element_check_off.svg); }"
                       "QCheckBox::indicator:checked { image: url(:/images/element_check_on.svg); }"));
    m_rememberButton->setChecked(VelquorUserManager::sharedManager().autoLogin());
    connect(m_rememberButton, &QCheckBox::clicked, this, &VelquorLoginViewController::rememberPasswordAction);

    // The forgot-password link: text only, blue, red while pressed.
    m_forgetPasswordButton->setOnlyShowTextColor(true);
    m_forgetPasswordButton->setShowBackgroundImage(false);
    m_forgetPasswordButton->setNormalTextColor(linkColor());
    m_forgetPasswordButton->setHighlightedTextColor(linkPressedColor());
    m_forgetPasswordButton->setFont(systemFont(14));
    m_forgetPasswordButton->setCursor(Qt::PointingHandCursor);
    connect(m_forgetPasswordButton, &QPushButton::clicked, this, &VelquorLoginViewController::forgetPasswordAction);
    connect(m_loginButton, &QPushButton::clicked, this, &VelquorLoginViewController::loginAction);
    connect(m_registeButton, &QPushButton::clicked, this, &VelquorLoginViewController::registeAction);

    // The remembered account, and its password when the box is ticked.
    const QString account = VelquorUserManager::sharedManager().getAccountName();
    if (VelquorCommonTool::isUsableText(account)) {
        m_accountField->setText(account);
        if (m_rememberButton->isChecked()) {
            // The keyring may take its time (or ask to be unlocked): the screen is up meanwhile,
            // and what the user typed in the meantime wins.
            VelquorKeychainManager::sharedManager().readDataFromKeyChain(
                account, this, [this, account](const std::optional<QString> &password) {
                    QLineEdit *field = m_passwordField->secureTextField();
                    if (password && VelquorCommonTool::isUsableText(*password) && field->text().isEmpty() &&
                        m_accountField->text() == account)
                        field->setText(*password);
                });
        }
    }
    logining(false);

    NotificationCenter::workspace().addObserver(
        this, VelquorShell::kRegisteSuccessNotification, [this](const Notification &notification) {
            registeSuccess(notification.userInfo.value(VelquorShell::kRegisteAccountKey).toString(),
                           notification.userInfo.value(VelquorShell::kRegistePasswordKey).toString());
        });
}

void VelquorLoginViewController::layoutSubviews()
{
    if (!m_titleBarView)
        return;
    // Designed for the fixed window; the factors keep the proportions should the size differ.
    const double fx = width() / double(VelquorShell::kWindowWidth);
    const double fy = height() / double(VelquorShell::kWindowHeight);
    auto x = [fx](int value) { return qRound(value * fx); };
    auto y = [fy](int value) { return qRound(value * fy); };

    m_titleBarView->setGeometry(0, 0, width(), kTitleBarHeight);
    const QRect panel(0, kTitleBarHeight, x(kPanelWidth), height() - kTitleBarHeight);
    m_loginBackgroundImageView->setGeometry(panel);
    if (m_loginBackgroundImageView->image().size() / m_loginBackgroundImageView->image().devicePixelRatio() !=
        panel.size())
        m_loginBackgroundImageView->setImage(loginPanelPicture(panel.size(), devicePixelRatioF()));

    const int leading = x(kFormLeading);
    const int formWidth = x(kFormWidth);
    // As tall as designed unless a line of the heading needs more (some scripts do).
    const auto *heading = qobject_cast<QLabel *>(m_headingLabel.data());
    const int headingHeight =
        qMax(y(kHeadingHeight), heading ? VelquorTextMetrics::lineSize(heading->text(), heading->font()).height() : 0);
    m_headingLabel->setGeometry(leading, y(kHeadingTop), formWidth, headingHeight);
    m_accountField->setGeometry(leading, y(kAccountTop), formWidth, y(kFieldHeight));
    m_passwordField->setGeometry(leading, y(kAccountTop + kFieldHeight + kFieldSpace), formWidth, y(kFieldHeight));
    // Each control is as wide as its text; a pair that does not fit side by side in some language
    // is stacked, and what follows moves down by as much.
    int below = 0;
    const int rowHeight = y(kForgetPasswordHeight);
    const int rememberWidth = qMin(formWidth, m_rememberButton->sizeHint().width());
    const int linkWidth =
        qMin(formWidth, m_forgetPasswordButton->fontMetrics().horizontalAdvance(m_forgetPasswordButton->text()) + 4);
    m_rememberButton->setGeometry(leading, y(kForgetPasswordTop), rememberWidth, rowHeight);
    if (rememberWidth + kPairGap + linkWidth <= formWidth) {
        m_forgetPasswordButton->setGeometry(leading + formWidth - linkWidth, y(kForgetPasswordTop), linkWidth,
                                            rowHeight);
    } else {
        below += rowHeight + kStackGap;
        m_forgetPasswordButton->setGeometry(leading, y(kForgetPasswordTop) + below, linkWidth, rowHeight);
    }

    // The sign-in button keeps one width whether it shows its title or its busy title.
    const int loginWidth = std::max({kButtonWidth, m_loginButton->widthForTitle(text(QStringLiteral("Login5"))),
                                     m_loginButton->widthForTitle(text(QStringLiteral("Login8")))});
    const int registeWidth =
        qMin(formWidth, m_registeButton->fontMetrics().horizontalAdvance(m_registeButton->text()) + 8);
    m_loginButton->setGeometry(leading, y(kRegisterTop) + below, loginWidth, kButtonHeight);
    if (loginWidth + kPairGap + registeWidth <= formWidth)
        m_registeButton->setGeometry(leading + formWidth - registeWidth, y(kRegisterTop) + below, registeWidth,
                                     kButtonHeight);
    else
        m_registeButton->setGeometry(leading, y(kRegisterTop) + below + kButtonHeight + kStackGap, registeWidth,
                                     kButtonHeight);
}

QString VelquorLoginViewController::passwordText() const
{
    return m_passwordField->secureTextField()->text();
}

void VelquorLoginViewController::showMessage(const QString &key, std::function<void()> didEnd)
{
    VelquorMessageSheet::beginSheet(window(), text(key), std::move(didEnd));
}

void VelquorLoginViewController::loginAction()
{
    const QString account = m_accountField->text();
    const QString password = passwordText();
    if (account.isEmpty()) {
        showMessage(QStringLiteral("LoginHint1"));
        return;
    }
    if (password.isEmpty()) {
        showMessage(QStringLiteral("LoginHint2"));
        return;
    }
    if (isBlank(account) || isBlank(password))
        return;

    UserDefaults::standard().setBool(VelquorUserStore::kRememberUserPasswordKey, m_rememberButton->isChecked());
    UserDefaults::standard().synchronize();
    VelquorUserManager::sharedManager().saveAccountName(account);
    logining(true);

    const QJsonObject params{
        {QStringLiteral("OstrelleUserLoginName"), account},
        {QStringLiteral("OstrelleUserPassWods"), VelquorCommonTool::md5String(password)},
    };
    const QPointer<VelquorLoginViewController> self(this);
    VelquorNetworkManager::sharedManager().requestLoginWithParams(
        params,
        [self, account, password](std::shared_ptr<VelquorLoginResultModel> answer) {
            if (!answer) {
                // An answer that cannot be read is no refusal: the service itself is in trouble.
                DispatchQueue::main().async([self] {
                    if (self)
                        self->showFailure(QStringLiteral("LoginHint4"));
                });
                return;
            }
            if (answer->msgCode() != 1) {
                DispatchQueue::main().async([self] {
                    if (self)
                        self->showFailure(QStringLiteral("LoginHint3"));
                });
                return;
            }
            VelquorUserManager::sharedManager().saveUserInfo(*answer);
            // The keyring may stall (a prompt nobody answers): it stores the password on its own
            // queue while the main view comes up and the service's next answers are handled.
            VelquorKeychainManager::sharedManager().saveDataForKeyChainInBackground(password, account);
            DispatchQueue::main().async([self] {
                if (!self)
                    return;
                QTimer::singleShot(1000, self.data(), [self] {
                    if (self)
                        self->logining(false);
                });
                if (VelquorWindow *host = self->velquorWindow()) {
                    // From now on every page's sheet opens on this window.
                    VelquorAlert::setMainWindow(host);
                    host->setContentViewController(VelquorStoryboard::instantiateControllerWithIdentifier(
                        VelquorShell::kMainViewControllerIdentifier));
                }
            });
        },
        [self](const VelquorNetworkError &) {
            DispatchQueue::main().async([self] {
                if (self)
                    self->showFailure(QStringLiteral("LoginHint4"));
            });
        });
}

void VelquorLoginViewController::showFailure(const QString &key)
{
    // The form stays busy until the message is dismissed, so a second press cannot race it.
    const QPointer<VelquorLoginViewController> self(this);
    showMessage(key, [self] {
        if (self)
            self->logining(false);
    });
}

void VelquorLoginViewController::logining(bool busy)
{
    m_accountField->setEnabled(!busy);
    m_passwordField->setEnabled(!busy);
    m_rememberButton->setEnabled(!busy);
    m_loginButton->setEnabled(!busy);
    m_registeButton->setEnabled(!busy);
    m_loginButton->setText(text(busy ? QStringLiteral("Login8") : QStringLiteral("Login5")));
}

void VelquorLoginViewController::registeAction()
{
    if (m_registeWindow)
        m_registeWindow->deleteLater();
    auto *window = new VelquorWindow;
    auto *registe = static_cast<VelquorRegisteViewController *>(
        VelquorStoryboard::instantiateControllerWithIdentifier(VelquorShell::kRegisteViewControllerIdentifier));
    registe->setLoginWindow(this->window());
    window->setContentViewController(registe);
    m_registeWindow = window;
    window->makeKeyAndOrderFront();
    if (VelquorWindow *host = velquorWindow())
        host->orderOut();
}

void VelquorLoginViewController::registeSuccess(const QString &account, const QString &password)
{
    // Both come from the sign-up itself, in memory: the last sign-up record may be another
    // account's (a record replaced in place, a records file that could not be written), and the
    // password is never in that file, nor necessarily in the keyring.
    if (account.isEmpty())
        return;
    m_accountField->setText(account);
    m_passwordField->secureTextField()->setText(password);
    m_rememberButton->setChecked(true);
}

void VelquorLoginViewController::forgetPasswordAction()
{
    const QUrl page = forgetPasswordURL();
    if (const UrlOpener &opener = urlOpener())
        opener(page);
    else
        QDesktopServices::openUrl(page);
}

void VelquorLoginViewController::closeAction()
{
    window()->close();
}

void VelquorLoginViewController::minimizeAction()
{
    if (VelquorWindow *host = velquorWindow())
        host->miniaturize();
    else
        window()->showMinimized();
}

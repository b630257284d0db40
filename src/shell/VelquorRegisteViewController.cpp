#include "shell/VelquorRegisteViewController.h"

#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorHelpAlert.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSearchFieldCell.h"
#include "controls/VelquorSecureField.h"
#include "controls/VelquorSecureTextField.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorUserManager.h"
#include "platform/AppInfo.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "session/VelquorShellConstants.h"
#include "session/VelquorShellStyle.h"
#include "shell/VelquorMessageSheet.h"
#include "shell/VelquorTitleBarView.h"
#include "shell/VelquorWindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

using namespace VelquorShellStyle;

// The screen as designed, in logical pixels of the 1140 x 724 window.
constexpr int kHeadingTop = 98;
constexpr int kFieldsTop = 170;
constexpr int kFieldsLeading = 100;
constexpr int kFieldWidth = 440;
constexpr int kFieldHeight = 40;
constexpr int kColumnSpace = 60;
constexpr int kRowPitch = 58;
constexpr int kPrivacyTop = 532;
constexpr int kRegisterButtonTop = 590;
constexpr int kButtonWidth = 130;
constexpr int kButtonHeight = 48;
constexpr int kButtonInset = 400;
// Room between a field's caption and what the user types.
constexpr int kCaptionGap = 12;

constexpr int kUserIDMaxLength = 30;
constexpr int kPasswordMinLength = 6;
constexpr int kPasswordMaxLength = 16;
const QString kRegisterIP = QStringLiteral("127.1.1.1");

QString text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

// A form text as it goes into the record: never absent, so the service gets every key.
QString formText(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QString secureText(const VelquorSecureField *field)
{
    return field->secureTextField()->text();
}

void configCaption(VelquorBasicButton *caption, const QString &title)
{
    const QFont font = systemFont(15);
    caption->setFont(font);
    caption->setSpacing(5);
    caption->setMomentary(true);
    caption->setTitle(title);
    caption->setImagePosition(VelquorBasicButton::ImageLeading);
    const bool optional = title == text(QStringLiteral("Register9")) || title == text(QStringLiteral("Register12")) ||
                          title == text(QStringLiteral("Register13"));
    caption->setImage(optional ? QPixmap() : VelquorImages::named(QStringLiteral("xing")));
    caption->setImageNormalColor(requiredColor());
    caption->setImageHighlightColor(requiredColor());
    caption->setBackgroundNormalColor(Qt::white);
    caption->setBackgroundHighlightColor(Qt::white);
    caption->setTitleNormalColor(Qt::black);
    caption->setTitleHighlightColor(Qt::black);
    // A caption is no button to press: clicks go on to the input.
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
}

qreal captionWidth(const QString &title)
{
    return QFontMetrics(systemFont(15)).horizontalAdvance(title) + 16 + 5;
}

} // namespace

VelquorRegisteViewController::VelquorRegisteViewController(QWidget *parent) : VelquorViewController(parent) {}

VelquorRegisteViewController::~VelquorRegisteViewController() = default;

void VelquorRegisteViewController::configField(VelquorSearchField *field, const QString &title)
{
    field->setFont(systemFont(15));
    field->cell()->setLeftButtonWidth(captionWidth(title));
    configCaption(field->cell()->leftButton(), title);
}

void VelquorRegisteViewController::configField(VelquorSecureField *field, const QString &title)
{
    field->secureTextField()->setFont(systemFont(15));
    field->setLeftButtonWidth(captionWidth(title));
    configCaption(field->leftButton(), title);
}

void VelquorRegisteViewController::buildView()
{
    auto *titleBar = new VelquorTitleBarView(AppInfo::name(), this);
    titleBar->setObjectName(QStringLiteral("titleBarView"));
    m_titleBarView = titleBar;
    m_closeButton = titleBar->closeButton();
    m_miniButton = titleBar->miniButton();
    connect(m_closeButton, &QPushButton::clicked, this, &VelquorRegisteViewController::closeAction);
    connect(m_miniButton, &QPushButton::clicked, this, &VelquorRegisteViewController::minimizeAction);

    m_headingLabel = new QLabel(text(QStringLiteral("RegisterTitle")), this);
    m_headingLabel->setObjectName(QStringLiteral("headingLabel"));
    m_headingLabel->setFont(systemFont(26, QFont::DemiBold));
    QPalette headingColours = m_headingLabel->palette();
    headingColours.setColor(QPalette::WindowText, textColor());
    m_headingLabel->setPalette(headingColours);

    auto searchField = [this](const char *name) {
        auto *field = new VelquorSearchField(this);
        field->setObjectName(QString::fromLatin1(name));
        field->cell()->setBgColor(fieldColor());
        field->cell()->setRadius(4);
        field->cell()->setMargin(kCaptionGap);
        return field;
    };
    auto secureField = [this](const char *name) {
        auto *field = new VelquorSecureField(this);
        field->setObjectName(QString::fromLatin1(name));
        field->secureTextField()->setObjectName(QStringLiteral("secureTextField"));
        field->secureTextField()->setTextMargins(kCaptionGap, 0, 0, 0);
        field->setAutoFillBackground(true);
        QPalette colours = field->palette();
        colours.setColor(QPalette::Window, fieldColor());
        field->setPalette(colours);
        return field;
    };
    m_userIDField = searchField("userIDField");
    m_passwordField = secureField("passwordField");
    m_confirmPasswordField = secureField("confirmPasswordField");
    m_firstNameField = searchField("firstNameField");
    m_lastNameField = searchField("lastNameField");
    m_addressField = searchField("addressField");
    m_provinceField = searchField("provinceField");
    m_cityField = searchField("cityField");
    m_countryField = searchField("countryField");
    m_telephoneField = searchField("telephoneField");
    m_emailField = searchField("emailField");

    m_privacyButton = new VelquorButton(text(QStringLiteral("RegisterPrivacy")), this);
    m_privacyButton->setObjectName(QStringLiteral("privacyButton"));
    m_registeButton = new VelquorButton(text(QStringLiteral("RegisterButton")), this);
    m_registeButton->setObjectName(QStringLiteral("registeButton"));
    m_resetButton = new VelquorButton(text(QStringLiteral("RegisterReset")), this);
    m_resetButton->setObjectName(QStringLiteral("resetButton"));
    for (VelquorButton *button : {m_registeButton.data(), m_resetButton.data()}) {
        button->setFont(systemFont(16, QFont::DemiBold));
        button->setCursor(Qt::PointingHandCursor);
    }

    QWidget *previous = nullptr;
    for (QWidget *field : fieldsInScreenOrder()) {
        QWidget *input = field;
        if (auto *secure = qobject_cast<VelquorSecureField *>(field))
            input = secure->secureTextField();
        if (previous)
            setTabOrder(previous, input);
        previous = input;
    }
}

QList<QWidget *> VelquorRegisteViewController::fieldsInScreenOrder() const
{
    return {m_userIDField,   m_passwordField, m_confirmPasswordField, m_firstNameField, m_lastNameField, m_addressField,
            m_provinceField, m_cityField,     m_countryField,         m_telephoneField, m_emailField};
}

void VelquorRegisteViewController::viewDidLoad()
{
    VelquorViewController::viewDidLoad();
    buildView();

    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, pageColor());
    setPalette(colours);

    m_privacyButton->setOnlyShowTextColor(true);
    m_privacyButton->setShowBackgroundImage(false);
    m_privacyButton->setNormalTextColor(linkColor());
    m_privacyButton->setHighlightedTextColor(linkPressedColor());
    m_privacyButton->setFont(systemFont(14));
    m_privacyButton->setCursor(Qt::PointingHandCursor);
    connect(m_privacyButton, &QPushButton::clicked, this, &VelquorRegisteViewController::privacyAction);
    connect(m_registeButton, &QPushButton::clicked, this, &VelquorRegisteViewController::registeAction);
    connect(m_resetButton, &QPushButton::clicked, this, &VelquorRegisteViewController::resetAction);

    configField(m_userIDField, text(QStringLiteral("Register1")));
    configField(m_passwordField, text(QStringLiteral("Register2")));
    configField(m_confirmPasswordField, text(QStringLiteral("Register7")));
    configField(m_firstNameField, text(QStringLiteral("Register3")));
    configField(m_lastNameField, text(QStringLiteral("Register5")));
    configField(m_addressField, text(QStringLiteral("Register9")));
    configField(m_provinceField, text(QStringLiteral("Register12")));
    configField(m_cityField, text(QStringLiteral("Register13")));
    configField(m_countryField, text(QStringLiteral("Register11")));
    configField(m_telephoneField, text(QStringLiteral("Register8")));
    configField(m_emailField, text(QStringLiteral("Register6")));
}

void VelquorRegisteViewController::layoutSubviews()
{
    if (!m_titleBarView)
        return;
    m_titleBarView->setGeometry(0, 0, width(), kTitleBarHeight);
    m_headingLabel->setGeometry(kFieldsLeading, kHeadingTop, width() - 2 * kFieldsLeading, 44);

    // Two columns, filled down the left one first in screen order.
    const QList<QWidget *> fields = fieldsInScreenOrder();
    const qsizetype leftRows = (fields.size() + 1) / 2;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const bool left = i < leftRows;
        const qsizetype row = left ? i : i - leftRows;
        const int x = kFieldsLeading + (left ? 0 : kFieldWidth + kColumnSpace);
        fields.at(i)->setGeometry(x, kFieldsTop + int(row) * kRowPitch, kFieldWidth, kFieldHeight);
    }

    const int privacyWidth = m_privacyButton->fontMetrics().horizontalAdvance(m_privacyButton->text()) + 8;
    m_privacyButton->setGeometry((width() - privacyWidth) / 2, kPrivacyTop, privacyWidth, 24);

    // The buttons keep their distance from the bottom edge whatever the height. They are as wide
    // as designed unless a title needs more; the pair stays centred.
    const int buttonsTop = kRegisterButtonTop + (VelquorShell::kWindowHeight - height());
    const int registeWidth = qMax(kButtonWidth, m_registeButton->widthForTitle(m_registeButton->text()));
    const int resetWidth = qMax(kButtonWidth, m_resetButton->widthForTitle(m_resetButton->text()));
    const int gap = VelquorShell::kWindowWidth - 2 * (kButtonInset + kButtonWidth);
    const int registeLeading = (width() - (registeWidth + gap + resetWidth)) / 2;
    m_registeButton->setGeometry(registeLeading, buttonsTop, registeWidth, kButtonHeight);
    m_resetButton->setGeometry(registeLeading + registeWidth + gap, buttonsTop, resetWidth, kButtonHeight);
}

QString VelquorRegisteViewController::firstInvalidRuleKey() const
{
    const QString userID = m_userIDField->text();
    const QString password = secureText(m_passwordField);
    const QString confirmation = secureText(m_confirmPasswordField);
    const QString email = m_emailField->text();
    const bool anyRequiredEmpty = userID.isEmpty() || password.isEmpty() || confirmation.isEmpty() ||
                                  m_firstNameField->text().isEmpty() || m_lastNameField->text().isEmpty() ||
                                  m_countryField->text().isEmpty() || m_telephoneField->text().isEmpty() ||
                                  email.isEmpty();
    if (anyRequiredEmpty)
        return QStringLiteral("RegisterHint1");
    if (userID.size() > kUserIDMaxLength)
        return QStringLiteral("RegisterHint4");
    if (password.size() < kPasswordMinLength || password.size() > kPasswordMaxLength)
        return QStringLiteral("RegisterHint5");
    if (password != confirmation)
        return QStringLiteral("RegisterHint3");
    if (!email.contains(QLatin1Char('@')) || !VelquorCommonTool::isAvailableEmail(email))
        return QStringLiteral("RegisterHint2");
    return {};
}

const VelquorUserRegisteInfoModel &VelquorRegisteViewController::registeInfoModel()
{
    if (!m_registeInfoModel)
        m_registeInfoModel.emplace();
    return *m_registeInfoModel;
}

bool VelquorRegisteViewController::getRegInfo()
{
    if (!firstInvalidRuleKey().isEmpty())
        return false;
    registeInfoModel();
    VelquorUserRegisteInfoModel &model = *m_registeInfoModel;
    model.setLogin_name(formText(m_userIDField->text()));
    model.setPwd(formText(secureText(m_passwordField)));
    model.setFirst_name(formText(m_firstNameField->text()));
    model.setLast_name(formText(m_lastNameField->text()));
    model.setAddress(formText(m_addressField->text()));
    model.setAddress_two(formText(m_addressField->text()));
    model.setState(formText(m_provinceField->text()));
    model.setCity(formText(m_cityField->text()));
    model.setCountry(formText(m_countryField->text()));
    model.setTelphone(formText(m_telephoneField->text()));
    model.setEmail(formText(m_emailField->text()));
    model.setMiddle_name(QStringLiteral(""));
    model.setNick_name(QStringLiteral(""));
    model.setZip(QStringLiteral(""));
    model.setReg_ip(kRegisterIP);
    model.setIs_receive_email(true);
    model.setIs_notified_update(true);
    model.setIs_receive_catalog(true);
    return true;
}

QString VelquorRegisteViewController::refusalMessage(qint64 msgCode, const QString &msgInfo)
{
    if (msgCode == -1)
        return text(QStringLiteral("App5"));
    if (msgCode == 0) {
        if (msgInfo == QLatin1String("USER_NAME_REG"))
            return text(QStringLiteral("RegisterHint7"));
        if (msgInfo == QLatin1String("USER_EMAIL_REG"))
            return text(QStringLiteral("RegisterHint8"));
        if (msgInfo == QLatin1String("REG_FAILED_SEND_MAIL"))
            return text(QStringLiteral("RegisterHint2"));
    }
    // An answer without a text (such as "{}") says no more than an unreadable one.
    if (msgInfo.trimmed().isEmpty())
        return text(QStringLiteral("LoginHint4"));
    return msgInfo;
}

void VelquorRegisteViewController::showMessage(const QString &message, std::function<void()> didEnd)
{
    VelquorMessageSheet::beginSheet(window(), message, std::move(didEnd));
}

void VelquorRegisteViewController::registeAction()
{
    if (m_sending)
        return;
    if (!getRegInfo()) {
        showMessage(text(firstInvalidRuleKey()));
        return;
    }
    // The answer is handled on the client's queue: it gets its own copy of the record.
    const VelquorUserRegisteInfoModel record = *m_registeInfoModel;
    const QPointer<VelquorRegisteViewController> self(this);
    // Any answer but a success ends in a message; the form waits for it to be dismissed.
    auto refused = [self](const QString &message) {
        DispatchQueue::main().async([self, message] {
            if (self)
                self->showMessage(message, [self] {
                    if (self)
                        self->setSending(false);
                });
        });
    };
    setSending(true);
    VelquorNetworkManager::sharedManager().requestRegisteWithParams(
        record.toJson(),
        [self, record, refused](std::shared_ptr<VelquorRegisteResultModel> answer) {
            if (!answer) {
                // An answer that cannot be read is no refusal: the service itself is in trouble.
                refused(text(QStringLiteral("LoginHint4")));
                return;
            }
            if (answer->msgCode() != 1) {
                refused(refusalMessage(answer->msgCode(), answer->msgInfo()));
                return;
            }
            VelquorUserManager::sharedManager().saveUserRegInfo(record);
            const QVariantMap handedOver{{VelquorShell::kRegisteAccountKey, record.login_name()},
                                         {VelquorShell::kRegistePasswordKey, record.pwd()}};
            DispatchQueue::main().async([self, handedOver] {
                if (!self)
                    return;
                self->showMessage(text(QStringLiteral("RegisterHint6")), [self, handedOver] {
                    NotificationCenter::workspace().post(VelquorShell::kRegisteSuccessNotification, {}, handedOver);
                    if (self)
                        self->closeAction();
                });
            });
        },
        [refused](const VelquorNetworkError &) { refused(text(QStringLiteral("LoginHint4"))); });
}

void VelquorRegisteViewController::setSending(bool sending)
{
    m_sending = sending;
    m_registeButton->setEnabled(!sending);
}

void VelquorRegisteViewController::resetAction()
{
    for (QWidget *field : fieldsInScreenOrder()) {
        if (auto *search = qobject_cast<VelquorSearchField *>(field))
            search->clear();
        else if (auto *secure = qobject_cast<VelquorSecureField *>(field))
            secure->secureTextField()->clear();
    }
}

void VelquorRegisteViewController::privacyAction()
{
    std::unique_ptr<VelquorHelpAlert> help(
        VelquorHelpAlert::helpAlertWithTitle(QStringLiteral(""), QUrl(QStringLiteral("qrc:/Licence.pdf"))));
    help->runModal();
}

void VelquorRegisteViewController::closeAction()
{
    QWidget *login = m_loginWindow;
    if (!login) {
        // Without a known login window, the first shell window that is not this one.
        for (QWidget *candidate : QApplication::topLevelWidgets()) {
            if (qobject_cast<VelquorWindow *>(candidate) && candidate != window()) {
                login = candidate;
                break;
            }
        }
    }
    if (login) {
        login->show();
        login->raise();
        login->activateWindow();
    }
    QWidget *own = window();
    own->hide();
    if (own != this)
        own->deleteLater();
}

void VelquorRegisteViewController::minimizeAction()
{
    window()->showMinimized();
}

bool VelquorRegisteViewController::windowShouldClose()
{
    // The window manager's close does what the screen's own close button does; quitting the
    // application from here would leave the hidden login window behind.
    closeAction();
    return false;
}

#include "account/VelquorMyProfileView.h"

#include "account/VelquorAccountConstants.h"
#include "account/VelquorFieldCaption.h"
#include "account/VelquorPageAlert.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorSearchField.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorKeychainManager.h"
#include "core/VelquorNetworkManager.h"
#include "core/VelquorUserManager.h"
#include "platform/DispatchQueue.h"

#include <QJsonObject>
#include <QShowEvent>

namespace {

constexpr int kFieldHeight = 34;
constexpr int kFieldSpacing = 12;
constexpr int kSideMargin = 15;
constexpr int kFirstFieldTop = 50;

QString text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

// The saved login's name as the service knows it; the empty text when there is none.
QString loginName()
{
    const auto user = VelquorUserManager::sharedManager().getUserInfo();
    if (!user || !VelquorCommonTool::isUsableText(user->userReName()))
        return QStringLiteral("");
    return user->userReName();
}

} // namespace

VelquorMyProfileView::VelquorMyProfileView(QWidget *parent) : QWidget(parent)
{
    setupUI();
    configData();
}

VelquorMyProfileView::~VelquorMyProfileView() = default;

void VelquorMyProfileView::setupUI()
{
    VelquorFieldCaption::paintPageGround(this);

    auto field = [this](const char *name, bool editable) {
        auto *searchField = new VelquorSearchField(this);
        searchField->setObjectName(QString::fromLatin1(name));
        VelquorFieldCaption::addSearchFiled(searchField, editable);
        if (editable) {
            // Only the user's own typing counts as an edit, never a fill from a profile.
            connect(searchField, &QLineEdit::textEdited, this,
                    [this, searchField] { m_editedFields.insert(searchField); });
        }
        return searchField;
    };
    m_userIDSearchField = field("userIDSearchField", false);
    m_firstNameSearchField = field("firstNameSearchField", true);
    m_lastNameSearchField = field("lastNameSearchField", true);
    m_emailSearchField = field("emailSearchField", false);
    m_telephoneSearchField = field("telephoneSearchField", true);
    m_addressSearchField = field("addressSearchField", true);
    m_citySearchField = field("citySearchField", true);
    m_provinceSearchField = field("provinceSearchField", true);
    m_countrySearchField = field("countrySearchField", true);

    m_submitButton = new VelquorButton(this);
    m_submitButton->setObjectName(QStringLiteral("submitButton"));
    m_resetButton = new VelquorButton(this);
    m_resetButton->setObjectName(QStringLiteral("resetButton"));
    m_centerView = new QWidget(this);
    m_centerView->setObjectName(QStringLiteral("centerView"));

    QWidget *previous = nullptr;
    for (VelquorSearchField *searchField : fieldsInOrder()) {
        if (!searchField->isEditable())
            continue;
        if (previous)
            setTabOrder(previous, searchField);
        previous = searchField;
    }
}

void VelquorMyProfileView::configData()
{
    VelquorFieldCaption::configField(m_userIDSearchField, text(QStringLiteral("Register1")), true);
    VelquorFieldCaption::configField(m_firstNameSearchField, text(QStringLiteral("Register3")), true);
    VelquorFieldCaption::configField(m_lastNameSearchField, text(QStringLiteral("Register5")), true);
    VelquorFieldCaption::configField(m_emailSearchField, text(QStringLiteral("Register6")), true);
    VelquorFieldCaption::configField(m_telephoneSearchField, text(QStringLiteral("Register8")), true);
    VelquorFieldCaption::configField(m_addressSearchField, text(QStringLiteral("Register9")), true);
    // The city is the one entry the form does not require.
    VelquorFieldCaption::configField(m_citySearchField, text(QStringLiteral("Register13")), false);
    VelquorFieldCaption::configField(m_provinceSearchField, text(QStringLiteral("Register12")), true);
    VelquorFieldCaption::configField(m_countrySearchField, text(QStringLiteral("Register11")), true);

    VelquorFieldCaption::configButton(m_submitButton, text(QStringLiteral("Submit")));
    VelquorFieldCaption::configButton(m_resetButton, text(QStringLiteral("Feedback13")));
    connect(m_submitButton, &QPushButton::clicked, this, &VelquorMyProfileView::submitAction);
    connect(m_resetButton, &QPushButton::clicked, this, &VelquorMyProfileView::resetAction);
}

QList<VelquorSearchField *> VelquorMyProfileView::fieldsInOrder() const
{
    return {m_userIDSearchField, m_firstNameSearchField, m_lastNameSearchField,
            m_emailSearchField,  m_telephoneSearchField, m_addressSearchField,
            m_citySearchField,   m_provinceSearchField,  m_countrySearchField};
}

void VelquorMyProfileView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window restored after being minimised is no new showing of the page.
    if (event->spontaneous())
        return;
    // Each showing starts a new record to save and loads the profile until one load succeeded.
    m_profileModel = VelquorUserProfileModel();
    requestUserInfo();
}

void VelquorMyProfileView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorMyProfileView::layoutSubviews()
{
    int y = kFirstFieldTop;
    for (VelquorSearchField *searchField : fieldsInOrder()) {
        searchField->setGeometry(kSideMargin, y, width() - 2 * kSideMargin, kFieldHeight);
        y += kFieldHeight + kFieldSpacing;
    }
    VelquorFieldCaption::placeButtonPair(this, m_submitButton, m_centerView, m_resetButton);
}

void VelquorMyProfileView::configDefaultValue()
{
    m_editedFields.clear();
    fillFields();
}

void VelquorMyProfileView::fillFields()
{
    const VelquorProfileForm::Entries values = VelquorProfileForm::entriesFromUserInfo(m_userInfoModel);
    const QList<std::pair<VelquorSearchField *, QString>> fill{
        {m_userIDSearchField, values.userID},       {m_firstNameSearchField, values.firstName},
        {m_lastNameSearchField, values.lastName},   {m_emailSearchField, values.email},
        {m_telephoneSearchField, values.telephone}, {m_addressSearchField, values.address},
        {m_citySearchField, values.city},           {m_provinceSearchField, values.province},
        {m_countrySearchField, values.country},
    };
    // What the user typed stays until reset or a save.
    for (const auto &[field, value] : fill) {
        if (!m_editedFields.contains(field))
            field->setText(value);
    }
}

void VelquorMyProfileView::setUserInfoModel(const VelquorUserInfoModel &userInfo)
{
    m_userInfoModel = userInfo;
    m_success = true;
    fillFields();
}

void VelquorMyProfileView::requestUserInfo()
{
    if (m_success || m_loading)
        return;
    m_loading = true;
    const quint64 number = ++m_loadNumber;
    const QPointer<VelquorMyProfileView> self(this);
    const QJsonObject params{{QStringLiteral("login_name"), loginName()}};
    VelquorNetworkManager::sharedManager().requestGetUserInfoWithParams(
        params,
        [self, number](std::shared_ptr<VelquorUserInfoResultModel> answer) {
            const bool loaded = answer && answer->msgCode() == 1;
            VelquorUserInfoModel userInfo;
            if (loaded && answer->result())
                userInfo = *answer->result();
            DispatchQueue::main().async([self, number, loaded, userInfo] {
                if (self)
                    self->loadFinished(number, loaded, userInfo);
            });
        },
        [self, number](const VelquorNetworkError &) {
            DispatchQueue::main().async([self, number] {
                if (self)
                    self->loadFinished(number, false, VelquorUserInfoModel());
            });
        });
}

void VelquorMyProfileView::loadFinished(quint64 number, bool loaded, const VelquorUserInfoModel &userInfo)
{
    // Only the answer to the latest request counts: an older one may predate a save.
    if (number != m_loadNumber)
        return;
    m_loading = false;
    if (loaded) {
        setUserInfoModel(userInfo);
        return;
    }
    m_success = false;
    fillFields();
    VelquorPageAlert::show(this, text(QStringLiteral("UserinfoHint4")), QStringLiteral("warning"));
}

VelquorProfileForm::Entries VelquorMyProfileView::entries() const
{
    VelquorProfileForm::Entries typed;
    typed.userID = m_userIDSearchField->text();
    typed.firstName = m_firstNameSearchField->text();
    typed.lastName = m_lastNameSearchField->text();
    typed.email = m_emailSearchField->text();
    typed.telephone = m_telephoneSearchField->text();
    typed.address = m_addressSearchField->text();
    typed.city = m_citySearchField->text();
    typed.province = m_provinceSearchField->text();
    typed.country = m_countrySearchField->text();
    return typed;
}

bool VelquorMyProfileView::getRegInfo()
{
    const VelquorProfileForm::Entries typed = entries();
    if (!VelquorProfileForm::isValid(typed))
        return false;
    // The password is the account's remembered one; the keyring is read when the record is sent.
    m_profileModel = VelquorProfileForm::profileModel(typed, QString());
    return true;
}

void VelquorMyProfileView::submitAction()
{
    if (m_saving)
        return;
    if (!getRegInfo()) {
        VelquorPageAlert::show(this, text(QStringLiteral("RegisterHint1")), QStringLiteral("warning"));
        return;
    }
    m_saving = true;
    m_submitButton->setEnabled(false);
    // What is on screen now is what gets saved; typing from here on is a new edit.
    m_editedFields.clear();
    // The keyring may stall or ask to be unlocked: it is read off the GUI thread.
    const QString accountName = VelquorUserManager::sharedManager().getAccountName();
    const VelquorUserProfileModel record = m_profileModel;
    VelquorKeychainManager::sharedManager().readDataFromKeyChain(
        accountName, this, [this, record](const std::optional<QString> &password) {
            // Without the account's password the service could take the empty text for a new one.
            if (!password || !VelquorCommonTool::isUsableText(*password)) {
                saveFinished(false);
                return;
            }
            VelquorUserProfileModel withPassword = record;
            withPassword.setLogin_pwd(*password);
            m_profileModel = withPassword;
            sendProfile(withPassword);
        });
}

void VelquorMyProfileView::sendProfile(const VelquorUserProfileModel &record)
{
    const QPointer<VelquorMyProfileView> self(this);
    auto finished = [self](bool saved) {
        DispatchQueue::main().async([self, saved] {
            if (self)
                self->saveFinished(saved);
        });
    };
    VelquorNetworkManager::sharedManager().requestUpdateUserInfoWithParams(
        record.toJson(),
        [finished](std::shared_ptr<VelquorResultModel> answer) { finished(answer && answer->msgCode() == 1); },
        [finished](const VelquorNetworkError &) { finished(false); });
}

void VelquorMyProfileView::saveFinished(bool saved)
{
    m_saving = false;
    m_submitButton->setEnabled(true);
    if (!saved) {
        // The edits were not saved: a later load must not replace them.
        for (VelquorSearchField *field : fieldsInOrder()) {
            if (field->isEditable())
                m_editedFields.insert(field);
        }
        VelquorPageAlert::show(this, VelquorAccount::kProfileSaveFailedMessage, QStringLiteral("warning"));
        return;
    }
    VelquorPageAlert::show(this, text(QStringLiteral("UserinfoHint1")), QStringLiteral("information"));
    // Reload what the service now holds, whatever an earlier load still in flight brings.
    m_success = false;
    m_loading = false;
    requestUserInfo();
}

void VelquorMyProfileView::resetAction()
{
    configDefaultValue();
}

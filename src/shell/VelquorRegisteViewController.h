#pragma once

#include "controls/VelquorButton.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSecureField.h"
#include "core/VelquorUserRegisteInfoModel.h"
#include "shell/VelquorViewController.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <functional>
#include <optional>

// The content of the sign-up window: the new account's data, checked, sent to the service's
// UserReg operation and kept locally; the login screen is then told to fill in the new account.
class VelquorRegisteViewController : public VelquorViewController
{
    Q_OBJECT
public:
    explicit VelquorRegisteViewController(QWidget *parent = nullptr);
    ~VelquorRegisteViewController() override;

    // The window brought back when this one closes.
    void setLoginWindow(QWidget *window) { m_loginWindow = window; }

    // The message key of the first rule the form breaks; empty when the form is valid.
    QString firstInvalidRuleKey() const;
    // Whether the form is valid; a valid form is also copied into registeInfoModel.
    bool getRegInfo();

    void registeAction();
    void resetAction();
    void privacyAction();
    void closeAction();
    void minimizeAction();

    // The message for a refused sign-up.
    static QString refusalMessage(qint64 msgCode, const QString &msgInfo);

    // The record of the last valid attempt.
    const VelquorUserRegisteInfoModel &registeInfoModel();

    bool windowShouldClose() override;

    VelquorSearchField *userIDField() const { return m_userIDField; }
    VelquorSecureField *passwordField() const { return m_passwordField; }
    VelquorSecureField *confirmPasswordField() const { return m_confirmPasswordField; }
    VelquorSearchField *firstNameField() const { return m_firstNameField; }
    VelquorSearchField *lastNameField() const { return m_lastNameField; }
    VelquorSearchField *addressField() const { return m_addressField; }
    VelquorSearchField *provinceField() const { return m_provinceField; }
    VelquorSearchField *cityField() const { return m_cityField; }
    VelquorSearchField *countryField() const { return m_countryField; }
    VelquorSearchField *telephoneField() const { return m_telephoneField; }
    VelquorSearchField *emailField() const { return m_emailField; }
    VelquorButton *privacyButton() const { return m_privacyButton; }
    VelquorButton *registeButton() const { return m_registeButton; }
    VelquorButton *resetButton() const { return m_resetButton; }

    // Gives a field its caption at the left: the title, and a red star unless the field is optional.
    static void configField(VelquorSearchField *field, const QString &title);
    static void configField(VelquorSecureField *field, const QString &title);

protected:
    void viewDidLoad() override;
    void layoutSubviews() override;

private:
    void buildView();
    void showMessage(const QString &message, std::function<void()> didEnd = {});
    QList<QWidget *> fieldsInScreenOrder() const;
    // Register is off while its request runs and until its message is dismissed.
    void setSending(bool sending);

    QPointer<QWidget> m_loginWindow;
    std::optional<VelquorUserRegisteInfoModel> m_registeInfoModel;
    bool m_sending = false;

    QPointer<QWidget> m_titleBarView;
    QPointer<QPushButton> m_closeButton;
    QPointer<QPushButton> m_miniButton;
    QPointer<QLabel> m_headingLabel;
    QPointer<VelquorSearchField> m_userIDField;
    QPointer<VelquorSecureField> m_passwordField;
    QPointer<VelquorSecureField> m_confirmPasswordField;
    QPointer<VelquorSearchField> m_firstNameField;
    QPointer<VelquorSearchField> m_lastNameField;
    QPointer<VelquorSearchField> m_addressField;
    QPointer<VelquorSearchField> m_provinceField;
    QPointer<VelquorSearchField> m_cityField;
    QPointer<VelquorSearchField> m_countryField;
    QPointer<VelquorSearchField> m_telephoneField;
    QPointer<VelquorSearchField> m_emailField;
    QPointer<VelquorButton> m_privacyButton;
    QPointer<VelquorButton> m_registeButton;
    QPointer<VelquorButton> m_resetButton;
};

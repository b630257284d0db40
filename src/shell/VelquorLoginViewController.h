#pragma once

#include "controls/VelquorButton.h"
#include "controls/VelquorImageView.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSecureField.h"
#include "shell/VelquorViewController.h"
#include "shell/VelquorWindow.h"

#include <QCheckBox>
#include <QPushButton>

#include <QPointer>
#include <QUrl>

#include <functional>

// The first content of the main window: account name and password, the remember box, sign-in
// with the service, and the ways to the sign-up window and the forgot-password page. A signed-in
// user replaces this screen by the main view.
class VelquorLoginViewController : public VelquorViewController
{
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl &url)>;

    explicit VelquorLoginViewController(QWidget *parent = nullptr);
    ~VelquorLoginViewController() override;

    void loginAction();
    void logining(bool busy);
    void registeAction();
    // Fills the form with the account and password a sign-up has just created.
    void registeSuccess(const QString &account, const QString &password);
    void forgetPasswordAction();
    void closeAction();
    void minimizeAction();
    void rememberPasswordAction() {}

    // The forgot-password page: its path on the service's own host.
    static QUrl forgetPasswordURL();
    // How web pages are opened (the desktop's browser unless a test replaces it; null restores).
    static void setUrlOpener(UrlOpener opener);

    QWidget *titleBarView() const { return m_titleBarView; }
    VelquorImageView *loginBackgroundImageView() const { return m_loginBackgroundImageView; }
    QCheckBox *rememberButton() const { return m_rememberButton; }
    VelquorButton *forgetPasswordButton() const { return m_forgetPasswordButton; }
    VelquorButton *loginButton() const { return m_loginButton; }
    VelquorButton *registeButton() const { return m_registeButton; }
    VelquorSearchField *accountField() const { return m_accountField; }
    VelquorSecureField *passwordField() const { return m_passwordField; }
    // The sign-up window while it is open.
    VelquorWindow *registeWindow() const { return m_registeWindow; }

protected:
    void viewDidLoad() override;
    void layoutSubviews() override;

private:
    void buildView();
    void showMessage(const QString &key, std::function<void()> didEnd = {});
    // A sign-in that did not succeed: the message of `key`, then the form is enabled again.
    void showFailure(const QString &key);
    QString passwordText() const;

    QPointer<QWidget> m_titleBarView;
    QPointer<VelquorImageView> m_titleBarBgImageView;
    QPointer<QPushButton> m_closeButton;
    QPointer<QPushButton> m_miniButton;
    QPointer<VelquorImageView> m_loginBackgroundImageView;
    QPointer<QWidget> m_formView;
    QPointer<QWidget> m_headingLabel;
    QPointer<QCheckBox> m_rememberButton;
    QPointer<VelquorButton> m_forgetPasswordButton;
    QPointer<VelquorButton> m_loginButton;
    QPointer<VelquorButton> m_registeButton;
    QPointer<VelquorSearchField> m_accountField;
    QPointer<VelquorSecureField> m_passwordField;
    QPointer<VelquorWindow> m_registeWindow;
};

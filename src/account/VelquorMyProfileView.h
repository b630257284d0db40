#pragma once

#include "account/VelquorProfileForm.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorSearchField.h"
#include "core/VelquorUserInfoModel.h"
#include "core/VelquorUserProfileModel.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QWidget>

// The profile page: the second tab of the main view. Shows the signed-in account's profile as
// the service has it, lets the user edit it, checks the form and saves it back.
//
// The profile is requested each time the page is shown until one load has succeeded, and again
// after every successful save. One request of each kind runs at a time: the save button stays
// disabled while a save is under way. A profile that arrives after the user started typing fills
// only the fields the user has not touched; reset shows it whole.
class VelquorMyProfileView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorMyProfileView(QWidget *parent = nullptr);
    ~VelquorMyProfileView() override;

    // Fills every field from the last loaded profile (empty before any), dropping the edits.
    void configDefaultValue();
    // Loads the profile unless one is loaded or a load is under way.
    void requestUserInfo();
    // Validates the form; when valid, fills profileModel (its password is added when it is sent).
    bool getRegInfo();
    void submitAction();
    void resetAction();

    // What a successful load does: the profile becomes the last loaded one and, unless the user
    // is editing, the form shows it.
    void setUserInfoModel(const VelquorUserInfoModel &userInfo);
    const VelquorUserInfoModel &userInfoModel() const { return m_userInfoModel; }
    const VelquorUserProfileModel &profileModel() const { return m_profileModel; }
    // YES once a profile was loaded; NO at start, after a failed load and after a successful save.
    bool success() const { return m_success; }
    bool isSaving() const { return m_saving; }

    VelquorSearchField *userIDSearchField() const { return m_userIDSearchField; }
    VelquorSearchField *firstNameSearchField() const { return m_firstNameSearchField; }
    VelquorSearchField *lastNameSearchField() const { return m_lastNameSearchField; }
    VelquorSearchField *emailSearchField() const { return m_emailSearchField; }
    VelquorSearchField *telephoneSearchField() const { return m_telephoneSearchField; }
    VelquorSearchField *addressSearchField() const { return m_addressSearchField; }
    VelquorSearchField *citySearchField() const { return m_citySearchField; }
    VelquorSearchField *provinceSearchField() const { return m_provinceSearchField; }
    VelquorSearchField *countrySearchField() const { return m_countrySearchField; }
    VelquorButton *submitButton() const { return m_submitButton; }
    VelquorButton *resetButton() const { return m_resetButton; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupUI();
    void configData();
    void layoutSubviews();
    VelquorProfileForm::Entries entries() const;
    QList<VelquorSearchField *> fieldsInOrder() const;
    // Fills the fields the user has not edited from the last loaded profile.
    void fillFields();
    void loadFinished(quint64 number, bool loaded, const VelquorUserInfoModel &userInfo);
    void sendProfile(const VelquorUserProfileModel &record);
    void saveFinished(bool saved);

    QPointer<VelquorSearchField> m_userIDSearchField;
    QPointer<VelquorSearchField> m_firstNameSearchField;
    QPointer<VelquorSearchField> m_lastNameSearchField;
    QPointer<VelquorSearchField> m_emailSearchField;
    QPointer<VelquorSearchField> m_telephoneSearchField;
    QPointer<VelquorSearchField> m_addressSearchField;
    QPointer<VelquorSearchField> m_citySearchField;
    QPointer<VelquorSearchField> m_provinceSearchField;
    QPointer<VelquorSearchField> m_countrySearchField;
    QPointer<VelquorButton> m_submitButton;
    QPointer<VelquorButton> m_resetButton;
    QPointer<QWidget> m_centerView;

    VelquorUserInfoModel m_userInfoModel;
    VelquorUserProfileModel m_profileModel;
    bool m_success = false;
    bool m_loading = false;
    quint64 m_loadNumber = 0; // the latest load request
    bool m_saving = false;
    // Fields the user typed into since the form was last reset or saved.
    QSet<const VelquorSearchField *> m_editedFields;
};

#pragma once

#include "account/VelquorTicketComboBox.h"
#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorSearchField.h"
#include "core/VelquorSupportTicketsModel.h"
#include "session/VelquorMainViewModel.h"

#include <QList>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

// The feedback page: the third tab of the main view. The user describes a problem with one of the
// account's devices, one of its software packages and a vehicle, and sends it as a support
// request. The form is emptied each time the page is shown; one request is sent at a time, and a
// request the service refuses or that does not reach it is reported with the form kept.
class VelquorSupportTicketsView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorSupportTicketsView(QWidget *parent = nullptr);
    ~VelquorSupportTicketsView() override;

    // The form's choices: the account's product names as scanners. Replaces the form data, except on
    // a page already on screen, where only the scanners are renewed while the chosen one is offered.
    void setTicketsModel(const VelquorSupportTicketsModel &model);
    VelquorSupportTicketsModel ticketsModel() const { return m_ticketsModel; }

    // Empties the entries and the ticket's texts; the choices and the product ID stay.
    void configDefaultValue();
    // Whether every entry is filled; when so, they are copied into the ticket.
    bool getRegInfo();
    void submitAction();
    void resetAction();
    // A scanner was chosen: its product ID is looked up.
    void comboBoxSelectionDidChange();
    // The software list is about to open: the chosen product's software is fetched.
    void comboBoxWillPopUp();
    bool isSending() const { return m_sending; }

    VelquorSearchField *subjectSearchField() const { return m_subjectSearchField; }
    VelquorTicketComboBox *scannerComboBox() const { return m_scannerComboBox; }
    VelquorTicketComboBox *softwareComboBox() const { return m_softwareComboBox; }
    VelquorSearchField *versionSearchField() const { return m_versionSearchField; }
    VelquorSearchField *vinSearchField() const { return m_vinSearchField; }
    VelquorSearchField *yearSearchField() const { return m_yearSearchField; }
    VelquorSearchField *engineSizeSarchField() const { return m_engineSizeSarchField; }
    QPlainTextEdit *problemTextView() const { return m_problemTextView; }
    VelquorButton *submitButton() const { return m_submitButton; }
    VelquorButton *resetButton() const { return m_resetButton; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupUI();
    void configData();
    void layoutSubviews();
    VelquorSearchField *addSearchFiled(const char *name);
    QWidget *addRowView(const char *name, VelquorBasicButton *&caption);
    void placeRow(QWidget *rowView, VelquorBasicButton *caption, QWidget *control, const QRect &frame);
    QList<QWidget *> rowsInOrder() const;
    void sendFinished(bool sent);

    QPointer<VelquorSearchField> m_subjectSearchField;
    QPointer<QWidget> m_scannerComboBoxView;
    QPointer<VelquorBasicButton> m_scannerLeftButton;
    QPointer<VelquorTicketComboBox> m_scannerComboBox;
    QPointer<QWidget> m_softwareComboBoxView;
    QPointer<VelquorBasicButton> m_softwareLeftButton;
    QPointer<VelquorTicketComboBox> m_softwareComboBox;
    QPointer<VelquorSearchField> m_versionSearchField;
    QPointer<VelquorSearchField> m_vinSearchField;
    QPointer<VelquorSearchField> m_yearSearchField;
    QPointer<VelquorSearchField> m_engineSizeSarchField;
    QPointer<QWidget> m_problemView;
    QPointer<VelquorBasicButton> m_problemLeftButton;
    QPointer<QPlainTextEdit> m_problemTextView;
    QPointer<VelquorButton> m_submitButton;
    QPointer<VelquorButton> m_resetButton;
    QPointer<QWidget> m_centerView;

    VelquorSupportTicketsModel m_ticketsModel;
    VelquorMainViewModel m_viewModel;
    // Answers about an earlier ticket model are not applied to a newer one.
    quint64 m_ticketsGeneration = 0;
    bool m_sending = false;
};

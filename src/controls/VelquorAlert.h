#pragma once

#include "VelquorImageView.h"

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include <functional>

class QAbstractButton;
class QVBoxLayout;
class VelquorAlertDelegate;
class VelquorSheetQueue;

// The application's own alert: a frameless window with a title bar (background picture, title, close
// box), an icon, a message, an information line and up to two buttons. OK answers 1000, Cancel 1001,
// the close box (and Escape) 0; Return presses OK.
//
// Shown either application-modal with runModal(), or as a sheet with beginSheetModalForWindow(): the
// sheet attaches to the registered main window (setMainWindow, set once the user has signed in) while
// it is shown, otherwise to the caller's window, or without either runs application-modal; a second
// sheet on a window waits until the first ends.
// The delegate's alertSheetDidEnd() comes exactly once per sheet, with this alert, the code and the
// context. Afterwards the alert deletes itself (later, on the event loop) unless it was begun again, so
// keep it in a QPointer. An alert run with runModal() belongs to the caller.
//
// Subclasses build on the same window: they may replace the part under the title bar (setBodyView) and
// override btnAction(). Buttons carry their return code in the dynamic property "tag".
class VelquorAlert : public QDialog
{
    Q_OBJECT
public:
    static constexpr int OKReturnCode = 1000;
    static constexpr int CancelReturnCode = 1001;
    static constexpr int CloseReturnCode = 0;
    static constexpr const char *TagProperty = "tag";

    explicit VelquorAlert(QWidget *parent = nullptr);
    ~VelquorAlert() override;

    // A null title gives the application's name; a null OK title gives "OK"; without a Cancel title the
    // only button stands where Cancel would, 15 pixels from the right edge; without an image the icon
    // column takes no room.
    static VelquorAlert *alertWithTitle(const QString &title, const QString &message, const QString &infoMessage,
                                        const QString &okButton, const QString &cancelButton, const QPixmap &image);
    static VelquorAlert *alertWithTitle(const QString &title, const QString &message, const QString &okButton,
                                        const QString &cancelButton, const QPixmap &image);
    static VelquorAlert *alertWithTitle(const QString &title, const QString &message, const QString &okButton,
                                        const QString &cancelButton);

    // Runs application-modal and answers the code the alert ended with.
    int runModal();
    // Opens as a sheet (see above); returns at once.
    void beginSheetModalForWindow(QWidget *window, VelquorAlertDelegate *delegate, void *contextInfo = nullptr);
    // True once shown as a sheet, until runModal() runs; ending the sheet does not clear it.
    bool isSheet() const { return m_isSheet; }

    // OK and Cancel end the alert with their tag.
    virtual void btnAction(QAbstractButton *sender);
    // The close box ends the alert with 0.
    void closeAction();
    // Every way out (buttons, close box, Escape, closing the window) ends here.
    void done(int returnCode) override;

    // The window every sheet attaches to.
    static void setMainWindow(QWidget *window);
    static QWidget *mainWindow();
    // Called (on the event loop) each time an alert comes on screen; tests answer alerts through it.
    static void setPresentationHook(std::function<void(VelquorAlert *)> hook);

    QWidget *titleBarView() const { return m_titleBarView; }
    VelquorImageView *titleBarBgImageView() const { return m_titleBarBgImageView; }
    QLabel *titleTextField() const { return m_titleTextField; }
    QPushButton *closeButton() const { return m_closeButton; }
    QLabel *iconImageView() const { return m_iconImageView; }
    QLabel *messageTextField() const { return m_messageTextField; }
    QLabel *informationTextField() const { return m_informationTextField; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    // The part under the title bar.
    QWidget *bodyView() const { return m_bodyView; }

protected:
    // Fills in the texts, image and buttons of a freshly built alert.
    void configure(const QString &title, const QString &message, const QString &infoMessage, const QString &okButton,
                   const QString &cancelButton, const QPixmap &image);
    // Replaces the part under the title bar (icon, texts and buttons) by `body`, or by nothing.
    void setBodyView(QWidget *body);
    void setTitleBarHeight(int height);
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class VelquorSheetQueue;

    void buildWindow();
    QWidget *buildStandardBody();
    void layoutTitleBar();
    void presentAsSheet();
    void presentApplicationModal();
    void announcePresentation();
    void sheetDidEnd(int returnCode);

    bool m_isSheet = false;
    bool m_sheetPending = false;
    VelquorAlertDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject; // set when the delegate is a QObject, to notice its destruction
    bool m_delegateIsObject = false;
    void *m_contextInfo = nullptr;

    QVBoxLayout *m_rootLayout = nullptr;
    QPointer<QWidget> m_titleBarView;
    QPointer<VelquorImageView> m_titleBarBgImageView;
    QPointer<QLabel> m_titleTextField;
    QPointer<QPushButton> m_closeButton;
    QPointer<QWidget> m_bodyView;
    QPointer<QLabel> m_iconImageView;
    QPointer<QLabel> m_messageTextField;
    QPointer<QLabel> m_informationTextField;
    QPointer<QPushButton> m_okButton;
    QPointer<QPushButton> m_cancelButton;
};

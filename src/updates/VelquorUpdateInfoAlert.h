#pragma once

#include "controls/VelquorAlert.h"
#include "controls/VelquorButton.h"

#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

// The update notes of a row: the alert's window and title bar over a picture, a read-only,
// scrolling text 300 pixels high and one OK button (1000). The notes are plain text: whatever
// they hold is shown as written, never read as markup.
class VelquorUpdateInfoAlert : public VelquorAlert
{
    Q_OBJECT
public:
    static constexpr int NotesHeight = 300;

    explicit VelquorUpdateInfoAlert(QWidget *parent = nullptr);

    // A null title gives an empty title; without an image the text takes the picture's room.
    static VelquorUpdateInfoAlert *updateInfoAlertWithTitle(const QString &title, const QString &message,
                                                            const QString &okButton, const QPixmap &image);

    QLabel *updateIconImageView() const { return m_updateIconImageView; }
    // The text scrolls itself: the scroll view is the text view.
    QAbstractScrollArea *scrollView() const;
    QPlainTextEdit *textView() const { return m_textView; }
    VelquorButton *updateInfoOKButton() const { return m_updateInfoOKButton; }

private:
    QPointer<QLabel> m_updateIconImageView;
    QPointer<QPlainTextEdit> m_textView;
    QPointer<VelquorButton> m_updateInfoOKButton;
};

#include "VelquorUpdateInfoAlert.h"

#include "controls/VelquorButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kIconSide = 44;
constexpr int kNotesFontPixels = 15;
constexpr int kButtonFontPixels = 13;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;

} // namespace

VelquorUpdateInfoAlert::VelquorUpdateInfoAlert(QWidget *parent) : VelquorAlert(parent)
{
    auto *body = new QWidget(this);
    body->setObjectName(QStringLiteral("bodyView"));

    m_updateIconImageView = new QLabel(body);
    m_updateIconImageView->setObjectName(QStringLiteral("updateIconImageView"));
    m_updateIconImageView->setFixedSize(kIconSide, kIconSide);
    m_updateIconImageView->setAlignment(Qt::AlignCenter);
    m_updateIconImageView->hide();

    m_textView = new QPlainTextEdit(body);
    m_textView->setObjectName(QStringLiteral("textView"));
    m_textView->setReadOnly(true);
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->setFixedHeight(NotesHeight);
    m_textView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_textView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QFont font = m_textView->font();
    font.setPixelSize(kNotesFontPixels);
    m_textView->setFont(font);
    QPalette palette = m_textView->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    m_textView->setPalette(palette);

    m_updateInfoOKButton = new VelquorButton(body);
    m_updateInfoOKButton->setObjectName(QStringLiteral("updateInfoOKButton"));
    m_updateInfoOKButton->setProperty(TagProperty, OKReturnCode);
    m_updateInfoOKButton->setFixedSize(kButtonWidth, kButtonHeight);
    QFont buttonFont = m_updateInfoOKButton->font();
    buttonFont.setPixelSize(kButtonFontPixels);
    m_updateInfoOKButton->setFont(buttonFont);
    connect(m_updateInfoOKButton, &QPushButton::clicked, this, [this] { btnAction(m_updateInfoOKButton); });

    auto *notes = new QHBoxLayout;
    notes->setSpacing(0);
    notes->addWidget(m_updateIconImageView, 0, Qt::AlignTop);
    notes->addWidget(m_textView, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_updateInfoOKButton);

    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(20, 30, 15, 20);
    column->setSpacing(20);
    auto *notesRow = new QHBoxLayout;
    notesRow->setContentsMargins(0, 0, 5, 0); // the text ends 20 from the right edge, the button 15
    notesRow->addLayout(notes);
    column->addLayout(notesRow);
    column->addLayout(buttons);

    // The base alert's icon, texts and buttons go with its standard body.
    setBodyView(body);
}

QAbstractScrollArea *VelquorUpdateInfoAlert::scrollView() const
{
    return m_textView;
}

VelquorUpdateInfoAlert *VelquorUpdateInfoAlert::updateInfoAlertWithTitle(const QString &title, const QString &message,
                                                                         const QString &okButton, const QPixmap &image)
{
    auto *alert = new VelquorUpdateInfoAlert;
    alert->titleTextField()->setText(title.isNull() ? QString() : title);
    if (!image.isNull()) {
        alert->m_updateIconImageView->setPixmap(
            image.scaled(kIconSide, kIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        alert->m_updateIconImageView->show();
    }
    if (!message.isEmpty())
        alert->m_textView->setPlainText(message);
    if (!okButton.isNull())
        alert->m_updateInfoOKButton->setText(okButton);
    return alert;
}

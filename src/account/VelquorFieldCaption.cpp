#include "account/VelquorFieldCaption.h"

#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSearchFieldCell.h"
#include "session/VelquorShellStyle.h"

#include <QFontMetricsF>

namespace {

constexpr qreal kCaptionSpacing = 5;
constexpr qreal kStarRoom = 16;
// Between the caption and what the user types.
constexpr qreal kTextMargin = 8;
const QColor kReadOnlyTextColor(0xa0, 0xa0, 0xa0);

} // namespace

void VelquorFieldCaption::addSearchFiled(VelquorSearchField *field, bool editable)
{
    field->setFiledEventType(1);
    field->setFrame(false);
    field->setFont(VelquorShellStyle::systemFont(kFontSize));
    field->cell()->setBgColor(Qt::white);
    field->cell()->setInsertionPointColor(Qt::black);
    field->cell()->setMargin(kTextMargin);
    field->setEditable(editable);
    field->setSelectable(editable);
    field->setEnabled(editable);
    field->setTextColor(editable ? QColor(Qt::black) : kReadOnlyTextColor);
}

qreal VelquorFieldCaption::captionWidth(const QString &title)
{
    return QFontMetricsF(VelquorShellStyle::systemFont(kFontSize)).horizontalAdvance(title) + kStarRoom +
           kCaptionSpacing;
}

qreal VelquorFieldCaption::captionHeight(const QString &title)
{
    return QFontMetricsF(VelquorShellStyle::systemFont(kFontSize)).boundingRect(title).height();
}

void VelquorFieldCaption::configLeftButton(VelquorBasicButton *caption, const QString &title, bool required)
{
    caption->setFont(VelquorShellStyle::systemFont(kFontSize));
    caption->setTitle(title);
    caption->setTitleNormalColor(Qt::black);
    caption->setTitleHighlightColor(Qt::black);
    caption->setBackgroundNormalColor(Qt::white);
    caption->setBackgroundHighlightColor(Qt::white);
    caption->setSpacing(kCaptionSpacing);
    caption->setMomentary(true);
    caption->setImagePosition(VelquorBasicButton::ImageLeading);
    caption->setImage(required ? VelquorImages::named(QStringLiteral("xing")) : QPixmap());
    caption->setImageNormalColor(VelquorShellStyle::requiredColor());
    caption->setImageHighlightColor(VelquorShellStyle::requiredColor());
    // A caption is no button to press: clicks go on to the input.
    caption->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VelquorFieldCaption::configField(VelquorSearchField *field, const QString &title, bool required)
{
    field->cell()->setLeftButtonWidth(captionWidth(title));
    configLeftButton(field->cell()->leftButton(), title, required);
}

void VelquorFieldCaption::configButton(VelquorButton *button, const QString &title)
{
    button->setText(title);
    button->setFont(VelquorShellStyle::systemFont(kFontSize));
    button->setCursor(Qt::PointingHandCursor);
}

void VelquorFieldCaption::paintPageGround(QWidget *page)
{
    page->setAutoFillBackground(true);
    QPalette colours = page->palette();
    colours.setColor(QPalette::Window, VelquorShellStyle::pageColor());
    page->setPalette(colours);
}

int VelquorFieldCaption::placeButtonPair(QWidget *page, VelquorButton *submit, QWidget *spacer, VelquorButton *reset)
{
    constexpr int kButtonWidth = 130;
    constexpr int kButtonHeight = 48;
    constexpr int kButtonBottom = 10;
    constexpr int kSpacerWidth = 100;
    const int top = page->height() - kButtonBottom - kButtonHeight;
    const int centerX = (page->width() - kSpacerWidth) / 2;
    spacer->setGeometry(centerX, top, kSpacerWidth, kButtonHeight);
    const int submitWidth = qMax(kButtonWidth, submit->widthForTitle(submit->text()));
    const int resetWidth = qMax(kButtonWidth, reset->widthForTitle(reset->text()));
    submit->setGeometry(centerX - submitWidth, top, submitWidth, kButtonHeight);
    reset->setGeometry(centerX + kSpacerWidth, top, resetWidth, kButtonHeight);
    return top;
}

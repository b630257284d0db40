#pragma once

#include <QString>

class QWidget;
class VelquorBasicButton;
class VelquorButton;
class VelquorSearchField;

// The look the account pages' forms share: one-line fields on a white ground with their caption
// at the left (a red star marks a required entry), and the pages' push buttons.
class VelquorFieldCaption
{
public:
    static constexpr int kFontSize = 15;

    // A borderless single-line field, white, black caret, system font 15. An editable field shows
    // black text; a read-only one light grey text and takes no input.
    static void addSearchFiled(VelquorSearchField *field, bool editable);
    // Puts the caption into the field's left button, with the star when the entry is required.
    static void configField(VelquorSearchField *field, const QString &title, bool required);
    // Styles a caption standing on its own at the left of a row, with the star.
    static void configLeftButton(VelquorBasicButton *caption, const QString &title, bool required);
    // Room a caption takes: its width in the system font 15, plus the star and the spacing.
    static qreal captionWidth(const QString &title);
    static qreal captionHeight(const QString &title);
    // A borderless push button with a centred title in the system font 15.
    static void configButton(VelquorButton *button, const QString &title);

    // The pages' ground colour.
    static void paintPageGround(QWidget *page);
    // The submit and reset buttons at the bottom of a form, either side of a centred spacer: as wide
    // as designed unless a title needs more, growing away from the spacer. Answers their top.
    static int placeButtonPair(QWidget *page, VelquorButton *submit, QWidget *spacer, VelquorButton *reset);
};

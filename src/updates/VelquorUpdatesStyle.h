#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

class QLabel;
class QWidget;

// The look of the updates page's texts: "attributed texts" become small HTML documents for QLabel
// (system font, colour, 5 points between lines), and the height such a text needs is measured the
// way the rows are sized.
namespace VelquorUpdatesStyle {

inline constexpr int kTextSize = 15;
inline constexpr int kTitleSize = 18;
inline constexpr qreal kLineSpacing = 5;
// Width of the row texts, in which their height is measured.
inline constexpr qreal kRowTextWidth = 300;

QFont systemFont(int pixelSize);
QColor lightGrayColor();

// One stretch of text in one size and colour.
struct Run
{
    QString text;
    int pixelSize = kTextSize;
    QColor color;
};

// The runs as one paragraph with the given alignment; line breaks in the texts are kept.
QString attributedText(const QList<Run> &runs, Qt::Alignment alignment);
// The whole text in the system font at 15, in `color` (light grey when invalid), centred.
QString attributedTitle(const QString &text, const QColor &color = {});

// Height of `text` laid out in `font` in a box `width` wide (lines wrapped at word boundaries,
// `lineSpacing` between lines, leading included).
qreal measuredHeight(const QString &text, const QFont &font, qreal width, qreal lineSpacing = kLineSpacing);

// A read-only multi-line label with a clear background showing `html` (the page's factory).
QLabel *makeLabel(const QString &html, QWidget *parent = nullptr);

} // namespace VelquorUpdatesStyle

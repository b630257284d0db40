#pragma once

#include <QFont>
#include <QSize>
#include <QString>

// How much room a text takes as the widgets draw it: with the fonts that stand in for the scripts
// the given font lacks (a Thai line is taller than a Latin one of the same size), and for a rich
// text in the sizes and line spacing it names. The pages size their controls from these.
class VelquorTextMetrics
{
public:
    // `text` on one line: its width and the height of its line.
    static QSize lineSize(const QString &text, const QFont &font);

    // `text` (plain, or HTML as a label shows it) laid out in `font`: the widest of its lines, and
    // the height from its first line's top to its last line's bottom (spacing after the last line
    // takes no room). Each paragraph stays on one line, or wraps at words to `width` when that is
    // given.
    static QSize laidOutSize(const QString &text, const QFont &font, qreal width = -1);
};

#include "VelquorTextMetrics.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

namespace {

// Wide enough that a line never breaks.
constexpr qreal kUnboundedWidth = 1e6;

} // namespace

QSize VelquorTextMetrics::lineSize(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(kUnboundedWidth);
    layout.endLayout();
    const QFontMetrics metrics(font);
    if (!line.isValid())
        return {0, metrics.height()};
    return {qCeil(line.naturalTextWidth()), qMax(metrics.height(), qCeil(line.height()))};
}

QSize VelquorTextMetrics::laidOutSize(const QString &text, const QFont &font, qreal width)
{
    QTextDocument document;
    document.setDefaultFont(font);
    // A label lays its text out without a document margin.
    document.setDocumentMargin(0);
    if (Qt::mightBeRichText(text))
        document.setHtml(text);
    else
        document.setPlainText(text);
    document.setTextWidth(width);
    document.documentLayout()->documentSize();
    qreal widest = 0;
    qreal top = -1;
    qreal bottom = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        for (int i = 0; layout && i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            widest = qMax(widest, line.naturalTextWidth());
            const qreal lineTop = layout->position().y() + line.y();
            top = top < 0 ? lineTop : qMin(top, lineTop);
            bottom = qMax(bottom, lineTop + line.height());
        }
    }
    return {qCeil(widest), qCeil(bottom - qMax<qreal>(0, top))};
}

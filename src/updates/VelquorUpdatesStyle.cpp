#include "updates/VelquorUpdatesStyle.h"

#include "session/VelquorShellStyle.h"

#include <QLabel>
#include <QTextLayout>

#include <cmath>

namespace VelquorUpdatesStyle {

QFont systemFont(int pixelSize)
{
    return VelquorShellStyle::systemFont(pixelSize);
}

QColor lightGrayColor()
{
    return QColor(0xAA, 0xAA, 0xAA);
}

QString attributedText(const QList<Run> &runs, Qt::Alignment alignment)
{
    const char *align = (alignment & Qt::AlignHCenter) ? "center" : (alignment & Qt::AlignRight) ? "right" : "left";
    QString html = QStringLiteral("<p align=\"%1\" style=\"margin:0; line-height:%2px; "
                                  "-qt-line-height-type:line-distance;\">")
                       .arg(QLatin1String(align))
                       .arg(kLineSpacing);
    for (const Run &run : runs) {
        const QColor color = run.color.isValid() ? run.color : lightGrayColor();
        QString text = run.text.toHtmlEscaped();
        text.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
        html += QStringLiteral("<span style=\"font-size:%1px; color:%2;\">%3</span>")
                    .arg(run.pixelSize)
                    .arg(color.name(), text);
    }
    html += QLatin1String("</p>");
    return html;
}

QString attributedTitle(const QString &text, const QColor &color)
{
    return attributedText({{text, kTextSize, color}}, Qt::AlignHCenter);
}

qreal measuredHeight(const QString &text, const QFont &font, qreal width, qreal lineSpacing)
{
    const QFontMetricsF metrics(font);
    const qreal lineHeight = metrics.height() + metrics.leading();
    int lines = 0;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        int paragraphLines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++paragraphLines;
        }
        layout.endLayout();
        lines += qMax(1, paragraphLines);
    }
    return std::ceil(lines * lineHeight + (lines - 1) * lineSpacing);
}

QLabel *makeLabel(const QString &html, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setFocusPolicy(Qt::NoFocus);
    label->setText(html);
    return label;
}

} // namespace VelquorUpdatesStyle

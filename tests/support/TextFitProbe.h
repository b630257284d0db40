#pragma once

#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorTabItemButton.h"
#include "controls/VelquorTableHeaderCheckButton.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QWidget>
#include <QtMath>

#include <vector>

// Finds the texts of a screen that do not fit: a caption, label, check box or button title wider
// (or, when it wraps, taller) than the room its control gives it, and a text that runs into the
// text of another control. Each text is measured in its control's own font (a rich text in the
// sizes it names) against the room the control really draws it in, so a screen rendered in any
// language can be checked by walking it. A text scrolled out of sight still has to fit its
// control, but runs into nothing there.
//
//   const QStringList offenders = TextFitProbe::offenders(window);
//   EXPECT_TRUE(offenders.isEmpty()) << offenders.join("\n").toStdString();
class TextFitProbe
{
public:
    // One line per offender, naming the control, its text and what is wrong; empty when all fit.
    static QStringList offenders(QWidget *root)
    {
        std::vector<Placed> placed;
        collect(root, root, root->rect(), placed);
        QStringList found;
        for (const Placed &p : placed) {
            if (!p.fits)
                found << QStringLiteral("%1 \"%2\": needs %3 x %4 px, has %5 x %6 px")
                             .arg(nameOf(p.widget), p.text)
                             .arg(p.needed.width())
                             .arg(p.needed.height())
                             .arg(p.room.width())
                             .arg(p.room.height());
        }
        for (size_t i = 0; i < placed.size(); ++i) {
            for (size_t j = i + 1; j < placed.size(); ++j) {
                const Placed &a = placed[i];
                const Placed &b = placed[j];
                if (a.widget->isAncestorOf(b.widget) || b.widget->isAncestorOf(a.widget))
                    continue;
                if (a.shownRect().intersects(b.shownRect()))
                    found << QStringLiteral("%1 \"%2\" runs into %3 \"%4\"")
                                 .arg(nameOf(a.widget), a.text, nameOf(b.widget), b.text);
            }
        }
        return found;
    }

private:
    struct Placed
    {
        QWidget *widget = nullptr;
        QString text;
        QSize needed;   // what the text takes
        QRect room;     // where the control draws it (its own coordinates)
        QRect textRect; // where it lands, in the root's coordinates
        QRect clip;     // what of the root its control can paint on (its ancestors cut it)
        bool fits = true;

        QRect shownRect() const { return textRect.intersected(clip); }
    };

    static QString nameOf(const QWidget *widget)
    {
        if (!widget->objectName().isEmpty())
            return widget->objectName();
        const QWidget *parent = widget->parentWidget();
        return QStringLiteral("%1 in %2")
            .arg(QString::fromLatin1(widget->metaObject()->className()),
                 parent ? nameOf(parent) : QStringLiteral("nothing"));
    }

    static QString withoutMnemonics(QString text)
    {
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        text.remove(QLatin1Char('&'));
        text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
        return text;
    }

    // Width and height of `text` on one line, with the fonts that stand in for scripts `font`
    // lacks (their lines may be taller than the font's own).
    static QSize lineSize(const QString &text, const QFont &font)
    {
        QTextLayout layout(text, font);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (line.isValid())
            line.setLineWidth(1e6);
        layout.endLayout();
        const QFontMetrics metrics(font);
        return {metrics.horizontalAdvance(text), qMax(metrics.height(), line.isValid() ? qCeil(line.height()) : 0)};
    }

    // A single line of `text` placed in `room` by `alignment`.
    static void placeLine(Placed &p, const QString &text, const QFont &font, const QRect &room, Qt::Alignment alignment)
    {
        p.text = text;
        p.room = room;
        p.needed = lineSize(text, font);
        p.fits = p.needed.width() <= room.width() && p.needed.height() <= room.height();
        p.textRect = QStyle::alignedRect(p.widget->layoutDirection(), alignment,
                                         p.needed.boundedTo(QSize(p.needed.width(), room.height())), room);
    }

    // Wrapped text: every word (or, wrapped anywhere, every line) must fit the width and all lines
    // the height.
    static void placeWrapped(Placed &p, const QString &text, const QFont &font, const QRect &room,
                             Qt::Alignment alignment, int wrapFlag = Qt::TextWordWrap)
    {
        const QFontMetrics metrics(font);
        p.text = text;
        p.room = room;
        const QRect bounds = metrics.boundingRect(QRect(0, 0, room.width(), 100000), int(alignment) | wrapFlag, text);
        int widestWord = 0;
        if (wrapFlag == Qt::TextWordWrap) {
            for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                widestWord = std::max(widestWord, metrics.horizontalAdvance(word));
        }
        p.needed = QSize(std::max(bounds.width(), widestWord), bounds.height());
        p.fits = p.needed.width() <= room.width() && p.needed.height() <= room.height();
        p.textRect = QStyle::alignedRect(p.widget->layoutDirection(), alignment, p.needed.boundedTo(room.size()), room);
    }

    // A rich text as a label lays it out: in the sizes, line spacing and paragraph alignment it
    // names, wrapped at words when the label wraps. The label stands the document in its room by
    // its vertical alignment, at the top when it is taller; what must fit are its lines.
    static void placeRichText(Placed &p, const QLabel *label, const QRect &room)
    {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        QTextOption option = document.defaultTextOption();
        option.setWrapMode(label->wordWrap() ? QTextOption::WordWrap : QTextOption::ManualWrap);
        document.setDefaultTextOption(option);
        document.setHtml(label->text());
        document.setTextWidth(room.width());
        const qreal height = document.documentLayout()->documentSize().height();
        QRectF lines;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextLayout *layout = block.layout();
            for (int i = 0; layout && i < layout->lineCount(); ++i) {
                const QRectF line = layout->lineAt(i).naturalTextRect().translated(layout->position());
                lines = lines.isNull() ? line : lines.united(line);
            }
        }
        qreal top = 0;
        if (label->alignment() & Qt::AlignVCenter)
            top = qMax<qreal>(0, (room.height() - height) / 2);
        else if (label->alignment() & Qt::AlignBottom)
            top = qMax<qreal>(0, room.height() - height);
        p.text = QTextDocumentFragment::fromHtml(label->text()).toPlainText();
        p.room = room;
        p.textRect = lines.translated(room.left(), room.top() + top).toAlignedRect();
        p.needed = QSize(qCeil(lines.width()), qCeil(lines.bottom()));
        p.fits = room.contains(p.textRect);
    }

    static bool measure(QWidget *widget, Placed &p)
    {
        if (auto *button = qobject_cast<VelquorBasicButton *>(widget)) {
            if (button->title().isEmpty() || button->titleRect().isEmpty())
                return false;
            p.text = button->title();
            p.room = button->rect();
            p.needed = button->titleRect().size();
            p.textRect = button->titleRect();
            p.fits = p.room.contains(p.textRect) && !button->imageRect().intersects(p.textRect);
            return true;
        }
        if (auto *button = qobject_cast<VelquorTableHeaderCheckButton *>(widget)) {
            if (button->text().isEmpty())
                return false;
            placeLine(p, button->text(), button->font(), button->titleRect().toRect(),
                      Qt::AlignLeft | Qt::AlignVCenter);
            return true;
        }
        if (auto *button = qobject_cast<VelquorButton *>(widget)) {
            if (button->text().isEmpty())
                return false;
            // A title with a picture before it follows the picture; one without stands centred.
            const bool centred = button->image().isNull() && (button->alignment() & Qt::AlignHCenter);
            placeLine(p, withoutMnemonics(button->text()), button->font(), button->titleRect(),
                      centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
            if (!button->imageRect().isEmpty() && button->imageRect().toAlignedRect().intersects(p.textRect))
                p.fits = false;
            return true;
        }
        if (auto *item = qobject_cast<VelquorTabItemButton *>(widget)) {
            if (item->caption().isEmpty())
                return false;
            // The caption starts a head indent into its label, a small inset from its top and sides.
            const QRect room = item->captionFrame().adjusted(item->headIndent() + 2, 2, -2, 0).toAlignedRect();
            if (item->isMultiLine())
                placeWrapped(p, item->caption(), VelquorTabItemButton::captionFont(), room,
                             Qt::AlignLeft | Qt::AlignTop, Qt::TextWrapAnywhere);
            else
                placeLine(p, item->caption(), VelquorTabItemButton::captionFont(), room, Qt::AlignLeft | Qt::AlignTop);
            return true;
        }
        if (auto *box = qobject_cast<QCheckBox *>(widget); box || qobject_cast<QRadioButton *>(widget)) {
            auto *button = static_cast<QAbstractButton *>(widget);
            if (button->text().isEmpty())
                return false;
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            option.icon = button->icon();
            option.iconSize = button->iconSize();
            const QRect room = button->style()->subElementRect(
                box ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, button);
            placeLine(p, withoutMnemonics(button->text()), button->font(), room, Qt::AlignLeft | Qt::AlignVCenter);
            return true;
        }
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            if (button->text().isEmpty())
                return false;
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            if (button->isFlat())
                option.features |= QStyleOptionButton::Flat;
            QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            if (!button->icon().isNull())
                room.setLeft(room.left() + button->iconSize().width() + 4);
            placeLine(p, withoutMnemonics(button->text()), button->font(), room, Qt::AlignCenter);
            return true;
        }
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (label->text().isEmpty() || !label->pixmap().isNull())
                return false;
            const QString text = label->text();
            const QRect room =
                label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
            if (label->textFormat() == Qt::RichText ||
                (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
                placeRichText(p, label, room);
            else if (label->wordWrap())
                placeWrapped(p, text, label->font(), room, label->alignment());
            else
                placeLine(p, text, label->font(), room, label->alignment());
            return true;
        }
        if (auto *field = qobject_cast<VelquorSearchField *>(widget);
            field && !field->isEditable() && !field->isSelectable() && !field->text().isEmpty()) {
            // A field used as a caption: its text is drawn across where the cell puts it, in the
            // field's whole height.
            const QRect line = field->searchTextRect().toRect();
            placeLine(p, field->text(), field->font(), QRect(line.left(), 0, line.width(), field->height()),
                      field->alignment());
            return true;
        }
        if (auto *field = qobject_cast<QLineEdit *>(widget)) {
            // The caption a field shows while it is empty.
            if (!field->text().isEmpty() || field->placeholderText().isEmpty())
                return false;
            QStyleOptionFrame option;
            option.initFrom(field);
            option.lineWidth =
                field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
            const QRect room = field->style()
                                   ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                                   .marginsRemoved(field->textMargins())
                                   .adjusted(2, 1, -2, -1);
            placeLine(p, field->placeholderText(), field->font(), room, field->alignment());
            return true;
        }
        return false;
    }

    static void collect(QWidget *root, QWidget *widget, const QRect &clip, std::vector<Placed> &placed)
    {
        for (QObject *child : widget->children()) {
            auto *w = qobject_cast<QWidget *>(child);
            if (!w || w->isWindow() || !w->isVisibleTo(root) || w->size().isEmpty())
                continue;
            const QRect inRoot(w->mapTo(root, QPoint(0, 0)), w->size());
            Placed p;
            p.widget = w;
            p.clip = clip.intersected(inRoot);
            if (measure(w, p)) {
                p.textRect = QRect(w->mapTo(root, p.textRect.topLeft()), p.textRect.size());
                placed.push_back(p);
            }
            collect(root, w, p.clip, placed);
        }
    }
};

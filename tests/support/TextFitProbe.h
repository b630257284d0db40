#pragma once

#include "controls/VelquorBasicButton.h"
#include "controls/VelquorButton.h"

#include <QAbstractButton>
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
#include <QTextDocumentFragment>
#include <QWidget>

#include <vector>

// Finds the texts of a screen that do not fit: a caption, label, check box or button title wider
// (or, when it wraps, taller) than the room its control gives it, and a text that runs into the
// text of another control. Each text is measured in its control's own font against the room the
// control really draws it in, so a screen rendered in any language can be checked by walking it.
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
        collect(root, root, placed);
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
                if (a.textRect.intersects(b.textRect))
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
        QSize needed;  // what the text takes
        QRect room;    // where the control draws it (its own coordinates)
        QRect textRect; // where it lands, in the root's coordinates
        bool fits = true;
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

    // A single line of `text` placed in `room` by `alignment`.
    static void placeLine(Placed &p, const QString &text, const QFont &font, const QRect &room,
                          Qt::Alignment alignment)
    {
        const QFontMetrics metrics(font);
        p.text = text;
        p.room = room;
        p.needed = QSize(metrics.horizontalAdvance(text), metrics.height());
        p.fits = p.needed.width() <= room.width() && p.needed.height() <= room.height();
        p.textRect =
            QStyle::alignedRect(p.widget->layoutDirection(), alignment, p.needed.boundedTo(QSize(p.needed.width(), room.height())), room);
    }

    // Wrapped text: every word must fit the width and all lines the height.
    static void placeWrapped(Placed &p, const QString &text, const QFont &font, const QRect &room,
                             Qt::Alignment alignment)
    {
        const QFontMetrics metrics(font);
        p.text = text;
        p.room = room;
        const QRect bounds = metrics.boundingRect(QRect(0, 0, room.width(), 100000),
                                                  int(alignment) | Qt::TextWordWrap, text);
        int widestWord = 0;
        for (const QString &word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widestWord = std::max(widestWord, metrics.horizontalAdvance(word));
        p.needed = QSize(std::max(bounds.width(), widestWord), bounds.height());
        p.fits = p.needed.width() <= room.width() && p.needed.height() <= room.height();
        p.textRect = QStyle::alignedRect(p.widget->layoutDirection(), alignment, p.needed.boundedTo(room.size()), room);
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
        if (auto *button = qobject_cast<VelquorButton *>(widget)) {
            if (button->text().isEmpty())
                return false;
            placeLine(p, withoutMnemonics(button->text()), button->font(), button->titleRect(), Qt::AlignCenter);
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
            QString text = label->text();
            if (label->textFormat() == Qt::RichText ||
                (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
                text = QTextDocumentFragment::fromHtml(text).toPlainText();
            const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                             -label->margin());
            if (label->wordWrap())
                placeWrapped(p, text, label->font(), room, label->alignment());
            else
                placeLine(p, text, label->font(), room, label->alignment());
            return true;
        }
        if (auto *field = qobject_cast<QLineEdit *>(widget)) {
            // The caption a field shows while it is empty.
            if (!field->text().isEmpty() || field->placeholderText().isEmpty())
                return false;
            QStyleOptionFrame option;
            option.initFrom(field);
            option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
            const QRect room = field->style()
                                   ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                                   .marginsRemoved(field->textMargins())
                                   .adjusted(2, 1, -2, -1);
            placeLine(p, field->placeholderText(), field->font(), room, field->alignment());
            return true;
        }
        return false;
    }

    static void collect(QWidget *root, QWidget *widget, std::vector<Placed> &placed)
    {
        for (QObject *child : widget->children()) {
            auto *w = qobject_cast<QWidget *>(child);
            if (!w || w->isWindow() || !w->isVisibleTo(root) || w->size().isEmpty())
                continue;
            Placed p;
            p.widget = w;
            if (measure(w, p)) {
                p.textRect = QRect(w->mapTo(root, p.textRect.topLeft()), p.textRect.size());
                placed.push_back(p);
            }
            collect(root, w, placed);
        }
    }
};

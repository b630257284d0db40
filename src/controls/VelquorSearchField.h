#pragma once

#include "VelquorSearchFieldCell.h"

#include <QLineEdit>

#include <functional>

class VelquorBorderView;

// The pages' one-line text input and caption: a line edit drawn by its cell (rounded background,
// caption buttons, text centred between them), with a thin light-grey rounded border in event
// type 0 and no border in type 1. The change callback follows the user's typing only, never
// setText.
class VelquorSearchField : public QLineEdit
{
    Q_OBJECT
public:
    using TextHandler = std::function<void(VelquorSearchField *field, const QString &text)>;

    explicit VelquorSearchField(QWidget *parent = nullptr);

    VelquorSearchFieldCell *cell() const { return m_cell; }

    // 0: the field draws its own border; 1: no border. Other values change nothing.
    qint64 filedEventType() const { return m_filedEventType; }
    void setFiledEventType(qint64 type);

    // Called after each edit the user makes, with the new text.
    void setTextFieldDidChange(TextHandler handler) { m_textFieldDidChange = std::move(handler); }
    // Called when editing ends (Return, or the field loses focus after a change).
    void setTextFieldDidEndEditing(TextHandler handler) { m_textFieldDidEndEditing = std::move(handler); }

    bool isEditable() const { return !isReadOnly(); }
    void setEditable(bool editable);
    // A field neither editable nor selectable is a plain caption: clicks pass through it.
    bool isSelectable() const { return m_selectable; }
    void setSelectable(bool selectable);
    QColor textColor() const;
    void setTextColor(const QColor &color);

    // The border drawn in event type 0; hidden otherwise.
    VelquorBorderView *borderView() const { return m_borderView; }
    // The rectangle the text occupies now.
    QRectF searchTextRect() const;

    // Re-applies the cell's buttons and text rectangle; the cell calls it when it changes.
    void updateLayout();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateInteraction();

    VelquorSearchFieldCell *m_cell;
    VelquorBorderView *m_borderView;
    qint64 m_filedEventType = 0;
    bool m_selectable = true;
    TextHandler m_textFieldDidChange;
    TextHandler m_textFieldDidEndEditing;
};

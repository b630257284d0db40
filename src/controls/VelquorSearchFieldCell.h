#pragma once

#include "VelquorBasicButton.h"
#include "VelquorFieldCell.h"

#include <QPointer>
#include <QRectF>

class VelquorSearchField;

// The look of a VelquorSearchField: a rounded background, the caret colour and one caption
// button per side, with the text kept `margin` clear of both buttons and centred vertically.
// Owned by its field (the control view), which it lays out again at every change.
class VelquorSearchFieldCell : public VelquorFieldCell
{
    Q_OBJECT
public:
    explicit VelquorSearchFieldCell(VelquorSearchField *controlView);

    VelquorSearchField *controlView() const { return m_controlView; }

    // The caption buttons, made by the first call of the matching width setter; later calls
    // only change the width. They always span the field's height.
    VelquorBasicButton *leftButton() const { return m_leftButton; }
    VelquorBasicButton *rightButton() const { return m_rightButton; }
    qreal leftButtonWidth() const { return m_leftButtonWidth; }
    void setLeftButtonWidth(qreal width);
    qreal rightButtonWidth() const { return m_rightButtonWidth; }
    void setRightButtonWidth(qreal width);
    // Gap between a button and the text.
    qreal margin() const { return m_margin; }
    void setMargin(qreal margin);

    // Where the text goes inside `bounds` for the field's current font.
    QRectF searchTextRectForBounds(const QRectF &bounds) const;
    // The same rule with every input given: past the left button plus margin, short of the
    // right button by margin, vertically centred for a line of `textHeight`.
    static QRectF textRect(const QSizeF &bounds, qreal leftButtonX, qreal leftButtonWidth, qreal rightButtonWidth,
                           qreal margin, qreal textHeight);

    // Places the buttons for the control view's current size (left at the left edge, right at
    // the right edge).
    void layoutButtons();

private:
    VelquorSearchField *m_controlView;
    QPointer<VelquorBasicButton> m_leftButton;
    QPointer<VelquorBasicButton> m_rightButton;
    qreal m_leftButtonWidth = 0;
    qreal m_rightButtonWidth = 0;
    qreal m_margin = 5.0;
};

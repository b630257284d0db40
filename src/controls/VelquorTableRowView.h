#pragma once

#include <QColor>
#include <QWidget>

// The view behind one table row. It fills its background colour (if any) and, while selected,
// its own selection: the row inset by 1 pixel filled with the selected-control colour and
// outlined in nearly opaque white. A highlight style of None draws no selection.
class VelquorTableRowView : public QWidget
{
    Q_OBJECT
public:
    enum class SelectionHighlightStyle { None = -1, Regular = 0 };

    explicit VelquorTableRowView(QWidget *parent = nullptr);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // An emphasised row shows its selected cells in the emphasised style.
    bool isEmphasized() const { return m_emphasized; }
    void setEmphasized(bool emphasized);
    SelectionHighlightStyle selectionHighlightStyle() const { return m_selectionHighlightStyle; }
    void setSelectionHighlightStyle(SelectionHighlightStyle style);
    // No colour (the default) leaves the table's background showing.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);

    static const QColor kSelectedControlColor;

protected:
    void paintEvent(QPaintEvent *event) override;
    virtual void drawBackgroundInRect(QPainter &painter, const QRectF &rect);
    virtual void drawSelectionInRect(QPainter &painter, const QRectF &rect);

private:
    bool m_selected = false;
    bool m_emphasized = true;
    SelectionHighlightStyle m_selectionHighlightStyle = SelectionHighlightStyle::Regular;
    QColor m_backgroundColor;
};

#pragma once

#include "VelquorTableHeaderCheckButton.h"

#include <QWidget>

class VelquorTableHeaderCellDelegate;

// A column header carrying a check button for selecting all rows. The button covers the cell but
// for a 1-pixel line along its right and bottom edges; it turns blue while the pointer is over
// it. With showImage it is a check box (ticked while selected) left of the title; without it a
// plain left-aligned title.
class VelquorTableHeaderCell : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorTableHeaderCell(const QString &text, QWidget *parent = nullptr);

    VelquorTableHeaderCheckButton *checkButton() const { return m_checkButton; }
    QWidget *rightLineView() const { return m_rightLineView; }
    QWidget *bottomLineView() const { return m_bottomLineView; }

    QString title() const;

    bool isShowImage() const { return m_showImage; }
    void setShowImage(bool showImage);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    // Not owned; must outlive the cell or be unset.
    VelquorTableHeaderCellDelegate *delegate() const { return m_delegate; }
    void setDelegate(VelquorTableHeaderCellDelegate *delegate) { m_delegate = delegate; }

    static QFont titleFont();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void checkAction();
    void layoutSubviews();

    VelquorTableHeaderCheckButton *m_checkButton;
    QWidget *m_rightLineView;
    QWidget *m_bottomLineView;
    bool m_showImage = false;
    bool m_selected = false;
    VelquorTableHeaderCellDelegate *m_delegate = nullptr;
};

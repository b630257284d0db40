#pragma once

#include <QWidget>

// A selection marker for the tab bar: a blue band whose top edge is shifted right and whose
// bottom edge is shifted left by `offset`.
class VelquorTabItemView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorTabItemView(QWidget *parent = nullptr);

    qreal offset() const { return m_offset; }
    void setOffset(qreal offset);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_offset = 0;
};

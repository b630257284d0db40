#pragma once

#include <QWidget>

// The bar of the tab view. It can draw slanted white separators between items; with itemTotal 0
// (as the tab view leaves it) it draws none.
class VelquorTabItemBgView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorTabItemBgView(QWidget *parent = nullptr);

    qreal itemWidth() const { return m_itemWidth; }
    void setItemWidth(qreal width);
    qreal itemHeight() const { return m_itemHeight; }
    void setItemHeight(qreal height);
    qint64 itemTotal() const { return m_itemTotal; }
    void setItemTotal(qint64 total);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_itemWidth = 0;
    qreal m_itemHeight = 0;
    qint64 m_itemTotal = 0;
};

#pragma once

#include <QColor>
#include <QWidget>

// A border drawn over its parent and over the parent's children, as a border layer would be:
// it covers the parent exactly, follows its size, stays on top and lets every click through.
class VelquorBorderView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorBorderView(QWidget *parent);

    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    qreal borderWidth() const { return m_borderWidth; }
    void setBorderWidth(qreal width);
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_borderColor = Qt::black;
    qreal m_borderWidth = 1.0;
    qreal m_cornerRadius = 0.0;
};

#pragma once

#include <QColor>
#include <QWidget>

// A thin progress bar: a rounded track with a light grey border across the whole view, and above it
// the filled part, anchored at the left. Owners choose both colours (both clear at first) and set the
// maximum (0 at first; every owner uses 100).
class VelquorProgressView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorProgressView(QWidget *parent = nullptr);

    float maxValue() const { return m_maxValue; }
    void setMaxValue(float maxValue);
    double progress() const { return m_progress; }
    void setProgress(double progress);

    QColor trackColor() const { return m_trackColor; }
    void setTrackColor(const QColor &color);
    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor &color);

    // Width of the filled part at the current size: width / maximum x progress, kept within the track;
    // nothing is filled while the maximum is 0 or less.
    qreal filledWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    float m_maxValue = 0;
    double m_progress = 0;
    QColor m_trackColor = Qt::transparent;
    QColor m_fillColor = Qt::transparent;
};

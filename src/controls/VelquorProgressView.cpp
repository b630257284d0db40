#include "VelquorProgressView.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr qreal kCornerRadius = 5;
constexpr qreal kBorderWidth = 1;
const QColor kTrackBorderColor = QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3);
} // namespace

VelquorProgressView::VelquorProgressView(QWidget *parent) : QWidget(parent) {}

void VelquorProgressView::setMaxValue(float maxValue)
{
    if (m_maxValue == maxValue)
        return;
    m_maxValue = maxValue;
    update();
}

void VelquorProgressView::setProgress(double progress)
{
    if (m_progress == progress)
        return;
    m_progress = progress;
    update();
}

void VelquorProgressView::setTrackColor(const QColor &color)
{
    if (m_trackColor == color)
        return;
    m_trackColor = color;
    update();
}

void VelquorProgressView::setFillColor(const QColor &color)
{
    if (m_fillColor == color)
        return;
    m_fillColor = color;
    update();
}

// Worked out from the value at paint time so the bar follows resizes and never divides by zero.
qreal VelquorProgressView::filledWidth() const
{
    if (!(m_maxValue > 0) || !std::isfinite(m_progress))
        return 0;
    const qreal filled = width() / qreal(m_maxValue) * m_progress;
    return std::clamp<qreal>(filled, 0, width());
}

void VelquorProgressView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath track;
    track.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(track, m_trackColor);
    const qreal half = kBorderWidth / 2;
    painter.setPen(QPen(kTrackBorderColor, kBorderWidth));
    painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), kCornerRadius - half,
                            kCornerRadius - half);

    const qreal filled = filledWidth();
    if (filled <= 0)
        return;
    QPainterPath fill;
    fill.addRoundedRect(QRectF(0, 0, filled, height()), kCornerRadius, kCornerRadius);
    painter.fillPath(fill, m_fillColor);
}

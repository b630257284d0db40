#include "VelquorProgressIndicatorColors.h"

#include <QGraphicsEffect>
#include <QPainter>
#include <QProgressBar>

namespace {

// Paints the widget as a silhouette: its alpha, filled with one colour.
class SolidTintEffect : public QGraphicsEffect
{
public:
    SolidTintEffect(const QColor &color, QObject *parent) : QGraphicsEffect(parent), m_color(color) {}

protected:
    void draw(QPainter *painter) override
    {
        QPoint offset;
        QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::PadToEffectiveBoundingRect);
        if (pixmap.isNull())
            return;
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(QRectF(QPointF(0, 0), pixmap.deviceIndependentSize()), m_color);
        tint.end();
        painter->drawPixmap(offset, pixmap);
    }

private:
    QColor m_color;
};

} // namespace

void VelquorProgressIndicatorColors::setCustomColor(QProgressBar *indicator, const QColor &color)
{
    if (!indicator)
        return;
    indicator->setGraphicsEffect(new SolidTintEffect(color, indicator));
}

#include "VelquorBorderView.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

VelquorBorderView::VelquorBorderView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(parent->rect());
    parent->installEventFilter(this);
    raise();
}

void VelquorBorderView::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void VelquorBorderView::setBorderWidth(qreal width)
{
    m_borderWidth = width;
    update();
}

void VelquorBorderView::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    update();
}

bool VelquorBorderView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        // A child added later would otherwise cover the border; raise once it is in place.
        else if (event->type() == QEvent::ChildAdded)
            QTimer::singleShot(0, this, [this] { raise(); });
    }
    return QWidget::eventFilter(watched, event);
}

void VelquorBorderView::paintEvent(QPaintEvent *)
{
    if (m_borderWidth <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(m_borderColor, m_borderWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The stroke lies inside the bounds, as a layer border does.
    const qreal inset = m_borderWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), m_cornerRadius, m_cornerRadius);
}

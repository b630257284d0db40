#include "VelquorImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

VelquorImageView::VelquorImageView(QWidget *parent) : QWidget(parent) {}

void VelquorImageView::setImage(const QPixmap &image)
{
    m_image = image;
    updateGeometry();
    update();
}

void VelquorImageView::setImageScaling(ImageScaling scaling)
{
    m_imageScaling = scaling;
    update();
}

QSize VelquorImageView::sizeHint() const
{
    return m_image.isNull() ? QSize(0, 0) : m_image.deviceIndependentSize().toSize();
}

QRectF VelquorImageView::imageRect() const
{
    const QRectF bounds = rect();
    if (m_image.isNull())
        return {};
    QSizeF size = m_image.deviceIndependentSize();
    switch (m_imageScaling) {
    case ImageScaling::AxesIndependently:
        return bounds;
    case ImageScaling::None:
        break;
    case ImageScaling::ProportionallyDown:
        if (size.width() > bounds.width() || size.height() > bounds.height())
            size = size.scaled(bounds.size(), Qt::KeepAspectRatio);
        break;
    case ImageScaling::ProportionallyUpOrDown:
        size = size.scaled(bounds.size(), Qt::KeepAspectRatio);
        break;
    }
    return {bounds.center().x() - size.width() / 2, bounds.center().y() - size.height() / 2, size.width(),
            size.height()};
}

void VelquorImageView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(imageRect(), m_image, QRectF(QPointF(0, 0), QSizeF(m_image.size())));
}

void VelquorImageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window system moves the window itself where it can (the only way on Wayland);
    // elsewhere the window follows the pointer by hand.
    QWindow *handle = window()->windowHandle();
    if (handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    m_dragging = true;
    m_pressGlobal = event->globalPosition().toPoint();
    m_windowOrigin = window()->pos();
    event->accept();
}

void VelquorImageView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    window()->move(m_windowOrigin + event->globalPosition().toPoint() - m_pressGlobal);
    event->accept();
}

void VelquorImageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    event->accept();
}

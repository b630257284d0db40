#include "VelquorTableHeaderCheckButton.h"

#include "VelquorImages.h"

#include <QPainter>

namespace {

// Room between the edge, the picture and the title, as a check box cell leaves it.
constexpr qreal kInset = 4.0;

} // namespace

VelquorTableHeaderCheckButton::VelquorTableHeaderCheckButton(QWidget *parent) : VelquorButton(parent) {}

void VelquorTableHeaderCheckButton::setImage(const QPixmap &image)
{
    m_image = image;
    update();
}

void VelquorTableHeaderCheckButton::setAlternateImage(const QPixmap &image)
{
    m_alternateImage = image;
    update();
}

void VelquorTableHeaderCheckButton::setImagePosition(ImagePosition position)
{
    m_imagePosition = position;
    update();
}

void VelquorTableHeaderCheckButton::setButtonType(ButtonType type)
{
    m_buttonType = type;
    setCheckable(type == Switch);
    update();
}

void VelquorTableHeaderCheckButton::setState(int state)
{
    // A momentary button has no lasting state to show.
    setChecked(state == 1);
}

QPixmap VelquorTableHeaderCheckButton::shownImage() const
{
    if (m_imagePosition == NoImage)
        return {};
    return isChecked() && !m_alternateImage.isNull() ? m_alternateImage : m_image;
}

QRectF VelquorTableHeaderCheckButton::imageRect() const
{
    const QPixmap image = shownImage();
    if (image.isNull())
        return {};
    const QSizeF size = image.deviceIndependentSize();
    return {kInset, (height() - size.height()) / 2, size.width(), size.height()};
}

QRectF VelquorTableHeaderCheckButton::titleRect() const
{
    const QRectF picture = imageRect();
    const qreal x = picture.isEmpty() ? kInset : picture.right() + kInset;
    return {x, 0, qMax<qreal>(0, width() - x - kInset), qreal(height())};
}

void VelquorTableHeaderCheckButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (showBackgroundImage()) {
        const QPixmap picture = VelquorImages::named(backgroundImageName());
        if (!picture.isNull()) {
            const QSizeF size = picture.deviceIndependentSize();
            painter.drawPixmap(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), picture);
        }
    } else if (!onlyShowTextColor()) {
        painter.fillRect(rect(), isHighlighted() ? highlightedBackgroundColor() : normalBackgroundColor());
    }

    const QPixmap image = shownImage();
    if (!image.isNull())
        painter.drawPixmap(imageRect(), image, QRectF(QPointF(0, 0), QSizeF(image.size())));

    if (text().isEmpty())
        return;
    QColor titleColor = normalTextColor();
    if (!showBackgroundImage() && onlyShowTextColor() && isHighlighted())
        titleColor = highlightedTextColor();
    if (!isEnabled())
        titleColor.setAlphaF(titleColor.alphaF() * 0.5f);
    painter.setPen(titleColor);
    painter.setFont(font());
    painter.drawText(titleRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

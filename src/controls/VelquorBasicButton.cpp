#include "VelquorBasicButton.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <cmath>

namespace {

// An unset colour draws nothing, like a clear one; both compare equal.
QColor drawable(const QColor &color)
{
    return color.isValid() ? color : QColor(Qt::transparent);
}

bool sameColor(const QColor &a, const QColor &b)
{
    return drawable(a).rgba64() == drawable(b).rgba64();
}

} // namespace

VelquorBasicButton::Placement VelquorBasicButton::placement(ImagePosition position, bool grouped, const QSizeF &button,
                                                            const QSizeF &image, const QSizeF &title, qreal spacing)
{
    const qreal W = button.width(), H = button.height();
    const qreal iw = image.width(), ih = image.height();
    const qreal tw = title.width(), th = title.height();
    const qreal s = spacing;
    const QPointF imageCentred((W - iw) / 2, (H - ih) / 2);
    const QPointF titleCentred((W - tw) / 2, (H - th) / 2);

    switch (position) {
    case NoImage:
        return {std::nullopt, titleCentred};
    case ImageOnly:
        return {imageCentred, std::nullopt};
    case ImageOverlaps:
        return {imageCentred, titleCentred};
    case ImageLeft:
    case ImageLeading:
        if (grouped)
            return {QPointF((W - iw - tw) / 2 - s, (H - ih) / 2), QPointF((W + iw - tw) / 2 + s, (H - th) / 2)};
        return {QPointF(s, (H - ih) / 2), QPointF(W - tw - s, (H - th) / 2)};
    case ImageRight:
    case ImageTrailing:
        if (grouped)
            return {QPointF((W - iw + tw) / 2 + s, (H - ih) / 2), QPointF((W - iw - tw) / 2 - s, (H - th) / 2)};
        return {QPointF(W - iw - s, (H - ih) / 2), QPointF(s, (H - th) / 2)};
    case ImageBelow:
        if (grouped)
            return {QPointF((W - iw) / 2, (H - ih + th) / 2 + s), QPointF((W - tw) / 2, (H - ih - th) / 2 - s)};
        return {QPointF((W - iw) / 2, H - ih - s), QPointF((W - tw) / 2, s)};
    case ImageAbove:
        if (grouped)
            return {QPointF((W - iw) / 2, (H - ih - th) / 2 - s), QPointF((W - tw) / 2, (H + ih - th) / 2 + s)};
        return {QPointF((W - iw) / 2, s), QPointF((W - tw) / 2, H - th - s)};
    }
    return {std::nullopt, titleCentred};
}

VelquorBasicButton::VelquorBasicButton(QWidget *parent) : QWidget(parent)
{
    // The layer defaults before any colour is chosen: a black border of no width, a red background
    // (replaced by the first colour change), an invisible picture and a white title.
    m_parts[BorderPart].value = m_parts[BorderPart].presented = Qt::black;
    m_parts[BackgroundPart].value = m_parts[BackgroundPart].presented = Qt::red;
    m_parts[ImagePart].value = m_parts[ImagePart].presented = Qt::transparent;
    m_parts[TitlePart].value = m_parts[TitlePart].presented = Qt::white;
    m_opacity = isEnabled() ? 1.0 : 0.5;
    setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
}

VelquorBasicButton::~VelquorBasicButton() = default;

void VelquorBasicButton::setTitle(const QString &title)
{
    m_title = title;
    update();
}

void VelquorBasicButton::setImage(const QPixmap &image)
{
    m_image = image;
    update();
}

void VelquorBasicButton::setImagePosition(ImagePosition position)
{
    m_imagePosition = position;
    update();
}

void VelquorBasicButton::setImageHugsTitle(bool hugs)
{
    m_imageHugsTitle = hugs;
    update();
}

void VelquorBasicButton::setSpacing(qreal spacing)
{
    m_spacing = spacing;
    update();
}

void VelquorBasicButton::setState(int state)
{
    m_state = state;
    animateColorWithState(state);
}

void VelquorBasicButton::setMomentary(bool momentary)
{
    m_momentary = momentary;
    animateColorWithState(m_state);
}

void VelquorBasicButton::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    update();
}

void VelquorBasicButton::setBorderWidth(qreal width)
{
    m_borderWidth = width;
    update();
}

#define VELQUOR_COLOR_SETTER(setter, member)                                                                           \
    void VelquorBasicButton::setter(const QColor &color)                                                               \
    {                                                                                                                  \
        member = color;                                                                                                \
        animateColorWithState(m_state);                                                                                \
    }

VELQUOR_COLOR_SETTER(setBorderNormalColor, m_borderNormalColor)
VELQUOR_COLOR_SETTER(setBorderHighlightColor, m_borderHighlightColor)
VELQUOR_COLOR_SETTER(setBackgroundNormalColor, m_backgroundNormalColor)
VELQUOR_COLOR_SETTER(setBackgroundHighlightColor, m_backgroundHighlightColor)
VELQUOR_COLOR_SETTER(setImageNormalColor, m_imageNormalColor)
VELQUOR_COLOR_SETTER(setImageHighlightColor, m_imageHighlightColor)
VELQUOR_COLOR_SETTER(setTitleNormalColor, m_titleNormalColor)
VELQUOR_COLOR_SETTER(setTitleHighlightColor, m_titleHighlightColor)

#undef VELQUOR_COLOR_SETTER

QColor VelquorBasicButton::partColor(ColorPart part) const
{
    return m_parts[part].value;
}

bool VelquorBasicButton::isAnimating(ColorPart part) const
{
    const QVariantAnimation *animation = m_parts[part].animation;
    return animation && animation->state() == QAbstractAnimation::Running;
}

void VelquorBasicButton::removeAllAnimations()
{
    for (PartColor &part : m_parts) {
        if (part.animation)
            part.animation->stop();
        part.presented = part.value;
    }
    update();
}

void VelquorBasicButton::animateColorWithState(int state)
{
    removeAllAnimations();
    const bool on = state == 1;
    const double seconds = on ? m_onAnimateDuration : m_offAnimateDuration;
    animatePart(BorderPart, on ? m_borderHighlightColor : m_borderNormalColor, seconds);
    animatePart(BackgroundPart, on ? m_backgroundHighlightColor : m_backgroundNormalColor, seconds);
    animatePart(ImagePart, on ? m_imageHighlightColor : m_imageNormalColor, seconds);
    animatePart(TitlePart, on ? m_titleHighlightColor : m_titleNormalColor, seconds);
}

void VelquorBasicButton::animatePart(ColorPart which, const QColor &color, double seconds)
{
    PartColor &part = m_parts[which];
    if (sameColor(part.value, color))
        return;
    const QColor from = drawable(part.presented);
    part.value = drawable(color);
    if (seconds <= 0) {
        part.presented = part.value;
        update();
        return;
    }
    if (!part.animation) {
        part.animation = new QVariantAnimation(this);
        connect(part.animation, &QVariantAnimation::valueChanged, this, [this, which](const QVariant &value) {
            m_parts[which].presented = value.value<QColor>();
            update();
        });
    }
    part.animation->setStartValue(from);
    part.animation->setEndValue(part.value);
    part.animation->setDuration(int(std::lround(seconds * 1000)));
    part.animation->start();
}

QSizeF VelquorBasicButton::titleSize() const
{
    const QFontMetricsF metrics(font());
    return QSizeF(metrics.horizontalAdvance(m_title), metrics.height());
}

// Worked out at every paint so that picture and title always follow the current size, text and font.
VelquorBasicButton::Placement VelquorBasicButton::currentPlacement() const
{
    Placement result = placement(m_imagePosition, m_imageHugsTitle, QSizeF(size()), m_image.deviceIndependentSize(),
                                 titleSize(), m_spacing);
    if (m_image.isNull())
        result.imageOrigin.reset();
    if (m_title.isEmpty())
        result.titleOrigin.reset();
    return result;
}

QRect VelquorBasicButton::imageRect() const
{
    const Placement where = currentPlacement();
    if (!where.imageOrigin)
        return {};
    const QSizeF size = m_image.deviceIndependentSize();
    return QRect(QPoint(qRound(where.imageOrigin->x()), qRound(where.imageOrigin->y())),
                 QSize(qCeil(size.width()), qCeil(size.height())));
}

QRect VelquorBasicButton::titleRect() const
{
    const Placement where = currentPlacement();
    if (!where.titleOrigin)
        return {};
    const QSizeF size = titleSize();
    return QRect(QPoint(qRound(where.titleOrigin->x()), qRound(where.titleOrigin->y())),
                 QSize(qCeil(size.width()), qCeil(size.height())));
}

void VelquorBasicButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);

    QPainterPath bounds;
    bounds.addRoundedRect(QRectF(rect()), m_cornerRadius, m_cornerRadius);
    painter.setClipPath(bounds);
    painter.fillPath(bounds, drawable(m_parts[BackgroundPart].presented));

    const QRect pictureRect = imageRect();
    if (!pictureRect.isEmpty()) {
        // The picture contributes only its shape: its alpha cuts the picture colour.
        const qreal ratio = devicePixelRatioF();
        QImage shape(pictureRect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        shape.setDevicePixelRatio(ratio);
        shape.fill(Qt::transparent);
        QPainter shapePainter(&shape);
        shapePainter.drawPixmap(QRect(QPoint(0, 0), pictureRect.size()), m_image);
        shapePainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        shapePainter.fillRect(QRect(QPoint(0, 0), pictureRect.size()), drawable(m_parts[ImagePart].presented));
        shapePainter.end();
        painter.drawImage(pictureRect.topLeft(), shape);
    }

    const QRect textRect = titleRect();
    if (!textRect.isEmpty()) {
        painter.setFont(font());
        painter.setPen(drawable(m_parts[TitlePart].presented));
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_title);
    }

    // The border lies inside the bounds and above everything else.
    if (m_borderWidth > 0) {
        const qreal half = m_borderWidth / 2;
        QPen pen(drawable(m_parts[BorderPart].presented), m_borderWidth);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const qreal radius = qMax<qreal>(0, m_cornerRadius - half);
        painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), radius, radius);
    }
}

void VelquorBasicButton::toggleState()
{
    setState(m_state == 1 ? 0 : 1);
}

void VelquorBasicButton::abandonPress()
{
    m_mouseDown = false;
    toggleState();
}

void VelquorBasicButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    m_mouseDown = true;
    toggleState();
}

// Leaving the button while it is held abandons the press; coming back does not resume it.
void VelquorBasicButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_mouseDown && !rect().contains(event->position().toPoint()))
        abandonPress();
}

void VelquorBasicButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_mouseDown)
        abandonPress();
}

void VelquorBasicButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_mouseDown)
        return;
    m_mouseDown = false;
    if (m_momentary)
        toggleState();
    emit clicked();
}

void VelquorBasicButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    setAttribute(Qt::WA_TransparentForMouseEvents, !isEnabled());
    if (!isEnabled() && m_mouseDown)
        abandonPress();
}

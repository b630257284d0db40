#include "VelquorButton.h"

#include "VelquorImageResize.h"
#include "VelquorImages.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {
const QString kNormalPicture = QStringLiteral("Btn_Nor");
const QString kHighlightedPicture = QStringLiteral("Btn_Fcs");
// Gap between the picture and the title.
constexpr qreal kImageTitleSpacing = 6;
// The rounded ends of the picture, kept whole when it stretches.
constexpr int kPictureCap = 16;
// Room between the picture's edge and its title.
constexpr int kPictureTitleInset = 12;
} // namespace

VelquorButton::VelquorButton(QWidget *parent) : VelquorButton(QString(), parent) {}

VelquorButton::VelquorButton(const QString &title, QWidget *parent) : QPushButton(title, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
    setFlat(true);
}

void VelquorButton::setOnlyShowTextColor(bool onlyShowTextColor)
{
    m_onlyShowTextColor = onlyShowTextColor;
    update();
}

void VelquorButton::setShowBackgroundImage(bool showBackgroundImage)
{
    m_showBackgroundImage = showBackgroundImage;
    update();
}

// Colours show at once: the look is worked out from the mode and the mouse state at every paint.
void VelquorButton::setNormalTextColor(const QColor &color)
{
    m_normalTextColor = color;
    update();
}

void VelquorButton::setHighlightedTextColor(const QColor &color)
{
    m_highlightedTextColor = color;
    update();
}

void VelquorButton::setNormalBackgroundColor(const QColor &color)
{
    m_normalBackgroundColor = color;
    update();
}

void VelquorButton::setHighlightedBackgroundColor(const QColor &color)
{
    m_highlightedBackgroundColor = color;
    update();
}

void VelquorButton::setImage(const QPixmap &image)
{
    m_image = image;
    update();
}

void VelquorButton::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

qreal VelquorButton::contentLeft() const
{
    const qreal imageWidth = m_image.isNull() ? 0 : m_image.deviceIndependentSize().width();
    const qreal titleWidth = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text());
    const qreal gap = imageWidth > 0 && titleWidth > 0 ? kImageTitleSpacing : 0;
    const qreal contentWidth = imageWidth + gap + titleWidth;
    if (m_alignment & Qt::AlignLeft)
        return 0;
    if (m_alignment & Qt::AlignRight)
        return width() - contentWidth;
    return (width() - contentWidth) / 2.0;
}

QRectF VelquorButton::imageRect() const
{
    if (m_image.isNull())
        return {};
    const QSizeF size = m_image.deviceIndependentSize();
    return QRectF(QPointF(contentLeft(), (height() - size.height()) / 2.0), size);
}

bool VelquorButton::isTitleCentred() const
{
    return m_image.isNull() && (m_alignment & Qt::AlignHCenter);
}

QString VelquorButton::backgroundImageName() const
{
    if (!m_showBackgroundImage)
        return {};
    return m_highlighted ? kHighlightedPicture : kNormalPicture;
}

QColor VelquorButton::currentTitleColor() const
{
    if (!m_showBackgroundImage && m_onlyShowTextColor)
        return m_highlighted ? m_highlightedTextColor : m_normalTextColor;
    return m_normalTextColor;
}

void VelquorButton::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

QRect VelquorButton::pictureRect() const
{
    const QSize size = VelquorImages::named(kNormalPicture).deviceIndependentSize().toSize();
    if (size.isEmpty())
        return rect();
    const int pictureWidth = qMax(size.width(), width());
    return QRect((width() - pictureWidth) / 2, (height() - size.height()) / 2, pictureWidth, size.height());
}

QRect VelquorButton::titleRect() const
{
    if (isTitleCentred()) {
        if (!m_showBackgroundImage)
            return rect();
        return pictureRect().intersected(rect()).adjusted(kPictureTitleInset, 0, -kPictureTitleInset, 0);
    }
    if (text().isEmpty())
        return {};
    const qreal left = m_image.isNull() ? contentLeft() : imageRect().right() + kImageTitleSpacing;
    return QRectF(left, 0, qMax<qreal>(0, width() - left), height()).toAlignedRect();
}

int VelquorButton::widthForTitle(const QString &title) const
{
    QString shown = title;
    shown.remove(QLatin1Char('&'));
    const int advance = QFontMetrics(font()).horizontalAdvance(shown);
    if (!m_showBackgroundImage)
        return advance;
    const int pictureWidth = VelquorImages::named(kNormalPicture).deviceIndependentSize().toSize().width();
    return qMax(pictureWidth, advance + 2 * kPictureTitleInset);
}

void VelquorButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_showBackgroundImage) {
        const QPixmap picture = VelquorImages::named(backgroundImageName());
        if (!picture.isNull()) {
            const QRect area = pictureRect();
            const QSizeF size = picture.deviceIndependentSize();
            if (area.width() > size.width()) {
                // Wider than the picture: the middle stretches, the rounded ends stay as drawn.
                const float middle = float(area.width() - 2 * kPictureCap);
                painter.drawPixmap(area.topLeft(), VelquorImageResize::stretchableImageWithLeftCapWidth(
                                                       picture, kPictureCap, middle, kPictureCap));
            } else {
                painter.drawPixmap(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0),
                                   picture);
            }
        }
    } else if (!m_onlyShowTextColor) {
        painter.fillRect(rect(), m_highlighted ? m_highlightedBackgroundColor : m_normalBackgroundColor);
    }

    if (!m_image.isNull()) {
        if (!isEnabled())
            painter.setOpacity(0.5);
        painter.drawPixmap(imageRect().topLeft(), m_image);
        painter.setOpacity(1);
    }

    if (!text().isEmpty()) {
        QColor titleColor = currentTitleColor();
        if (!isEnabled())
            titleColor.setAlphaF(titleColor.alphaF() * 0.5);
        painter.setPen(titleColor);
        painter.setFont(font());
        const int placement = isTitleCentred() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
        painter.drawText(titleRect(), placement | Qt::TextShowMnemonic, text());
    }
}

void VelquorButton::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    setHighlighted(true);
}

void VelquorButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    setHighlighted(false);
}

void VelquorButton::mousePressEvent(QMouseEvent *event)
{
    QPushButton::mousePressEvent(event);
    setHighlighted(true);
}

void VelquorButton::mouseReleaseEvent(QMouseEvent *event)
{
    // The click handler may close the window that owns this button.
    const QPointer<VelquorButton> self(this);
    QPushButton::mouseReleaseEvent(event);
    if (self)
        setHighlighted(false);
}

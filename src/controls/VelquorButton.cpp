#include "VelquorButton.h"

#include "VelquorImages.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {
const QString kNormalPicture = QStringLiteral("Btn_Nor");
const QString kHighlightedPicture = QStringLiteral("Btn_Fcs");
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

void VelquorButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_showBackgroundImage) {
        const QPixmap picture = VelquorImages::named(backgroundImageName());
        if (!picture.isNull()) {
            const QSizeF size = picture.deviceIndependentSize();
            const QPointF origin((width() - size.width()) / 2.0, (height() - size.height()) / 2.0);
            painter.drawPixmap(origin, picture);
        }
    } else if (!m_onlyShowTextColor) {
        painter.fillRect(rect(), m_highlighted ? m_highlightedBackgroundColor : m_normalBackgroundColor);
    }

    if (!text().isEmpty()) {
        QColor titleColor = currentTitleColor();
        if (!isEnabled())
            titleColor.setAlphaF(titleColor.alphaF() * 0.5);
        painter.setPen(titleColor);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
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

#include "VelquorTabItemButton.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// The label draws its text this far inside its frame, as a borderless text field does.
constexpr qreal kLabelInset = 2.0;
constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;

} // namespace

VelquorTabItemButton::VelquorTabItemButton(const QString &caption, const QSizeF &itemSize, QWidget *parent)
    : QAbstractButton(parent), m_caption(caption), m_itemSize(itemSize)
{
    setFocusPolicy(Qt::NoFocus);
    layoutCaption();
}

QFont VelquorTabItemButton::captionFont()
{
    QFont font;
    font.setPixelSize(13);
    return font;
}

void VelquorTabItemButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    layoutCaption();
    update();
}

void VelquorTabItemButton::layoutCaption()
{
    const qreal w = m_itemSize.width();
    const qreal h = m_itemSize.height();
    const QFontMetricsF metrics(captionFont());
    const QSizeF text = metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop, m_caption).size();
    const qreal labelWidth = w * 5 / 6;
    const qreal labelHeight = text.height() + 4;
    m_multiLine = text.width() + 15 > w * 2 / 3;
    m_captionFrame =
        m_multiLine ? QRectF(0, 0, labelWidth, h) : QRectF(0, (h - labelHeight) / 2, labelWidth, labelHeight);
}

void VelquorTabItemButton::paintEvent(QPaintEvent *)
{
    if (m_caption.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(captionFont());
    painter.setPen(Qt::white);
    painter.setClipRect(m_captionFrame);
    const QRectF textArea = m_captionFrame.adjusted(headIndent() + kLabelInset, kLabelInset, -kLabelInset, 0);
    painter.drawText(textArea, kCaptionFlags, m_caption);
}

#include "VelquorSearchFieldCell.h"

#include "VelquorBasicButton.h"
#include "VelquorSearchField.h"

#include <QFontMetricsF>

VelquorSearchFieldCell::VelquorSearchFieldCell(VelquorSearchField *controlView)
    : VelquorFieldCell(controlView), m_controlView(controlView)
{
    connect(this, &VelquorFieldCell::changed, this, [this] { m_controlView->updateLayout(); });
}

void VelquorSearchFieldCell::setLeftButtonWidth(qreal width)
{
    m_leftButtonWidth = width;
    if (!m_leftButton) {
        m_leftButton = new VelquorBasicButton(m_controlView);
        m_leftButton->show();
    }
    emit changed();
}

void VelquorSearchFieldCell::setRightButtonWidth(qreal width)
{
    m_rightButtonWidth = width;
    if (!m_rightButton) {
        m_rightButton = new VelquorBasicButton(m_controlView);
        m_rightButton->show();
    }
    emit changed();
}

void VelquorSearchFieldCell::setMargin(qreal margin)
{
    m_margin = margin;
    emit changed();
}

QRectF VelquorSearchFieldCell::textRect(const QSizeF &bounds, qreal leftButtonX, qreal leftButtonWidth,
                                        qreal rightButtonWidth, qreal margin, qreal textHeight)
{
    return {leftButtonX + leftButtonWidth + margin, (bounds.height() - textHeight) / 2,
            bounds.width() - leftButtonWidth - leftButtonX - rightButtonWidth - 2 * margin, textHeight};
}

QRectF VelquorSearchFieldCell::searchTextRectForBounds(const QRectF &bounds) const
{
    const qreal leftX = m_leftButton ? m_leftButton->x() : 0;
    const qreal textHeight = QFontMetricsF(m_controlView->font()).height();
    return textRect(bounds.size(), leftX, m_leftButton ? m_leftButtonWidth : 0, m_rightButton ? m_rightButtonWidth : 0,
                    m_margin, textHeight);
}

void VelquorSearchFieldCell::layoutButtons()
{
    placeCaptionButtons(m_controlView, m_leftButton, m_leftButtonWidth, m_rightButton, m_rightButtonWidth);
}

#include "VelquorSearchFieldCell.h"

#include "VelquorBasicButton.h"
#include "VelquorSearchField.h"

#include <QFontMetricsF>

VelquorSearchFieldCell::VelquorSearchFieldCell(VelquorSearchField *controlView)
    : QObject(controlView), m_controlView(controlView)
{}

void VelquorSearchFieldCell::setRadius(qreal radius)
{
    m_radius = radius;
    changed();
}

void VelquorSearchFieldCell::setBgColor(const QColor &color)
{
    m_bgColor = color;
    changed();
}

void VelquorSearchFieldCell::setInsertionPointColor(const QColor &color)
{
    m_insertionPointColor = color;
    changed();
}

void VelquorSearchFieldCell::setLeftButtonWidth(qreal width)
{
    m_leftButtonWidth = width;
    if (!m_leftButton) {
        m_leftButton = new VelquorBasicButton(m_controlView);
        m_leftButton->show();
    }
    changed();
}

void VelquorSearchFieldCell::setRightButtonWidth(qreal width)
{
    m_rightButtonWidth = width;
    if (!m_rightButton) {
        m_rightButton = new VelquorBasicButton(m_controlView);
        m_rightButton->show();
    }
    changed();
}

void VelquorSearchFieldCell::setMargin(qreal margin)
{
    m_margin = margin;
    changed();
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
    const int h = m_controlView->height();
    if (m_leftButton)
        m_leftButton->setGeometry(0, 0, qRound(m_leftButtonWidth), h);
    if (m_rightButton) {
        const int w = qRound(m_rightButtonWidth);
        m_rightButton->setGeometry(m_controlView->width() - w, 0, w, h);
    }
}

void VelquorSearchFieldCell::changed()
{
    m_controlView->updateLayout();
}

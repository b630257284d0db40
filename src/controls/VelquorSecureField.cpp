#include "VelquorSecureField.h"

#include "VelquorBasicButton.h"
#include "VelquorBorderView.h"
#include "VelquorFieldCell.h"
#include "VelquorSecureTextField.h"

namespace {

// The input slides this far under a left caption so no seam shows between them.
constexpr qreal kCaptionOverlap = 2.0;

} // namespace

VelquorSecureField::VelquorSecureField(QWidget *parent) : QWidget(parent)
{
    m_secureTextField = new VelquorSecureTextField(this);
    m_leftButton = new VelquorBasicButton(this);
    m_rightButton = new VelquorBasicButton(this);
    m_borderView = VelquorFieldCell::addFieldBorder(this);
    setFocusProxy(m_secureTextField);
    layoutSubviews();
}

QRectF VelquorSecureField::secureTextFieldFrame(const QSizeF &size, qreal leftButtonX, qreal leftButtonWidth,
                                                qreal rightButtonWidth)
{
    const qreal x = leftButtonWidth + leftButtonX - (leftButtonWidth > 0 ? kCaptionOverlap : 0);
    return {x, 0, size.width() - leftButtonX - leftButtonWidth - rightButtonWidth, size.height()};
}

void VelquorSecureField::setLeftButtonWidth(qreal width)
{
    m_leftButtonWidth = width;
    layoutSubviews();
}

void VelquorSecureField::setRightButtonWidth(qreal width)
{
    m_rightButtonWidth = width;
    layoutSubviews();
}

void VelquorSecureField::setFiledEventType(qint64 type)
{
    m_filedEventType = type;
    m_borderView->setVisible(type == 0);
}

void VelquorSecureField::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorSecureField::layoutSubviews()
{
    VelquorFieldCell::placeCaptionButtons(this, m_leftButton, m_leftButtonWidth, m_rightButton, m_rightButtonWidth);
    m_secureTextField->setGeometry(
        secureTextFieldFrame(size(), m_leftButton->x(), m_leftButtonWidth, m_rightButtonWidth).toRect());
}

#pragma once

#include "VelquorBasicButton.h"
#include "VelquorSecureTextField.h"

#include <QPointer>
#include <QWidget>

class VelquorBorderView;

// The password box: a VelquorSecureTextField between a left and a right caption button. The
// input is laid out from the box's own size whenever it or a button width changes; with a left
// caption it reaches 2 pixels under the caption. Event type 0 draws a light-grey rounded border,
// any other value none.
class VelquorSecureField : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorSecureField(QWidget *parent = nullptr);

    VelquorSecureTextField *secureTextField() const { return m_secureTextField; }
    VelquorBasicButton *leftButton() const { return m_leftButton; }
    VelquorBasicButton *rightButton() const { return m_rightButton; }

    qreal leftButtonWidth() const { return m_leftButtonWidth; }
    void setLeftButtonWidth(qreal width);
    qreal rightButtonWidth() const { return m_rightButtonWidth; }
    void setRightButtonWidth(qreal width);

    qint64 filedEventType() const { return m_filedEventType; }
    void setFiledEventType(qint64 type);

    VelquorBorderView *borderView() const { return m_borderView; }

    // Frame of the input for a box of `size` with the given caption widths (left caption at x 0).
    static QRectF secureTextFieldFrame(const QSizeF &size, qreal leftButtonX, qreal leftButtonWidth,
                                       qreal rightButtonWidth);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutSubviews();

    VelquorSecureTextField *m_secureTextField;
    QPointer<VelquorBasicButton> m_leftButton;
    QPointer<VelquorBasicButton> m_rightButton;
    VelquorBorderView *m_borderView;
    qreal m_leftButtonWidth = 0;
    qreal m_rightButtonWidth = 0;
    qint64 m_filedEventType = 0;
};

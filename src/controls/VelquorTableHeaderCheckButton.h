#pragma once

#include "VelquorButton.h"

#include <QPixmap>

// The check button of a table header: a VelquorButton that can show a picture left of its
// left-aligned title and act as a check box, showing `alternateImage` while ticked.
class VelquorTableHeaderCheckButton : public VelquorButton
{
    Q_OBJECT
public:
    // The platform's values for where the picture goes and how the button behaves.
    enum ImagePosition { NoImage = 0, ImageLeft = 2 };
    enum ButtonType { MomentaryLight = 0, Switch = 3 };

    explicit VelquorTableHeaderCheckButton(QWidget *parent = nullptr);

    QPixmap image() const { return m_image; }
    void setImage(const QPixmap &image);
    QPixmap alternateImage() const { return m_alternateImage; }
    void setAlternateImage(const QPixmap &image);
    ImagePosition imagePosition() const { return m_imagePosition; }
    void setImagePosition(ImagePosition position);
    // A switch keeps its state between clicks (a check box); a momentary button does not.
    ButtonType buttonType() const { return m_buttonType; }
    void setButtonType(ButtonType type);

    // 1 while ticked, 0 otherwise.
    int state() const { return isChecked() ? 1 : 0; }
    void setState(int state);

    // Where the picture and the title are drawn now.
    QRectF imageRect() const;
    QRectF titleRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap shownImage() const;

    QPixmap m_image;
    QPixmap m_alternateImage;
    ImagePosition m_imagePosition = NoImage;
    ButtonType m_buttonType = MomentaryLight;
};

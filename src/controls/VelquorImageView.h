#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

// A picture view by which its window can be dragged (title bars, help pictures): a press on the
// picture followed by a drag moves the whole window.
class VelquorImageView : public QWidget
{
    Q_OBJECT
public:
    // How the picture fits the view.
    enum class ImageScaling {
        ProportionallyDown, // shrinks to fit, keeping its proportions, never grows
        AxesIndependently,  // fills the view, stretched along each axis on its own
        None,               // drawn at its own size, centred
        ProportionallyUpOrDown,
    };

    explicit VelquorImageView(QWidget *parent = nullptr);

    QPixmap image() const { return m_image; }
    void setImage(const QPixmap &image);

    ImageScaling imageScaling() const { return m_imageScaling; }
    void setImageScaling(ImageScaling scaling);

    // Always true: this is what sets the view apart from a plain picture.
    bool mouseDownCanMoveWindow() const { return true; }

    QSize sizeHint() const override;

    // Where the picture lands inside the view for the current scaling.
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap m_image;
    ImageScaling m_imageScaling = ImageScaling::ProportionallyDown;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_windowOrigin;
};

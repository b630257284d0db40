#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

// The pages' ordinary push button. Its look follows the mouse: while the pointer is over it or
// presses it the button shows its highlighted look, otherwise its normal look. Which look that is
// depends on the mode, checked in this order:
//   background-picture mode: the picture "Btn_Fcs" (highlighted) or "Btn_Nor" (normal), centred at
//                            its own size under the title, or stretched along its middle to the
//                            width of a wider button;
//   text-colour mode:        the title in highlightedTextColor or normalTextColor;
//   otherwise:               the whole button filled with highlightedBackgroundColor or normalBackgroundColor.
// Outside text-colour mode the title is drawn in normalTextColor. A picture set with setImage stands
// left of the title, the pair placed by alignment (centred unless told otherwise). The button never
// takes keyboard focus.
class VelquorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit VelquorButton(QWidget *parent = nullptr);
    explicit VelquorButton(const QString &title, QWidget *parent = nullptr);

    bool onlyShowTextColor() const { return m_onlyShowTextColor; }
    void setOnlyShowTextColor(bool onlyShowTextColor);
    bool showBackgroundImage() const { return m_showBackgroundImage; }
    void setShowBackgroundImage(bool showBackgroundImage);

    QColor normalTextColor() const { return m_normalTextColor; }
    void setNormalTextColor(const QColor &color);
    QColor highlightedTextColor() const { return m_highlightedTextColor; }
    void setHighlightedTextColor(const QColor &color);
    QColor normalBackgroundColor() const { return m_normalBackgroundColor; }
    void setNormalBackgroundColor(const QColor &color);
    QColor highlightedBackgroundColor() const { return m_highlightedBackgroundColor; }
    void setHighlightedBackgroundColor(const QColor &color);

    // A picture drawn at its own size left of the title (the help button's "help"); none by default.
    QPixmap image() const { return m_image; }
    void setImage(const QPixmap &image);
    // Where picture and title stand across the button: Qt::AlignHCenter (default), AlignLeft or AlignRight.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    // Where the picture is drawn for the current size, font and alignment.
    QRectF imageRect() const;

    // True while the pointer is over the button or pressing it.
    bool isHighlighted() const { return m_highlighted; }
    // The picture shown in background-picture mode ("Btn_Nor" or "Btn_Fcs"); empty in the other modes.
    QString backgroundImageName() const;

    // Where the title is drawn. A centred title without a picture stands in the middle of the
    // background picture (of the whole button without one); otherwise it follows the picture and
    // the alignment. A longer title is cut.
    QRect titleRect() const;
    // The narrowest width at which `title` fits, in the button's font and present mode.
    int widthForTitle(const QString &title) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setHighlighted(bool highlighted);
    bool isTitleCentred() const;
    // The part of the button the background picture covers.
    QRect pictureRect() const;
    QColor currentTitleColor() const;
    // Left edge of the picture-and-title pair.
    qreal contentLeft() const;

    bool m_onlyShowTextColor = false;
    bool m_showBackgroundImage = true;
    bool m_highlighted = false;
    QColor m_normalTextColor = Qt::white;
    QColor m_highlightedTextColor = Qt::white;
    QColor m_normalBackgroundColor = Qt::transparent;
    QColor m_highlightedBackgroundColor = Qt::transparent;
    QPixmap m_image;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
};

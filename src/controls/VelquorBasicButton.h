#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QSizeF>
#include <QWidget>

#include <optional>

class QVariantAnimation;

// A button drawn entirely by itself: a background, a border, the picture as a shape in its own colour
// cut out by the picture's alpha, and the title. Each of the four colours has a normal value (state 0)
// and a highlight value (state 1) and changes, optionally animated, whenever the state changes.
// A press toggles the state; a release while still pressed sends clicked() once (and, for a momentary
// button, toggles the state back); dragging out of the button abandons the press. A disabled button lets
// clicks through to whatever lies below it.
class VelquorBasicButton : public QWidget
{
    Q_OBJECT
public:
    // Where the picture stands relative to the title (the platform's values).
    enum ImagePosition {
        NoImage = 0,
        ImageOnly = 1,
        ImageLeft = 2,
        ImageRight = 3,
        ImageBelow = 4,
        ImageAbove = 5,
        ImageOverlaps = 6,
        ImageLeading = 7,
        ImageTrailing = 8,
    };
    Q_ENUM(ImagePosition)

    // Origins of picture and title, measured from the top-left corner; absent when that part is not drawn.
    struct Placement
    {
        std::optional<QPointF> imageOrigin;
        std::optional<QPointF> titleOrigin;
    };

    // The placement of a picture of `image` size and a title of `title` size in a button of `button`
    // size. Grouped placements centre the pair with a gap of 2 x spacing; ungrouped ones push picture
    // and title to opposite edges, spacing from each edge.
    static Placement placement(ImagePosition position, bool grouped, const QSizeF &button, const QSizeF &image,
                               const QSizeF &title, qreal spacing);

    explicit VelquorBasicButton(QWidget *parent = nullptr);
    ~VelquorBasicButton() override;

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QPixmap image() const { return m_image; }
    void setImage(const QPixmap &image);
    ImagePosition imagePosition() const { return m_imagePosition; }
    void setImagePosition(ImagePosition position);
    // Picture and title grouped in the middle instead of pushed to the edges.
    bool imageHugsTitle() const { return m_imageHugsTitle; }
    void setImageHugsTitle(bool hugs);
    qreal spacing() const { return m_spacing; }
    void setSpacing(qreal spacing);

    // 1 is on; every other value counts as off.
    int state() const { return m_state; }
    void setState(int state);
    // Momentary: the state returns on release. Otherwise every click toggles it.
    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool momentary);
    // True while a press is in progress.
    bool isMouseDown() const { return m_mouseDown; }

    // Seconds the colours take to change towards state 1 and towards state 0; 0 changes them at once.
    double onAnimateDuration() const { return m_onAnimateDuration; }
    void setOnAnimateDuration(double seconds) { m_onAnimateDuration = seconds; }
    double offAnimateDuration() const { return m_offAnimateDuration; }
    void setOffAnimateDuration(double seconds) { m_offAnimateDuration = seconds; }

    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    qreal borderWidth() const { return m_borderWidth; }
    void setBorderWidth(qreal width);

    QColor borderNormalColor() const { return m_borderNormalColor; }
    void setBorderNormalColor(const QColor &color);
    QColor borderHighlightColor() const { return m_borderHighlightColor; }
    void setBorderHighlightColor(const QColor &color);
    QColor backgroundNormalColor() const { return m_backgroundNormalColor; }
    void setBackgroundNormalColor(const QColor &color);
    QColor backgroundHighlightColor() const { return m_backgroundHighlightColor; }
    void setBackgroundHighlightColor(const QColor &color);
    QColor imageNormalColor() const { return m_imageNormalColor; }
    void setImageNormalColor(const QColor &color);
    QColor imageHighlightColor() const { return m_imageHighlightColor; }
    void setImageHighlightColor(const QColor &color);
    QColor titleNormalColor() const { return m_titleNormalColor; }
    void setTitleNormalColor(const QColor &color);
    QColor titleHighlightColor() const { return m_titleHighlightColor; }
    void setTitleHighlightColor(const QColor &color);

    // The drawn parts, each with the colour it currently shows (the target of a running change).
    enum ColorPart { BorderPart, BackgroundPart, ImagePart, TitlePart };
    QColor partColor(ColorPart part) const;
    // True while the colour of that part is still changing.
    bool isAnimating(ColorPart part) const;
    // Ends every running colour change; each part shows its final colour.
    void removeAllAnimations();
    // Moves every part towards the colours of `state` (the highlight colours for 1, the normal ones otherwise).
    void animateColorWithState(int state);

    // Where the picture and title are drawn now; empty when absent.
    QRect imageRect() const;
    QRect titleRect() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct PartColor
    {
        QColor value;     // what the part is set to
        QColor presented; // what is drawn while a change runs
        QVariantAnimation *animation = nullptr;
    };

    void toggleState();
    void abandonPress();
    void animatePart(ColorPart part, const QColor &color, double seconds);
    Placement currentPlacement() const;
    QSizeF titleSize() const;

    QString m_title;
    QPixmap m_image;
    ImagePosition m_imagePosition = NoImage;
    bool m_imageHugsTitle = false;
    qreal m_spacing = 0;
    int m_state = 0;
    bool m_momentary = false;
    bool m_mouseDown = false;
    double m_onAnimateDuration = 0;
    double m_offAnimateDuration = 0;
    qreal m_cornerRadius = 0;
    qreal m_borderWidth = 0;
    qreal m_opacity = 1.0;

    QColor m_borderNormalColor;
    QColor m_borderHighlightColor;
    QColor m_backgroundNormalColor;
    QColor m_backgroundHighlightColor;
    QColor m_imageNormalColor;
    QColor m_imageHighlightColor;
    QColor m_titleNormalColor;
    QColor m_titleHighlightColor;

    PartColor m_parts[4];
};

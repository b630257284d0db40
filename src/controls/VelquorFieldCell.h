#pragma once

#include <QColor>
#include <QObject>

class QLineEdit;
class QWidget;
class VelquorBorderView;

// The look the application's text fields share: a rounded background the cell paints behind the
// line edit's text, the caret colour, the thin light-grey rounded border of event type 0 and the
// caption buttons at both ends. `changed` follows every change of the look.
class VelquorFieldCell : public QObject
{
    Q_OBJECT
public:
    explicit VelquorFieldCell(QObject *parent = nullptr);

    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor &color);
    // Kept for the field's editor; the caret is drawn in the text colour.
    QColor insertionPointColor() const { return m_insertionPointColor; }
    void setInsertionPointColor(const QColor &color);

    // Paints the rounded background over the whole view.
    void paintBackground(QWidget *view) const;

    // Makes a line edit paint only its text, selection and caret, black on the cell's background.
    static void prepareEditor(QLineEdit *editor);
    // The border of event type 0 over the field.
    static VelquorBorderView *addFieldBorder(QWidget *field);
    // Caption buttons spanning the view's height: `left` at the left edge, `right` at the right edge
    // (either may be absent).
    static void placeCaptionButtons(QWidget *view, QWidget *left, qreal leftWidth, QWidget *right, qreal rightWidth);

signals:
    void changed();

private:
    qreal m_radius = 0;
    QColor m_bgColor = Qt::transparent;
    QColor m_insertionPointColor = Qt::black;
};

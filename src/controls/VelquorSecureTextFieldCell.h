#pragma once

#include <QColor>
#include <QObject>

// The look of a VelquorSecureTextField: a rounded background and the caret colour.
class VelquorSecureTextFieldCell : public QObject
{
    Q_OBJECT
public:
    explicit VelquorSecureTextFieldCell(QObject *parent = nullptr);

    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor &color);
    // Kept for the field's editor; the caret is drawn in the text colour.
    QColor insertionPointColor() const { return m_insertionPointColor; }
    void setInsertionPointColor(const QColor &color);

signals:
    void changed();

private:
    qreal m_radius = 0;
    QColor m_bgColor = Qt::transparent;
    QColor m_insertionPointColor = Qt::black;
};

#pragma once

#include <QAbstractButton>

// One item of the tab bar: a transparent button whose white caption starts a sixth of the item
// width from its left edge. A caption that fits into two thirds of the item sits on one line,
// centred vertically; a longer one wraps at any character over the full item height.
class VelquorTabItemButton : public QAbstractButton
{
    Q_OBJECT
public:
    VelquorTabItemButton(const QString &caption, const QSizeF &itemSize, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // The caption label's frame inside the button.
    QRectF captionFrame() const { return m_captionFrame; }
    bool isMultiLine() const { return m_multiLine; }
    qreal headIndent() const { return m_itemSize.width() / 6; }

    static QFont captionFont();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void layoutCaption();

    QString m_caption;
    QSizeF m_itemSize;
    QRectF m_captionFrame;
    bool m_multiLine = false;
};

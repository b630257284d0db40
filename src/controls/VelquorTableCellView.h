#pragma once

#include "VelquorSearchField.h"

#include <QLabel>
#include <QWidget>

// One table cell: an optional small picture and a borderless text. With showImage the picture
// takes an 18-pixel column 1 pixel from the left and the text the rest; without it the text
// fills the cell. The text is black; in the emphasised style (a selected row) the cell turns blue
// and its text white. A text set with setText that is wider than its room ends in "…" and shows
// whole as the cell's tooltip.
class VelquorTableCellView : public QWidget
{
    Q_OBJECT
public:
    enum class BackgroundStyle { Normal = 0, Emphasized = 1, Raised = 2, Lowered = 3 };

    explicit VelquorTableCellView(QWidget *parent = nullptr);

    QLabel *imageView1() const { return m_imageView1; }
    VelquorSearchField *textField1() const { return m_textField1; }

    // The whole text; the field shows as much of it as fits.
    QString text() const { return m_text; }
    void setText(const QString &text);

    bool showImage() const { return m_showImage; }
    void setShowImage(bool showImage);

    BackgroundStyle backgroundStyle() const { return m_backgroundStyle; }
    void setBackgroundStyle(BackgroundStyle style);

    static constexpr int kImageColumnWidth = 18;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutSubviews();
    void elideText();

    QLabel *m_imageView1;
    VelquorSearchField *m_textField1;
    QString m_text;
    bool m_showImage = false;
    BackgroundStyle m_backgroundStyle = BackgroundStyle::Normal;
};

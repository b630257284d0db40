#pragma once

#include "controls/VelquorImageView.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

// The band along the bottom of the main window: the "Bottom" picture stretched across it (dragging
// it moves the window), the copyright line at the left and the maker's name at the right.
class VelquorFooterView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 25;

    explicit VelquorFooterView(const QString &copyright, const QString &company, QWidget *parent = nullptr);

    VelquorImageView *footerImageView() const { return m_footerImageView; }
    QLabel *footerLabel() const { return m_footerLabel; }
    QLabel *comLabel() const { return m_comLabel; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<VelquorImageView> m_footerImageView;
    QPointer<QLabel> m_footerLabel;
    QPointer<QLabel> m_comLabel;
};

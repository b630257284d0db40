#pragma once

#include "controls/VelquorImageView.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

// The dark band across the top of a shell window: the "head" picture (dragging it moves the
// window), the application's logo and a title at the left, minimise and close at the right.
class VelquorTitleBarView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorTitleBarView(const QString &title, QWidget *parent = nullptr);

    VelquorImageView *backgroundImageView() const { return m_backgroundImageView; }
    QLabel *titleLabel() const { return m_titleLabel; }
    QPushButton *closeButton() const { return m_closeButton; }
    QPushButton *miniButton() const { return m_miniButton; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<VelquorImageView> m_backgroundImageView;
    QPointer<QLabel> m_logoView;
    QPointer<QLabel> m_titleLabel;
    QPointer<QPushButton> m_miniButton;
    QPointer<QPushButton> m_closeButton;
};

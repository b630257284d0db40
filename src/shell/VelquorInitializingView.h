#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>

// The white cover over the main window's pages while the account's devices or a device's update
// list load, with one large line of text. It takes the presses meant for the pages under it.
class VelquorInitializingView : public QWidget
{
    Q_OBJECT
public:
    // Distance of the text's top from the cover's top, and the text's height.
    static constexpr int kLabelTop = 160;
    static constexpr int kLabelHeight = 40;

    explicit VelquorInitializingView(const QString &text, QWidget *parent = nullptr);

    QLabel *initializingLabel() const { return m_initializingLabel; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<QLabel> m_initializingLabel;
};

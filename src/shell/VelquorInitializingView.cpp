#include "shell/VelquorInitializingView.h"

#include "session/VelquorShellStyle.h"

VelquorInitializingView::VelquorInitializingView(const QString &text, QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    m_initializingLabel = new QLabel(text, this);
    m_initializingLabel->setObjectName(QStringLiteral("initializingLabel"));
    m_initializingLabel->setWordWrap(true);
    m_initializingLabel->setTextFormat(Qt::PlainText);
    m_initializingLabel->setAlignment(Qt::AlignCenter);
    m_initializingLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    m_initializingLabel->setFocusPolicy(Qt::NoFocus);
    m_initializingLabel->setFont(VelquorShellStyle::systemFont(32));
    QPalette labelColours = m_initializingLabel->palette();
    labelColours.setColor(QPalette::WindowText, Qt::black);
    m_initializingLabel->setPalette(labelColours);
}

void VelquorInitializingView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_initializingLabel->setGeometry(0, kLabelTop, width(), kLabelHeight);
}

#include "VelquorSecureTextField.h"

#include "VelquorSecureTextFieldCell.h"

#include <QPainter>

VelquorSecureTextField::VelquorSecureTextField(QWidget *parent) : QLineEdit(parent)
{
    m_cell = new VelquorSecureTextFieldCell(this);
    m_cell->setBgColor(Qt::white);
    connect(m_cell, &VelquorSecureTextFieldCell::changed, this, qOverload<>(&QWidget::update));

    setEchoMode(QLineEdit::Password);
    setFrame(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Qt::black);
    setPalette(palette);
    QFont font = this->font();
    font.setPixelSize(15);
    setFont(font);
}

void VelquorSecureTextField::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_cell->bgColor());
        painter.drawRoundedRect(QRectF(rect()), m_cell->radius(), m_cell->radius());
    }
    QLineEdit::paintEvent(event);
}

#include "VelquorSecureTextField.h"

#include "VelquorSecureTextFieldCell.h"

VelquorSecureTextField::VelquorSecureTextField(QWidget *parent) : QLineEdit(parent)
{
    m_cell = new VelquorSecureTextFieldCell(this);
    m_cell->setBgColor(Qt::white);
    connect(m_cell, &VelquorSecureTextFieldCell::changed, this, qOverload<>(&QWidget::update));

    setEchoMode(QLineEdit::Password);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    VelquorFieldCell::prepareEditor(this);
    QFont font = this->font();
    font.setPixelSize(15);
    setFont(font);
}

void VelquorSecureTextField::paintEvent(QPaintEvent *event)
{
    m_cell->paintBackground(this);
    QLineEdit::paintEvent(event);
}

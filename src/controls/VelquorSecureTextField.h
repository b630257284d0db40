#pragma once

#include "VelquorSecureTextFieldCell.h"

#include <QLineEdit>

// The password input inside a VelquorSecureField: echoes bullets, draws its cell's rounded
// background and keeps its text centred vertically.
class VelquorSecureTextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit VelquorSecureTextField(QWidget *parent = nullptr);

    VelquorSecureTextFieldCell *cell() const { return m_cell; }

    QString stringValue() const { return text(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    VelquorSecureTextFieldCell *m_cell;
};

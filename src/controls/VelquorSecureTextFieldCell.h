#pragma once

#include "VelquorFieldCell.h"

// The look of a VelquorSecureTextField: a rounded background and the caret colour.
class VelquorSecureTextFieldCell : public VelquorFieldCell
{
    Q_OBJECT
public:
    explicit VelquorSecureTextFieldCell(QObject *parent = nullptr);
};

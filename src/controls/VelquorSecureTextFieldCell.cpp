#include "VelquorSecureTextFieldCell.h"

VelquorSecureTextFieldCell::VelquorSecureTextFieldCell(QObject *parent) : VelquorFieldCell(parent) {}

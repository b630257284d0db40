#include "VelquorSecureTextFieldCell.h"

VelquorSecureTextFieldCell::VelquorSecureTextFieldCell(QObject *parent) : QObject(parent) {}

void VelquorSecureTextFieldCell::setRadius(qreal radius)
{
    m_radius = radius;
    emit changed();
}

void VelquorSecureTextFieldCell::setBgColor(const QColor &color)
{
    m_bgColor = color;
    emit changed();
}

void VelquorSecureTextFieldCell::setInsertionPointColor(const QColor &color)
{
    m_insertionPointColor = color;
    emit changed();
}

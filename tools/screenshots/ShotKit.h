#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QWidget>

#include <memory>

// What the control shots have in common: the pages' fonts, a plain page to put a control on, and a
// pointer resting over a control.
namespace ShotKit {

// "system font N".
QFont systemFont(int pixelSize);
// A top-level page of `size`, filled with `background`, to host one control.
std::unique_ptr<QWidget> page(const QSize &size, const QColor &background = Qt::white);
// Tells the widget the pointer entered it at its centre.
void hover(QWidget *widget);

} // namespace ShotKit

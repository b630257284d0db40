#pragma once

#include <QColor>

class QWidget;
class VelquorBorderView;

// Border helpers for any widget: an outline all round, or a solid strip along one edge. The strips
// take the view's size at the time of the call and do not follow later resizing.
class VelquorViewExtension
{
public:
    static VelquorBorderView *addBorderWithColor(QWidget *view, const QColor &color, qreal width);
    static QWidget *addTopBorderWithColor(QWidget *view, const QColor &color, qreal width);
    static QWidget *addBottomBorderWithColor(QWidget *view, const QColor &color, qreal width);
    static QWidget *addLeftBorderWithColor(QWidget *view, const QColor &color, qreal width);
    static QWidget *addRightBorderWithColor(QWidget *view, const QColor &color, qreal width);
};

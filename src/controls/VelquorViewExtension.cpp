#include "VelquorViewExtension.h"

#include "VelquorBorderView.h"

#include <QWidget>

namespace {

QWidget *addStrip(QWidget *view, const QColor &color, const QRectF &frame)
{
    auto *strip = new QWidget(view);
    strip->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, color);
    strip->setPalette(palette);
    strip->setAutoFillBackground(true);
    strip->setGeometry(frame.toAlignedRect());
    strip->show();
    return strip;
}

} // namespace

VelquorBorderView *VelquorViewExtension::addBorderWithColor(QWidget *view, const QColor &color, qreal width)
{
    auto *border = view->findChild<VelquorBorderView *>(QString(), Qt::FindDirectChildrenOnly);
    if (!border)
        border = new VelquorBorderView(view);
    border->setBorderColor(color);
    border->setBorderWidth(width);
    border->show();
    return border;
}

QWidget *VelquorViewExtension::addTopBorderWithColor(QWidget *view, const QColor &color, qreal width)
{
    return addStrip(view, color, QRectF(0, 0, view->width(), width));
}

QWidget *VelquorViewExtension::addBottomBorderWithColor(QWidget *view, const QColor &color, qreal width)
{
    return addStrip(view, color, QRectF(0, view->height() - width, view->width(), width));
}

QWidget *VelquorViewExtension::addLeftBorderWithColor(QWidget *view, const QColor &color, qreal width)
{
    return addStrip(view, color, QRectF(0, 0, width, view->height()));
}

QWidget *VelquorViewExtension::addRightBorderWithColor(QWidget *view, const QColor &color, qreal width)
{
    return addStrip(view, color, QRectF(view->width() - width, 0, width, view->height()));
}

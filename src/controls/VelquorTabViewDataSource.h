#pragma once

#include "VelquorTabItemModel.h"

#include <QtGlobal>

class QWidget;
class VelquorTabView;

// Supplies the items of a tab view and the page of each. Pages belong to the data source: the
// tab view only shows them and never deletes one.
class VelquorTabViewDataSource
{
public:
    virtual ~VelquorTabViewDataSource() = default;

    virtual qint64 numberOfItemsInTabView(VelquorTabView *tabView) = 0;
    virtual VelquorTabItemModel tabViewItemAtIndex(VelquorTabView *tabView, qint64 index) = 0;
    virtual QWidget *tabViewContentViewForItemAtIndex(VelquorTabView *tabView, qint64 index) = 0;
};

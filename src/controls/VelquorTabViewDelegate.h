#pragma once

#include <QtGlobal>

class VelquorTabView;

// Told when the user clicks an item, also when that item was already selected.
class VelquorTabViewDelegate
{
public:
    virtual ~VelquorTabViewDelegate() = default;

    virtual void tabViewDidSelectTabItemAtIndex(VelquorTabView *tabView, qint64 index) {}
};

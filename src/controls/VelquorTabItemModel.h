#pragma once

#include <QString>

// One item of the tab bar: its caption and the name of the bar picture shown while it is selected.
struct VelquorTabItemModel
{
    QString title;
    QString icon;
};

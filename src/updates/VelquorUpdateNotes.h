#pragma once

#include "core/VelquorVehicleFamilyModel.h"

#include <QString>

class QWidget;
class VelquorAlertDelegate;
class VelquorUpdateInfoAlert;

// What the detail button of a row shows: the update notes of the row group's offered records.
class VelquorUpdateNotes
{
public:
    // The notes text of a row group. Each record gives "software:" and its notes (or, for a
    // basic-series product, only its notes under the group's sub-vehicle names); a block that
    // repeats an earlier one is left out, and nothing after the installer's record counts.
    static QString message(const VelquorVehicleFamilyGroup &group, bool basicSeries);

    // Shows the notes of the row group as a sheet on the window; its end goes to the delegate.
    // GUI thread. The alert deletes itself when it ends.
    static VelquorUpdateInfoAlert *detailAction(const VelquorVehicleFamilyGroup &group, bool basicSeries,
                                                QWidget *window, VelquorAlertDelegate *delegate);
};

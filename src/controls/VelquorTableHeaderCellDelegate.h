#pragma once

class VelquorButton;
class VelquorTableHeaderCell;

// Told when the check button of a header cell is clicked; the button's state is the new one.
class VelquorTableHeaderCellDelegate
{
public:
    virtual ~VelquorTableHeaderCellDelegate() = default;

    virtual void softwareManagementTableHeaderClickButton(VelquorTableHeaderCell *headerCell, VelquorButton *button) {}
};

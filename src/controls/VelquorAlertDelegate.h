#pragma once

class VelquorAlert;

// Told when an alert shown as a sheet ends. A delegate that is also a QObject may be destroyed
// while its sheet is open: the alert notices and calls nothing.
class VelquorAlertDelegate
{
public:
    virtual ~VelquorAlertDelegate() = default;
    // returnCode: 1000 OK, 1001 Cancel, 0 close box. contextInfo: what the caller handed to the sheet.
    virtual void alertSheetDidEnd(VelquorAlert *alert, int returnCode, void *contextInfo) {}
};

#pragma once

#include "controls/VelquorAlert.h"

#include <QPointer>

class VelquorMyUpdatesView;

// The updates page's sheets and help: the not-enough-space sheet (one at a time; when it ends the
// card list is read again), the sheets saying that the download records cannot be read or an
// installation could not be recorded, the end of every sheet of the page, and the help window with
// the card picture. GUI thread.
class VelquorUpdatesAlerts
{
public:
    explicit VelquorUpdatesAlerts(VelquorMyUpdatesView &page);

    // Shows the not-enough-space sheet unless it is on screen already.
    void openSDMemory();
    // The database file at `path` cannot be opened or read.
    void openDatabaseUnavailable(const QString &path);
    // The vehicle was extracted but its installation could not be recorded.
    void openInstallNotRecorded(const QString &vehicle);
    // A sheet of the page ended; the page passes no context and reads none.
    void alertSheetDidEnd(VelquorAlert *alert, int returnCode);
    // The help window, application-modal.
    void helpAction();

    // The not-enough-space sheet while it is on screen.
    VelquorAlert *velquorCapacityAlert() const { return m_capacityAlert; }

private:
    // A sheet with only OK; it goes when it ends.
    void showMessage(const QString &message);

    VelquorMyUpdatesView &m_page;
    QPointer<VelquorAlert> m_capacityAlert;
};

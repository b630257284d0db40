#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class VelquorAlert;
class VelquorComboBox;
class VelquorDownloadButton;
class VelquorLoginViewController;
class VelquorMainViewController;
class VelquorMyUpdatesTableRowView;
class VelquorMyUpdatesView;
class VelquorSoftwareManagementView;
class VelquorWindow;

// Works the application's main window as a user does: types into fields, clicks boxes, items,
// buttons and tabs with real events, and waits for what the screen shows. Every wait spins the
// event loop with a generous limit; a check that fails leaves a reason in lastProblem().
class JourneyUser
{
public:
    explicit JourneyUser(VelquorWindow &window) : m_window(window) {}

    VelquorLoginViewController *loginScreen() const;
    VelquorMainViewController *mainScreen() const;
    VelquorMyUpdatesView *updatesPage() const;
    VelquorSoftwareManagementView *softwarePage() const;

    // Types the account and password, ticks "remember" unless it is ticked, presses sign-in and
    // waits for the main view with its devices loaded.
    bool signIn(const QString &account, const QString &password);
    // Clicks the tab at `index` of the main view's tab bar.
    bool clickTab(int index);
    // Opens the box and clicks the item that begins with `text`.
    bool choose(VelquorComboBox *box, const QString &text);
    // Chooses the card and then the device on the updates page and waits for the device's rows.
    bool chooseCardAndDevice(const QString &cardName, const QString &serialNumber);

    // The titles of the updates rows (the names in bold, one row each, lines joined by "+").
    QStringList rowTitles() const;
    VelquorMyUpdatesTableRowView *row(const QString &title) const;
    VelquorDownloadButton *downloadButton(const QString &title) const;
    bool press(const QString &rowTitle);
    // The row's button is in state `state` with the title of `titleKey`.
    bool rowShows(const QString &title, qint64 state, const QString &titleKey) const;
    // Every row's button is.
    bool allRowsShow(qint64 state, const QString &titleKey) const;
    // The overall text under the updates table.
    QString overallText() const;

    // The alert on screen with this message, once it comes; null when none comes.
    VelquorAlert *waitForAlert(const QString &message, int timeoutMs = 30000) const;
    // Clicks the OK button of the alert with this message.
    bool answerOk(const QString &message, int timeoutMs = 30000);

    // Clicks a row of the software-management table.
    bool clickSoftwareRow(qint64 row);
    // The vehicle, version and language columns of each software-management row, " | "-joined.
    QStringList softwareRows() const;

    QString lastProblem() const { return m_problem; }

    static QString text(const QString &key);
    // The plain text of a label's rich text.
    static QString plain(const QString &html);

private:
    bool fail(const QString &problem);

    VelquorWindow &m_window;
    QString m_problem;
};

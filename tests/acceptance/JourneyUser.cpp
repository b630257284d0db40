#include "JourneyUser.h"

#include "support/TestEnvironment.h"

#include "account/VelquorSoftwareManagementView.h"
#include "controls/VelquorAlert.h"
#include "controls/VelquorComboBox.h"
#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorSecureField.h"
#include "controls/VelquorSecureTextField.h"
#include "controls/VelquorTabItemButton.h"
#include "controls/VelquorTableView.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorMyUpdatesListModel.h"
#include "shell/VelquorLoginViewController.h"
#include "shell/VelquorMainViewController.h"
#include "shell/VelquorWindow.h"
#include "updates/VelquorMyUpdatesTableRowView.h"
#include "updates/VelquorMyUpdatesView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTextDocumentFragment>

namespace {

constexpr int kScreenWaitMs = 30000;

} // namespace

QString JourneyUser::text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

QString JourneyUser::plain(const QString &html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

bool JourneyUser::fail(const QString &problem)
{
    m_problem = problem;
    return false;
}

VelquorLoginViewController *JourneyUser::loginScreen() const
{
    return qobject_cast<VelquorLoginViewController *>(m_window.contentViewController());
}

VelquorMainViewController *JourneyUser::mainScreen() const
{
    return qobject_cast<VelquorMainViewController *>(m_window.contentViewController());
}

VelquorMyUpdatesView *JourneyUser::updatesPage() const
{
    VelquorMainViewController *screen = mainScreen();
    return screen ? screen->myUpdatesView() : nullptr;
}

VelquorSoftwareManagementView *JourneyUser::softwarePage() const
{
    VelquorMainViewController *screen = mainScreen();
    return screen ? screen->softwareManagementView() : nullptr;
}

bool JourneyUser::signIn(const QString &account, const QString &password)
{
    VelquorLoginViewController *login = loginScreen();
    if (!login)
        return fail(QStringLiteral("the sign-in screen is not shown"));
    QLineEdit *accountField = login->accountField();
    QLineEdit *passwordField = login->passwordField()->secureTextField();
    // Whatever a remembered sign-in filled in is replaced, as a user would select it and type over.
    accountField->clear();
    QTest::keyClicks(accountField, account);
    passwordField->clear();
    QTest::keyClicks(passwordField, password);
    if (!login->rememberButton()->isChecked())
        QTest::mouseClick(login->rememberButton(), Qt::LeftButton);
    if (!login->rememberButton()->isChecked())
        return fail(QStringLiteral("a click on the remember box did not tick it"));
    QTest::mouseClick(login->loginButton(), Qt::LeftButton);

    if (!waitUntil([&] { return mainScreen() != nullptr; }, kScreenWaitMs))
        return fail(QStringLiteral("the main view did not replace the sign-in screen"));
    if (!waitUntil([&] { return !mainScreen()->isInitializing(); }, kScreenWaitMs))
        return fail(QStringLiteral("the main view stayed covered while loading the devices"));
    return true;
}

bool JourneyUser::clickTab(int index)
{
    VelquorMainViewController *screen = mainScreen();
    VelquorTabItemButton *button = screen ? screen->tabView()->itemButtons().value(index) : nullptr;
    if (!button)
        return fail(QStringLiteral("there is no tab %1").arg(index));
    QTest::mouseClick(button, Qt::LeftButton);
    return screen->tabView()->currentItemIndex() == index ||
           fail(QStringLiteral("a click on tab %1 did not show it").arg(index));
}

bool JourneyUser::choose(VelquorComboBox *box, const QString &itemText)
{
    QTest::mouseClick(box, Qt::LeftButton);
    QElapsedTimer opened;
    opened.start();
    QAbstractItemView *view = box->view();
    if (!waitUntil([&] { return view->isVisible(); }, kScreenWaitMs))
        return fail(QStringLiteral("the box %1 did not open").arg(box->objectName()));
    // A list takes a click only once it has been open longer than a double click: the click that
    // opened it must not choose an item too.
    waitUntil([&] { return opened.elapsed() > QApplication::doubleClickInterval() + 50; }, kScreenWaitMs);
    const int index = box->findText(itemText, Qt::MatchStartsWith);
    if (index < 0) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
        box->hidePopup();
        return fail(QStringLiteral("the box %1 offers no \"%2\" but %3")
                        .arg(box->objectName(), itemText, items.join(QStringLiteral(", "))));
    }
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    if (!waitUntil([&] { return !view->isVisible(); }, kScreenWaitMs))
        return fail(QStringLiteral("the box %1 stayed open").arg(box->objectName()));
    return true;
}

bool JourneyUser::chooseCardAndDevice(const QString &cardName, const QString &serialNumber)
{
    VelquorMyUpdatesView *page = updatesPage();
    if (!page)
        return fail(QStringLiteral("the updates page is not there"));
    // The card list comes from a scan of the volumes: wait until it names the card.
    if (!waitUntil([&] { return page->devices().size() > 0; }, kScreenWaitMs))
        return fail(QStringLiteral("no card volume was found"));
    if (!choose(page->sdCardComboBox(), cardName + QLatin1Char(':')))
        return false;
    if (!choose(page->serialNumberComboBox(), serialNumber))
        return false;
    const auto list = page->myUpdatesModel();
    if (!list || list->serialNumber() != serialNumber)
        return fail(QStringLiteral("the device %1 was not taken").arg(serialNumber));
    // The device's list is loaded under the cover; once it is gone the rows come.
    if (!waitUntil([&] { return !mainScreen()->isInitializing() && !rowTitles().isEmpty(); }, kScreenWaitMs))
        return fail(QStringLiteral("the rows of %1 did not show").arg(serialNumber));
    return true;
}

QStringList JourneyUser::rowTitles() const
{
    QStringList titles;
    VelquorMyUpdatesView *page = updatesPage();
    if (!page || !page->tableView()->isVisible())
        return titles;
    for (qint64 i = 0; i < page->tableView()->numberOfRows(); ++i) {
        auto *view = qobject_cast<VelquorMyUpdatesTableRowView *>(page->tableView()->rowViewAtRow(i));
        if (!view)
            continue;
        // The names, then a line each of versions, release versions and languages or size.
        const QStringList lines = plain(view->textLabel1()->text()).split(QLatin1Char('\n'));
        titles.append(lines.mid(0, qMax(0, lines.size() - 3)).join(QLatin1Char('+')));
    }
    return titles;
}

VelquorMyUpdatesTableRowView *JourneyUser::row(const QString &title) const
{
    const qint64 index = rowTitles().indexOf(title);
    if (index < 0)
        return nullptr;
    return qobject_cast<VelquorMyUpdatesTableRowView *>(updatesPage()->tableView()->rowViewAtRow(index));
}

VelquorDownloadButton *JourneyUser::downloadButton(const QString &title) const
{
    VelquorMyUpdatesTableRowView *view = row(title);
    return view ? view->downloadButton() : nullptr;
}

bool JourneyUser::press(const QString &rowTitle)
{
    VelquorMyUpdatesView *page = updatesPage();
    const qint64 index = rowTitles().indexOf(rowTitle);
    if (index < 0)
        return fail(QStringLiteral("no row %1 among %2").arg(rowTitle, rowTitles().join(QStringLiteral(", "))));
    page->tableView()->scrollRowToVisible(index);
    VelquorDownloadButton *button = downloadButton(rowTitle);
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool JourneyUser::rowShows(const QString &title, qint64 state, const QString &titleKey) const
{
    VelquorDownloadButton *button = downloadButton(title);
    return button && button->downloadState() == state && plain(button->titleLabel()->text()) == text(titleKey);
}

bool JourneyUser::allRowsShow(qint64 state, const QString &titleKey) const
{
    const QStringList titles = rowTitles();
    return !titles.isEmpty() && std::all_of(titles.begin(), titles.end(),
                                            [&](const QString &title) { return rowShows(title, state, titleKey); });
}

QString JourneyUser::overallText() const
{
    VelquorMyUpdatesView *page = updatesPage();
    return page ? plain(page->progressLabel()->text()) : QString();
}

VelquorAlert *JourneyUser::waitForAlert(const QString &message, int timeoutMs) const
{
    VelquorAlert *found = nullptr;
    waitUntil(
        [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *alert = qobject_cast<VelquorAlert *>(widget);
                if (alert && alert->isVisible() && alert->messageTextField() &&
                    alert->messageTextField()->text() == message) {
                    found = alert;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool JourneyUser::answerOk(const QString &message, int timeoutMs)
{
    VelquorAlert *alert = waitForAlert(message, timeoutMs);
    if (!alert)
        return fail(QStringLiteral("no alert \"%1\" came up").arg(message));
    QTest::mouseClick(alert->okButton(), Qt::LeftButton);
    return waitUntil([&] { return !waitForAlert(message, 0); }, kScreenWaitMs) ||
           fail(QStringLiteral("the alert \"%1\" stayed after OK").arg(message));
}

bool JourneyUser::clickSoftwareRow(qint64 row)
{
    VelquorSoftwareManagementView *page = softwarePage();
    if (!page || row < 0 || row >= page->tableView()->numberOfRows())
        return fail(QStringLiteral("there is no software row %1").arg(row));
    QWidget *surface = page->tableView()->documentView();
    const QPoint point = page->tableView()->rectOfRow(row).center().toPoint();
    QWidget *target = surface->childAt(point);
    if (!target)
        target = surface;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(surface, point));
    return true;
}

QStringList JourneyUser::softwareRows() const
{
    QStringList rows;
    VelquorSoftwareManagementView *page = softwarePage();
    if (!page)
        return rows;
    for (qint64 row = 0; row < page->tableView()->numberOfRows(); ++row)
        rows.append(QStringList{page->cellText(1, row), page->cellText(2, row), page->cellText(3, row)}.join(
            QStringLiteral(" | ")));
    return rows;
}

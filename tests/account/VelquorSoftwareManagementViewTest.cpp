#include "support/FatCard.h"
#include "support/TestArchives.h"
#include "support/TestEnvironment.h"

#include "account/VelquorAccountConstants.h"
#include "account/VelquorSoftwareManagementView.h"
#include "account/VelquorSoftwareUninstaller.h"
#include "controls/VelquorAlert.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorTableCellView.h"
#include "controls/VelquorTableColumn.h"
#include "controls/VelquorTableHeaderCell.h"
#include "controls/VelquorTableHeaderView.h"
#include "controls/VelquorTableView.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadDataBaseManager.h"
#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "updates/VelquorCacheCleanup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include <unistd.h>

namespace {

// Keys spell one name while each follows the last within the keyboard interval: while this lives the
// interval is long enough for a test that takes its time, and afterwards it is as it was.
class SlowTyping
{
public:
    SlowTyping() : m_interval(QApplication::keyboardInputInterval()) { QApplication::setKeyboardInputInterval(60000); }
    ~SlowTyping() { QApplication::setKeyboardInputInterval(m_interval); }
    SlowTyping(const SlowTyping &) = delete;
    SlowTyping &operator=(const SlowTyping &) = delete;

private:
    int m_interval;
};

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

VelquorDownloadModelPtr installed(const QString &software, const QString &vehicle, const QString &version,
                                  const QString &language, const QString &sdPath)
{
    auto record = VelquorDownloadModel::create();
    record->setSoftware(software);
    record->setVehicle(vehicle);
    record->setVersion(version);
    record->setLanguage(language);
    record->setSdPath(sdPath);
    record->setUrl(QStringLiteral("files/%1_%2_%3.7z").arg(vehicle, language, version));
    record->setState(VelquorDownloadStateInstalled);
    return record;
}

// One protection that keeps a folder from being emptied, and how to lift it again.
struct Protection
{
    QString how;
    std::function<void()> lift;
};

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Makes `folder` (which holds `file`) impossible to remove, by the first means that works here: a
// folder without write permission (not for root), an immutable file (file systems with
// attributes), or a read-only file system mounted inside it. Empty `how` when none works.
Protection protect(const QString &folder, const QString &file)
{
    if (geteuid() != 0) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo::exists(file) && !QFile(file).remove() && QFileInfo::exists(file))
            return {"a folder without write permission", [folder] {
                        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                    }};
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    if (run("chattr", {"+i", file})) {
        if (!QFile(file).remove() && QFileInfo::exists(file))
            return {"an immutable file", [file] { run("chattr", {"-i", file}); }};
        run("chattr", {"-i", file});
    }
    const QString mountPoint = folder + "/mounted";
    QDir().mkpath(mountPoint);
    if (run("mount", {"-t", "tmpfs", "-o", "ro,size=1m", "tmpfs", mountPoint})) {
        if (!QDir(folder).rmdir("mounted"))
            return {"a read-only mount inside it", [mountPoint] { run("umount", {mountPoint}); }};
        run("umount", {mountPoint});
    }
    return {};
}

// The page in a window of the main view's size, with the records of one device and account.
class SoftwareManagementPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        database().creatDBWithSerialNumber("VQ9A00123456", "demo");
        VelquorAlert::setPresentationHook([this](VelquorAlert *alert) {
            messages.append(alert->messageTextField()->text());
            alert->done(VelquorAlert::OKReturnCode);
        });
        // Posted on the GUI thread and on the uninstall queue.
        for (const QString &name : {VelquorAccount::kDeleteCarInfoNotification, VelquorAccount::kDeleteSofoNotification,
                                    VelquorAccount::kSoftwareManagementUninstallNotification}) {
            NotificationCenter::workspace().addObserver(this, name, [this](const Notification &notification) {
                std::lock_guard lock(m_notificationsMutex);
                m_notifications.append(notification.name);
            });
        }
        window = std::make_unique<QWidget>();
        window->resize(1140, 636);
        page = new VelquorSoftwareManagementView(window.get());
        page->setGeometry(window->rect());
        window->show();
    }

    void TearDown() override
    {
        NotificationCenter::workspace().removeObserver(this);
        VelquorAlert::setPresentationHook(nullptr);
        window.reset();
        VelquorCommonTool::sharedTool().setSaveFilePath(QString());
    }

    static VelquorDownloadDataBaseManager &database() { return VelquorDownloadDataBaseManager::sharedManager(); }
    static QString text(const QString &key) { return VelquorCommonTool::sharedTool().localizedString(key); }

    void addRecords(const QList<VelquorDownloadModelPtr> &records)
    {
        for (const auto &record : records) {
            database().insertModelForInstall(record);
            database().insertModel(record);
        }
    }

    static QStringList vehiclesIn(const VelquorDownloadModelList &records)
    {
        QStringList vehicles;
        for (const auto &record : records)
            if (!vehicles.contains(record->vehicle()))
                vehicles << record->vehicle();
        return vehicles;
    }

    // Each row as "number vehicle version languages".
    QStringList rowsShown() const
    {
        QStringList rows;
        for (qint64 row = 0; row < page->tableView()->numberOfRows(); ++row)
            rows << QStringList{page->cellText(0, row), page->cellText(1, row), page->cellText(2, row),
                                page->cellText(3, row)}
                        .join(' ');
        return rows;
    }

    bool rebuildShows(int rows)
    {
        page->updateTableView();
        return waitUntil([&] { return page->tableView()->numberOfRows() == rows; }, 10000);
    }

    void clickRow(qint64 row, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *surface = page->tableView()->documentView();
        const QPoint point = page->tableView()->rectOfRow(row).center().toPoint();
        QWidget *target = surface->childAt(point);
        if (!target)
            target = surface;
        QTest::mouseClick(target, Qt::LeftButton, modifiers, target->mapFrom(surface, point));
    }

    QStringList ticked() const
    {
        QStringList vehicles;
        for (const auto &row : page->listModels())
            if (row->isSelected())
                vehicles << row->vehicle();
        return vehicles;
    }

    QStringList notifications()
    {
        std::lock_guard lock(m_notificationsMutex);
        return m_notifications;
    }

    std::unique_ptr<QWidget> window;
    QPointer<VelquorSoftwareManagementView> page;
    QStringList messages;

private:
    std::mutex m_notificationsMutex;
    QStringList m_notifications;
};

} // namespace

TEST_F(SoftwareManagementPage, ListsTheCardsSoftwareAndUninstallsTheTickedRowsFromAFatCard)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    const QString root = card.mountPath();
    ASSERT_TRUE(writeFile(root + "/Scan/VERSION.TXT", "V12.34"));
    ASSERT_TRUE(writeFile(root + "/Scan/scan.bin", "system"));
    ASSERT_TRUE(writeFile(root + "/BMW/en.cfg", "en"));
    ASSERT_TRUE(writeFile(root + "/BMW/it.cfg", "it"));
    ASSERT_TRUE(writeFile(root + "/BMW/data/bmw.bin", QByteArray(40000, 'b')));
    ASSERT_TRUE(writeFile(root + "/TOYOTA/toyota.bin", QByteArray(30000, 't')));
    addRecords({installed("OS-SOFTWARE", "OS-SOFTWARE", "V12.34", "English", "Scan"),
                installed("BMW", "BMW", "V31.00", "en", "BMW"), installed("BMW", "BMW", "V31.50", "it", "BMW"),
                installed("TOYOTA", "TOYOTA", "V20.11", "en", "TOYOTA"),
                installed("TOYOTA", "TOYOTA", "V20.11", "jp", "TOYOTA")});
    VelquorCommonTool::sharedTool().setSaveFilePath(root);

    ASSERT_TRUE(rebuildShows(3));
    EXPECT_EQ(rowsShown(), (QStringList{"001 OS-SOFTWARE V12.34 ", "002 BMW V31.50 EN|IT", "003 TOYOTA V20.11 EN/JP"}));

    // The header's check box ticks every row and clears them again.
    QTest::mouseClick(page->headerCell()->checkButton(), Qt::LeftButton);
    EXPECT_EQ(ticked(), (QStringList{"OS-SOFTWARE", "BMW", "TOYOTA"}));
    EXPECT_TRUE(page->headerCell()->isSelected());
    clickRow(2);
    EXPECT_EQ(ticked(), (QStringList{"OS-SOFTWARE", "BMW"}));
    EXPECT_FALSE(page->headerCell()->isSelected());
    clickRow(2);
    clickRow(2);
    EXPECT_EQ(ticked(), (QStringList{"OS-SOFTWARE", "BMW"})) << "each click on a row toggles its tick";

    // A rebuild that lands after the clicks (showing the tab asks for two) keeps their ticks.
    const auto shownBefore = page->listModels().first();
    page->updateTableView();
    ASSERT_TRUE(waitUntil([&] { return page->listModels().first() != shownBefore; }, 10000));
    EXPECT_EQ(ticked(), (QStringList{"OS-SOFTWARE", "BMW"}));

    struct Step
    {
        int value;
        QString label;
        bool visible;
    };
    QList<Step> steps;
    QObject::connect(page->totalProgressIndicator(), &QProgressBar::valueChanged, [&](int value) {
        steps.append({value, page->progressLabel()->text(), page->totalProgressIndicator()->isVisible()});
    });
    QTest::mouseClick(page->uninstallButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !messages.isEmpty(); }, 20000));
    EXPECT_EQ(messages, QStringList{text("Installed1")});
    ASSERT_EQ(steps.size(), 3);
    EXPECT_EQ(steps[0].value, 0);
    EXPECT_EQ(steps[0].label, "0%");
    EXPECT_TRUE(steps[0].visible);
    EXPECT_EQ(steps[1].value, 50);
    EXPECT_EQ(steps[1].label, "50%");
    EXPECT_TRUE(steps[1].visible);
    EXPECT_EQ(steps[2].value, 100);
    EXPECT_FALSE(steps[2].visible);
    EXPECT_FALSE(page->progressLabel()->isVisible());
    EXPECT_FALSE(VelquorDownloadManager::sharedManager().unInstalling());
    EXPECT_EQ(notifications(), (QStringList{VelquorAccount::kSoftwareManagementUninstallNotification,
                                            VelquorAccount::kDeleteCarInfoNotification}));

    // Exactly the ticked software left the card and the database.
    EXPECT_FALSE(QFileInfo::exists(root + "/Scan/VERSION.TXT"));
    EXPECT_TRUE(QFileInfo::exists(root + "/Scan/scan.bin"));
    EXPECT_FALSE(QFileInfo::exists(root + "/BMW"));
    EXPECT_TRUE(QFileInfo::exists(root + "/TOYOTA/toyota.bin"));
    EXPECT_EQ(vehiclesIn(database().getAllCacheDataForInstall()), QStringList{"TOYOTA"});
    EXPECT_EQ(vehiclesIn(database().getAllCacheData()), QStringList{"TOYOTA"});
    ASSERT_TRUE(waitUntil([&] { return page->tableView()->numberOfRows() == 1; }));
    EXPECT_EQ(rowsShown(), QStringList{"001 TOYOTA V20.11 EN/JP"});

    // Taking the card out empties the list.
    page->removeAllData();
    EXPECT_EQ(page->tableView()->numberOfRows(), 0);

    QString fsck;
    ASSERT_TRUE(card.unmount());
    EXPECT_TRUE(card.fsckClean(&fsck)) << fsck.toStdString();
}

TEST_F(SoftwareManagementPage, AFolderThatCannotBeRemovedIsNamedAndKeepsItsRecords)
{
    QTemporaryDir card;
    const QString root = card.path();
    ASSERT_TRUE(writeFile(root + "/BMW/en.cfg", "en"));
    ASSERT_TRUE(writeFile(root + "/BMW/locked.bin", "locked"));
    ASSERT_TRUE(writeFile(root + "/TOYOTA/toyota.bin", "t"));
    const Protection protection = protect(root + "/BMW", root + "/BMW/locked.bin");
    if (protection.how.isEmpty())
        GTEST_SKIP() << "no folder can be made unremovable here: no permissions (running as root), no file "
                        "attributes and no mounts";
    const std::unique_ptr<void, std::function<void(void *)>> lift(this, [&](void *) { protection.lift(); });

    addRecords(
        {installed("BMW", "BMW", "V31.50", "en", "BMW"), installed("TOYOTA", "TOYOTA", "V20.11", "en", "TOYOTA")});
    VelquorCommonTool::sharedTool().setSaveFilePath(root);
    ASSERT_TRUE(rebuildShows(2));

    QTest::mouseClick(page->headerCell()->checkButton(), Qt::LeftButton);
    QTest::mouseClick(page->uninstallButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !messages.isEmpty(); }, 20000)) << protection.how.toStdString();
    EXPECT_EQ(messages, QStringList{text("UninstallHint1").arg("BMW")}) << protection.how.toStdString();

    EXPECT_EQ(vehiclesIn(database().getAllCacheDataForInstall()), QStringList{"BMW"});
    EXPECT_EQ(vehiclesIn(database().getAllCacheData()), QStringList{"BMW"});
    EXPECT_FALSE(QFileInfo::exists(root + "/TOYOTA"));
    ASSERT_TRUE(waitUntil([&] { return page->tableView()->numberOfRows() == 1; }));
    EXPECT_EQ(rowsShown(), QStringList{"001 BMW V31.50 EN"});
}

TEST_F(SoftwareManagementPage, ALongTextEndsInAnEllipsisUntilTheUserDragsItsColumnWider)
{
    QTemporaryDir card;
    const QString root = card.path();
    ASSERT_TRUE(writeFile(root + "/BMW/bmw.bin", "b"));
    addRecords(
        {installed("BMW", "BMW", "V31.50", "English", "BMW"), installed("BMW", "BMW", "V31.50", "French", "BMW")});
    VelquorCommonTool::sharedTool().setSaveFilePath(root);
    ASSERT_TRUE(rebuildShows(1));
    VelquorTableView *table = page->tableView();
    VelquorTableColumn *languages = table->tableColumns().at(3);
    VelquorTableColumn *empty = table->tableColumns().at(4);
    auto *cell = qobject_cast<VelquorTableCellView *>(table->viewAtColumn(3, 0));
    ASSERT_TRUE(cell);

    // Read from its start, cut at its end, whole in the tooltip.
    const QString shown = cell->textField1()->text();
    EXPECT_TRUE(shown.startsWith("ENGLISH/") && shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_EQ(cell->toolTip(), "ENGLISH/FRENCH");

    // A real drag of the border right of the language title, pressed on the header cell's line.
    QWidget *header = table->headerView();
    const QPoint border(qRound(table->rectOfRow(0).left()) + 120 + 240 + 480 + 120 - 1, table->headerHeight() / 2);
    QWidget *grip = header->childAt(border);
    ASSERT_TRUE(grip);
    // The grip moves with the border; the pointer is followed in the header's coordinates.
    const auto on = [&](int dx) { return grip->mapFrom(header, border + QPoint(dx, 0)); };
    const qreal emptyBefore = empty->width();
    QTest::mousePress(grip, Qt::LeftButton, {}, on(0));
    QTest::mouseMove(grip, on(30));
    QTest::mouseMove(grip, on(60));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, on(60));
    EXPECT_EQ(languages->width(), 180);
    EXPECT_EQ(empty->width(), emptyBefore - 60) << "the last column gives up the room";
    EXPECT_EQ(cell->geometry().width(), 180);
    EXPECT_EQ(cell->textField1()->text(), "ENGLISH/FRENCH");
    EXPECT_TRUE(cell->toolTip().isEmpty());
    EXPECT_TRUE(page->listModels().first()->isSelected() == false) << "a drag in the header ticks nothing";

    // A new layout of the page keeps what the user chose.
    window->resize(1200, 636);
    page->setGeometry(window->rect());
    EXPECT_EQ(languages->width(), 180);
    EXPECT_EQ(table->tableColumns().at(2)->width(), 480);
}

TEST_F(SoftwareManagementPage, TypingANameSelectsTheFirstRowWhoseSoftwareStartsWithIt)
{
    QTemporaryDir card;
    const QString root = card.path();
    ASSERT_TRUE(writeFile(root + "/Scan/VERSION.TXT", "T1.00"));
    for (const QString vehicle : {"BMW", "TOYOTA", "TATA"})
        ASSERT_TRUE(writeFile(root + "/" + vehicle + "/data.bin", "d"));
    addRecords({installed("BMW", "BMW", "T1.00", "en", "BMW"), installed("TOYOTA", "TOYOTA", "V20.11", "en", "TOYOTA"),
                installed("TATA", "TATA", "V1.00", "en", "TATA")});
    VelquorCommonTool::sharedTool().setSaveFilePath(root);
    ASSERT_TRUE(rebuildShows(4));
    VelquorTableView *table = page->tableView();

    const SlowTyping typing;
    // The first two rows' versions start with T too, but a version is not a software's name.
    QTest::keyClicks(table, "t");
    EXPECT_EQ(table->selectedRowIndexes(), QList<qint64>{2});
    QTest::keyClicks(table, "A");
    EXPECT_EQ(table->selectedRowIndexes(), QList<qint64>{3});
}

TEST_F(SoftwareManagementPage, TypingANameMovesOnlyTheHighlightAndTheNextClickTicksAsEver)
{
    QTemporaryDir card;
    const QString root = card.path();
    const QStringList vehicles{"BENTLEY", "TESLA", "BUICK"};
    for (const QString &vehicle : vehicles)
        ASSERT_TRUE(writeFile(root + "/" + vehicle + "/data.bin", "d"));
    // The rows and records are shared by every page: none of them outlives the test.
    const auto forget = qScopeGuard([&] {
        if (page)
            page->removeAllData();
        for (const QString &vehicle : vehicles) {
            database().deleteModelWithVehicleForInstall(vehicle);
            database().deleteModelWithVehicle(vehicle);
        }
    });
    addRecords({installed("BENTLEY", "BENTLEY", "V1.00", "en", "BENTLEY"),
                installed("TESLA", "TESLA", "V20.11", "en", "TESLA"),
                installed("BUICK", "BUICK", "V3.50", "en", "BUICK")});
    VelquorCommonTool::sharedTool().setSaveFilePath(root);
    page->updateTableView();
    ASSERT_TRUE(waitUntil(
        [&] {
            QStringList shown;
            for (qint64 row = 0; row < page->tableView()->numberOfRows(); ++row)
                shown << page->cellText(1, row);
            return shown == vehicles;
        },
        10000));
    VelquorTableView *table = page->tableView();
    const SlowTyping typing;

    clickRow(0);
    ASSERT_EQ(ticked(), QStringList{"BENTLEY"});
    // A click under the rows clears the highlight and is reported to nobody.
    QTest::mouseClick(table->documentView(), Qt::LeftButton, {},
                      QPoint(60, 3 * VelquorSoftwareManagementView::kRowHeight + 40));
    ASSERT_TRUE(table->selectedRowIndexes().isEmpty());

    // "b" passes over the ticked BENTLEY, "bu" lands on BUICK: neither changes a tick.
    QTest::keyClicks(table, "bu");
    EXPECT_EQ(table->selectedRowIndexes(), QList<qint64>{2});
    EXPECT_EQ(ticked(), QStringList{"BENTLEY"});

    // The highlighted row reads white on the blue; the others keep black text.
    const auto textColour = [&](qint64 row) {
        auto *cell = qobject_cast<VelquorTableCellView *>(table->viewAtColumn(1, row));
        return cell ? cell->textField1()->textColor() : QColor();
    };
    EXPECT_EQ(textColour(2), QColor(Qt::white));
    EXPECT_EQ(textColour(0), QColor(Qt::black));

    clickRow(2);
    EXPECT_EQ(ticked(), (QStringList{"BENTLEY", "BUICK"})) << "a click on the row typed to ticks it";
    clickRow(2);
    EXPECT_EQ(ticked(), QStringList{"BENTLEY"});
    clickRow(1);
    EXPECT_EQ(ticked(), (QStringList{"BENTLEY", "TESLA"}));
    EXPECT_EQ(textColour(1), QColor(Qt::white));
    EXPECT_EQ(textColour(2), QColor(Qt::black)) << "a row no longer highlighted reads black again";
}

TEST_F(SoftwareManagementPage, AClickWithOrWithoutAModifierTicksOnlyTheRowClicked)
{
    QTemporaryDir card;
    const QString root = card.path();
    const QStringList vehicles{"BENTLEY", "TESLA", "BUICK", "FIAT"};
    for (const QString &vehicle : vehicles) {
        ASSERT_TRUE(writeFile(root + "/" + vehicle + "/data.bin", "d"));
        addRecords({installed(vehicle, vehicle, "V1.00", "en", vehicle)});
    }
    VelquorCommonTool::sharedTool().setSaveFilePath(root);
    ASSERT_TRUE(rebuildShows(4));
    VelquorTableView *table = page->tableView();
    const SlowTyping typing;

    QTest::keyClicks(table, "bu");
    ASSERT_EQ(table->selectedRowIndexes(), QList<qint64>{2});
    ASSERT_TRUE(ticked().isEmpty());

    // Each click below leaves more rows highlighted than the one it ticks.
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(table->selectedRowIndexes(), (QList<qint64>{1, 2}));
    EXPECT_EQ(ticked(), QStringList{"TESLA"}) << "the row typed to stays unticked";
    clickRow(3, Qt::ShiftModifier);
    EXPECT_EQ(table->selectedRowIndexes(), (QList<qint64>{1, 2, 3}));
    EXPECT_EQ(ticked(), (QStringList{"TESLA", "FIAT"})) << "a range ticks only its clicked end";
    clickRow(0, Qt::ControlModifier);
    EXPECT_EQ(table->selectedRowIndexes(), (QList<qint64>{0, 1, 2, 3}));
    EXPECT_EQ(ticked(), (QStringList{"BENTLEY", "TESLA", "FIAT"})) << "rows still highlighted keep their ticks";
    EXPECT_FALSE(page->headerCell()->isSelected());

    // A click that takes a row out of the highlight unticks that row, and only that one.
    clickRow(1, Qt::ControlModifier);
    EXPECT_EQ(table->selectedRowIndexes(), (QList<qint64>{0, 2, 3}));
    EXPECT_EQ(ticked(), (QStringList{"BENTLEY", "FIAT"}));
}

TEST(VelquorSoftwareUninstaller, RemovesNothingOutsideTheCardNorThroughALink)
{
    QTemporaryDir scratch;
    const QString root = scratch.filePath("card");
    const QString outside = scratch.filePath("outside");
    ASSERT_TRUE(writeFile(outside + "/keep.bin", "keep"));
    ASSERT_TRUE(writeFile(root + "/FORD/ford.bin", "f"));
    ASSERT_TRUE(QFile::link(outside, root + "/LINK"));
    QTemporaryDir otherCard;
    ASSERT_TRUE(writeFile(otherCard.filePath("KIA/kia.bin"), "k"));

    VelquorDownloadDataBaseManager database(scratch.filePath("Velquor.db"));
    database.creatDBWithSerialNumber("SN", "demo");
    for (const QString vehicle : {"ESCAPE", "LINKED", "OTHER"}) {
        auto record = installed(vehicle, vehicle, "V1.00", "en", vehicle);
        database.insertModelForInstall(record);
    }
    VelquorCommonTool tool;
    tool.setSaveFilePath(root);
    const VelquorSoftwareUninstaller uninstaller(&database, &tool);

    const QStringList notRemoved = uninstaller.unInstallRows({
        {"ESCAPE", root + "/../outside"},
        {"LINKED", root + "/LINK;" + root + "/FORD"},
        {"OTHER", otherCard.filePath("KIA")},
    });
    EXPECT_EQ(notRemoved, (QStringList{"ESCAPE", "LINKED", "OTHER"}));
    EXPECT_TRUE(QFileInfo::exists(outside + "/keep.bin"));
    EXPECT_TRUE(QFileInfo(root + "/LINK").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(otherCard.filePath("KIA/kia.bin")));
    // Every part of a row is tried: the sound one went even though the link was refused.
    EXPECT_FALSE(QFileInfo::exists(root + "/FORD"));
    EXPECT_EQ(database.getAllCacheDataForInstall().size(), 3) << "records of what stayed are kept";
}

TEST(VelquorSoftwareUninstaller, AnUninstallCutShortIsFinishedByTheNextCleanUpOfItsCard)
{
    FatCard card;
    VELQUOR_REQUIRE_FAT_CARD(card);
    const QString root = card.mountPath();
    for (const QString vehicle : {"BENZ", "FORD", "KIA"}) {
        ASSERT_TRUE(writeFile(root + "/Vehicles/" + vehicle + "/VERSION.TXT", "V1.00"));
        ASSERT_TRUE(writeFile(root + "/Vehicles/" + vehicle + "/DIAG/A.BIN", "a"));
        ASSERT_TRUE(writeFile(root + "/Vehicles/" + vehicle + "/DIAG/B.BIN", "b"));
    }
    QTemporaryDir scratch;
    VelquorDownloadDataBaseManager database(scratch.filePath("Velquor.db"));
    database.creatDBWithSerialNumber("SN", "demo");
    for (const QString vehicle : {"BENZ", "FORD", "KIA"})
        database.insertModelForInstall(installed(vehicle, vehicle, "V1.00", "en", "Vehicles/" + vehicle));
    VelquorCommonTool tool;
    tool.setSaveFilePath(root);

    // BENZ and FORD are ticked; the run is killed while FORD's folder goes, part of it gone already.
    struct Killed
    {
    };
    const VelquorSoftwareUninstaller uninstaller(&database, &tool);
    EXPECT_THROW(uninstaller.unInstallRows({{"BENZ", root + "/Vehicles/BENZ"}, {"FORD", root + "/Vehicles/FORD"}},
                                           [&](double) {
                                               QFile::remove(root + "/Vehicles/FORD/DIAG/A.BIN");
                                               throw Killed{};
                                           }),
                 Killed);
    ASSERT_FALSE(QFileInfo::exists(root + "/Vehicles/BENZ"));
    ASSERT_EQ(database.getAllDataWithVehicleForInstall("FORD").size(), 1);

    // Started again, the card chosen with the device: FORD goes, folder and records; KIA stays.
    VelquorDownloadManager manager(&database, &tool);
    VelquorCacheCleanup(manager, database, tool).run();
    EXPECT_FALSE(QFileInfo::exists(root + "/Vehicles/FORD"));
    EXPECT_TRUE(database.getAllDataWithVehicleForInstall("FORD").isEmpty());
    EXPECT_TRUE(QFileInfo::exists(root + "/Vehicles/KIA/DIAG/B.BIN"));
    EXPECT_EQ(database.getAllDataWithVehicleForInstall("KIA").size(), 1);
    manager.queue().sync([] {});
    manager.filesQueue().sync([] {});
}

TEST(VelquorSoftwareUninstaller, ACardSwappedInMidRunAtTheSamePathKeepsAllItHolds)
{
    FatCard a;
    VELQUOR_REQUIRE_FAT_CARD(a);
    FatCard b;
    ASSERT_TRUE(b.mounted());
    for (const FatCard *card : {&a, &b}) {
        ASSERT_TRUE(writeFile(card->mountPath() + "/Scan/VERSION.TXT", "V3.20"));
        ASSERT_TRUE(writeFile(card->mountPath() + "/Vehicles/FORD/VERSION.TXT", "V1.00"));
    }
    const QMap<QString, QByteArray> filesOnB = TestArchives::filesBelow(b.mountPath());
    QTemporaryDir scratch;
    VelquorDownloadDataBaseManager database(scratch.filePath("Velquor.db"));
    database.creatDBWithSerialNumber("SN", "demo");
    database.insertModelForInstall(installed("FORD", "FORD", "V1.00", "en", "Vehicles/FORD"));
    VelquorCommonTool tool;
    const QString path = a.mountPath();
    tool.setSaveFilePath(path);

    // After the first row, A is pulled and B goes into the same reader, at the same path.
    bool swapped = false;
    const VelquorSoftwareUninstaller uninstaller(&database, &tool);
    const QStringList notRemoved =
        uninstaller.unInstallRows({{"FORD", path + "/Vehicles/FORD"}, {"OS-SOFTWARE", path + "/Scan"}}, [&](double) {
            if (!swapped)
                swapped = a.unmount() && b.unmount() && b.remount(path);
        });
    ASSERT_TRUE(swapped);
    EXPECT_EQ(TestArchives::filesBelow(path), filesOnB);
    EXPECT_EQ(notRemoved, QStringList{"FORD"});
    EXPECT_EQ(database.getAllDataWithVehicleForInstall("FORD").size(), 1);
}

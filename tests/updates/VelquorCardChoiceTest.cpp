#include "UpdatesPageFixture.h"

#include "controls/VelquorButton.h"
#include "controls/VelquorTableView.h"
#include "platform/DispatchQueue.h"
#include "updates/VelquorCacheCleanup.h"
#include "updates/VelquorMyUpdatesTableRowView.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QWheelEvent>

#include <unistd.h>

#include <mutex>

using namespace updatestest;

namespace {

QStringList rowTitles(VelquorMyUpdatesView &page)
{
    QStringList titles;
    for (qint64 row = 0; row < page.tableView()->numberOfRows(); ++row) {
        auto *view = qobject_cast<VelquorMyUpdatesTableRowView *>(page.tableView()->rowViewAtRow(row));
        titles.append(view ? QTextDocumentFragment::fromHtml(view->textLabel1()->text()).toPlainText().section('\n', 0, 0)
                           : QString());
    }
    return titles;
}

// A card folder that cannot be written, as a card with its lock switch on: without write permission
// (not for root), else with a read-only file system mounted on it. False when neither works here.
class ReadOnlyCard
{
public:
    explicit ReadOnlyCard(const QString &folder) : m_folder(folder)
    {
        if (geteuid() != 0) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            if (!QFileInfo(folder).isWritable()) {
                m_locked = true;
                return;
            }
            unlock();
        }
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "ro,size=1m", "tmpfs", folder}) == 0) {
            m_mounted = true;
            m_locked = !QFileInfo(folder).isWritable();
        }
    }
    ~ReadOnlyCard() { unlock(); }
    explicit operator bool() const { return m_locked; }

private:
    void unlock()
    {
        if (m_mounted)
            QProcess::execute("umount", {m_folder});
        m_mounted = false;
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString m_folder;
    bool m_mounted = false;
    bool m_locked = false;
};

} // namespace

TEST_F(UpdatesPageFixture, TheBoxesListTheCardsAndDevicesAndAChosenDeviceShowsWhatTheCardLacks)
{
    setCardFolders({"SDCARD", "SPARE"});
    // The card holds the current operating software and a current HONDA package.
    openTables(kProDevice);
    installOnCard("Scan", "V3.20");
    recordInstalled("OS-SOFTWARE", "V3.20", "Scan");
    installOnCard("Vehicles/Asia/HONDA", "V11.40");
    recordInstalled("HONDA", "V11.40", "Vehicles/Asia/HONDA");

    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 2; }));
    const QStringList cards = itemsOf(page->sdCardComboBox());
    ASSERT_EQ(cards.size(), 2);
    const QRegularExpression item(R"(^(SDCARD|SPARE): \(\d+(\.\d+)? (KB|MB|GB|TB)\)$)");
    EXPECT_TRUE(item.match(cards.at(0)).hasMatch()) << cards.at(0).toStdString();
    EXPECT_TRUE(cards.at(0).startsWith("SDCARD: ("));
    EXPECT_TRUE(cards.at(1).startsWith("SPARE: ("));
    EXPECT_EQ(page->sdCardComboBox()->currentText(), cards.at(0)) << "the first card is chosen";
    EXPECT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), cardPath("SDCARD"));
    EXPECT_EQ(itemsOf(page->serialNumberComboBox()), (QStringList{kLiteDevice, kProDevice})) << "sorted ignoring case";
    EXPECT_FALSE(page->helpButton()->isVisible());

    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1 && page->tableView()->numberOfRows() > 0; }, 10000));
    EXPECT_EQ(refreshRequests.load(), 1);
    EXPECT_EQ(list->serialNumber(), kProDevice);
    EXPECT_EQ(list->productName(), "VQ900 PRO");
    EXPECT_EQ(database().uniqueIDString(), VelquorDownloadDataBaseManager::uniqueIDStringFor(kProDevice, kAccount));
    EXPECT_TRUE(page->tableView()->isVisible());

    const QStringList titles = rowTitles(*page);
    // HONDA is installed and current; the operating software too.
    EXPECT_EQ(titles, (QStringList{"ADAS", "BENZ", "BMW", "FORD", "SSANGYONG", "TOYOTA", "VW"}));
    EXPECT_EQ(titles.size(), manager().familyModels().size());
    // Shown records are prepared for download: idle, with their address in the service's files.
    for (const auto &rowGroup : manager().familyModels()) {
        for (const auto &family : rowGroup) {
            EXPECT_EQ(family->model()->state(), 0);
            EXPECT_EQ(family->model()->vehicle(), family->vehicle());
            if (!family->model()->filePath().contains(';')) {
                EXPECT_EQ(family->model()->url(), server.baseUrl() + family->model()->filePath());
            }
        }
    }

    // The second card: the card root follows it.
    choose(page->sdCardComboBox(), "SPARE: (");
    ASSERT_TRUE(waitUntil([&] { return VelquorCommonTool::sharedTool().saveFilePath() == cardPath("SPARE"); }));
    EXPECT_TRUE(page->sdCardComboBox()->currentText().startsWith("SPARE: ("));
}

TEST_F(UpdatesPageFixture, ACardRemovedEmptiesTheChoiceAndBlinksUntilOneIsBack)
{
    setCardFolders({"SDCARD", "SPARE"});
    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 2; }));
    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1 && !manager().familyModels().isEmpty(); }, 10000));
    choose(page->sdCardComboBox(), "SPARE: (");
    ASSERT_TRUE(waitUntil([&] { return VelquorCommonTool::sharedTool().saveFilePath() == cardPath("SPARE"); }));

    // The chosen card goes: the one still there is chosen, by its path.
    ASSERT_TRUE(QDir(cardPath("SPARE")).removeRecursively());
    page->setMyUpdatesModel(list);
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 1; }));
    EXPECT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), cardPath("SDCARD"));
    EXPECT_TRUE(page->sdCardComboBox()->currentText().startsWith("SDCARD: ("));
    EXPECT_EQ(page->serialNumberComboBox()->currentText(), kProDevice);

    // The only card goes, as the main view reports an unmount.
    ASSERT_TRUE(QDir(cardPath("SDCARD")).removeRecursively());
    page->setMyUpdatesModel(list);
    page->displayUpdateView(false);
    ASSERT_TRUE(waitUntil([&] { return page->isHelpBlinking(); }));
    EXPECT_TRUE(page->helpButton()->isVisible());
    EXPECT_TRUE(itemsOf(page->serialNumberComboBox()).isEmpty());
    EXPECT_TRUE(itemsOf(page->sdCardComboBox()).isEmpty());
    EXPECT_EQ(page->serialNumberComboBox()->currentText(), "");
    EXPECT_EQ(list->serialNumber(), "");
    EXPECT_TRUE(list->familyModels().isEmpty());
    EXPECT_TRUE(manager().familyModels().isEmpty());
    EXPECT_FALSE(page->tableView()->isVisible());
    EXPECT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), "");
    EXPECT_EQ(page->availableCapacity(), 0u);

    // A card is back: it is chosen and the blinking stops.
    setCardFolders({"SDCARD"});
    page->setMyUpdatesModel(list);
    ASSERT_TRUE(waitUntil([&] { return !page->isHelpBlinking(); }));
    EXPECT_FALSE(page->helpButton()->isVisible());
    EXPECT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), cardPath("SDCARD"));
    EXPECT_GT(page->availableCapacity(), 0u);
    EXPECT_EQ(itemsOf(page->serialNumberComboBox()).size(), 2);
}

TEST_F(UpdatesPageFixture, WhileAVehicleIsInWorkBothBoxesOfferOnlyTheirChoice)
{
    setCardFolders({"SDCARD", "SPARE"});
    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 2; }));
    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1; }, 10000));
    VelquorCacheCleanup::queue().sync([] {});

    for (const qint64 state : {VelquorDownloadStateDownloading, VelquorDownloadStateFailed}) {
        SCOPED_TRACE(state);
        database().insertModel(record("BENZ", state));

        // The card's item carries its free space, which other programs change meanwhile.
        const QStringList cards = itemsOf(page->sdCardComboBox());
        ASSERT_EQ(cards.size(), 1);
        EXPECT_TRUE(cards.first().startsWith("SDCARD: (")) << cards.first().toStdString();
        EXPECT_EQ(itemsOf(page->serialNumberComboBox()), QStringList{kProDevice});
        // Stepping through a box with the keyboard finds nothing else to choose.
        QTest::keyClick(page->serialNumberComboBox(), Qt::Key_Up);
        QTest::keyClick(page->sdCardComboBox(), Qt::Key_Down);
        waitUntil([] { return false; }, 200);
        EXPECT_EQ(refreshRequests.load(), 1);
        EXPECT_EQ(list->serialNumber(), kProDevice);
        EXPECT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), cardPath("SDCARD"));
        EXPECT_EQ(page->serialNumberComboBox()->currentText(), kProDevice);

        // Once the vehicle is out of work, the boxes offer everything again.
        database().deleteModelWithVehicle("BENZ");
        EXPECT_EQ(itemsOf(page->serialNumberComboBox()).size(), 2);
        EXPECT_EQ(itemsOf(page->sdCardComboBox()).size(), 2);
    }
}

TEST_F(UpdatesPageFixture, WhileAVehiclesPartsAreJoinedTheDeviceBoxOffersOnlyItsChoice)
{
    setCardFolders({"SDCARD"});
    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 1; }));
    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1; }, 10000));
    VelquorCacheCleanup::queue().sync([] {});

    // Every part is downloaded, so the vehicle goes straight to joining them; the join waits behind this.
    for (int i = 1; i <= 2; ++i) {
        auto part = record("TOYOTA", VelquorDownloadStateDownloaded,
                           QStringLiteral("http://127.0.0.1:1/files/TOYOTA_V1.00_%1_part.zip").arg(i));
        part->setZipPath(VelquorCommonTool::sharedTool().get7ZResourcePath(part->url()));
        QFile file(part->zipPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("part");
        database().insertModel(part);
    }
    std::mutex gate;
    gate.lock();
    manager().filesQueue().async([&gate] { std::lock_guard wait(gate); });
    manager().startDownloadTask(database().getModelWithVehicle("TOYOTA").first());
    ASSERT_TRUE(waitUntil([&] { return manager().isJoiningVehicle("TOYOTA"); }, 10000));

    // Another device's clean-up would take the parts away under the join.
    EXPECT_EQ(itemsOf(page->serialNumberComboBox()), QStringList{kProDevice});
    QTest::keyClick(page->serialNumberComboBox(), Qt::Key_Down);
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(refreshRequests.load(), 1);
    EXPECT_EQ(list->serialNumber(), kProDevice);

    // Gone before the join ends, so nothing is handed to extraction.
    database().deleteModelWithVehicle("TOYOTA");
    gate.unlock();
    ASSERT_TRUE(waitUntil([&] { return !manager().isJoiningVehicle("TOYOTA"); }, 10000));
    EXPECT_EQ(itemsOf(page->serialNumberComboBox()).size(), 2);
}

TEST_F(UpdatesPageFixture, OnlyTheOpenedListChoosesACardOrDevice)
{
    setCardFolders({"SDCARD", "SPARE"});
    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 2; }));
    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1; }, 10000));
    VelquorCacheCleanup::queue().sync([] {});
    const QString tables = database().uniqueIDString();

    // Over the closed boxes the wheel goes on to the page, and keys step through nothing.
    for (VelquorComboBox *box : {page->serialNumberComboBox(), page->sdCardComboBox()}) {
        const QString shown = box->currentText();
        SCOPED_TRACE(shown.toStdString());
        for (const int delta : {-120, 120, 120, -120}) {
            const QPointF at = QRectF(box->rect()).center();
            QWheelEvent wheel(at, box->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(box, &wheel);
            EXPECT_FALSE(wheel.isAccepted());
        }
        for (const Qt::Key key :
             {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_V, Qt::Key_S})
            QTest::keyClick(box, key);
        EXPECT_EQ(box->currentText(), shown);
    }
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(refreshRequests.load(), 1);
    EXPECT_EQ(list->serialNumber(), kProDevice);
    EXPECT_EQ(database().uniqueIDString(), tables);
    EXPECT_EQ(VelquorCommonTool::sharedTool().saveFilePath(), cardPath("SDCARD"));

    // Return on the highlighted item of the opened list chooses it.
    VelquorComboBox *devices = page->serialNumberComboBox();
    devices->showPopup();
    ASSERT_TRUE(waitUntil([&] { return devices->view()->isVisible(); }));
    QTest::keyClick(devices->view(), Qt::Key_Up);
    QTest::keyClick(devices->view(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 2; }, 10000));
    EXPECT_EQ(refreshRequests.load(), 2);
    EXPECT_EQ(list->serialNumber(), kLiteDevice);
    EXPECT_EQ(database().uniqueIDString(), VelquorDownloadDataBaseManager::uniqueIDStringFor(kLiteDevice, kAccount));
}

TEST_F(UpdatesPageFixture, AnUnwritableCardIsAskedForOnceWhileItStaysMounted)
{
    setCardFolders({"SDCARD", "SPARE"});
    const ReadOnlyCard first(cardPath("SDCARD"));
    const ReadOnlyCard second(cardPath("SPARE"));
    if (!first || !second)
        GTEST_SKIP() << "neither a folder without write permission nor a read-only mount can be made here";

    QStringList asked;
    int open = 0;
    int mostOpen = 0;
    const auto settle = [] {
        manager().reloadSDCardQueue()->sync([] {});
        waitUntil([] { return false; }, 200);
    };
    VelquorCardChoice::setDirectoryChooser([&](QWidget *, const QString &message, const QString &, const QString &) {
        asked.append(message);
        mostOpen = std::max(mostOpen, ++open);
        // The chooser is modal: the page goes on receiving its list meanwhile.
        if (asked.size() == 1) {
            page->setMyUpdatesModel(list);
            settle();
        }
        --open;
    });

    // Every list delivery, visit and device choice rescans the cards; the question comes once.
    loadProducts();
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 2 && !asked.isEmpty(); }));
    choose(page->serialNumberComboBox(), kProDevice);
    ASSERT_TRUE(waitUntil([&] { return deliveries.load() == 1; }, 10000));
    page->setMyUpdatesModel(list);
    settle();
    const QString sdcard = text("Tips21") + QStringLiteral("\uFF1ASDCARD");
    const QString spare = text("Tips21") + QStringLiteral("\uFF1ASPARE");
    EXPECT_EQ(asked.join(" | ").toStdString(), sdcard.toStdString());
    EXPECT_EQ(mostOpen, 1);

    // Each card is asked for once: the second when it is chosen, the first not again.
    choose(page->sdCardComboBox(), "SPARE: (");
    ASSERT_TRUE(waitUntil([&] { return VelquorCommonTool::sharedTool().saveFilePath() == cardPath("SPARE"); }));
    settle();
    choose(page->sdCardComboBox(), "SDCARD: (");
    ASSERT_TRUE(waitUntil([&] { return VelquorCommonTool::sharedTool().saveFilePath() == cardPath("SDCARD"); }));
    settle();
    EXPECT_EQ(asked.join(" | ").toStdString(), (QStringList{sdcard, spare}).join(" | ").toStdString());
    EXPECT_EQ(mostOpen, 1);

    // Taken out and put back, a card is a new mount: chosen again, it is asked for again.
    setCardFolders({"SPARE"});
    page->setMyUpdatesModel(list);
    ASSERT_TRUE(waitUntil([&] { return VelquorCommonTool::sharedTool().saveFilePath() == cardPath("SPARE"); }));
    setCardFolders({"SDCARD", "SPARE"});
    page->setMyUpdatesModel(list);
    settle();
    choose(page->sdCardComboBox(), "SDCARD: (");
    ASSERT_TRUE(waitUntil([&] { return VelquorCommonTool::sharedTool().saveFilePath() == cardPath("SDCARD"); }));
    settle();
    EXPECT_EQ(asked.join(" | ").toStdString(), (QStringList{sdcard, spare, sdcard}).join(" | ").toStdString());
}

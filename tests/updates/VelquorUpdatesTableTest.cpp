#include "UpdatesPageFixture.h"

#include "controls/VelquorDownloadButton.h"
#include "controls/VelquorTableView.h"
#include "updates/VelquorMyUpdatesTableRowView.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTextDocumentFragment>
#include <QWindow>

#include <map>
#include <vector>

using namespace updatestest;

namespace {

// Hands a freed block to the next object of the same size, as a busy heap often does, so an object
// of a new list stands where one of the old list stood.
struct ReusedBlocks
{
    std::map<std::size_t, std::vector<void *>> freed;
    ~ReusedBlocks()
    {
        for (auto &[size, blocks] : freed)
            for (void *block : blocks)
                ::operator delete(block);
    }
};

template <class T> struct ReusingAllocator
{
    using value_type = T;
    explicit ReusingAllocator(ReusedBlocks *blocks) : blocks(blocks) {}
    template <class U> ReusingAllocator(const ReusingAllocator<U> &other) : blocks(other.blocks) {}
    T *allocate(std::size_t n)
    {
        std::vector<void *> &free = blocks->freed[n * sizeof(T)];
        if (free.empty())
            return static_cast<T *>(::operator new(n * sizeof(T)));
        void *block = free.back();
        free.pop_back();
        return static_cast<T *>(block);
    }
    void deallocate(T *block, std::size_t n) { blocks->freed[n * sizeof(T)].push_back(block); }
    template <class U> bool operator==(const ReusingAllocator<U> &other) const { return blocks == other.blocks; }
    ReusedBlocks *blocks;
};

} // namespace

TEST_F(UpdatesPageFixture, APressOnARowsDownloadButtonReachesThePageOnceAcrossReloads)
{
    openTables();
    const auto idle = record("BENZ", VelquorDownloadStateNone);
    const auto paused = record("BMW", VelquorDownloadStatePaused);
    const auto installed = record("VW", VelquorDownloadStateInstalled);
    manager().setFamilyModels({group({idle}), group({paused}), group({installed})});
    page->tableView()->reloadData();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    QSignalSpy sent(page.get(), &VelquorMyUpdatesView::downloadActionSent);

    auto *row = qobject_cast<VelquorMyUpdatesTableRowView *>(page->tableView()->rowViewAtRow(1));
    ASSERT_NE(row, nullptr);
    VelquorDownloadButton *button = row->downloadButton();
    EXPECT_EQ(button->downloadState(), VelquorDownloadStatePaused);
    const QPoint at = button->mapTo(page.get(), button->rect().center());
    // Pressed while the refresh redraws the table twice (each time setting the button up again).
    QTest::mousePress(page->windowHandle(), Qt::LeftButton, {}, at);
    page->tableView()->reloadData();
    page->tableView()->reloadData();
    QTest::mouseRelease(page->windowHandle(), Qt::LeftButton, {}, at);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toLongLong(), 1);
    EXPECT_EQ(sent.at(0).at(1).toLongLong(), VelquorDownloadStatePaused);
    EXPECT_EQ(page->tableView()->rowViewAtRow(1), row) << "the row keeps its view";

    // The rows change between drawing and a press: the press on a row no longer shown is dropped.
    manager().setFamilyModels({group({idle})});
    auto *gone = qobject_cast<VelquorMyUpdatesTableRowView *>(page->tableView()->rowViewAtRow(2));
    const QPoint goneAt = gone->downloadButton()->mapTo(page.get(), gone->downloadButton()->rect().center());
    QTest::qWait(QApplication::doubleClickInterval() + 20);
    QTest::mouseClick(page->windowHandle(), Qt::LeftButton, {}, goneAt);
    EXPECT_EQ(sent.count(), 1);
}

TEST_F(UpdatesPageFixture, RowsShowTheirStateProgressAndNotes)
{
    openTables();
    const auto extracting = record("BENZ", VelquorDownloadStateExtracting);
    extracting->setProgress(0.426);
    extracting->setTotalFileSize(12300000);
    extracting->setIsUpdate(true);
    const auto waiting = record("BMW", VelquorDownloadStateWaitingInstall);
    waiting->setProgress(0.9);
    const auto installer = record("MAC_UPDATETOOLS", VelquorDownloadStateNone);
    installer->setIsUpdate(false);
    const auto after = record("OPEL", VelquorDownloadStateNone);
    const auto iveco = record("IVECO", VelquorDownloadStateNone);
    const auto unknown = record("ADAS", VelquorDownloadStateNone);
    manager().setFamilyModels(
        {group({extracting}), group({waiting}), group({installer, after}, 400), group({iveco}), group({unknown})});
    page->tableView()->reloadData();

    auto rowView = [&](int row) {
        return qobject_cast<VelquorMyUpdatesTableRowView *>(page->tableView()->rowViewAtRow(row));
    };
    const auto plain = [](const QString &html) { return QTextDocumentFragment::fromHtml(html).toPlainText(); };
    VelquorDownloadButton *first = rowView(0)->downloadButton();
    EXPECT_EQ(plain(first->titleLabel()->text()), text("Update34"));
    EXPECT_EQ(plain(first->progressLabel()->text()), "42%");
    EXPECT_EQ(plain(rowView(0)->textLabel1()->text()), "BENZ\nV1.00\n\n12.3 MB");
    EXPECT_EQ(plain(rowView(1)->downloadButton()->progressLabel()->text()), "0%") << "downloaded, not installed";
    // The installer's row names nothing after it; a package that is no update keeps its notes button.
    EXPECT_EQ(plain(rowView(2)->textLabel1()->text()).section('\n', 0, 0), "MAC_UPDATETOOLS");
    EXPECT_FALSE(plain(rowView(2)->textLabel2()->text()).contains("OPEL"));
    EXPECT_TRUE(rowView(2)->detailButton()->isVisibleTo(page.get()));
    EXPECT_FALSE(rowView(0)->detailButton()->isVisibleTo(page.get())) << "its notes fit";

    // Pictures: the vehicle's own, the immobiliser picture for IVECO, none for a vehicle without one.
    EXPECT_FALSE(rowView(0)->imageView()->pixmap().isNull());
    EXPECT_EQ(rowView(0)->imageView()->pixmap().size(), QSize(70, 70));
    EXPECT_FALSE(rowView(3)->imageView()->pixmap().isNull());
    EXPECT_TRUE(rowView(4)->imageView()->pixmap().isNull());
}

TEST_F(UpdatesPageFixture, ARowOfANewListShowsItsOwnTextsWhereTheOldListsObjectsStood)
{
    openTables();
    ReusedBlocks blocks;
    // Equal state, progress, size and height; other names, version, notes and picture.
    const auto list = [&](const QString &vehicle, const QString &version, const QString &notes) {
        auto record = std::allocate_shared<VelquorDownloadModel>(ReusingAllocator<VelquorDownloadModel>(&blocks));
        record->setSoftware(vehicle);
        record->setVehicle(vehicle);
        record->setVersion(version);
        record->setLanguage(QStringLiteral("English"));
        record->setUpdateInfo(notes);
        record->setIsUpdate(true);
        record->setState(VelquorDownloadStateNone);
        record->setTotalFileSize(12300000);
        auto family =
            std::allocate_shared<VelquorVehicleFamilyModel>(ReusingAllocator<VelquorVehicleFamilyModel>(&blocks));
        family->setVehicle(vehicle);
        family->setSubVehicles({vehicle});
        family->setModel(record);
        family->setHeight(120);
        return QList<VelquorVehicleFamilyGroup>{{family}};
    };
    const auto plain = [](const QString &html) { return QTextDocumentFragment::fromHtml(html).toPlainText(); };
    const auto rowView = [&] {
        return qobject_cast<VelquorMyUpdatesTableRowView *>(page->tableView()->rowViewAtRow(0));
    };

    manager().setFamilyModels(list(QStringLiteral("BENZ"), QStringLiteral("V1.00"), QStringLiteral("old notes")));
    page->tableView()->reloadData();
    ASSERT_NE(rowView(), nullptr);
    ASSERT_FALSE(rowView()->imageView()->pixmap().isNull());
    // The old list goes, and its objects with it, before the new one is made.
    manager().setFamilyModels({});
    page->tableView()->reloadData();
    manager().setFamilyModels(list(QStringLiteral("ADAS"), QStringLiteral("V2.00"), QStringLiteral("new notes")));
    page->tableView()->reloadData();

    ASSERT_NE(rowView(), nullptr);
    EXPECT_EQ(plain(rowView()->textLabel1()->text()).section(QLatin1Char('\n'), 0, 1).toStdString(), "ADAS\nV2.00");
    EXPECT_TRUE(plain(rowView()->textLabel2()->text()).contains("new notes"));
    EXPECT_TRUE(rowView()->imageView()->pixmap().isNull()) << "no picture of its own";

    // Nothing of the lists outlives their blocks.
    page.reset();
    manager().setFamilyModels({});
}

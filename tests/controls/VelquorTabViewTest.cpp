#include "support/TestEnvironment.h"

#include "controls/VelquorTabItemButton.h"
#include "controls/VelquorTabView.h"
#include "controls/VelquorTabViewDataSource.h"
#include "controls/VelquorTabViewDelegate.h"

#include <QPointer>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Owns its pages, as the main view controller does, and records what the tab view asks and tells.
class Pages : public VelquorTabViewDataSource, public VelquorTabViewDelegate
{
public:
    explicit Pages(QStringList titles) : titles(std::move(titles))
    {
        for (int i = 0; i < 8; ++i) {
            pages.push_back(std::make_unique<QWidget>());
            pages.back()->resize(300, 200);
        }
    }

    qint64 numberOfItemsInTabView(VelquorTabView *) override { return titles.size(); }
    VelquorTabItemModel tabViewItemAtIndex(VelquorTabView *, qint64 index) override
    {
        return {titles.value(index), QStringLiteral("Toolbar_%1").arg(index)};
    }
    QWidget *tabViewContentViewForItemAtIndex(VelquorTabView *, qint64 index) override
    {
        pagesAsked.push_back(index);
        if (onPageAsked)
            onPageAsked(index);
        return index >= 0 && index < qint64(pages.size()) ? pages.at(index).get() : nullptr;
    }
    void tabViewDidSelectTabItemAtIndex(VelquorTabView *, qint64 index) override { selections.push_back(index); }

    QStringList titles;
    std::vector<std::unique_ptr<QWidget>> pages;
    std::vector<qint64> pagesAsked;
    std::vector<qint64> selections;
    std::function<void(qint64)> onPageAsked;
};

struct TabViewFixture : ::testing::Test
{
    // Declared first so it outlives the tab view, as the owner of the pages does.
    Pages source{{"Updates", "Profile", "Feedback", "Software"}};
    QWidget window;
    VelquorTabView *tabView = new VelquorTabView(&window);

    void showTabView()
    {
        window.resize(1140, 600);
        tabView->setItemHeight(44);
        tabView->setGeometry(0, 0, 1140, 600);
        tabView->setDataSource(&source);
        tabView->setDelegate(&source);
        window.show();
    }

    void clickItem(int index)
    {
        VelquorTabItemButton *button = tabView->itemButtons().at(index);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
};

} // namespace

TEST_F(TabViewFixture, ItemsShareTheMainWindowWidthOrTakeTheGivenWidth)
{
    showTabView();
    const auto buttons = tabView->itemButtons();
    ASSERT_EQ(buttons.size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(buttons.at(i)->geometry(), QRect(285 * i, 0, 285, 44)) << i;

    tabView->setItemWidth(100);
    const auto narrow = tabView->itemButtons();
    ASSERT_EQ(narrow.size(), 4);
    EXPECT_EQ(narrow.at(3)->geometry(), QRect(300, 0, 100, 44));
}

TEST_F(TabViewFixture, ShortCaptionSitsOnOneCentredLineAndLongOneWrapsByCharacter)
{
    source.titles = {"Updates", "Abcdefghijklmnopqrstuvwxyzabcdef", "C", "D"};
    auto *backdrop = new QWidget(&window);
    backdrop->setGeometry(0, 0, 1140, 44);
    backdrop->setPalette(QPalette(Qt::black));
    backdrop->setAutoFillBackground(true);
    backdrop->lower();
    showTabView();

    const auto buttons = tabView->itemButtons();
    ASSERT_EQ(buttons.size(), 4);
    const qreal w = 285;
    VelquorTabItemButton *shortItem = buttons.at(0);
    VelquorTabItemButton *longItem = buttons.at(1);
    EXPECT_FALSE(shortItem->isMultiLine());
    EXPECT_DOUBLE_EQ(shortItem->captionFrame().width(), w * 5 / 6);
    EXPECT_NEAR(shortItem->captionFrame().center().y(), 22, 0.01);
    EXPECT_LT(shortItem->captionFrame().height(), 44);
    EXPECT_TRUE(longItem->isMultiLine());
    EXPECT_EQ(longItem->captionFrame(), QRectF(0, 0, w * 5 / 6, 44));

    // White caption pixels: the short one within its band, from a sixth of the width on; the
    // long one on two lines (rows above and below the middle), never past five sixths.
    const QImage bar = window.grab(QRect(0, 0, 1140, 44)).toImage();
    auto whiteRows = [&](int x0, int x1) {
        QList<int> rows;
        for (int y = 0; y < 44; ++y)
            for (int x = x0; x < x1; ++x)
                if (qGray(bar.pixel(x, y)) > 200) {
                    rows.append(y);
                    break;
                }
        return rows;
    };
    auto whiteColumns = [&](int x0, int x1) {
        int first = -1, last = -1;
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < 44; ++y)
                if (qGray(bar.pixel(x, y)) > 200) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return std::pair(first, last);
    };
    const QList<int> shortRows = whiteRows(0, 285);
    ASSERT_FALSE(shortRows.isEmpty());
    EXPECT_GE(shortRows.first(), int(shortItem->captionFrame().top()));
    EXPECT_LE(shortRows.last(), int(shortItem->captionFrame().bottom()));
    EXPECT_GE(whiteColumns(0, 285).first, int(w / 6));
    const QList<int> longRows = whiteRows(285, 570);
    ASSERT_FALSE(longRows.isEmpty());
    EXPECT_LT(longRows.first(), 16);
    EXPECT_GT(longRows.last(), 22);
    const auto [longFirst, longLast] = whiteColumns(285, 570);
    EXPECT_GE(longFirst, 285 + int(w / 6));
    EXPECT_LE(longLast, 285 + int(w * 5 / 6));
}

TEST_F(TabViewFixture, FirstLayoutShowsItemZeroAndClicksSwitchPagesThatSurvive)
{
    EXPECT_EQ(tabView->currentItemIndex(), -1);
    showTabView();
    EXPECT_EQ(tabView->currentItemIndex(), 0);
    EXPECT_EQ(tabView->scrollView()->widget(), source.pages.at(0).get());
    EXPECT_TRUE(source.selections.empty()) << "the first selection is not the user's";

    QPointer<QWidget> first = source.pages.at(0).get();
    clickItem(2);
    EXPECT_EQ(tabView->currentItemIndex(), 2);
    EXPECT_EQ(tabView->scrollView()->widget(), source.pages.at(2).get());
    EXPECT_EQ(source.selections, std::vector<qint64>{2});
    clickItem(0);
    ASSERT_FALSE(first.isNull()) << "a page that is switched away from stays alive";
    EXPECT_EQ(tabView->scrollView()->widget(), first.data());
    EXPECT_EQ(first->size(), QSize(300, 200));

    // The selected item clicked again: the delegate hears of it, the page stays.
    const size_t asked = source.pagesAsked.size();
    clickItem(0);
    EXPECT_EQ(source.selections, (std::vector<qint64>{2, 0, 0}));
    EXPECT_EQ(source.pagesAsked.size(), asked);

    tabView->reloadTabView();
    EXPECT_EQ(source.pagesAsked.back(), 0);
}

TEST_F(TabViewFixture, SwitchedAwayPagesStayInsideTheWindowUntilTheTabViewGoes)
{
    // One page has a parent of its own, the others none.
    QWidget home;
    source.pages.at(1)->setParent(&home);
    showTabView();
    clickItem(1);
    clickItem(2);
    for (int index : {0, 1}) {
        QWidget *page = source.pages.at(index).get();
        EXPECT_FALSE(page->isWindow()) << index;
        EXPECT_TRUE(page->isHidden()) << index;
    }
    EXPECT_EQ(source.pages.at(0)->window(), &window);
    EXPECT_EQ(source.pages.at(1)->parent(), &home);

    // The tab view goes: the pages stay alive, each back with its own parent or none.
    QPointer<QWidget> shown = source.pages.at(2).get();
    delete tabView;
    EXPECT_FALSE(shown.isNull());
    EXPECT_EQ(source.pages.at(0)->parent(), nullptr);
    EXPECT_EQ(source.pages.at(1)->parent(), &home);
    EXPECT_EQ(source.pages.at(2)->parent(), nullptr);
    source.pages.at(1)->setParent(nullptr);
}

TEST_F(TabViewFixture, ResizeKeepsTheSelectionAndTheButtons)
{
    showTabView();
    clickItem(2);
    const auto before = tabView->itemButtons();
    tabView->resize(1000, 500);
    EXPECT_EQ(tabView->currentItemIndex(), 2);
    EXPECT_EQ(tabView->itemButtons(), before) << "same count and item size: no rebuild";
    EXPECT_EQ(tabView->scrollView()->geometry(), QRect(0, 44, 1000, 456));

    tabView->setItemWidth(200);
    EXPECT_EQ(tabView->currentItemIndex(), 2);
    EXPECT_EQ(tabView->itemButtons().at(2)->geometry(), QRect(400, 0, 200, 44));
}

TEST_F(TabViewFixture, IndexesOutsideTheItemsAreIgnored)
{
    showTabView();
    tabView->setSelectedTabItemIndex(4);
    tabView->setSelectedTabItemIndex(-1);
    EXPECT_EQ(tabView->currentItemIndex(), 0);
    EXPECT_EQ(source.pagesAsked, std::vector<qint64>{0});
}

TEST_F(TabViewFixture, NoItemsOrNoDataSourceGiveNoButtonsAndNoPage)
{
    window.resize(1140, 600);
    tabView->setGeometry(0, 0, 1140, 600);
    window.show();
    EXPECT_TRUE(tabView->itemButtons().isEmpty());
    EXPECT_EQ(tabView->scrollView()->widget(), nullptr);

    source.titles.clear();
    showTabView();
    EXPECT_TRUE(tabView->itemButtons().isEmpty());
    EXPECT_EQ(tabView->currentItemIndex(), -1);
    EXPECT_TRUE(source.pagesAsked.empty());
    tabView->reloadTabView();
    EXPECT_TRUE(source.pagesAsked.empty());
}

TEST_F(TabViewFixture, ItemsChangingDuringAClickAreRebuiltAfterIt)
{
    showTabView();
    // The page of item 1 adds an item and lays the bar out while the click on item 1 runs.
    source.onPageAsked = [&](qint64 index) {
        if (index == 1 && source.titles.size() == 4) {
            source.titles.append("More");
            tabView->drawTabItems();
        }
    };
    clickItem(1);
    EXPECT_EQ(source.selections, std::vector<qint64>{1});
    ASSERT_TRUE(waitUntil([&] { return tabView->itemButtons().size() == 5; }));
    EXPECT_EQ(tabView->currentItemIndex(), 1);
    EXPECT_EQ(tabView->itemButtons().at(4)->geometry(), QRect(228 * 4, 0, 228, 44));
}

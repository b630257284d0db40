#include "UpdatesPageFixture.h"

#include "controls/VelquorHelpAlert.h"
#include "updates/VelquorUpdatesConstants.h"

#include <QLabel>

#include <thread>

using namespace updatestest;

TEST_F(UpdatesPageFixture, TheNotEnoughSpaceSheetShowsOnceAndItsEndReadsTheCardsAgain)
{
    answerAlerts = false;
    page->reloadSDCard(false);
    ASSERT_TRUE(waitUntil([&] { return page->devices().size() == 1; }));
    // Asked twice from the extraction queue while the first sheet is still up.
    std::thread worker([&] {
        page->openSDMemory();
        page->openSDMemory();
    });
    worker.join();
    ASSERT_TRUE(waitUntil([&] { return !shownAlerts.isEmpty(); }));
    waitUntil([] { return false; }, 200);
    ASSERT_EQ(shownAlerts.size(), 1);
    ASSERT_EQ(page->velquorCapacityAlert(), shownAlerts.first().data());
    EXPECT_EQ(shownAlerts.first()->messageTextField()->text(), text("UpdateHint14"));
    EXPECT_EQ(shownAlerts.first()->okButton()->text(), text("Update21"));

    // Closed with its close box: the sheet is forgotten and the card list read again.
    setCardFolders({"SDCARD", "SPARE"});
    shownAlerts.first()->done(VelquorAlert::CloseReturnCode);
    EXPECT_EQ(page->velquorCapacityAlert(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return page->devices().size() == 2; }));

    // Another one may come up now.
    page->openSDMemory();
    ASSERT_TRUE(waitUntil([&] { return shownAlerts.size() == 2; }));
    shownAlerts.last()->done(VelquorAlert::OKReturnCode);
    EXPECT_EQ(page->velquorCapacityAlert(), nullptr);
}

TEST_F(UpdatesPageFixture, HelpShowsTheCardPictureUntilItIsClosed)
{
    page->helpAction(); // the hook closes it; until then the call does not return
    ASSERT_EQ(shownAlerts.size(), 1);
    EXPECT_TRUE(shownAlerts.first().isNull()) << "the help window belongs to the page's call and is gone";
}

#include "controls/VelquorTableHeaderCell.h"
#include "controls/VelquorTableHeaderCellDelegate.h"
#include "controls/VelquorTableHeaderCheckButton.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

QPixmap swatch(const QColor &color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return pixmap;
}

struct Clicks : VelquorTableHeaderCellDelegate
{
    void softwareManagementTableHeaderClickButton(VelquorTableHeaderCell *cell, VelquorButton *button) override
    {
        cells.append(cell);
        states.append(static_cast<VelquorTableHeaderCheckButton *>(button)->state());
    }
    QList<VelquorTableHeaderCell *> cells;
    QList<int> states;
};

struct HeaderCellFixture : ::testing::Test
{
    VelquorTableHeaderCell cell{"Item"};

    void SetUp() override
    {
        // Known pictures, so the test does not depend on the artwork.
        cell.checkButton()->setImage(swatch(Qt::green));
        cell.checkButton()->setAlternateImage(swatch(Qt::red));
        cell.resize(120, 30);
        cell.show();
    }

    QColor imageColour() const
    {
        VelquorTableHeaderCheckButton *button = cell.checkButton();
        return button->grab().toImage().pixelColor(button->imageRect().center().toPoint());
    }
};

} // namespace

TEST_F(HeaderCellFixture, ButtonAndLinesFillTheCell)
{
    EXPECT_EQ(cell.checkButton()->geometry(), QRect(1, 1, 117, 28));
    EXPECT_EQ(cell.rightLineView()->geometry(), QRect(119, 0, 1, 30));
    EXPECT_EQ(cell.bottomLineView()->geometry(), QRect(1, 29, 118, 1));
}

TEST_F(HeaderCellFixture, StartsAsAnUntickedCheckBoxLeftOfItsTitle)
{
    VelquorTableHeaderCheckButton *button = cell.checkButton();
    EXPECT_TRUE(cell.isShowImage());
    EXPECT_TRUE(button->isCheckable());
    EXPECT_EQ(button->state(), 0);
    EXPECT_EQ(cell.title(), "Item");
    EXPECT_LT(button->imageRect().right(), button->titleRect().left());
    EXPECT_EQ(imageColour(), QColor(Qt::green));

    cell.setSelected(true);
    EXPECT_EQ(button->state(), 1);
    EXPECT_EQ(imageColour(), QColor(Qt::red));
}

TEST_F(HeaderCellFixture, ClicksTellTheDelegateWithTheNewState)
{
    Clicks clicks;
    cell.setDelegate(&clicks);
    VelquorTableHeaderCheckButton *button = cell.checkButton();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(clicks.cells, (QList<VelquorTableHeaderCell *>{&cell, &cell}));
    EXPECT_EQ(clicks.states, (QList<int>{1, 0}));
    EXPECT_FALSE(cell.isSelected()) << "two clicks leave it unticked";
}

TEST_F(HeaderCellFixture, AClickedTickIsTheCellsSelectionAndSurvivesAReset)
{
    VelquorTableHeaderCheckButton *button = cell.checkButton();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(button->state(), 1);
    EXPECT_TRUE(cell.isSelected());
    // Setting the look again must not take away the tick the user just gave.
    cell.setShowImage(true);
    EXPECT_EQ(button->state(), 1);
    EXPECT_EQ(imageColour(), QColor(Qt::red));
}

TEST_F(HeaderCellFixture, WithoutImageItIsAPlainTitleButton)
{
    cell.setShowImage(false);
    VelquorTableHeaderCheckButton *button = cell.checkButton();
    EXPECT_FALSE(button->isCheckable());
    EXPECT_TRUE(button->imageRect().isEmpty());
    EXPECT_LT(button->titleRect().left(), 10);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_EQ(button->state(), 0);
}

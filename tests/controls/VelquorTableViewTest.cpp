#include "controls/VelquorTableView.h"
#include "controls/VelquorTableCellView.h"
#include "controls/VelquorTableColumn.h"
#include "controls/VelquorTableHeaderCell.h"
#include "controls/VelquorTableHeaderView.h"
#include "controls/VelquorTableRowView.h"
#include "controls/VelquorTableViewDataSource.h"
#include "controls/VelquorTableViewDelegate.h"

#include "controls/VelquorSearchField.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Rows of VelquorTableCellViews reused by column identifier; every notification goes into one log
// so the order of selection change and click report can be checked.
class Rows : public VelquorTableViewDataSource, public VelquorTableViewDelegate
{
public:
    qint64 numberOfRowsInTableView(VelquorTableView *) override { return count; }
    qreal tableViewHeightOfRow(VelquorTableView *, qint64) override { return 34; }
    QWidget *tableViewViewForTableColumn(VelquorTableView *table, VelquorTableColumn *column, qint64 row) override
    {
        if (!withCells)
            return nullptr;
        ++cellsAsked;
        if (withButton && column->identifier() == "b") {
            auto *button = new QPushButton(QStringLiteral("Go %1").arg(row));
            QObject::connect(button, &QPushButton::clicked,
                             [this, row] { log << QStringLiteral("button %1").arg(row); });
            return button;
        }
        auto *cell = qobject_cast<VelquorTableCellView *>(table->makeViewWithIdentifier(column->identifier()));
        if (!cell) {
            cell = new VelquorTableCellView;
            cell->setObjectName(column->identifier());
            cell->textField1()->setEditable(false);
        }
        cell->textField1()->setText(QStringLiteral("%1-%2").arg(column->identifier()).arg(row));
        return cell;
    }
    void tableViewSelectionDidChange(VelquorTableView *table) override
    {
        QStringList rows;
        for (qint64 row : table->selectedRowIndexes())
            rows << QString::number(row);
        log << "selection " + rows.join(',');
        if (onSelectionChange)
            onSelectionChange(table);
    }
    void tableViewDidClickedRow(VelquorTableView *, qint64 row) override { log << QStringLiteral("click %1").arg(row); }

    qint64 count = 3;
    bool withCells = true;
    bool withButton = false;
    int cellsAsked = 0;
    QStringList log;
    std::function<void(VelquorTableView *)> onSelectionChange;
};

struct TableFixture : ::testing::Test
{
    Rows rows;
    VelquorTableView table;

    void SetUp() override
    {
        table.resize(400, 300);
        table.addTableColumn("a", "A", 120);
        table.addTableColumn("b", "B", 200);
        table.setDataSource(&rows);
        table.setExtendedDelegate(&rows);
        table.show();
        table.reloadData();
    }

    // A real press and release on the deepest widget under a point of the rows' surface.
    void clickAt(const QPoint &point, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *surface = table.documentView();
        QWidget *target = surface->childAt(point);
        if (!target)
            target = surface;
        QTest::mouseClick(target, Qt::LeftButton, modifiers, target->mapFrom(surface, point));
    }
};

} // namespace

TEST_F(TableFixture, ClickReportsTheRowAfterReleaseAndAfterTheSelectionChanged)
{
    QWidget *surface = table.documentView();
    const QPoint inRow1(60, 34 + 17);
    QWidget *target = surface->childAt(inRow1);
    ASSERT_NE(target, nullptr);
    QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(surface, inRow1));
    EXPECT_EQ(rows.log, QStringList{"selection 1"}) << "nothing is reported before the release";
    QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(surface, inRow1));
    EXPECT_EQ(rows.log, (QStringList{"selection 1", "click 1"}));

    // A click on the selected row changes no selection but is still reported.
    rows.log.clear();
    clickAt(QPoint(300, 34 + 5));
    EXPECT_EQ(rows.log, QStringList{"click 1"});
    EXPECT_EQ(table.selectedRowIndexes(), QList<qint64>{1});
}

TEST_F(TableFixture, ClickBelowTheRowsClearsTheSelectionAndReportsNothing)
{
    clickAt(QPoint(60, 10));
    rows.log.clear();
    clickAt(QPoint(60, 3 * 34 + 40));
    EXPECT_EQ(rows.log, QStringList{"selection "});
    EXPECT_TRUE(table.selectedRowIndexes().isEmpty());
    EXPECT_EQ(table.rowAtPoint(QPointF(60, 3 * 34)), -1);
    EXPECT_EQ(table.rowAtPoint(QPointF(60, 3 * 34 - 1)), 2);
}

TEST_F(TableFixture, RowRemovedByAReloadDuringThePressIsNotReported)
{
    // The data source answers the selection change by dropping rows, the pressed one among them.
    rows.onSelectionChange = [this](VelquorTableView *tableView) {
        if (rows.count == 1)
            return;
        rows.count = 1;
        tableView->reloadData();
    };
    clickAt(QPoint(60, 2 * 34 + 17));
    EXPECT_EQ(table.numberOfRows(), 1);
    EXPECT_FALSE(rows.log.contains("click 2")) << rows.log.join('|').toStdString();

    // A row that survives the reload is still reported.
    rows.log.clear();
    clickAt(QPoint(60, 17));
    EXPECT_EQ(rows.log.last(), "click 0");
}

TEST_F(TableFixture, ModifierClicksExtendOnlyAMultipleSelection)
{
    clickAt(QPoint(60, 5));
    clickAt(QPoint(60, 2 * 34 + 5), Qt::ControlModifier);
    EXPECT_EQ(table.selectedRowIndexes(), QList<qint64>{2}) << "single selection: the modifier is ignored";

    table.setAllowsMultipleSelection(true);
    clickAt(QPoint(60, 5), Qt::ControlModifier);
    EXPECT_EQ(table.selectedRowIndexes(), (QList<qint64>{0, 2}));
    clickAt(QPoint(60, 2 * 34 + 5), Qt::ControlModifier);
    EXPECT_EQ(table.selectedRowIndexes(), QList<qint64>{0});
    clickAt(QPoint(60, 5));
    clickAt(QPoint(60, 2 * 34 + 5), Qt::ShiftModifier);
    EXPECT_EQ(table.selectedRowIndexes(), (QList<qint64>{0, 1, 2}));
    EXPECT_EQ(rows.log.last(), "click 2");
}

TEST_F(TableFixture, AButtonInARowTakesItsClickWithoutSelectingTheRow)
{
    rows.withButton = true;
    table.reloadData();
    clickAt(QPoint(200, 34 + 17));
    EXPECT_EQ(rows.log, QStringList{"button 1"});
    EXPECT_TRUE(table.selectedRowIndexes().isEmpty());
}

TEST_F(TableFixture, ReloadReusesCellsByIdentifierAndTrimsTheSelection)
{
    QSet<QWidget *> before;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            before.insert(table.viewAtColumn(column, row));
    table.selectRowIndexes({2}, false);
    rows.log.clear();

    rows.count = 2;
    table.reloadData();
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            EXPECT_TRUE(before.contains(table.viewAtColumn(column, row)));
    EXPECT_EQ(table.numberOfRows(), 2);
    EXPECT_TRUE(table.selectedRowIndexes().isEmpty());
    EXPECT_EQ(rows.log, QStringList{"selection "});

    // Only the named cells are asked for again; the cell comes back to the same place.
    const int asked = rows.cellsAsked;
    QWidget *cell = table.viewAtColumn(0, 1);
    table.reloadDataForRowIndexes({0, 1}, {0});
    EXPECT_EQ(rows.cellsAsked, asked + 2);
    EXPECT_EQ(table.viewAtColumn(0, 1)->geometry(), QRect(0, 0, 120, 34));
    EXPECT_EQ(table.viewAtColumn(0, 1), cell);
}

TEST_F(TableFixture, ColumnAddedAfterAReloadCanBeReloadedOnItsOwn)
{
    table.addTableColumn("c", "C", 50);
    table.reloadDataForRowIndexes({1}, {2});
    ASSERT_NE(table.viewAtColumn(2, 1), nullptr);
    EXPECT_EQ(table.viewAtColumn(2, 1)->geometry(), QRect(320, 0, 50, 34));
}

TEST_F(TableFixture, UnnamedViewTheDataSourceHandsOutAgainIsNotDeleted)
{
    // A data source that keeps its own unnamed view for one cell and returns it on every reload.
    struct Keeping : Rows
    {
        QWidget *tableViewViewForTableColumn(VelquorTableView *, VelquorTableColumn *column, qint64 row) override
        {
            return column->identifier() == "a" && row == 0 ? kept.data() : nullptr;
        }
        QPointer<QLabel> kept = new QLabel(QStringLiteral("kept"));
    } keeping;
    table.setDataSource(&keeping);
    table.reloadData();
    table.reloadData();
    table.reloadDataForRowIndexes({0}, {0});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(keeping.kept.isNull());
    EXPECT_EQ(table.viewAtColumn(0, 0), keeping.kept.data());
    EXPECT_TRUE(keeping.kept->isVisibleTo(&table));
    table.setDataSource(&rows);
}

TEST_F(TableFixture, APressOnARowsButtonEndsInItsClickAcrossReloads)
{
    // Named buttons taken back through makeViewWithIdentifier, as a list refreshed every second does.
    struct Buttons : Rows
    {
        QWidget *tableViewViewForTableColumn(VelquorTableView *table, VelquorTableColumn *column, qint64 row) override
        {
            if (column->identifier() != "b")
                return nullptr;
            auto *button = qobject_cast<QPushButton *>(table->makeViewWithIdentifier("go"));
            if (!button) {
                button = new QPushButton;
                button->setObjectName("go");
                QObject::connect(button, &QPushButton::clicked,
                                 [this, button] { log << "button " + button->property("row").toString(); });
            }
            button->setText(QStringLiteral("Go %1").arg(row));
            button->setProperty("row", row);
            return button;
        }
    } buttons;
    table.setDataSource(&buttons);
    table.reloadData();
    QList<QWidget *> before;
    for (int row = 0; row < 3; ++row)
        before << table.viewAtColumn(1, row);
    QList<QWidget *> rowViews;
    for (int row = 0; row < 3; ++row)
        rowViews << table.rowViewAtRow(row);

    QWidget *pressed = table.viewAtColumn(1, 1);
    QTest::mousePress(pressed, Qt::LeftButton, {}, QPoint(20, 10));
    table.reloadData();
    table.reloadData();
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(buttons.log, QStringList{"button 1"});

    // Every view stayed on its row.
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(table.viewAtColumn(1, row), before.at(row)) << row;
        EXPECT_EQ(table.rowViewAtRow(row), rowViews.at(row)) << row;
        EXPECT_TRUE(before.at(row)->isVisibleTo(&table));
    }

    // Fewer rows: the first ones keep their views, the last one is put away.
    buttons.count = 2;
    table.reloadData();
    EXPECT_EQ(table.viewAtColumn(1, 0), before.at(0));
    EXPECT_EQ(table.viewAtColumn(1, 1), before.at(1));
    EXPECT_FALSE(before.at(2)->isVisibleTo(&table));
    table.setDataSource(&rows);
}

TEST_F(TableFixture, AlternatingBackgroundsAndScrollingToARow)
{
    rows.withCells = false;
    rows.count = 30;
    table.setUsesAlternatingRowBackgroundColors(true);
    table.reloadData();
    EXPECT_EQ(table.rowViewAtRow(0)->backgroundColor(), VelquorTableView::kAlternatingRowColors[0]);
    EXPECT_EQ(table.rowViewAtRow(1)->backgroundColor(), VelquorTableView::kAlternatingRowColors[1]);
    EXPECT_EQ(table.rowViewAtRow(2)->backgroundColor(), VelquorTableView::kAlternatingRowColors[0]);
    EXPECT_NE(VelquorTableView::kAlternatingRowColors[0], VelquorTableView::kAlternatingRowColors[1]);

    QScrollBar *bar = table.verticalScrollBar();
    table.scrollRowToVisible(29);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->value(), 0);
    table.scrollRowToVisible(0);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(TableFixture, SelectedRowsDrawTheirSelectionUnlessTheStyleIsNone)
{
    rows.withCells = false;
    table.reloadData();
    table.selectRowIndexes({1}, false);
    const QImage selected = table.documentView()->grab().toImage();
    EXPECT_EQ(selected.pixelColor(10, 34 + 17), VelquorTableRowView::kSelectedControlColor);
    EXPECT_GE(qGray(selected.pixel(10, 34 + 1)), 240) << "nearly white outline, 1 pixel in";
    EXPECT_EQ(selected.pixelColor(10, 17), QColor(Qt::white)) << "other rows show the table background";

    table.setSelectionHighlightStyle(VelquorTableView::SelectionHighlightStyle::None);
    EXPECT_EQ(table.documentView()->grab().toImage().pixelColor(10, 34 + 17), QColor(Qt::white));
}

TEST_F(TableFixture, CellsOfASelectedRowTurnBlue)
{
    table.selectRowIndexes({0}, false);
    auto *cell = qobject_cast<VelquorTableCellView *>(table.viewAtColumn(0, 0));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->backgroundStyle(), VelquorTableCellView::BackgroundStyle::Emphasized);
    EXPECT_EQ(cell->grab().toImage().pixelColor(cell->width() - 2, 2), QColor(0, 0, 255));
    table.deselectAll();
    EXPECT_EQ(cell->backgroundStyle(), VelquorTableCellView::BackgroundStyle::Normal);
}

TEST_F(TableFixture, ASelectedRowReadsWhiteOnTheBlueAndBlackOnceDeselected)
{
    // The text field of row 0's first cell as drawn on the table: whether any pixel is dark
    // (a black glyph, on white or on blue) and whether any is white (a white glyph on blue).
    struct Ink
    {
        bool dark = false;
        bool white = false;
    };
    const auto inkOfRow0 = [&] {
        auto *cell = qobject_cast<VelquorTableCellView *>(table.viewAtColumn(0, 0));
        const QRect field(cell->mapTo(table.documentView(), cell->textField1()->pos()), cell->textField1()->size());
        const QImage image = table.documentView()->grab(field).toImage();
        Ink ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor colour = image.pixelColor(x, y);
                ink.dark |= colour.red() < 100 && colour.green() < 100 && colour.blue() < 128;
                ink.white |= colour.red() > 200 && colour.green() > 200 && colour.blue() > 200;
            }
        return ink;
    };
    const Ink unselected = inkOfRow0();
    EXPECT_TRUE(unselected.dark) << "black text on the white table";

    clickAt(QPoint(60, 17));
    const Ink selected = inkOfRow0();
    EXPECT_TRUE(selected.white);
    EXPECT_FALSE(selected.dark);

    clickAt(QPoint(60, 3 * 34 + 40));
    EXPECT_TRUE(inkOfRow0().dark);

    // A cell put away while its row was selected shows plainly in the unselected row it comes back to.
    clickAt(QPoint(60, 2 * 34 + 17));
    rows.count = 2;
    table.reloadData();
    rows.count = 3;
    table.reloadData();
    ASSERT_TRUE(table.selectedRowIndexes().isEmpty());
    for (int column = 0; column < 2; ++column) {
        auto *cell = qobject_cast<VelquorTableCellView *>(table.viewAtColumn(column, 2));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->backgroundStyle(), VelquorTableCellView::BackgroundStyle::Normal) << column;
        EXPECT_EQ(cell->textField1()->textColor(), QColor(Qt::black)) << column;
    }
}

TEST_F(TableFixture, HeaderCellsSitOverTheirColumns)
{
    auto *cell = new VelquorTableHeaderCell("B");
    table.tableColumns().at(1)->setHeaderCell(cell);
    EXPECT_EQ(cell->parentWidget(), table.headerView()->viewport());
    EXPECT_EQ(cell->geometry(), QRect(120, 0, 200, table.headerHeight()));
    table.tableColumns().at(0)->setWidth(100);
    EXPECT_EQ(cell->geometry().x(), 100);
    EXPECT_EQ(table.viewAtColumn(1, 0)->geometry().x(), 100);
}

TEST(VelquorTableCellView, PictureColumnOnlyWithShowImage)
{
    VelquorTableCellView cell;
    cell.resize(120, 34);
    cell.show();
    EXPECT_EQ(cell.textField1()->geometry(), QRect(0, 0, 120, 34));
    EXPECT_TRUE(cell.imageView1()->geometry().isEmpty());
    cell.setShowImage(true);
    EXPECT_EQ(cell.imageView1()->geometry(), QRect(1, 0, 18, 34));
    EXPECT_EQ(cell.textField1()->geometry(), QRect(19, 0, 101, 34));
}

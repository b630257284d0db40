// The table kit: rows of cells under check-box headers, with and without a selection, and its
// pieces on their own.
#include "ShotKit.h"
#include "ShotRegistry.h"

#include "controls/VelquorImages.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorTableCellView.h"
#include "controls/VelquorTableColumn.h"
#include "controls/VelquorTableHeaderCell.h"
#include "controls/VelquorTableHeaderCheckButton.h"
#include "controls/VelquorTableRowView.h"
#include "controls/VelquorTableView.h"
#include "controls/VelquorTableViewDataSource.h"

#include <QLabel>
#include <algorithm>

namespace {

struct Software
{
    QString vehicle;
    QString version;
    QString languages;
    bool ticked;
};

// A list like the software-management page's: number with check mark, vehicle, version, languages.
class TableHost : public QWidget, public VelquorTableViewDataSource
{
public:
    explicit TableHost(QList<Software> rows) : m_rows(std::move(rows))
    {
        resize(900, 260);
        setPalette(QPalette(Qt::white));
        setAutoFillBackground(true);
        table = new VelquorTableView(this);
        table->setGeometry(10, 10, 880, 240);
        table->setFrameShape(QFrame::Box);
        table->setRowHeight(34);
        table->setAllowsMultipleSelection(true);
        table->setGridStyleMask(VelquorTableView::SolidHorizontalGridLine | VelquorTableView::SolidVerticalGridLine);
        const QList<std::pair<QString, int>> columns{
            {"Item", 120}, {"Vehicle", 240}, {"Version", 300}, {"Language", 120}, {"Empty", 96}};
        for (const auto &[title, width] : columns) {
            VelquorTableColumn *column = table->addTableColumn(title, title, width);
            auto *header = new VelquorTableHeaderCell(title == "Empty" ? QString() : title);
            header->setShowImage(column == table->tableColumns().first());
            column->setHeaderCell(header);
        }
        table->setDataSource(this);
        table->reloadData();
        headerCell()->setSelected(
            !m_rows.isEmpty() && std::all_of(m_rows.begin(), m_rows.end(), [](const Software &s) { return s.ticked; }));
    }

    VelquorTableHeaderCell *headerCell() const { return table->tableColumns().first()->headerCell(); }

    qint64 numberOfRowsInTableView(VelquorTableView *) override { return m_rows.size(); }
    qreal tableViewHeightOfRow(VelquorTableView *, qint64) override { return 34; }
    QWidget *tableViewViewForTableColumn(VelquorTableView *tableView, VelquorTableColumn *column, qint64 row) override
    {
        auto *cell = qobject_cast<VelquorTableCellView *>(tableView->makeViewWithIdentifier(column->identifier()));
        if (!cell) {
            cell = new VelquorTableCellView;
            cell->setObjectName(column->identifier());
            cell->textField1()->setEditable(false);
        }
        const Software &software = m_rows.at(row);
        const int index = tableView->columnWithIdentifier(column->identifier());
        const QStringList texts{QString::asprintf("%03lld", row + 1), software.vehicle, software.version,
                                software.languages, QString()};
        cell->setText(texts.value(index));
        cell->imageView1()->setPixmap(VelquorImages::named(software.ticked ? "element_check_on" : "element_check_off"));
        cell->setShowImage(index == 0);
        return cell;
    }

    VelquorTableView *table;

private:
    QList<Software> m_rows;
};

const QList<Software> kInstalled{{"OS-SOFTWARE", "V12.34", "", false},
                                 {"BMW", "V31.50", "EN|DE|FR", true},
                                 {"TOYOTA", "V20.11", "EN/JP", false},
                                 {"VW", "V44.02", "EN|DE", true}};

QList<Software> allTicked()
{
    QList<Software> rows = kInstalled;
    for (Software &row : rows)
        row.ticked = true;
    return rows;
}

} // namespace

VELQUOR_SHOTS(registry)
{
    registry.add("table", "rows", [] { return std::make_unique<TableHost>(kInstalled); });
    registry.add("table", "empty", [] { return std::make_unique<TableHost>(QList<Software>{}); });
    registry.add("table", "all-ticked", [] { return std::make_unique<TableHost>(allTicked()); });
    registry.add(
        "table", "row-selected", [] { return std::make_unique<TableHost>(kInstalled); },
        [](QWidget *host) { static_cast<TableHost *>(host)->table->selectRowIndexes({1}, false); });
    registry.add(
        "table", "row-selected-no-highlight", [] { return std::make_unique<TableHost>(kInstalled); },
        [](QWidget *host) {
            auto *table = static_cast<TableHost *>(host)->table;
            table->setSelectionHighlightStyle(VelquorTableView::SelectionHighlightStyle::None);
            table->selectRowIndexes({1}, false);
        });
    registry.add(
        "table", "header-hovered", [] { return std::make_unique<TableHost>(kInstalled); },
        [](QWidget *host) { ShotKit::hover(static_cast<TableHost *>(host)->headerCell()->checkButton()); });

    registry.add("table", "row-view-selected", [] {
        auto host = ShotKit::page(QSize(300, 34));
        auto *row = new VelquorTableRowView(host.get());
        row->setGeometry(host->rect());
        row->setSelected(true);
        return host;
    });
    for (bool emphasized : {false, true})
        registry.add("table", emphasized ? "cell-emphasized" : "cell-with-image", [emphasized] {
            auto host = ShotKit::page(QSize(160, 34));
            auto *cell = new VelquorTableCellView(host.get());
            cell->setGeometry(host->rect());
            cell->setShowImage(true);
            cell->imageView1()->setPixmap(VelquorImages::named("element_check_on"));
            cell->textField1()->setText("001");
            if (emphasized)
                cell->setBackgroundStyle(VelquorTableCellView::BackgroundStyle::Emphasized);
            return host;
        });
}

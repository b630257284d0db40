#include "account/VelquorSoftwareManagementView.h"

#include "account/VelquorAccountConstants.h"
#include "account/VelquorFieldCaption.h"
#include "account/VelquorInstalledListBuilder.h"
#include "account/VelquorPageAlert.h"
#include "account/VelquorSoftwareUninstaller.h"
#include "controls/VelquorButton.h"
#include "controls/VelquorImages.h"
#include "controls/VelquorSearchField.h"
#include "controls/VelquorTableCellView.h"
#include "controls/VelquorTableColumn.h"
#include "controls/VelquorTableHeaderCell.h"
#include "controls/VelquorTableView.h"
#include "core/VelquorCommonTool.h"
#include "core/VelquorDownloadManager.h"
#include "platform/DispatchQueue.h"
#include "platform/NotificationCenter.h"
#include "session/VelquorShellStyle.h"

#include <QLabel>
#include <QProgressBar>
#include <QSet>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kTableSide = 10;
constexpr int kTableTop = 20;
constexpr int kButtonWidth = 130;
constexpr int kButtonHeight = 48;
constexpr int kButtonRight = 15;
constexpr int kButtonBottom = 20;
constexpr int kBarWidth = 300;
constexpr int kBarHeight = 20;
constexpr int kLabelWidth = 60;
constexpr int kRowGap = 10;
// Widths of the first four columns; the last takes what the page has left.
constexpr int kColumnWidths[] = {120, 240, 480, 120};

enum Column { ItemColumn = 0, VehicleColumn = 1, VersionColumn = 2, LanguageColumn = 3, EmptyColumn = 4 };

QString text(const QString &key)
{
    return VelquorCommonTool::sharedTool().localizedString(key);
}

VelquorDownloadManager &downloadManager()
{
    return VelquorDownloadManager::sharedManager();
}

} // namespace

VelquorSoftwareManagementView::VelquorSoftwareManagementView(QWidget *parent)
    : QWidget(parent), m_updateListQueue(std::make_unique<DispatchQueue>(VelquorAccount::kUpdateListQueueLabel))
{
    setupUI();
}

VelquorSoftwareManagementView::~VelquorSoftwareManagementView()
{
    if (m_tableView) {
        m_tableView->setDataSource(nullptr);
        m_tableView->setExtendedDelegate(nullptr);
    }
    if (m_headerCell)
        m_headerCell->setDelegate(nullptr);
}

void VelquorSoftwareManagementView::setupUI()
{
    VelquorFieldCaption::paintPageGround(this);

    m_tableView = new VelquorTableView(this);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setFrameShape(QFrame::Box);
    m_tableView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tableView->setRowHeight(kRowHeight);
    m_tableView->setAllowsMultipleSelection(true);
    m_tableView->setBackgroundColor(Qt::white);
    m_tableView->setGridStyleMask(VelquorTableView::SolidHorizontalGridLine | VelquorTableView::SolidVerticalGridLine);

    m_uninstallButton = new VelquorButton(this);
    m_uninstallButton->setObjectName(QStringLiteral("uninstallButton"));

    m_totalProgressIndicator = new QProgressBar(this);
    m_totalProgressIndicator->setObjectName(QStringLiteral("totalProgressIndicator"));
    m_totalProgressIndicator->setRange(0, 100);
    m_totalProgressIndicator->setValue(0);
    m_totalProgressIndicator->setTextVisible(false);
    QPalette barColours = m_totalProgressIndicator->palette();
    barColours.setColor(QPalette::Highlight, QColor(0, 0, 255));
    m_totalProgressIndicator->setPalette(barColours);
    m_totalProgressIndicator->hide();

    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    m_progressLabel->setTextFormat(Qt::PlainText);
    m_progressLabel->setWordWrap(true);
    m_progressLabel->setFont(VelquorShellStyle::systemFont(VelquorFieldCaption::kFontSize));
    m_progressLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette labelColours = m_progressLabel->palette();
    labelColours.setColor(QPalette::WindowText, Qt::black);
    m_progressLabel->setPalette(labelColours);
    m_progressLabel->hide();

    configData();
}

void VelquorSoftwareManagementView::configData()
{
    VelquorFieldCaption::configButton(m_uninstallButton, text(QStringLiteral("Uninstall")));
    connect(m_uninstallButton, &QPushButton::clicked, this, &VelquorSoftwareManagementView::unInstallAction);

    // Each column is known by its title; the last one, without a title, as "Empty".
    m_columnIdentifiers = {text(QStringLiteral("Update1")), text(QStringLiteral("Update2")),
                           text(QStringLiteral("Update3")), text(QStringLiteral("Update4")), QStringLiteral("Empty")};
    for (int i = 0; i < m_columnIdentifiers.size(); ++i) {
        const QString title = i == EmptyColumn ? QString() : m_columnIdentifiers.at(i);
        VelquorTableColumn *column =
            m_tableView->addTableColumn(m_columnIdentifiers.at(i), title, i < EmptyColumn ? kColumnWidths[i] : 100);
        auto *header = new VelquorTableHeaderCell(title);
        header->setShowImage(i == ItemColumn);
        column->setHeaderCell(header);
        if (i == ItemColumn) {
            header->setDelegate(this);
            m_headerCell = header;
        }
    }
    m_tableView->setDataSource(this);
    m_tableView->setExtendedDelegate(this);
    m_tableView->reloadData();

    // One uninstall queue for every page and run.
    if (!downloadManager().unInstallSerialQueue())
        downloadManager().setUnInstallSerialQueue(std::make_shared<DispatchQueue>(VelquorAccount::kUnInstallQueueLabel));
}

void VelquorSoftwareManagementView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutSubviews();
}

void VelquorSoftwareManagementView::layoutSubviews()
{
    // As wide as designed unless its title needs more; the bar and its text keep to its left.
    const int buttonWidth = qMax(kButtonWidth, m_uninstallButton->widthForTitle(m_uninstallButton->text()));
    const int buttonX = width() - kButtonRight - buttonWidth;
    const int buttonY = height() - kButtonBottom - kButtonHeight;
    m_uninstallButton->setGeometry(buttonX, buttonY, buttonWidth, kButtonHeight);
    const int labelX = buttonX - kRowGap * 2 - kLabelWidth;
    m_progressLabel->setGeometry(labelX, buttonY, kLabelWidth, kButtonHeight);
    m_totalProgressIndicator->setGeometry(labelX - kRowGap - kBarWidth, buttonY + (kButtonHeight - kBarHeight) / 2,
                                          kBarWidth, kBarHeight);
    m_tableView->setGeometry(kTableSide, kTableTop, width() - 2 * kTableSide, buttonY - kButtonBottom - kTableTop);

    fillEmptyColumn();
}

void VelquorSoftwareManagementView::fillEmptyColumn()
{
    // The last column fills the table's width, leaving room for a vertical scroll bar, so the
    // columns need a horizontal one only when the user widened them past the table. The others
    // keep the widths the user dragged them to.
    const int scrollBar = m_tableView->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_tableView);
    const QList<VelquorTableColumn *> columns = m_tableView->tableColumns();
    qreal used = 0;
    for (int i = 0; i < EmptyColumn; ++i)
        used += columns.at(i)->width();
    columns.at(EmptyColumn)->setWidth(qMax<qreal>(0, m_tableView->contentsRect().width() - scrollBar - used));
}

// ---------------------------------------------------------------------------------------------
// Rows

VelquorSoftwareManagementList VelquorSoftwareManagementView::listModels() const
{
    return downloadManager().listModels();
}

void VelquorSoftwareManagementView::updateTableView()
{
    if (downloadManager().unInstalling())
        return;
    const QPointer<VelquorSoftwareManagementView> self(this);
    const quint64 generation = m_listGeneration;
    m_updateListQueue->async([self, generation] {
        const std::optional<VelquorSoftwareManagementList> rows = VelquorInstalledListBuilder().buildList();
        if (!rows)
            return;
        DispatchQueue::main().async([self, generation, rows = *rows] {
            // Dropped when the card went meanwhile, or when an uninstall run started: its end rebuilds.
            if (!self || generation != self->m_listGeneration || downloadManager().unInstalling())
                return;
            self->reloadListModels(rows);
        });
    });
}

void VelquorSoftwareManagementView::reloadListModels(const VelquorSoftwareManagementList &rows)
{
    // Showing the tab asks for two rebuilds, and the second may land after the user's first
    // click: a row still listed for the same folders keeps its tick, or the uninstall press that
    // follows would find nothing ticked and do nothing.
    QSet<QString> ticked;
    for (const VelquorSoftwareManagementListModelPtr &row : listModels()) {
        if (row->isSelected())
            ticked.insert(row->vehicle() + QLatin1Char('\n') + row->path());
    }
    for (const VelquorSoftwareManagementListModelPtr &row : rows)
        row->setSelected(ticked.contains(row->vehicle() + QLatin1Char('\n') + row->path()));
    // The highlighted rows of the old list mean nothing for the new one.
    m_tableView->deselectAll();
    downloadManager().setListModels(rows);
    m_tableView->reloadData();
    updateHeaderCellSelectedState();
}

void VelquorSoftwareManagementView::removeAllData()
{
    ++m_listGeneration;
    reloadListModels({});
}

bool VelquorSoftwareManagementView::selectAll() const
{
    const VelquorSoftwareManagementList rows = listModels();
    return !rows.isEmpty() && std::all_of(rows.begin(), rows.end(), [](const auto &row) { return row->isSelected(); });
}

void VelquorSoftwareManagementView::updateHeaderCellSelectedState()
{
    m_headerCell->setSelected(selectAll());
    QList<qint64> rows;
    for (qint64 row = 0; row < m_tableView->numberOfRows(); ++row)
        rows.append(row);
    m_tableView->reloadDataForRowIndexes(rows, {ItemColumn});
}

// ---------------------------------------------------------------------------------------------
// Table

qint64 VelquorSoftwareManagementView::numberOfRowsInTableView(VelquorTableView *)
{
    return listModels().size();
}

qreal VelquorSoftwareManagementView::tableViewHeightOfRow(VelquorTableView *, qint64)
{
    return kRowHeight;
}

QString VelquorSoftwareManagementView::cellText(int column, qint64 row) const
{
    const VelquorSoftwareManagementList rows = listModels();
    if (row < 0 || row >= rows.size())
        return {};
    const VelquorSoftwareManagementListModelPtr &model = rows.at(row);
    switch (column) {
    case ItemColumn:
        return QString::asprintf("%03lld", row + 1);
    case VehicleColumn:
        return model->vehicle();
    case VersionColumn:
        return model->version();
    case LanguageColumn:
        return VelquorCommonTool::isUsableText(model->cardLanguages()) ? model->cardLanguages() : model->language();
    default:
        return {};
    }
}

QWidget *VelquorSoftwareManagementView::tableViewViewForTableColumn(VelquorTableView *tableView,
                                                                    VelquorTableColumn *column, qint64 row)
{
    const QString identifier = column->identifier();
    auto *cell = qobject_cast<VelquorTableCellView *>(tableView->makeViewWithIdentifier(identifier));
    if (!cell) {
        cell = new VelquorTableCellView;
        cell->setObjectName(identifier);
        cell->textField1()->setEditable(false);
    }
    const VelquorSoftwareManagementList rows = listModels();
    if (row < 0 || row >= rows.size())
        return cell;
    const int index = int(m_columnIdentifiers.indexOf(identifier));
    // Names come from the service and the card: a line edit shows them as the plain text they are.
    cell->setText(cellText(index, row));
    cell->imageView1()->setPixmap(VelquorImages::named(
        rows.at(row)->isSelected() ? QStringLiteral("element_check_on") : QStringLiteral("element_check_off")));
    cell->setShowImage(index == ItemColumn);
    return cell;
}

QString VelquorSoftwareManagementView::tableViewTypeSelectStringForTableColumn(VelquorTableView *,
                                                                               VelquorTableColumn *column, qint64 row)
{
    // A typed name finds a software by its name, never by its row number, version or languages.
    if (m_columnIdentifiers.indexOf(column->identifier()) != VehicleColumn)
        return {};
    return cellText(VehicleColumn, row);
}

void VelquorSoftwareManagementView::tableViewColumnDidResize(VelquorTableView *, VelquorTableColumn *column)
{
    if (m_columnIdentifiers.indexOf(column->identifier()) != EmptyColumn)
        fillEmptyColumn();
}

void VelquorSoftwareManagementView::tableViewDidClickedRow(VelquorTableView *, qint64 row)
{
    // The tick is the clicked row's alone: with or without a modifier, whatever the click did to the
    // highlight, and whatever else is highlighted (by typing a name or by earlier clicks).
    const VelquorSoftwareManagementList rows = listModels();
    if (row >= 0 && row < rows.size())
        rows.at(row)->setSelected(!rows.at(row)->isSelected());
    updateHeaderCellSelectedState();
}

void VelquorSoftwareManagementView::softwareManagementTableHeaderClickButton(VelquorTableHeaderCell *headerCell,
                                                                             VelquorButton *)
{
    const bool all = headerCell->checkButton()->state() == 1;
    for (const VelquorSoftwareManagementListModelPtr &row : listModels())
        row->setSelected(all);
    updateHeaderCellSelectedState();
}

// ---------------------------------------------------------------------------------------------
// Uninstall

void VelquorSoftwareManagementView::unInstallAction()
{
    if (downloadManager().unInstalling())
        return;
    QList<VelquorSoftwareUninstaller::Row> rows;
    for (const VelquorSoftwareManagementListModelPtr &row : listModels()) {
        if (row->isSelected())
            rows.append({row->vehicle(), row->path()});
    }
    if (rows.isEmpty())
        return;
    downloadManager().setUnInstalling(true);
    // Each run starts from an empty bar.
    m_totalProgressIndicator->reset();
    unInstallProgress(0);

    const QPointer<VelquorSoftwareManagementView> self(this);
    downloadManager().unInstallSerialQueue()->async([self, rows] {
        const QStringList notRemoved = VelquorSoftwareUninstaller().unInstallRows(rows, [self](double fraction) {
            DispatchQueue::main().async([self, fraction] {
                if (self)
                    self->unInstallProgress(fraction);
                else if (fraction >= 1)
                    downloadManager().setUnInstalling(false);
            });
        });
        DispatchQueue::main().async([self, notRemoved] {
            if (self)
                self->unInstallFinished(notRemoved);
        });
    });
}

void VelquorSoftwareManagementView::unInstallProgress(double fraction)
{
    const double percent = fraction * 100;
    const bool running = fraction < 1;
    downloadManager().setUnInstalling(running);
    m_progressLabel->setText(QString::asprintf("%.0f%%", percent));
    m_progressLabel->setVisible(running);
    m_totalProgressIndicator->setVisible(running);
    m_totalProgressIndicator->setValue(qRound(percent));
}

void VelquorSoftwareManagementView::removeSofoware(bool vehicleDeleted)
{
    NotificationCenter::workspace().post(vehicleDeleted ? VelquorAccount::kDeleteCarInfoNotification
                                                        : VelquorAccount::kDeleteSofoNotification);
}

void VelquorSoftwareManagementView::unInstallFinished(const QStringList &notRemoved)
{
    removeSofoware(true);
    updateTableView();
    if (notRemoved.isEmpty()) {
        VelquorPageAlert::show(this, text(QStringLiteral("Installed1")), QString(), QStringLiteral("Update26"));
        return;
    }
    // What stayed on the card is named, so the user knows the run did not do all it was asked.
    VelquorPageAlert::show(this, text(QStringLiteral("UninstallHint1")).arg(notRemoved.join(QStringLiteral(", "))),
                           QStringLiteral("warning"), QStringLiteral("Update26"));
}

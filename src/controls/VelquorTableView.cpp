#include "VelquorTableView.h"

#include "VelquorTableCellView.h"
#include "VelquorTableColumn.h"
#include "VelquorTableDocumentView.h"
#include "VelquorTableHeaderCell.h"
#include "VelquorTableHeaderView.h"
#include "VelquorTableRowView.h"
#include "VelquorTableViewDataSource.h"
#include "VelquorTableViewDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QtMath>

namespace {

// Rows the table makes itself are reused under this identifier.
const QString kDefaultRowIdentifier = QStringLiteral("VelquorTableDefaultRow");

} // namespace

const QColor VelquorTableView::kGridColor(0xDC, 0xDC, 0xDC);
const QColor VelquorTableView::kAlternatingRowColors[2] = {QColor(Qt::white), QColor(0xF4, 0xF5, 0xF5)};

VelquorTableView::VelquorTableView(QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    m_documentView = new VelquorTableDocumentView(this);
    setWidget(m_documentView);
    m_headerView = new VelquorTableHeaderView(this);
    layoutHeader();
    layoutDocument();
}

VelquorTableView::~VelquorTableView() = default;

void VelquorTableView::setDataSource(VelquorTableViewDataSource *dataSource)
{
    m_dataSource = dataSource;
}

VelquorTableColumn *VelquorTableView::addTableColumn(const QString &identifier, const QString &title, qreal width)
{
    auto column = std::make_unique<VelquorTableColumn>(this, identifier);
    VelquorTableColumn *added = column.get();
    m_columns.push_back(std::move(column));
    added->setTitle(title);
    added->setWidth(width);
    return added;
}

QList<VelquorTableColumn *> VelquorTableView::tableColumns() const
{
    QList<VelquorTableColumn *> columns;
    for (const auto &column : m_columns)
        columns.append(column.get());
    return columns;
}

VelquorTableColumn *VelquorTableView::tableColumnWithIdentifier(const QString &identifier) const
{
    const int index = columnWithIdentifier(identifier);
    return index < 0 ? nullptr : m_columns.at(index).get();
}

int VelquorTableView::columnWithIdentifier(const QString &identifier) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i)->identifier() == identifier)
            return int(i);
    return -1;
}

QWidget *VelquorTableView::documentView() const
{
    return m_documentView;
}

void VelquorTableView::recycle(QWidget *view)
{
    if (!view)
        return;
    view->hide();
    if (view->objectName().isEmpty()) {
        view->deleteLater();
        return;
    }
    view->setParent(m_documentView);
    view->hide();
    m_reusableViews[view->objectName()].append(view);
}

void VelquorTableView::recycleRow(Row &row)
{
    for (const auto &cell : std::as_const(row.cells))
        recycle(cell);
    row.cells.clear();
    recycle(row.view);
    row.view = nullptr;
}

QWidget *VelquorTableView::takeRetiringView(const QString &identifier)
{
    if (m_buildingRow < 0 || m_buildingRow >= m_retiringRows.size())
        return nullptr;
    Row &old = m_retiringRows[m_buildingRow];
    if (old.view && old.view->objectName() == identifier) {
        QWidget *view = old.view;
        old.view = nullptr;
        return view;
    }
    for (QPointer<QWidget> &cell : old.cells) {
        if (cell && cell->objectName() == identifier) {
            QWidget *view = cell;
            cell = nullptr;
            return view;
        }
    }
    return nullptr;
}

QWidget *VelquorTableView::makeViewWithIdentifier(const QString &identifier)
{
    if (QWidget *view = takeRetiringView(identifier))
        return view;
    auto found = m_reusableViews.find(identifier);
    if (found == m_reusableViews.end())
        return nullptr;
    while (!found->isEmpty()) {
        QWidget *view = found->takeLast();
        if (view)
            return view;
    }
    return nullptr;
}

void VelquorTableView::reloadData()
{
    // The old rows stay in place until the new ones are built, so each view the data source takes
    // again keeps its parent, position and visibility; only what is left over is put away.
    m_retiringRows = std::move(m_rows);
    m_rows.clear();
    const qint64 count = m_dataSource ? qMax<qint64>(0, m_dataSource->numberOfRowsInTableView(this)) : 0;
    m_rows.resize(count);
    qreal y = 0;
    for (qint64 i = 0; i < count; ++i) {
        m_buildingRow = i;
        buildRow(i, y);
        y += m_rows.at(i).height;
    }
    m_buildingRow = -1;
    // What the data source handed out again, by whatever means, now belongs to the new rows.
    QSet<QWidget *> inUse;
    for (const Row &row : std::as_const(m_rows)) {
        inUse.insert(row.view);
        for (const auto &cell : row.cells)
            inUse.insert(cell);
    }
    QList<Row> retired = std::move(m_retiringRows);
    m_retiringRows.clear();
    for (Row &row : retired) {
        for (const auto &cell : std::as_const(row.cells))
            if (!inUse.contains(cell))
                recycle(cell);
        if (!inUse.contains(row.view))
            recycle(row.view);
    }
    layoutDocument();
    m_documentView->update();

    std::set<qint64> kept;
    for (qint64 row : m_selection)
        if (row < count)
            kept.insert(row);
    if (m_anchorRow >= count)
        m_anchorRow = -1;
    // A press in progress on a row that is gone must not report it on release.
    if (m_pressedRow >= count)
        m_pressedRow = -1;
    // Every row, selected or not: a cell may come back from a row that was selected when it went.
    for (qint64 row = 0; row < count; ++row)
        showSelection(row);
    applySelection(kept, true);
}

void VelquorTableView::buildRow(qint64 index, qreal y)
{
    Row &row = m_rows[index];
    row.y = y;
    row.height = qMax<qreal>(0, m_dataSource->tableViewHeightOfRow(this, index));
    VelquorTableRowView *view = m_dataSource->tableViewRowViewForRow(this, index);
    if (view)
        QCoreApplication::removePostedEvents(view, QEvent::DeferredDelete);
    else {
        view = qobject_cast<VelquorTableRowView *>(makeViewWithIdentifier(kDefaultRowIdentifier));
        if (!view) {
            view = new VelquorTableRowView;
            view->setObjectName(kDefaultRowIdentifier);
        }
    }
    if (view->parentWidget() != m_documentView)
        view->setParent(m_documentView);
    view->setSelected(false);
    view->setSelectionHighlightStyle(
        static_cast<VelquorTableRowView::SelectionHighlightStyle>(static_cast<int>(m_selectionHighlightStyle)));
    row.view = view;
    applyRowBackground(index);
    row.cells.resize(int(m_columns.size()));
    for (int column = 0; column < int(m_columns.size()); ++column)
        row.cells[column] = placeCell(index, column);
    if (view->isHidden())
        view->show();
}

void VelquorTableView::applyRowBackground(qint64 row)
{
    if (!m_usesAlternatingRowBackgroundColors || row < 0 || row >= m_rows.size() || !m_rows.at(row).view)
        return;
    m_rows.at(row).view->setBackgroundColor(kAlternatingRowColors[row % 2]);
}

void VelquorTableView::setUsesAlternatingRowBackgroundColors(bool uses)
{
    m_usesAlternatingRowBackgroundColors = uses;
    for (qint64 i = 0; i < m_rows.size(); ++i)
        applyRowBackground(i);
}

void VelquorTableView::scrollRowToVisible(qint64 row)
{
    const QRectF rect = rectOfRow(row);
    if (rect.isNull())
        return;
    QScrollBar *bar = verticalScrollBar();
    const int top = qFloor(rect.top());
    const int bottom = qCeil(rect.bottom());
    const int visible = viewport()->height();
    if (top < bar->value() || bottom - top > visible)
        bar->setValue(top);
    else if (bottom > bar->value() + visible)
        bar->setValue(bottom - visible);
}

QWidget *VelquorTableView::placeCell(qint64 row, int column)
{
    QWidget *cell = m_dataSource->tableViewViewForTableColumn(this, m_columns.at(column).get(), row);
    if (!cell)
        return nullptr;
    // A view the table was about to throw away but which the data source hands out again stays.
    QCoreApplication::removePostedEvents(cell, QEvent::DeferredDelete);
    VelquorTableRowView *rowView = m_rows.at(row).view;
    if (cell->parentWidget() != rowView)
        cell->setParent(rowView);
    if (cell->isHidden())
        cell->show();
    return cell;
}

void VelquorTableView::reloadDataForRowIndexes(const QList<qint64> &rows, const QList<int> &columns)
{
    if (!m_dataSource)
        return;
    for (qint64 row : rows) {
        if (row < 0 || row >= m_rows.size() || !m_rows.at(row).view)
            continue;
        for (int column : columns) {
            if (column < 0 || column >= int(m_columns.size()))
                continue;
            // A column added since the last full reload has no cell in this row yet.
            if (column >= m_rows[row].cells.size())
                m_rows[row].cells.resize(column + 1);
            // Handed back first, so the data source gets the same view from makeViewWithIdentifier.
            recycle(m_rows[row].cells.value(column));
            m_rows[row].cells[column] = placeCell(row, column);
        }
        showSelection(row);
    }
    layoutDocument();
}

QWidget *VelquorTableView::viewAtColumn(int column, qint64 row) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_rows.at(row).cells.size())
        return nullptr;
    return m_rows.at(row).cells.at(column);
}

VelquorTableRowView *VelquorTableView::rowViewAtRow(qint64 row) const
{
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    return m_rows.at(row).view;
}

qint64 VelquorTableView::rowAtPoint(const QPointF &point) const
{
    if (point.x() < 0 || point.x() >= m_documentView->width())
        return -1;
    for (qint64 i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        if (point.y() >= row.y && point.y() < row.y + row.height)
            return i;
    }
    return -1;
}

QRectF VelquorTableView::rectOfRow(qint64 row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return {0, m_rows.at(row).y, qreal(m_documentView->width()), m_rows.at(row).height};
}

qreal VelquorTableView::totalColumnWidth() const
{
    qreal total = 0;
    for (const auto &column : m_columns)
        total += column->width();
    return total;
}

void VelquorTableView::layoutDocument()
{
    qreal contentHeight = 0;
    for (const Row &row : std::as_const(m_rows))
        contentHeight += row.height;
    const QSize viewportSize = viewport()->size();
    const int documentWidth = qMax(qCeil(totalColumnWidth()), viewportSize.width());
    const int documentHeight = qMax(qCeil(contentHeight), viewportSize.height());
    m_documentView->resize(documentWidth, documentHeight);
    for (const Row &row : std::as_const(m_rows)) {
        if (!row.view)
            continue;
        row.view->setGeometry(QRectF(0, row.y, documentWidth, row.height).toRect());
        qreal x = 0;
        for (int column = 0; column < int(m_columns.size()); ++column) {
            const qreal width = m_columns.at(column)->width();
            if (QWidget *cell = row.cells.value(column))
                cell->setGeometry(QRectF(x, 0, width, row.height).toRect());
            x += width;
        }
    }
}

void VelquorTableView::layoutHeader()
{
    const int header = m_headerVisible ? m_headerHeight : 0;
    setViewportMargins(0, header, 0, 0);
    const QRect area = viewport()->geometry();
    m_headerView->setGeometry(area.x(), area.y() - header, area.width(), header);
    m_headerView->setVisible(m_headerVisible);
    m_headerView->layoutCells();
}

void VelquorTableView::columnsDidChange()
{
    layoutHeader();
    layoutDocument();
    m_documentView->update();
}

void VelquorTableView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    layoutHeader();
    layoutDocument();
}

void VelquorTableView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    if (dx != 0)
        m_headerView->layoutCells();
}

void VelquorTableView::setSelectionHighlightStyle(SelectionHighlightStyle style)
{
    m_selectionHighlightStyle = style;
    for (qint64 i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).view)
            m_rows.at(i).view->setSelectionHighlightStyle(
                static_cast<VelquorTableRowView::SelectionHighlightStyle>(static_cast<int>(style)));
        showSelection(i);
    }
}

void VelquorTableView::setRowHeight(qreal height)
{
    m_rowHeight = height;
}

void VelquorTableView::setGridStyleMask(int mask)
{
    m_gridStyleMask = mask;
    m_documentView->update();
}

void VelquorTableView::setGridColor(const QColor &color)
{
    m_gridColor = color;
    m_documentView->update();
}

void VelquorTableView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    m_documentView->update();
}

void VelquorTableView::setHeaderHeight(int height)
{
    m_headerHeight = qMax(0, height);
    layoutHeader();
    layoutDocument();
}

void VelquorTableView::setHeaderVisible(bool visible)
{
    m_headerVisible = visible;
    layoutHeader();
    layoutDocument();
}

void VelquorTableView::drawBackgroundAndGrid(QPainter &painter, const QRect &dirty)
{
    painter.fillRect(dirty, m_backgroundColor);
    if (m_gridStyleMask & SolidHorizontalGridLine) {
        for (const Row &row : std::as_const(m_rows))
            painter.fillRect(QRectF(0, row.y + row.height - 1, m_documentView->width(), 1), m_gridColor);
    }
    if (m_gridStyleMask & SolidVerticalGridLine) {
        qreal x = 0;
        for (const auto &column : m_columns) {
            x += column->width();
            painter.fillRect(QRectF(x - 1, 0, 1, m_documentView->height()), m_gridColor);
        }
    }
}

QList<qint64> VelquorTableView::selectedRowIndexes() const
{
    return QList<qint64>(m_selection.begin(), m_selection.end());
}

void VelquorTableView::selectRowIndexes(const QList<qint64> &rows, bool byExtendingSelection)
{
    std::set<qint64> selection = byExtendingSelection ? m_selection : std::set<qint64>();
    for (qint64 row : rows)
        if (row >= 0 && row < m_rows.size()) {
            selection.insert(row);
            if (!m_allowsMultipleSelection && !byExtendingSelection) {
                selection = {row};
                break;
            }
        }
    applySelection(selection, true);
}

void VelquorTableView::deselectAll()
{
    applySelection({}, true);
}

void VelquorTableView::applySelection(const std::set<qint64> &selection, bool notify)
{
    if (selection == m_selection)
        return;
    std::set<qint64> touched = m_selection;
    touched.insert(selection.begin(), selection.end());
    m_selection = selection;
    for (qint64 row : touched)
        showSelection(row);
    if (notify && m_dataSource)
        m_dataSource->tableViewSelectionDidChange(this);
}

void VelquorTableView::showSelection(qint64 row)
{
    if (row < 0 || row >= m_rows.size() || !m_rows.at(row).view)
        return;
    VelquorTableRowView *view = m_rows.at(row).view;
    const bool selected = isRowSelected(row);
    view->setSelected(selected);
    const bool emphasized =
        selected && view->isEmphasized() && m_selectionHighlightStyle != SelectionHighlightStyle::None;
    for (const auto &cell : m_rows.at(row).cells)
        if (auto *cellView = qobject_cast<VelquorTableCellView *>(cell.data()))
            cellView->setBackgroundStyle(emphasized ? VelquorTableCellView::BackgroundStyle::Emphasized
                                                    : VelquorTableCellView::BackgroundStyle::Normal);
}

void VelquorTableView::documentMousePressed(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    setFocus(Qt::MouseFocusReason);
    // The row is noted before the selection changes: the data source may reload on that change.
    const qint64 row = rowAtPoint(event->position());
    m_pressedRow = row;
    m_pressActive = true;

    std::set<qint64> selection = m_selection;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (row < 0) {
        selection.clear();
    } else if (m_allowsMultipleSelection && (modifiers & Qt::ControlModifier)) {
        if (!selection.erase(row))
            selection.insert(row);
        m_anchorRow = row;
    } else if (m_allowsMultipleSelection && (modifiers & Qt::ShiftModifier) && m_anchorRow >= 0) {
        for (qint64 i = qMin(m_anchorRow, row); i <= qMax(m_anchorRow, row); ++i)
            selection.insert(i);
    } else {
        selection = {row};
        m_anchorRow = row;
    }
    applySelection(selection, true);
}

void VelquorTableView::documentMouseReleased(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressActive) {
        event->ignore();
        return;
    }
    event->accept();
    m_pressActive = false;
    const qint64 row = m_pressedRow;
    m_pressedRow = -1;
    if (row != -1 && m_extendedDelegate)
        m_extendedDelegate->tableViewDidClickedRow(this, row);
}

void VelquorTableView::columnDidResize(VelquorTableColumn *column)
{
    if (m_dataSource)
        m_dataSource->tableViewColumnDidResize(this, column);
}

void VelquorTableView::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (printable && typeSelect(typed)) {
        event->accept();
        return;
    }
    QScrollArea::keyPressEvent(event);
}

bool VelquorTableView::typeSelect(const QString &typed)
{
    // As item views do: keys that follow each other quickly spell one name.
    if (!m_typedNameTimer.isValid() || m_typedNameTimer.elapsed() > QApplication::keyboardInputInterval())
        m_typedName.clear();
    m_typedNameTimer.start();
    m_typedName += typed;
    if (!m_dataSource)
        return false;
    for (qint64 row = 0; row < m_rows.size(); ++row) {
        for (const auto &column : m_columns) {
            const QString text = m_dataSource->tableViewTypeSelectStringForTableColumn(this, column.get(), row);
            if (text.isEmpty() || !text.startsWith(m_typedName, Qt::CaseInsensitive))
                continue;
            selectRowIndexes({row}, false);
            m_anchorRow = row;
            scrollRowToVisible(row);
            return true;
        }
    }
    return false;
}

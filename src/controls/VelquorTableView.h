#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QScrollArea>

#include <memory>
#include <set>
#include <vector>

class VelquorTableColumn;
class VelquorTableDocumentView;
class VelquorTableHeaderView;
class VelquorTableRowView;
class VelquorTableViewDataSource;
class VelquorTableViewDelegate;

// A list of rows made of widgets, under a header of columns. The data source supplies the rows
// and the view of each cell (and optionally of each row); cells and rows can be buttons, texts,
// progress bars or anything else. A click on a row first changes the selection (telling the data
// source), and when the button is released the extended delegate is told which row was pressed;
// a click under the last row clears the selection and reports nothing. Rows show once reloadData has
// run; views without an objectName are deleted when the table no longer shows them.
//
// Typing a name selects the first row with a cell whose type-select string (the data source's)
// starts with it, ignoring letter case; keys typed within the platform's keyboard input interval
// make one name. The data source is told of that selection change, but it is no click: nothing is
// reported to the extended delegate. Dragging a border in the header resizes the column on its
// left; the data source is told.
//
// A reload offers each row the views it showed before (makeViewWithIdentifier hands row i the view
// of the old row i first), so reloading the same rows moves, hides and reparents nothing: a press on
// a row, or on a button inside it, still ends in its click when the table reloads meanwhile.
class VelquorTableView : public QScrollArea
{
    Q_OBJECT
public:
    enum GridStyle { GridNone = 0, SolidVerticalGridLine = 1, SolidHorizontalGridLine = 2 };
    enum class SelectionHighlightStyle { None = -1, Regular = 0 };

    explicit VelquorTableView(QWidget *parent = nullptr);
    ~VelquorTableView() override;

    // Neither is owned; each must outlive the table or be unset first.
    VelquorTableViewDataSource *dataSource() const { return m_dataSource; }
    void setDataSource(VelquorTableViewDataSource *dataSource);
    VelquorTableViewDelegate *extendedDelegate() const { return m_extendedDelegate; }
    void setExtendedDelegate(VelquorTableViewDelegate *delegate) { m_extendedDelegate = delegate; }

    // Columns, left to right.
    VelquorTableColumn *addTableColumn(const QString &identifier, const QString &title = {}, qreal width = 100);
    QList<VelquorTableColumn *> tableColumns() const;
    VelquorTableColumn *tableColumnWithIdentifier(const QString &identifier) const;
    int columnWithIdentifier(const QString &identifier) const;

    // Asks the data source for everything again; the selection keeps the rows that still exist.
    void reloadData();
    // Asks again only for the given cells.
    void reloadDataForRowIndexes(const QList<qint64> &rows, const QList<int> &columns);
    // A view with this objectName that the table no longer shows, or none. During a reload the
    // view the same row showed before comes first.
    QWidget *makeViewWithIdentifier(const QString &identifier);
    // Scrolls the least needed to show the whole row (its top when it is taller than the view).
    void scrollRowToVisible(qint64 row);

    qint64 numberOfRows() const { return m_rows.size(); }
    QWidget *viewAtColumn(int column, qint64 row) const;
    VelquorTableRowView *rowViewAtRow(qint64 row) const;
    // The row under a point of the rows' surface (documentView coordinates); -1 under the last row.
    qint64 rowAtPoint(const QPointF &point) const;
    QRectF rectOfRow(qint64 row) const;
    QWidget *documentView() const;

    QList<qint64> selectedRowIndexes() const;
    bool isRowSelected(qint64 row) const { return m_selection.count(row) > 0; }
    void selectRowIndexes(const QList<qint64> &rows, bool byExtendingSelection);
    void deselectAll();
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows) { m_allowsMultipleSelection = allows; }
    SelectionHighlightStyle selectionHighlightStyle() const { return m_selectionHighlightStyle; }
    void setSelectionHighlightStyle(SelectionHighlightStyle style);

    qreal rowHeight() const { return m_rowHeight; }
    void setRowHeight(qreal height);
    int gridStyleMask() const { return m_gridStyleMask; }
    void setGridStyleMask(int mask);
    QColor gridColor() const { return m_gridColor; }
    void setGridColor(const QColor &color);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    // Rows take turns of the two alternating colours (even rows the first) as their background.
    bool usesAlternatingRowBackgroundColors() const { return m_usesAlternatingRowBackgroundColors; }
    void setUsesAlternatingRowBackgroundColors(bool uses);
    static const QColor kAlternatingRowColors[2];

    VelquorTableHeaderView *headerView() const { return m_headerView; }
    int headerHeight() const { return m_headerHeight; }
    void setHeaderHeight(int height);
    bool isHeaderVisible() const { return m_headerVisible; }
    void setHeaderVisible(bool visible);

    static const QColor kGridColor;

    // Called by the columns and the document view.
    void columnsDidChange();
    void drawBackgroundAndGrid(QPainter &painter, const QRect &dirty);
    void documentMousePressed(QMouseEvent *event);
    void documentMouseReleased(QMouseEvent *event);
    // Called by the header when the user dragged a column to a new width.
    void columnDidResize(VelquorTableColumn *column);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Row
    {
        QPointer<VelquorTableRowView> view;
        QList<QPointer<QWidget>> cells;
        qreal y = 0;
        qreal height = 0;
    };

    void buildRow(qint64 index, qreal y);
    QWidget *placeCell(qint64 row, int column);
    void recycle(QWidget *view);
    void recycleRow(Row &row);
    QWidget *takeRetiringView(const QString &identifier);
    void applyRowBackground(qint64 row);
    void layoutDocument();
    void layoutHeader();
    void applySelection(const std::set<qint64> &selection, bool notify);
    void showSelection(qint64 row);
    bool typeSelect(const QString &typed);
    qreal totalColumnWidth() const;

    VelquorTableViewDataSource *m_dataSource = nullptr;
    VelquorTableViewDelegate *m_extendedDelegate = nullptr;
    std::vector<std::unique_ptr<VelquorTableColumn>> m_columns;
    QList<Row> m_rows;
    // While a reload builds its rows: the rows shown before it, and the row being built.
    QList<Row> m_retiringRows;
    qint64 m_buildingRow = -1;
    QHash<QString, QList<QPointer<QWidget>>> m_reusableViews;
    std::set<qint64> m_selection;
    qint64 m_anchorRow = -1;
    qint64 m_pressedRow = -1;
    // The name typed so far, and when its last key came.
    QString m_typedName;
    QElapsedTimer m_typedNameTimer;
    bool m_pressActive = false;
    bool m_allowsMultipleSelection = false;
    SelectionHighlightStyle m_selectionHighlightStyle = SelectionHighlightStyle::Regular;
    qreal m_rowHeight = 24;
    int m_gridStyleMask = GridNone;
    QColor m_gridColor = kGridColor;
    QColor m_backgroundColor = Qt::white;
    bool m_usesAlternatingRowBackgroundColors = false;
    int m_headerHeight = 28;
    bool m_headerVisible = true;
    VelquorTableDocumentView *m_documentView;
    VelquorTableHeaderView *m_headerView;
};

#pragma once

#include <QHeaderView>

class QStandardItemModel;
class VelquorTableView;

// The header strip above a VelquorTableView's rows: white, with each column's header cell (or,
// for a column without one, its plain title), scrolled sideways with the rows. The user drags a
// border between two titles to resize the column on its left; the header cells sit in the
// viewport and leave the border's line to it, so a press there reaches the section handle.
class VelquorTableHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit VelquorTableHeaderView(VelquorTableView *tableView);

    // Places the header cells for the current columns and horizontal scroll offset.
    void layoutCells();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void columnResized(int column, int oldWidth, int newWidth);

    VelquorTableView *m_tableView;
    // Only the number of sections: the columns themselves live on the table.
    QStandardItemModel *m_sections;
    bool m_syncing = false;
};

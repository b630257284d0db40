#pragma once

#include <QWidget>

class VelquorTableView;

// The header strip above a VelquorTableView's rows: white, with each column's header cell (or,
// for a column without one, its plain title), scrolled sideways with the rows.
class VelquorTableHeaderView : public QWidget
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
    VelquorTableView *m_tableView;
};

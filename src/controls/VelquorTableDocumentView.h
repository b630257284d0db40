#pragma once

#include <QWidget>

class VelquorTableView;

// The scrolled surface of a VelquorTableView: holds the row views, paints the background and
// the grid, and hands every click that no row content takes to the table.
class VelquorTableDocumentView : public QWidget
{
    Q_OBJECT
public:
    explicit VelquorTableDocumentView(VelquorTableView *tableView);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    VelquorTableView *m_tableView;
};

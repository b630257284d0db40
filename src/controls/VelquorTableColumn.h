#pragma once

#include "VelquorTableHeaderCell.h"

#include <QPointer>
#include <QString>

class VelquorTableView;

// One column of a VelquorTableView: identifier, header title, width and an optional header cell.
// Made and owned by the table (addTableColumn).
class VelquorTableColumn
{
public:
    VelquorTableColumn(VelquorTableView *tableView, const QString &identifier);

    VelquorTableView *tableView() const { return m_tableView; }
    QString identifier() const { return m_identifier; }

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    qreal width() const { return m_width; }
    void setWidth(qreal width);

    // A header cell replaces the plain title in the header; the table takes it over.
    VelquorTableHeaderCell *headerCell() const { return m_headerCell; }
    void setHeaderCell(VelquorTableHeaderCell *headerCell);

private:
    VelquorTableView *m_tableView;
    QString m_identifier;
    QString m_title;
    qreal m_width = 100;
    QPointer<VelquorTableHeaderCell> m_headerCell;
};

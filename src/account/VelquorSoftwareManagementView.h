#pragma once

#include "controls/VelquorButton.h"
#include "controls/VelquorTableHeaderCell.h"
#include "controls/VelquorTableHeaderCellDelegate.h"
#include "controls/VelquorTableView.h"
#include "controls/VelquorTableViewDataSource.h"
#include "controls/VelquorTableViewDelegate.h"
#include "core/VelquorSoftwareManagementListModel.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QStringList>
#include <QWidget>

#include <memory>

class DispatchQueue;

// The software-management page: the fourth tab of the main view. Lists the software installed on
// the chosen card (its operating software, then each installed vehicle with version and
// languages) and removes the rows the user ticks, with a progress bar under the table.
//
// The rows live in the download manager's listModels. A rebuild reads the card and the database
// on its own queue and hands the finished rows to the GUI thread, which swaps them in; an
// uninstall run works on the download manager's uninstall queue. The closing alert says which
// software could not be removed, if any.
class VelquorSoftwareManagementView : public QWidget,
                                      public VelquorTableViewDataSource,
                                      public VelquorTableViewDelegate,
                                      public VelquorTableHeaderCellDelegate
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 34;

    explicit VelquorSoftwareManagementView(QWidget *parent = nullptr);
    ~VelquorSoftwareManagementView() override;

    // Rebuilds the list of software installed on the chosen card (not while an uninstall runs).
    void updateTableView();
    // Empties the list (the card was removed).
    void removeAllData();
    // Shows these rows (the GUI-thread half of a rebuild).
    void reloadListModels(const VelquorSoftwareManagementList &rows);

    VelquorSoftwareManagementList listModels() const;
    // YES when the table has rows and every row is ticked.
    bool selectAll() const;
    void updateHeaderCellSelectedState();

    // Removes the ticked rows' software from the card and their records.
    void unInstallAction();
    // Shows an uninstall run's progress (0 to 1); at 1 the bar and label hide and the run is over.
    void unInstallProgress(double fraction);
    // Tells the updates page: YES, vehicles were deleted; NO, software was deleted.
    void removeSofoware(bool vehicleDeleted);

    VelquorTableView *tableView() const { return m_tableView; }
    VelquorTableHeaderCell *headerCell() const { return m_headerCell; }
    VelquorButton *uninstallButton() const { return m_uninstallButton; }
    QProgressBar *totalProgressIndicator() const { return m_totalProgressIndicator; }
    QLabel *progressLabel() const { return m_progressLabel; }
    // The text of a cell as the table shows it.
    QString cellText(int column, qint64 row) const;

    // --- Table.
    qint64 numberOfRowsInTableView(VelquorTableView *tableView) override;
    qreal tableViewHeightOfRow(VelquorTableView *tableView, qint64 row) override;
    QWidget *tableViewViewForTableColumn(VelquorTableView *tableView, VelquorTableColumn *column, qint64 row) override;
    QString tableViewTypeSelectStringForTableColumn(VelquorTableView *tableView, VelquorTableColumn *column,
                                                    qint64 row) override;
    void tableViewColumnDidResize(VelquorTableView *tableView, VelquorTableColumn *column) override;
    void tableViewDidClickedRow(VelquorTableView *tableView, qint64 row) override;
    void softwareManagementTableHeaderClickButton(VelquorTableHeaderCell *headerCell, VelquorButton *button) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupUI();
    void configData();
    void layoutSubviews();
    void fillEmptyColumn();
    void unInstallFinished(const QStringList &notRemoved);

    QPointer<VelquorTableView> m_tableView;
    QPointer<VelquorButton> m_uninstallButton;
    QPointer<VelquorTableHeaderCell> m_headerCell;
    QPointer<QProgressBar> m_totalProgressIndicator;
    QPointer<QLabel> m_progressLabel;
    QStringList m_columnIdentifiers;

    // Rebuilds run here one after the other.
    std::unique_ptr<DispatchQueue> m_updateListQueue;
    // Counts removeAllData calls: a rebuild that started before one is dropped.
    quint64 m_listGeneration = 0;
};

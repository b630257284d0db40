#pragma once

#include "core/VelquorVehicleFamilyModel.h"
#include "updates/VelquorVehicleRowContent.h"

#include <QHash>
#include <QList>
#include <QString>

class VelquorCommonTool;
class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;
class VelquorMyUpdatesListModel;

// The rows of the updates page: which packages of the device's update list are shown (installed
// and current ones are not), how the shown records are prepared for download, and how tall a row
// is. The shown rows live on the download manager (familyModels) and share their family models and
// records with the list model. GUI thread only: the rows and their records change nowhere else.
class VelquorVehicleRows
{
public:
    enum class Outcome {
        Untouched, // work is in progress: the rows and their progress stay as they are
        Shown,     // rows were built and prepared; the table shows them
        Hidden,    // no rows, or no card or device chosen: the table is hidden
    };

    VelquorVehicleRows(VelquorDownloadManager &downloadManager, VelquorDownloadDataBaseManager &database,
                       VelquorCommonTool &commonTool);

    // Rebuilds the shown rows from the list model. Unless forced, nothing changes while anything
    // downloads, waits, is paused, failed to download or waits for extraction, nor while an
    // operating-software update at the head of the list is under way.
    Outcome configDownload(const VelquorMyUpdatesListModel &list, bool force);

    // Something is queued for extraction, has a download record in state 1, 2, 3 or 5, or has its
    // parts joined.
    bool isBusy() const;
    // The device's product name contains one of the basic-series models.
    static bool isBasicSeriesDefaultProduct(const QString &productName);

    // The shown rows and one of them (an empty group outside them).
    QList<VelquorVehicleFamilyGroup> shownRows() const;
    bool isShownRow(qint64 row) const;
    // The row's content for the chosen product.
    VelquorVehicleRowContent content(const VelquorVehicleFamilyGroup &group) const;
    // Height of a row of `rows`: its text measured in the title font, plus 10; the fallback 120
    // when there are no rows.
    double rowHeight(const QList<VelquorVehicleFamilyGroup> &rows, qint64 row);
    // Measured height of any text in the row font, remembered per text (the rows are redrawn every
    // second with mostly the same texts).
    double textHeight(const QString &text, int pixelSize);

    // The product the rows are drawn for.
    QString productName() const { return m_productName; }
    void setProductName(const QString &productName) { m_productName = productName; }

private:
    bool keeps(const VelquorVehicleFamilyModelPtr &family) const;
    void prepare(const QList<VelquorVehicleFamilyGroup> &rows);

    VelquorDownloadManager &m_downloadManager;
    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
    QString m_productName;
    QHash<QString, double> m_measured;
};

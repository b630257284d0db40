#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class VelquorCommonTool;
class VelquorDownloadDataBaseManager;

// Removes installed software from the chosen card and forgets its records. Every removal goes
// through the card-path check: only what lies strictly inside the current card, reached without
// a symbolic link, is removed; anything else counts as not removed. A folder is marked unfinished on
// the card before anything of it goes, so the card itself says it is no longer whole until it is gone.
// Works on the card and the database; call it off the GUI thread.
class VelquorSoftwareUninstaller
{
public:
    struct Row
    {
        QString vehicle;
        QString path; // absolute directories on the card, joined with ";"
    };

    // The shared database and tool unless a test passes its own.
    explicit VelquorSoftwareUninstaller(VelquorDownloadDataBaseManager *database = nullptr,
                                        VelquorCommonTool *commonTool = nullptr);

    // Removes one row's software: every directory of the path (all are tried), or for the
    // operating software only the version file of the card's "Scan" directory. YES when nothing
    // of it is left on the card.
    bool unInstallSoftware(const QString &vehicle, const QString &path) const;

    // Removes each row in order (the operating software's first) and, for each row that is gone from
    // the card, its vehicle's records of the install and download tables. Once the card is no longer
    // the one the rows were marked on, nothing more is removed. `progress` gets the fraction done after each
    // row. Answers the vehicles that could not be removed (their records stay).
    QStringList unInstallRows(const QList<Row> &rows, const std::function<void(double)> &progress = {}) const;

private:
    // The row's directory as a checked path on the current card; empty when refused or missing.
    QString checkedCardDirectory(const QString &absolutePath) const;
    void markRow(const Row &row, const QString &token) const;
    // The rows' folders on the card that carry the token.
    QStringList markedFolders(const QList<Row> &rows, const QString &token) const;
    bool removeRow(const Row &row, const QString &token) const;
    bool removeSystemVersionFile() const;

    VelquorDownloadDataBaseManager &m_database;
    VelquorCommonTool &m_commonTool;
};

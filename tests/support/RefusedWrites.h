#pragma once

#include "core/VelquorDownloadDataBaseManager.h"

#include <QProcess>
#include <QString>

#include <SQLiteCpp/Database.h>

#include <memory>

// Makes a database file refuse every write, as a file turned read-only under the running
// application does: the file and its write-ahead log immutable where the file system and the user
// allow it, else another connection holding the write lock (the manager then waits only briefly for
// it). Reads go on either way. Writes are let through again by lift() or at the end of the scope.
class RefusedWrites
{
public:
    RefusedWrites(VelquorDownloadDataBaseManager &database, const QString &path) : m_database(database), m_path(path)
    {
        if (chattr(QStringLiteral("+i"))) {
            m_how = QStringLiteral("an immutable file");
            return;
        }
        m_other = std::make_unique<SQLite::Database>(path.toStdString(), SQLite::OPEN_READWRITE);
        m_other->exec("BEGIN IMMEDIATE");
        m_database.setBusyTimeout(50);
        m_how = QStringLiteral("another connection's write lock");
    }
    ~RefusedWrites() { lift(); }
    RefusedWrites(const RefusedWrites &) = delete;
    RefusedWrites &operator=(const RefusedWrites &) = delete;

    QString how() const { return m_how; }

    void lift()
    {
        if (m_other) {
            m_other->exec("ROLLBACK");
            m_other.reset();
            m_database.setBusyTimeout(5000); // the manager's own
        } else if (!m_how.isEmpty()) {
            chattr(QStringLiteral("-i"));
        }
        m_how.clear();
    }

private:
    bool chattr(const QString &flag) const
    {
        QProcess process;
        process.start(QStringLiteral("chattr"), {flag, m_path, m_path + QStringLiteral("-wal")});
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    VelquorDownloadDataBaseManager &m_database;
    QString m_path;
    QString m_how;
    std::unique_ptr<SQLite::Database> m_other;
};

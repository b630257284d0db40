#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

// Hands the application's own extracted installer package to the desktop, which opens it with the
// program registered for it.
class VelquorAppUpdateManager
{
public:
    VelquorAppUpdateManager();

    static VelquorAppUpdateManager &sharedManager();

    // Runs the open command with the package path and waits until it exits; its exit status is not
    // examined (a missing package only makes the command fail on its own).
    void openInstallationPackage(const QString &path);

    // The command that opens a package: "xdg-open" by default; tests put a recorder here. The
    // package path is appended to the arguments.
    void setOpenCommand(const QString &program, const QStringList &arguments = {});

private:
    std::mutex m_mutex;
    QString m_program;
    QStringList m_arguments;
};

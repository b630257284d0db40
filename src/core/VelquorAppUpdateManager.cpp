#include "VelquorAppUpdateManager.h"

#include <QProcess>

VelquorAppUpdateManager::VelquorAppUpdateManager() : m_program(QStringLiteral("xdg-open")) {}

VelquorAppUpdateManager &VelquorAppUpdateManager::sharedManager()
{
    static VelquorAppUpdateManager manager;
    return manager;
}

void VelquorAppUpdateManager::setOpenCommand(const QString &program, const QStringList &arguments)
{
    std::lock_guard lock(m_mutex);
    m_program = program;
    m_arguments = arguments;
}

void VelquorAppUpdateManager::openInstallationPackage(const QString &path)
{
    QString program;
    QStringList arguments;
    {
        std::lock_guard lock(m_mutex);
        program = m_program;
        arguments = m_arguments;
    }
    arguments << path;
    // The installer it opens is meant to outlive this application, so no death signal here.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (process.waitForStarted(-1)) {
        process.closeWriteChannel();
        process.waitForFinished(-1);
    }
}

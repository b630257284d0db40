#include "MountWatcher.h"

#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

MountWatcher::MountWatcher(const QString &mountInfoPath, QObject *parent) : QObject(parent), m_path(mountInfoPath)
{
    qRegisterMetaType<MountEntry>();
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(250);
    connect(&m_debounce, &QTimer::timeout, this, &MountWatcher::checkNow);
}

MountWatcher::~MountWatcher()
{
    stop();
}

bool MountWatcher::start()
{
    if (m_fd >= 0)
        return true;
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    m_known = MountedVolumes::readMountInfo(m_path);
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::onKernelEvent);
    return true;
}

void MountWatcher::stop()
{
    m_debounce.stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool MountWatcher::isRunning() const
{
    return m_fd >= 0;
}

void MountWatcher::setDebounceInterval(int milliseconds)
{
    m_debounce.setInterval(std::max(0, milliseconds));
}

void MountWatcher::onKernelEvent()
{
    // The event stays raised until the file is read again from its start.
    char buffer[4096];
    ::lseek(m_fd, 0, SEEK_SET);
    while (::read(m_fd, buffer, sizeof buffer) > 0) {
    }
    m_debounce.start();
}

void MountWatcher::checkNow()
{
    const QList<MountEntry> current = MountedVolumes::readMountInfo(m_path);
    const QList<MountEntry> previous = std::exchange(m_known, current);
    for (const MountEntry &entry : previous) {
        if (!current.contains(entry))
            emit unmounted(entry);
    }
    for (const MountEntry &entry : current) {
        if (!previous.contains(entry))
            emit mounted(entry);
    }
}

#pragma once

#include "platform/MountedVolumes.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// Reports mounts and unmounts. The kernel flags a change of the mount table with POLLPRI on an
// open mountinfo file; a burst of changes (a desktop mounting several partitions) is gathered for
// a short time, then the table is read again and compared with the last one. Signals are emitted
// on the thread the watcher lives on.
class MountWatcher : public QObject
{
    Q_OBJECT
public:
    // Names of the events as the application passes them on; user information "path", "device"
    // and "fsType".
    static constexpr const char *DidMountNotification = "VolumeDidMountNotification";
    static constexpr const char *DidUnmountNotification = "VolumeDidUnmountNotification";

    explicit MountWatcher(const QString &mountInfoPath = MountedVolumes::defaultMountInfoPath(),
                          QObject *parent = nullptr);
    ~MountWatcher() override;

    // False when the mountinfo file cannot be opened.
    bool start();
    void stop();
    bool isRunning() const;

    // Time to gather changes before comparing (250 ms by default).
    void setDebounceInterval(int milliseconds);

    // Reads the table now and reports the difference (also called after each debounced change).
    void checkNow();

signals:
    void mounted(const MountEntry &entry);
    void unmounted(const MountEntry &entry);

private:
    void onKernelEvent();

    QString m_path;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_debounce;
    QList<MountEntry> m_known;
};

#pragma once

#include "platform/NotificationCenter.h"

// Receiver of card volume events. Both methods are optional and are called on the GUI thread with
// the event (name MountWatcher::DidMountNotification or DidUnmountNotification; user information
// "path", "device", "fsType").
class VelquorDeviceMonitorDelegate
{
public:
    virtual ~VelquorDeviceMonitorDelegate() = default;
    virtual void deviceDidMounted(const Notification &notification) {}
    virtual void deviceDidUnMounted(const Notification &notification) {}
};

#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

// Hands work from any thread to the GUI thread on behalf of an object that may be gone by the time
// the work gets there; the work then does not run. Made on the GUI thread; used from any thread.
// Never waits: the caller goes on at once.
class VelquorGuiPoster
{
public:
    explicit VelquorGuiPoster(QObject *owner) : m_owner(owner) {}

    void post(std::function<void()> work) const;
    // The same, `milliseconds` after the GUI thread receives it.
    void postAfter(int milliseconds, std::function<void()> work) const;

private:
    QPointer<QObject> m_owner;
};

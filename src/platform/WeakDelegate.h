#pragma once

#include <mutex>

// A delegate held without ownership. Calls run under a lock so that clearing the delegate (as
// its owner does in its destructor) waits for a call running on another thread; the lock is
// recursive so a delegate may clear itself from inside a call.
template <typename Delegate> class WeakDelegate
{
public:
    void set(Delegate *delegate)
    {
        std::lock_guard lock(m_mutex);
        m_delegate = delegate;
    }

    Delegate *get() const
    {
        std::lock_guard lock(m_mutex);
        return m_delegate;
    }

    // Calls fn(delegate) when a delegate is set.
    template <typename Fn> void call(Fn &&fn) const
    {
        std::lock_guard lock(m_mutex);
        if (m_delegate)
            fn(*m_delegate);
    }

private:
    mutable std::recursive_mutex m_mutex;
    Delegate *m_delegate = nullptr;
};

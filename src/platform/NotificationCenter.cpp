#include "NotificationCenter.h"

#include <algorithm>

NotificationCenter &NotificationCenter::workspace()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void *owner, const QString &name, Handler handler)
{
    auto entry = std::make_shared<Entry>();
    entry->owner = owner;
    entry->name = name;
    entry->handler = std::move(handler);
    std::lock_guard lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

void NotificationCenter::removeObserver(const void *owner)
{
    std::vector<std::shared_ptr<Entry>> removed;
    {
        std::lock_guard lock(m_mutex);
        auto split = std::stable_partition(m_entries.begin(), m_entries.end(),
                                           [owner](const auto &entry) { return entry->owner != owner; });
        removed.assign(split, m_entries.end());
        m_entries.erase(split, m_entries.end());
    }
    retire(removed);
}

void NotificationCenter::removeObserver(const void *owner, const QString &name)
{
    std::vector<std::shared_ptr<Entry>> removed;
    {
        std::lock_guard lock(m_mutex);
        auto split = std::stable_partition(m_entries.begin(), m_entries.end(), [&](const auto &entry) {
            return entry->owner != owner || entry->name != name;
        });
        removed.assign(split, m_entries.end());
        m_entries.erase(split, m_entries.end());
    }
    retire(removed);
}

void NotificationCenter::retire(const std::vector<std::shared_ptr<Entry>> &entries)
{
    // Taking each entry's delivery lock waits for a handler running elsewhere; the lock is
    // recursive so a handler may remove its own owner.
    for (const auto &entry : entries) {
        std::lock_guard lock(entry->delivering);
        entry->alive = false;
    }
}

void NotificationCenter::post(const QString &name, std::any object, const QVariantMap &userInfo)
{
    post(Notification{name, std::move(object), userInfo});
}

void NotificationCenter::post(const Notification &notification)
{
    std::vector<std::shared_ptr<Entry>> targets;
    {
        std::lock_guard lock(m_mutex);
        for (const auto &entry : m_entries) {
            if (entry->name == notification.name)
                targets.push_back(entry);
        }
    }
    for (const auto &entry : targets) {
        std::lock_guard lock(entry->delivering);
        if (entry->alive)
            entry->handler(notification);
    }
}

int NotificationCenter::observerCount(const QString &name) const
{
    std::lock_guard lock(m_mutex);
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [&](const auto &entry) { return entry->name == name; }));
}

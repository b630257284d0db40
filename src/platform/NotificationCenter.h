#pragma once

#include <QString>
#include <QVariantMap>

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct Notification
{
    QString name;
    std::any object;      // the posting side's object (a record, a model), if any
    QVariantMap userInfo; // plain values
};

// Name -> observers. Delivery is synchronous on the posting thread. Observers are identified by
// their owner; removing an owner waits for a delivery to it that is running on another thread,
// so an owner may remove itself in its destructor while others post.
class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification &)>;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    // The application's own notifications.
    static NotificationCenter &workspace();
    static NotificationCenter &defaultCenter();

    void addObserver(const void *owner, const QString &name, Handler handler);
    void removeObserver(const void *owner);
    void removeObserver(const void *owner, const QString &name);

    void post(const QString &name, std::any object = {}, const QVariantMap &userInfo = {});
    void post(const Notification &notification);

    int observerCount(const QString &name) const;

private:
    struct Entry
    {
        const void *owner;
        QString name;
        Handler handler;
        std::recursive_mutex delivering; // held while the handler runs
        bool alive = true;
    };

    void retire(const std::vector<std::shared_ptr<Entry>> &entries);

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Entry>> m_entries;
};

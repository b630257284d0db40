#include "DispatchQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutex>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <set>

namespace {

thread_local DispatchQueue *t_currentQueue = nullptr;

struct CurrentQueueScope
{
    DispatchQueue *previous;
    explicit CurrentQueueScope(DispatchQueue *queue) : previous(t_currentQueue) { t_currentQueue = queue; }
    ~CurrentQueueScope() { t_currentQueue = previous; }
};

QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

std::set<DispatchQueue *> &registry()
{
    static std::set<DispatchQueue *> queues;
    return queues;
}

class QueueThread : public QThread
{
public:
    explicit QueueThread(DispatchQueue *queue) : m_queue(queue) {}
    QObject *context = nullptr; // owned; deleted on this thread when the loop ends

protected:
    void run() override
    {
        t_currentQueue = m_queue;
        exec();
        delete context;
        context = nullptr;
        t_currentQueue = nullptr;
    }

private:
    DispatchQueue *m_queue;
};

} // namespace

struct DispatchQueue::Private
{
    QString label;
    Kind kind = Kind::Serial;
    bool isMain = false;
    std::atomic<bool> stopped{false};
    QMutex lifecycle;
    std::unique_ptr<QueueThread> thread; // serial queues, and the timer thread of concurrent ones
    QObject *context = nullptr;           // lives on `thread`
    std::unique_ptr<QThreadPool> pool;    // concurrent queues
};

DispatchQueue::DispatchQueue(const QString &label, Kind kind) : d(std::make_unique<Private>())
{
    d->label = label;
    d->kind = kind;
    d->thread = std::make_unique<QueueThread>(kind == Kind::Serial ? this : nullptr);
    d->thread->setObjectName(label);
    d->context = new QObject;
    d->context->moveToThread(d->thread.get());
    d->thread->context = d->context;
    if (kind == Kind::Concurrent) {
        d->pool = std::make_unique<QThreadPool>();
        d->pool->setMaxThreadCount(std::max(4, QThread::idealThreadCount()));
    }
    d->thread->start();
    QMutexLocker lock(&registryMutex());
    registry().insert(this);
}

DispatchQueue::DispatchQueue(int) : d(std::make_unique<Private>())
{
    d->label = QStringLiteral("com.apple.main-thread");
    d->isMain = true;
}

DispatchQueue::~DispatchQueue()
{
    {
        QMutexLocker lock(&registryMutex());
        registry().erase(this);
    }
    shutdown();
}

DispatchQueue &DispatchQueue::main()
{
    static DispatchQueue mainQueue(0);
    return mainQueue;
}

DispatchQueue *DispatchQueue::current()
{
    if (t_currentQueue)
        return t_currentQueue;
    auto *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        return &main();
    return nullptr;
}

void DispatchQueue::shutdownAll()
{
    std::set<DispatchQueue *> queues;
    {
        QMutexLocker lock(&registryMutex());
        queues = registry();
    }
    for (auto *queue : queues)
        queue->shutdown();
}

QString DispatchQueue::label() const
{
    return d->label;
}

DispatchQueue::Kind DispatchQueue::kind() const
{
    return d->kind;
}

bool DispatchQueue::isCurrent() const
{
    if (d->isMain) {
        auto *app = QCoreApplication::instance();
        return app && QThread::currentThread() == app->thread();
    }
    return t_currentQueue == this;
}

void DispatchQueue::async(Work work)
{
    if (!work || d->stopped)
        return;
    if (d->isMain) {
        auto *app = QCoreApplication::instance();
        if (app)
            QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
        return;
    }
    if (d->kind == Kind::Concurrent) {
        d->pool->start([this, work = std::move(work)] {
            CurrentQueueScope scope(this);
            work();
        });
        return;
    }
    QMetaObject::invokeMethod(d->context, std::move(work), Qt::QueuedConnection);
}

void DispatchQueue::sync(const Work &work)
{
    if (!work)
        return;
    if (d->kind == Kind::Concurrent) {
        // A concurrent queue runs sync work on the caller's thread.
        CurrentQueueScope scope(this);
        work();
        return;
    }
    if (isCurrent() || d->stopped) {
        work();
        return;
    }
    QObject *target = d->isMain ? static_cast<QObject *>(QCoreApplication::instance()) : d->context;
    if (!target) {
        work();
        return;
    }
    QMetaObject::invokeMethod(target, work, Qt::BlockingQueuedConnection);
}

void DispatchQueue::after(int milliseconds, Work work)
{
    if (!work || d->stopped)
        return;
    if (d->isMain) {
        auto *app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app, [milliseconds, work = std::move(work)] { QTimer::singleShot(milliseconds, QCoreApplication::instance(), work); },
            Qt::QueuedConnection);
        return;
    }
    // The timer lives on the queue's own thread; a concurrent queue then hands the work to its pool.
    QObject *context = d->context;
    QMetaObject::invokeMethod(
        context,
        [this, context, milliseconds, work = std::move(work)] {
            QTimer::singleShot(milliseconds, context, [this, work] {
                if (d->kind == Kind::Concurrent)
                    async(work);
                else
                    work();
            });
        },
        Qt::QueuedConnection);
}

QThread *DispatchQueue::thread() const
{
    if (d->isMain)
        return QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr;
    return d->thread.get();
}

QObject *DispatchQueue::context() const
{
    if (d->isMain)
        return QCoreApplication::instance();
    return d->context;
}

void DispatchQueue::shutdown()
{
    if (d->isMain)
        return;
    QMutexLocker lock(&d->lifecycle);
    if (d->stopped.exchange(true))
        return;
    if (d->pool)
        d->pool->waitForDone();
    if (d->thread) {
        if (QThread::currentThread() == d->thread.get()) {
            // Stopping from inside the queue: let the loop end after this work item.
            d->thread->quit();
            return;
        }
        // Quit behind the work already queued, so it still runs.
        QThread *thread = d->thread.get();
        QMetaObject::invokeMethod(d->context, [thread] { thread->quit(); }, Qt::QueuedConnection);
        thread->wait();
    }
}

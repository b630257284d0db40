#include "DispatchQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutex>
#include <QSemaphore>
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
    Shutdown shutdown = Shutdown::Join;
    bool isMain = false;
    std::atomic<bool> stopped{false};
    QMutex lifecycle;
    // Held while work is checked against `stopped` and handed over, so nothing is handed to a
    // thread or pool that shutdown has already drained (its context object may be gone by then).
    QMutex posting;
    std::unique_ptr<QueueThread> thread; // serial queues, and the timer thread of concurrent ones
    QObject *context = nullptr;           // lives on `thread`
    std::unique_ptr<QThreadPool> pool;    // concurrent queues
};

DispatchQueue::DispatchQueue(const QString &label, Kind kind, Shutdown shutdown) : d(std::make_unique<Private>())
{
    d->label = label;
    d->kind = kind;
    d->shutdown = shutdown;
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
    // A queue that did not wait at its stop still may not lose its thread while it runs.
    if (d->thread && QThread::currentThread() != d->thread.get())
        d->thread->wait();
}

DispatchQueue &DispatchQueue::main()
{
    // Never destroyed: work left running by a queue that did not wait may post here at any time,
    // static destruction included.
    static DispatchQueue *mainQueue = new DispatchQueue(0);
    return *mainQueue;
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

bool DispatchQueue::async(Work work)
{
    if (!work || d->stopped)
        return false;
    QMutexLocker lock(&d->posting);
    if (d->stopped)
        return false;
    if (d->isMain) {
        auto *app = QCoreApplication::instance();
        if (!app)
            return false;
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
        return true;
    }
    if (d->kind == Kind::Concurrent) {
        d->pool->start([this, work = std::move(work)] {
            CurrentQueueScope scope(this);
            work();
        });
        return true;
    }
    QMetaObject::invokeMethod(d->context, std::move(work), Qt::QueuedConnection);
    return true;
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
    if (isCurrent()) {
        work();
        return;
    }
    if (d->isMain) {
        QObject *app = QCoreApplication::instance();
        if (!app)
            work();
        else
            QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
        return;
    }
    QSemaphore done;
    bool posted = false;
    {
        QMutexLocker lock(&d->posting);
        if (!d->stopped) {
            // The caller is released when the work has run, or when its event is dropped unrun.
            auto release = std::shared_ptr<QSemaphore>(&done, [](QSemaphore *semaphore) { semaphore->release(); });
            QMetaObject::invokeMethod(d->context, [&work, release] { work(); }, Qt::QueuedConnection);
            posted = true;
        }
    }
    if (posted) {
        done.acquire();
        return;
    }
    // A stopped queue runs sync work inline, but only once its thread has finished what was queued
    // before the stop, so the work never overlaps work still running there.
    d->thread->wait();
    work();
}

void DispatchQueue::after(int milliseconds, Work work)
{
    if (!work || d->stopped)
        return;
    if (d->isMain) {
        QMutexLocker lock(&d->posting);
        auto *app = QCoreApplication::instance();
        if (!app || d->stopped)
            return;
        QMetaObject::invokeMethod(
            app, [milliseconds, work = std::move(work)] { QTimer::singleShot(milliseconds, QCoreApplication::instance(), work); },
            Qt::QueuedConnection);
        return;
    }
    // The timer lives on the queue's own thread; a concurrent queue then hands the work to its pool.
    QMutexLocker lock(&d->posting);
    if (d->stopped)
        return;
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

bool DispatchQueue::isStopped() const
{
    return d->stopped;
}

void DispatchQueue::shutdown()
{
    if (d->isMain) {
        // Taken while posting, so once this returns nothing is being handed to the application.
        QMutexLocker postingLock(&d->posting);
        d->stopped = true;
        return;
    }
    QMutexLocker lock(&d->lifecycle);
    bool alreadyStopped = false;
    {
        QMutexLocker postingLock(&d->posting);
        alreadyStopped = d->stopped.exchange(true);
    }
    const bool wait = d->shutdown == Shutdown::Join;
    if (alreadyStopped) {
        if (!wait)
            return;
        // A stop begun from inside the queue did not wait; the thread must still end before the
        // queue (and its QThread) may go away.
        if (d->thread && QThread::currentThread() != d->thread.get())
            d->thread->wait();
        return;
    }
    if (d->pool && wait)
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
        if (wait)
            thread->wait();
    }
}

#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;
class QThread;

// A labelled work queue. A serial queue is one thread with an event loop (it may host QObjects);
// a concurrent queue runs work on its own thread pool. The main queue is the GUI thread.
class DispatchQueue
{
public:
    enum class Kind { Serial, Concurrent };
    // What a stop does about work still running: wait for it, or not, for a queue whose work may
    // never return (a call waiting on a prompt nobody answers). Such work then ends on its own, or
    // with the process, so it must hold what it uses itself; the destructor still waits for it.
    enum class Shutdown { Join, NoWait };
    using Work = std::function<void()>;

    explicit DispatchQueue(const QString &label, Kind kind = Kind::Serial, Shutdown shutdown = Shutdown::Join);
    ~DispatchQueue();
    DispatchQueue(const DispatchQueue &) = delete;
    DispatchQueue &operator=(const DispatchQueue &) = delete;

    // The application's GUI thread (the thread of QCoreApplication).
    static DispatchQueue &main();
    // The queue whose work is running on the calling thread, or nullptr.
    static DispatchQueue *current();
    // Stops every live queue and joins its threads (not those of queues that do not wait); called
    // once before main returns. The main queue is not among them.
    static void shutdownAll();

    QString label() const;
    Kind kind() const;
    bool isCurrent() const;

    // Answers whether the queue took the work: a stopped queue drops it.
    bool async(Work work);
    // Runs the work and waits for it; runs inline when already on this queue (no deadlock).
    void sync(const Work &work);
    void after(int milliseconds, Work work);

    // Serial queues: the thread that runs the work, and an object living on it (for QObject affinity).
    QThread *thread() const;
    QObject *context() const;

    // Finishes what is queued and stops; later work is dropped. The main queue stops at once: work
    // posted to it afterwards is dropped, so the application object may go while other threads run.
    void shutdown();
    // Whether shutdown() has begun: the queue takes no more work.
    bool isStopped() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
    explicit DispatchQueue(int mainTag);
};

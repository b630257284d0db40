#include "support/TestEnvironment.h"

#include "platform/DispatchQueue.h"

#include <QDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Ids of the threads of this process as the kernel sees them.
QStringList threadIds()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// Threads alive now that were not among `before`. Counted by id, not by number: a thread an
// earlier case joined may leave the kernel's list only during this one.
int threadsBeyond(const QStringList &before)
{
    const QStringList now = threadIds();
    return int(std::count_if(now.begin(), now.end(), [&](const QString &id) { return !before.contains(id); }));
}

} // namespace

TEST(DispatchQueueTest, SerialQueueRunsInOrderOnItsOwnThreadUnderItsLabel)
{
    DispatchQueue queue(QStringLiteral("com.ostrelle.Velquor.test.serial"));
    EXPECT_EQ(queue.label(), QStringLiteral("com.ostrelle.Velquor.test.serial"));
    EXPECT_EQ(queue.kind(), DispatchQueue::Kind::Serial);
    EXPECT_FALSE(queue.isCurrent());
    EXPECT_EQ(DispatchQueue::current(), &DispatchQueue::main());

    std::vector<int> order; // touched only on the queue
    std::atomic<bool> alwaysOnQueue{true};
    for (int i = 0; i < 200; ++i) {
        queue.async([&, i] {
            if (DispatchQueue::current() != &queue || QThread::currentThread() != queue.thread())
                alwaysOnQueue = false;
            order.push_back(i);
        });
    }
    std::vector<int> seen;
    queue.sync([&] { seen = order; });
    ASSERT_EQ(seen.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(seen[size_t(i)], i);
    EXPECT_TRUE(alwaysOnQueue);
    EXPECT_EQ(queue.thread()->objectName(), queue.label());
    EXPECT_EQ(queue.context()->thread(), queue.thread());
}

TEST(DispatchQueueTest, SyncFromInsideTheQueueRunsInline)
{
    DispatchQueue queue(QStringLiteral("com.ostrelle.Velquor.test.reentry"));
    std::vector<int> steps;
    queue.sync([&] {
        steps.push_back(1);
        queue.sync([&] { steps.push_back(2); });
        steps.push_back(3);
    });
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3}));

    // The same from work that arrived asynchronously.
    std::atomic<bool> done{false};
    queue.async([&] { queue.sync([&] { done = true; }); });
    EXPECT_TRUE(waitUntil([&] { return done.load(); }));

    // The main queue runs sync work inline on the GUI thread as well.
    bool ranOnMain = false;
    DispatchQueue::main().sync([&] { ranOnMain = DispatchQueue::main().isCurrent(); });
    EXPECT_TRUE(ranOnMain);
}

TEST(DispatchQueueTest, AfterRunsTheShorterDelayFirst)
{
    DispatchQueue serial(QStringLiteral("com.ostrelle.Velquor.test.after"));
    DispatchQueue concurrent(QStringLiteral("com.ostrelle.Velquor.test.after.concurrent"),
                             DispatchQueue::Kind::Concurrent);
    for (DispatchQueue *queue : {&serial, &concurrent, &DispatchQueue::main()}) {
        std::mutex mutex;
        std::vector<char> order;
        const auto note = [&](char c) {
            std::lock_guard lock(mutex);
            order.push_back(c);
        };
        queue->after(300, [&] { note('L'); });
        queue->after(20, [&] { note('S'); });
        queue->async([&] { note('A'); });
        ASSERT_TRUE(waitUntil(
            [&] {
                std::lock_guard lock(mutex);
                return order.size() == 3;
            },
            5000))
            << queue->label().toStdString();
        if (queue->kind() == DispatchQueue::Kind::Concurrent) {
            // Pool threads give no order between the plain work and a short delay; the delays keep theirs.
            order.erase(std::remove(order.begin(), order.end(), 'A'), order.end());
            EXPECT_EQ(order, (std::vector<char>{'S', 'L'})) << queue->label().toStdString();
        } else {
            EXPECT_EQ(order, (std::vector<char>{'A', 'S', 'L'})) << queue->label().toStdString();
        }
    }
}

TEST(DispatchQueueTest, ConcurrentQueueRunsWorkSideBySide)
{
    DispatchQueue queue(QStringLiteral("com.ostrelle.Velquor.test.concurrent"), DispatchQueue::Kind::Concurrent);
    constexpr int width = 3;
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
    int peak = 0;
    std::atomic<int> finished{0};
    std::atomic<bool> onQueue{true};
    for (int i = 0; i < width; ++i) {
        queue.async([&] {
            if (!queue.isCurrent())
                onQueue = false;
            std::unique_lock lock(mutex);
            ++running;
            peak = std::max(peak, running);
            changed.notify_all();
            // Every item waits for all the others to be running: only parallel work gets through.
            changed.wait_for(lock, std::chrono::seconds(5), [&] { return peak == width; });
            --running;
            ++finished;
        });
    }
    ASSERT_TRUE(waitUntil([&] { return finished == width; }, 10000));
    EXPECT_EQ(peak, width);
    EXPECT_TRUE(onQueue);
}

TEST(DispatchQueueTest, ShutdownRunsWhatIsQueuedJoinsTheThreadsAndDropsLaterWork)
{
    const QStringList before = threadIds();
    auto serial = std::make_unique<DispatchQueue>(QStringLiteral("com.ostrelle.Velquor.test.shutdown"));
    auto concurrent = std::make_unique<DispatchQueue>(QStringLiteral("com.ostrelle.Velquor.test.shutdown.pool"),
                                                      DispatchQueue::Kind::Concurrent);
    std::atomic<int> ran{0};
    for (int i = 0; i < 50; ++i) {
        serial->async([&] {
            QThread::usleep(200);
            ++ran;
        });
        concurrent->async([&] {
            QThread::usleep(200);
            ++ran;
        });
    }
    EXPECT_GT(threadsBeyond(before), 0);
    DispatchQueue::shutdownAll();
    EXPECT_EQ(ran, 100);
    EXPECT_TRUE(serial->thread()->isFinished());
    // Joined threads may linger in the kernel for an instant after their last instruction.
    EXPECT_TRUE(waitUntil([&] { return threadsBeyond(before) == 0; }, 2000)) << threadsBeyond(before) << " left";

    serial->async([&] { ++ran; });
    concurrent->async([&] { ++ran; });
    serial->after(1, [&] { ++ran; });
    QThread::msleep(50);
    EXPECT_EQ(ran, 100);
    // Sync work on a stopped queue still runs, on the caller's thread, rather than hanging it.
    bool ranInline = false;
    serial->sync([&] { ranInline = true; });
    EXPECT_TRUE(ranInline);

    serial.reset();
    concurrent.reset();
    EXPECT_TRUE(waitUntil([&] { return threadsBeyond(before) == 0; }, 2000));
}

TEST(DispatchQueueTest, SyncDuringShutdownWaitsForTheWorkStillRunningThere)
{
    DispatchQueue queue(QStringLiteral("com.ostrelle.Velquor.test.drain"));
    std::atomic<bool> started{false};
    std::atomic<bool> busy{false};
    queue.async([&] {
        busy = true;
        started = true;
        QThread::msleep(300);
        busy = false;
    });
    while (!started)
        QThread::usleep(100);
    std::thread stopper([&] { queue.shutdown(); });
    QThread::msleep(50); // the stop has begun; the queue is still busy with its last item
    bool overlapped = true;
    queue.sync([&] { overlapped = busy.load(); });
    stopper.join();
    EXPECT_FALSE(overlapped); // a serial queue never runs two items at once, not even while stopping
}

TEST(DispatchQueueTest, WorkPostedWhileTheQueueStopsNeverRunsAfterTheStop)
{
    for (int round = 0; round < 20; ++round) {
        for (auto kind : {DispatchQueue::Kind::Serial, DispatchQueue::Kind::Concurrent}) {
            auto queue = std::make_unique<DispatchQueue>(QStringLiteral("com.ostrelle.Velquor.test.race"), kind);
            std::atomic<int> ran{0};
            std::atomic<bool> go{true};
            std::vector<std::thread> posters;
            for (int i = 0; i < 6; ++i) {
                posters.emplace_back([&] {
                    for (int n = 0; n < 3000 && go; ++n) {
                        queue->async([&] { ++ran; });
                        queue->after(0, [&] { ++ran; });
                    }
                });
            }
            QThread::usleep(200);
            queue->shutdown();
            const int atStop = ran;
            QThread::msleep(5);
            EXPECT_EQ(ran, atStop) << "round " << round;
            go = false;
            for (auto &poster : posters)
                poster.join();
            EXPECT_EQ(ran, atStop) << "round " << round;
            queue.reset();
        }
    }
}

TEST(DispatchQueueTest, AQueueStoppedFromInsideCanBeDestroyedFromOutside)
{
    auto queue = std::make_unique<DispatchQueue>(QStringLiteral("com.ostrelle.Velquor.test.selfstop"));
    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
    queue->async([&] {
        queue->shutdown();
        stopping = true;
        QThread::msleep(200); // the last item is still running when the owner lets go
        finished = true;
    });
    while (!stopping)
        QThread::usleep(100);
    queue.reset(); // waits for the thread instead of destroying it while it runs
    EXPECT_TRUE(finished);
}

TEST(DispatchQueueTest, AQueueThatDoesNotWaitStopsWhileItsWorkStillRunsAndIsJoinedWhenDestroyed)
{
    auto queue = std::make_unique<DispatchQueue>(QStringLiteral("com.ostrelle.Velquor.test.nowait"),
                                                 DispatchQueue::Kind::Serial, DispatchQueue::Shutdown::NoWait);
    std::mutex mutex;
    std::condition_variable answered;
    bool answer = false;
    std::atomic<bool> started{false};
    std::atomic<int> ran{0};
    queue->async([&] {
        started = true;
        std::unique_lock lock(mutex);
        answered.wait(lock, [&] { return answer; }); // a call nobody answers yet
        ++ran;
    });
    queue->async([&] { ++ran; }); // queued before the stop: still runs
    ASSERT_TRUE(waitUntil([&] { return started.load(); }));

    queue->shutdown(); // returns although the work above cannot
    queue->async([&] { ++ran; });
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(queue->thread()->isFinished());

    {
        std::lock_guard lock(mutex);
        answer = true;
    }
    answered.notify_all();
    queue.reset(); // waits for its thread rather than destroying it while it runs
    EXPECT_EQ(ran, 2);
}

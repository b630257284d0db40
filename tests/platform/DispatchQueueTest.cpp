#include "support/TestEnvironment.h"

#include "platform/DispatchQueue.h"

#include <QDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

// Threads of this process as the kernel sees them.
int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
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
        EXPECT_EQ(order, (std::vector<char>{'A', 'S', 'L'})) << queue->label().toStdString();
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
    const int before = threadCount();
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
    EXPECT_GT(threadCount(), before);
    DispatchQueue::shutdownAll();
    EXPECT_EQ(ran, 100);
    EXPECT_TRUE(serial->thread()->isFinished());
    // Joined threads may linger in the kernel for an instant after their last instruction.
    EXPECT_TRUE(waitUntil([&] { return threadCount() == before; }, 2000)) << threadCount() << " vs " << before;

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
    EXPECT_TRUE(waitUntil([&] { return threadCount() == before; }, 2000));
}

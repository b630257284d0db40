#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

TEST(NotificationCenterTest, DeliversSynchronouslyOnThePostingThreadToObserversOfTheName)
{
    NotificationCenter center;
    int owner = 0;
    std::thread::id deliveredOn;
    QString payload;
    QVariantMap info;
    int otherName = 0;
    center.addObserver(&owner, QStringLiteral("Progress"), [&](const Notification &notification) {
        deliveredOn = std::this_thread::get_id();
        payload = std::any_cast<QString>(notification.object);
        info = notification.userInfo;
    });
    center.addObserver(&owner, QStringLiteral("Other"), [&](const Notification &) { ++otherName; });
    EXPECT_EQ(center.observerCount(QStringLiteral("Progress")), 1);

    std::thread poster([&] {
        center.post(QStringLiteral("Progress"), QStringLiteral("record"), {{QStringLiteral("bytes"), 42}});
        // Synchronous: the handler has finished before post returns.
        EXPECT_EQ(payload, QStringLiteral("record"));
    });
    const std::thread::id posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(deliveredOn, posterId);
    EXPECT_EQ(info.value(QStringLiteral("bytes")).toInt(), 42);
    EXPECT_EQ(otherName, 0);
}

TEST(NotificationCenterTest, RemovedObserversHearNothingMore)
{
    NotificationCenter center;
    int first = 0;
    int second = 0;
    int firstCalls = 0;
    int secondCalls = 0;
    int secondOtherCalls = 0;
    center.addObserver(&first, QStringLiteral("Done"), [&](const Notification &) { ++firstCalls; });
    center.addObserver(&second, QStringLiteral("Done"), [&](const Notification &) { ++secondCalls; });
    center.addObserver(&second, QStringLiteral("Error"), [&](const Notification &) { ++secondOtherCalls; });

    center.removeObserver(&first);
    center.removeObserver(&second, QStringLiteral("Done"));
    center.post(QStringLiteral("Done"));
    center.post(QStringLiteral("Error"));
    EXPECT_EQ(firstCalls, 0);
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(secondOtherCalls, 1);
    EXPECT_EQ(center.observerCount(QStringLiteral("Done")), 0);

    // A handler may remove its own owner while it runs.
    int selfRemoving = 0;
    int calls = 0;
    center.addObserver(&selfRemoving, QStringLiteral("Once"), [&](const Notification &) {
        ++calls;
        center.removeObserver(&selfRemoving);
    });
    center.post(QStringLiteral("Once"));
    center.post(QStringLiteral("Once"));
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, AnOwnerMayGoAwayWhileAnotherThreadPosts)
{
    NotificationCenter center;
    std::atomic<bool> stop{false};
    std::atomic<long> delivered{0};
    std::thread poster([&] {
        while (!stop)
            center.post(QStringLiteral("Tick"));
    });

    // Each owner lives on the heap; once removeObserver returns its handler must never touch it again
    // (the address sanitizer build turns a late delivery into a failure).
    struct Owner
    {
        std::atomic<int> calls{0};
    };
    for (int i = 0; i < 2000; ++i) {
        auto owner = std::make_unique<Owner>();
        Owner *raw = owner.get();
        center.addObserver(raw, QStringLiteral("Tick"), [raw, &delivered](const Notification &) {
            ++raw->calls;
            ++delivered;
        });
        if (i % 100 == 0) {
            // Now and then remove an owner only once a delivery to it is under way.
            while (raw->calls == 0)
                std::this_thread::yield();
        }
        center.removeObserver(raw);
        owner.reset();
    }
    stop = true;
    poster.join();
    EXPECT_EQ(center.observerCount(QStringLiteral("Tick")), 0);
    EXPECT_GE(delivered.load(), 20);
}

#include "foundation/CVoskWaitMutex.h"
#include "foundation/LockGuard.h"
#include "foundation/WaitEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

TEST(CVoskWaitMutex, TryLockFromAnotherThreadFailsWhileHeld) {
    CVoskWaitMutex m;
    LockGuard guard(&m);
    LockGuard again(&m);
    EXPECT_EQ(std::async(std::launch::async, [&] { return m.tryLock(); }).get(), 1);
}

TEST(CVoskWaitMutex, WaitReleasesEveryLevelAndTakesThemBack) {
    CVoskWaitMutex m;
    bool ready = false;
    std::thread signaller([&] {
        LockGuard guard(&m); // only possible while the waiter waits
        ready = true;
        m.signal();
    });
    {
        LockGuard outer(&m);
        LockGuard inner(&m);
        while (!ready)
            ASSERT_TRUE(m.waitFor(10s));
        EXPECT_TRUE(m.isHeldByCaller());
        inner.unlock();
        EXPECT_TRUE(m.isHeldByCaller()) << "the outer level survives the wait";
    }
    signaller.join();
    EXPECT_FALSE(m.isHeldByCaller());
}

TEST(CVoskWaitMutex, BroadcastWakesEveryWaiter) {
    CVoskWaitMutex m;
    bool go = false;
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            LockGuard guard(&m);
            while (!go)
                if (!m.waitFor(10s))
                    return;
            ++woken;
        });
    std::this_thread::sleep_for(20ms);
    {
        LockGuard guard(&m);
        go = true;
        m.broadcast();
    }
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken, 4);
}

TEST(CVoskWaitMutex, BroadcastWithNoWaiterDoesNotReleaseALaterWait) {
    CVoskWaitMutex m;
    m.broadcast();
    LockGuard guard(&m);
    EXPECT_FALSE(m.waitFor(20ms));
    EXPECT_TRUE(m.isHeldByCaller());
}

TEST(WaitEvent, IsMadeSetAndResetsOnTheWaitItReleases) {
    WaitEvent e;
    EXPECT_TRUE(e.waitFor(0ms));
    EXPECT_FALSE(e.waitFor(10ms));
}

TEST(WaitEvent, SignalBeforeWaitIsNotLost) {
    WaitEvent e;
    e.reset();
    e.signal();
    EXPECT_TRUE(e.waitFor(10s));
    EXPECT_FALSE(e.waitFor(0ms));
}

TEST(WaitEvent, SignalAcrossThreads) {
    WaitEvent started;
    started.reset();
    std::thread t([&] { started.signal(); });
    EXPECT_TRUE(started.waitFor(10s));
    t.join();
}

TEST(WaitEvent, BroadcastWakesEveryWaiterAndSetsOnceWithoutWaiters) {
    WaitEvent e;
    e.reset();
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (e.waitFor(10s))
                ++woken;
        });
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (e.waiters() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    e.broadcast();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken, 3);
    EXPECT_FALSE(e.waitFor(0ms)) << "a broadcast to waiters leaves nothing set";

    e.broadcast();
    EXPECT_TRUE(e.waitFor(0ms));
    EXPECT_FALSE(e.waitFor(0ms));
}

} // namespace

#ifdef ORVANE_LOCK_ORDER_CHECK

namespace {

TEST(CVoskWaitMutexLockOrder, WaitKeepsTheHeldLocksInOrder) {
    CVoskWaitMutex manager(LockRank::ConnectionManager);
    CVoskWaitMutex logging(LockRank::Logging);
    LockGuard outer(&manager);
    LockGuard inner(&logging);
    // Waiting on the outer lock while a higher-ranked one stays held takes
    // the outer lock back without a complaint.
    EXPECT_FALSE(manager.waitFor(std::chrono::milliseconds(1)));
    LockGuard again(&manager);
}

TEST(CVoskWaitMutexLockOrderDeathTest, InversionAborts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            CVoskWaitMutex rpc(LockRank::Rpc);
            CVoskWaitMutex session(LockRank::SessionConnection);
            LockGuard first(&rpc);
            rpc.waitFor(std::chrono::milliseconds(1)); // still held after the wait
            LockGuard second(&session);
        },
        "taking SessionConnection .rank 60. while holding Rpc .rank 70.");
}

} // namespace

#endif

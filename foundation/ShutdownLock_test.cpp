#include "foundation/ShutdownLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A call in flight on its own thread, holding the gate shared until told to
// leave.
class CallInFlight {
public:
    CallInFlight()
        : thread_([this] {
              ShutdownLock shared(false);
              entered_.set_value();
              leave_.get_future().wait();
          }) {
        entered_.get_future().wait();
    }
    ~CallInFlight() { leave(); }
    void leave() {
        if (thread_.joinable()) {
            leave_.set_value();
            thread_.join();
        }
    }

private:
    std::promise<void> entered_;
    std::promise<void> leave_;
    std::thread thread_;
};

template <class F> bool finishesWithin(std::future<F>& f, std::chrono::milliseconds bound) {
    return f.wait_for(bound) == std::future_status::ready;
}

TEST(ShutdownLock, ExclusiveWithNoCallInFlightReturnsAtOnce) {
    auto f = std::async(std::launch::async, [] { ShutdownLock exclusive(true); });
    EXPECT_TRUE(finishesWithin(f, 10s));
}

TEST(ShutdownLock, ExclusiveWaitsForTheLastCallAndHoldsNewOnesOff) {
    std::vector<std::unique_ptr<CallInFlight>> calls;
    for (int i = 0; i < 3; ++i)
        calls.push_back(std::make_unique<CallInFlight>());

    std::atomic<bool> holding{false};
    std::promise<void> release;
    auto exclusive = std::async(std::launch::async, [&] {
        ShutdownLock lock(true);
        holding = true;
        release.get_future().wait();
    });
    calls[0]->leave();
    calls[1]->leave();
    EXPECT_FALSE(finishesWithin(exclusive, 30ms));
    EXPECT_FALSE(holding);
    calls[2]->leave();
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!holding && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(holding);

    auto newCall = std::async(std::launch::async, [] { ShutdownLock shared(false); });
    EXPECT_FALSE(finishesWithin(newCall, 30ms)) << "a new call waits for the exclusive holder";
    release.set_value();
    EXPECT_TRUE(finishesWithin(newCall, 10s));
    EXPECT_TRUE(finishesWithin(exclusive, 10s));
}

TEST(ShutdownLock, TwoExclusiveWaitersBothWake) {
    auto call = std::make_unique<CallInFlight>();
    auto first = std::async(std::launch::async, [] { ShutdownLock lock(true); });
    auto second = std::async(std::launch::async, [] { ShutdownLock lock(true); });
    std::this_thread::sleep_for(20ms);
    call->leave();
    EXPECT_TRUE(finishesWithin(first, 10s));
    EXPECT_TRUE(finishesWithin(second, 10s));
}

TEST(ShutdownLock, AThreadDoesNotWaitForItsOwnCall) {
    auto f = std::async(std::launch::async, [] {
        ShutdownLock shared(false);
        ShutdownLock exclusive(true);
    });
    EXPECT_TRUE(finishesWithin(f, 10s));
}

TEST(ShutdownLock, ExclusiveHoldersStayExclusiveAcrossNestedCalls) {
    std::atomic<int> holders{0};
    std::atomic<bool> overlapped{false};
    auto exclusiveWithNestedCall = [&] {
        ShutdownLock exclusive(true);
        if (++holders > 1)
            overlapped = true;
        {
            ShutdownLock nested(false); // an export called inside the section
            std::this_thread::sleep_for(5ms);
        }
        --holders;
    };
    for (int round = 0; round < 5; ++round) {
        auto call = std::make_unique<CallInFlight>();
        auto first = std::async(std::launch::async, exclusiveWithNestedCall);
        auto second = std::async(std::launch::async, exclusiveWithNestedCall);
        std::this_thread::sleep_for(5ms);
        call->leave();
        ASSERT_TRUE(finishesWithin(first, 10s));
        ASSERT_TRUE(finishesWithin(second, 10s));
    }
    EXPECT_FALSE(overlapped);
}

// Waits, bounded, until shutdown has begun.
bool shutdownBegins() {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!IsShuttingDown() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    return IsShuttingDown();
}

// A lock that reports whether it was refused.
std::future<bool> lockOnOtherThread(bool exclusive) {
    return std::async(std::launch::async, [exclusive] {
        ShutdownLock lock(exclusive);
        return lock.refused();
    });
}

TEST(ShutdownLock, CallsArrivingAfterShutdownBeganAreRefusedWithoutWaiting) {
    CallInFlight longCall; // delays the shutdown until it leaves
    auto shutdown = std::async(std::launch::async, BeginShutdown);
    ASSERT_TRUE(shutdownBegins());

    auto shared = lockOnOtherThread(false);
    auto exclusive = lockOnOtherThread(true);
    const bool sharedReturned = finishesWithin(shared, 10s);
    const bool exclusiveReturned = finishesWithin(exclusive, 10s);
    const bool shutdownWaited = !finishesWithin(shutdown, 0ms);
    longCall.leave();
    EXPECT_TRUE(sharedReturned) << "a new call does not wait for the call in flight";
    EXPECT_TRUE(exclusiveReturned);
    EXPECT_TRUE(shutdownWaited) << "shutdown still waits for the call in flight";
    ASSERT_TRUE(finishesWithin(shutdown, 10s));
    EXPECT_TRUE(shared.get());
    EXPECT_TRUE(exclusive.get());
    EndShutdown();

    EXPECT_FALSE(lockOnOtherThread(false).get()) << "after the shutdown calls enter again";
}

TEST(ShutdownLock, CallsHeldOffBehindAnExclusiveWaiterAreRefusedWhenShutdownBegins) {
    CallInFlight longCall;
    auto exclusive = lockOnOtherThread(true);
    std::this_thread::sleep_for(20ms); // the exclusive lock waits for longCall
    // Held off behind the exclusive waiter (or, on a slow machine, in before
    // it): either way it must not wait for longCall.
    auto heldOff = lockOnOtherThread(false);
    std::this_thread::sleep_for(20ms);

    auto shutdown = std::async(std::launch::async, BeginShutdown);
    const bool heldOffReturned = finishesWithin(heldOff, 10s);
    const bool exclusiveReturned = finishesWithin(exclusive, 10s);
    longCall.leave();
    EXPECT_TRUE(heldOffReturned);
    EXPECT_TRUE(exclusiveReturned);
    ASSERT_TRUE(finishesWithin(shutdown, 10s));
    EXPECT_TRUE(exclusive.get()) << "the exclusive waiter gave up";
    EndShutdown();
}

TEST(ShutdownLock, ShutdownBeginsAfterTheLastCallLeavesUnderContention) {
    constexpr int kThreads = 8;
    std::atomic<bool> stop{false};
    std::atomic<int> refused{0};
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> shutdownRunning{false};
    std::vector<std::thread> callers;
    for (int i = 0; i < kThreads; ++i)
        callers.emplace_back([&] {
            while (!stop) {
                ShutdownLock shared(false);
                if (IsShuttingDown()) {
                    ++refused; // an export returns -216 here
                    continue;
                }
                ++inside;
                if (shutdownRunning)
                    overlapped = true;
                std::this_thread::yield();
                --inside;
            }
        });
    std::this_thread::sleep_for(20ms);
    auto shutdown = std::async(std::launch::async, [&] {
        BeginShutdown();
        shutdownRunning = true;
        bool quiet = inside == 0;
        // Stay shut down until a call has been turned away: on a loaded
        // machine the callers may not run at all within a fixed interval.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        std::this_thread::sleep_for(20ms);
        while (refused == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        shutdownRunning = false;
        return quiet;
    });
    ASSERT_TRUE(finishesWithin(shutdown, 20s));
    EXPECT_TRUE(shutdown.get()) << "no call was working when the shutdown began";
    EXPECT_TRUE(IsShuttingDown());
    EndShutdown();
    stop = true;
    for (auto& t : callers)
        t.join();
    EXPECT_FALSE(overlapped);
    EXPECT_GT(refused, 0);
    EXPECT_FALSE(IsShuttingDown());
}

} // namespace

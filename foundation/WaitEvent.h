// An auto-reset event with a count of its waiters: a start handshake between
// a creating thread and a new one, or a thread's wake signal.
//
// It is made set, so a first wait returns at once unless the owner resets it
// first. A signal wakes one waiter, or stays set for the next wait when none
// waits; broadcast wakes every thread waiting at that moment (or sets the
// event once when none waits). No wake-up is lost between a signal and a wait.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class WaitEvent {
public:
    WaitEvent() = default;
    WaitEvent(const WaitEvent&) = delete;
    WaitEvent& operator=(const WaitEvent&) = delete;

    // Waits without time-out until the event is set (and resets it) or a
    // broadcast arrives.
    void wait();
    // The same, for at most `timeout`; false when the time ran out.
    bool waitFor(std::chrono::milliseconds timeout);
    void signal();
    void broadcast();
    void reset();
    // Nothing left to release; kept for owners that close their events.
    void close() {}

    // Threads waiting now.
    int waiters() const;

private:
    bool waitUntil(std::unique_lock<std::mutex>& lock,
                   const std::chrono::steady_clock::time_point* deadline);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = true;
    int waiters_ = 0;
    unsigned long broadcasts_ = 0;
};

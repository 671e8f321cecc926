// A re-entrant mutex with a condition: the holder waits until another thread
// signals, and re-checks its own condition in a loop around wait().
//
// wait() releases every level the caller holds and takes them all back before
// it returns; the release and the start of the wait are one step, so a signal
// sent by a thread that took the mutex after the waiter cannot be lost.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "foundation/LockOrder.h"
#include "foundation/Lockable.h"
#include "platform/win32.h"

class CVoskWaitMutex : public Lockable {
public:
    explicit CVoskWaitMutex(LockRank rank = LockRank::Unranked);
    ~CVoskWaitMutex() override = default;

    CVoskWaitMutex(const CVoskWaitMutex&) = delete;
    CVoskWaitMutex& operator=(const CVoskWaitMutex&) = delete;

    void lock() override;
    void unlock() override;
    int tryLock() override;

    // Called with the mutex held: waits until signal() or broadcast(). A
    // caller that does not hold the mutex returns at once.
    void wait();
    // The same, for at most `timeout`; false when the time ran out.
    bool waitFor(std::chrono::milliseconds timeout);
    // Wakes one waiter.
    void signal();
    // Wakes every waiter.
    void broadcast();

    // Whether the calling thread holds the mutex.
    bool isHeldByCaller() const;

private:
    bool waitUntil(const std::chrono::steady_clock::time_point* deadline);

    mutable std::mutex state_;
    std::condition_variable lockFree_;
    std::condition_variable condition_;
    DWORD owner_ = 0; // thread id of the holder, 0 when free
    unsigned depth_ = 0;
    const LockRank rank_;
};

#include "foundation/CVoskWaitMutex.h"

CVoskWaitMutex::CVoskWaitMutex(LockRank rank) : rank_(rank) {}

void CVoskWaitMutex::lock() {
    lockOrderCheck(this, rank_, nullptr);
    const DWORD self = GetCurrentThreadId();
    {
        std::unique_lock<std::mutex> guard(state_);
        lockFree_.wait(guard, [&] { return owner_ == 0 || owner_ == self; });
        owner_ = self;
        ++depth_;
    }
    lockOrderAcquired(this, rank_, nullptr);
}

void CVoskWaitMutex::unlock() {
    {
        std::lock_guard<std::mutex> guard(state_);
        // Releasing a mutex the caller does not hold changes nothing.
        if (owner_ != GetCurrentThreadId())
            return;
        if (--depth_ == 0) {
            owner_ = 0;
            lockFree_.notify_one();
        }
    }
    lockOrderReleased(this, rank_);
}

int CVoskWaitMutex::tryLock() {
    const DWORD self = GetCurrentThreadId();
    {
        std::lock_guard<std::mutex> guard(state_);
        if (owner_ != 0 && owner_ != self)
            return 1;
        owner_ = self;
        ++depth_;
    }
    lockOrderAcquired(this, rank_, nullptr);
    return 0;
}

bool CVoskWaitMutex::waitUntil(const std::chrono::steady_clock::time_point* deadline) {
    const DWORD self = GetCurrentThreadId();
    std::unique_lock<std::mutex> guard(state_);
    if (owner_ != self)
        return true;
    const unsigned levels = depth_;
    owner_ = 0;
    depth_ = 0;
    lockFree_.notify_one();
    const int tracked = lockOrderReleaseAll(this, rank_);

    bool woken = true;
    if (deadline == nullptr)
        condition_.wait(guard);
    else
        woken = condition_.wait_until(guard, *deadline) == std::cv_status::no_timeout;

    lockFree_.wait(guard, [&] { return owner_ == 0; });
    owner_ = self;
    depth_ = levels;
    lockOrderRestore(this, rank_, nullptr, tracked);
    return woken;
}

void CVoskWaitMutex::wait() {
    waitUntil(nullptr);
}

bool CVoskWaitMutex::waitFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    return waitUntil(&deadline);
}

void CVoskWaitMutex::signal() {
    std::lock_guard<std::mutex> guard(state_);
    condition_.notify_one();
}

void CVoskWaitMutex::broadcast() {
    std::lock_guard<std::mutex> guard(state_);
    condition_.notify_all();
}

bool CVoskWaitMutex::isHeldByCaller() const {
    std::lock_guard<std::mutex> guard(state_);
    return owner_ == GetCurrentThreadId();
}

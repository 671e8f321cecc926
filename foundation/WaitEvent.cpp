#include "foundation/WaitEvent.h"

bool WaitEvent::waitUntil(std::unique_lock<std::mutex>& lock,
                          const std::chrono::steady_clock::time_point* deadline) {
    const unsigned long seen = broadcasts_;
    auto released = [&] { return set_ || broadcasts_ != seen; };
    ++waiters_;
    bool woken = true;
    if (deadline == nullptr)
        changed_.wait(lock, released);
    else
        woken = changed_.wait_until(lock, *deadline, released);
    --waiters_;
    // A wait released by a signal consumes it; one released by a broadcast
    // leaves a pending signal for the next waiter.
    if (woken && broadcasts_ == seen)
        set_ = false;
    return woken;
}

void WaitEvent::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    waitUntil(lock, nullptr);
}

bool WaitEvent::waitFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock<std::mutex> lock(mutex_);
    return waitUntil(lock, &deadline);
}

void WaitEvent::signal() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
    changed_.notify_one();
}

void WaitEvent::broadcast() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (waiters_ == 0) {
        set_ = true;
        return;
    }
    ++broadcasts_;
    changed_.notify_all();
}

void WaitEvent::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
}

int WaitEvent::waiters() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return waiters_;
}

// The simulator's stop request: raised once, waited on by delays so that
// no thread sleeps past shutdown.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class StopSignal {
public:
    void raise() {
        {
            std::scoped_lock lock(mutex_);
            raised_ = true;
        }
        changed_.notify_all();
    }

    bool raised() const {
        std::scoped_lock lock(mutex_);
        return raised_;
    }

    // Waits `duration` or until the stop is raised; true when raised.
    bool waitFor(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, duration, [this] { return raised_; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

// A lock held by another thread for as long as this object lives, so that a
// test can show what code does when it cannot have the lock.
#pragma once

#include <future>

#include "foundation/LockGuard.h"

class LockHeldElsewhere {
public:
    // Returns once the other thread holds `lock`.
    explicit LockHeldElsewhere(Lockable* lock) {
        std::future<void> taken = held_.get_future();
        holder_ = std::async(std::launch::async, [this, lock] {
            LockGuard guard(lock);
            held_.set_value();
            release_.get_future().wait();
        });
        taken.wait();
    }
    ~LockHeldElsewhere() {
        release_.set_value();
        holder_.get();
    }
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;

private:
    std::promise<void> held_;
    std::promise<void> release_;
    std::future<void> holder_;
};

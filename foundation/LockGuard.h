// Scoped holder of one Lockable: it can be made without taking the lock and
// lock it later, unlock early, and releases the lock at the end of its scope
// when it still holds it.
#pragma once

#include "foundation/Lockable.h"

class LockGuard {
public:
    explicit LockGuard(Lockable* lock, bool lockNow = true) : lock_(lock) {
        if (lockNow)
            this->lock();
    }
    ~LockGuard() {
        if (held_)
            lock_->unlock();
    }

    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

    void lock() {
        if (lock_ == nullptr || held_)
            return;
        lock_->lock();
        held_ = true;
    }
    void unlock() {
        if (!held_)
            return;
        lock_->unlock();
        held_ = false;
    }
    bool isHeld() const { return held_; }

private:
    Lockable* lock_;
    bool held_ = false;
};

// A lock that a LockGuard can hold.
#pragma once

class Lockable {
public:
    virtual ~Lockable() = default;
    // Waits without time-out until the caller holds the lock.
    virtual void lock() = 0;
    // Releases one level of the lock.
    virtual void unlock() = 0;
    // Takes the lock without waiting: 0 when taken, 1 when another thread holds it.
    virtual int tryLock() = 0;
};

#include "foundation/Mutex.h"

Mutex::Mutex(const char* name, LockRank rank) : name_(name), rank_(rank) {}

Mutex::~Mutex() = default;

void Mutex::lock() {
    lockOrderCheck(this, rank_, name_);
    mutex_.lock();
    acquired();
}

void Mutex::unlock() {
    // Releasing a mutex the caller does not hold changes nothing.
    if (!isHeldByCaller())
        return;
    if (--depth_ == 0)
        owner_.store(0);
    mutex_.unlock();
    lockOrderReleased(this, rank_);
}

int Mutex::tryLock() {
    // A try cannot deadlock, so it is not checked against the lock order.
    if (!mutex_.try_lock())
        return 1;
    acquired();
    return 0;
}

void Mutex::acquired() {
    ++depth_;
    owner_.store(GetCurrentThreadId());
    lockOrderAcquired(this, rank_, name_);
}

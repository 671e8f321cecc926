#include "foundation/Mutex.h"

#include <new>

Mutex::Mutex(const char* name, LockRank rank)
    : handle_(CreateMutexA(nullptr, FALSE, nullptr)), name_(name), rank_(rank) {
    if (handle_ == nullptr)
        throw std::bad_alloc();
}

Mutex::~Mutex() {
    CloseHandle(handle_);
}

void Mutex::lock() {
    lockOrderCheck(this, rank_, name_);
    WaitForSingleObject(handle_, INFINITE);
    acquired();
}

void Mutex::unlock() {
    // Releasing a mutex the caller does not hold changes nothing.
    if (!isHeldByCaller())
        return;
    if (--depth_ == 0)
        owner_.store(0);
    ReleaseMutex(handle_);
    lockOrderReleased(this, rank_);
}

int Mutex::tryLock() {
    // A try cannot deadlock, so it is not checked against the lock order.
    if (WaitForSingleObject(handle_, 0) != WAIT_OBJECT_0)
        return 1;
    acquired();
    return 0;
}

void Mutex::acquired() {
    ++depth_;
    owner_.store(GetCurrentThreadId());
    lockOrderAcquired(this, rank_, name_);
}

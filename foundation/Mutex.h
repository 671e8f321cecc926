// A re-entrant process mutex: the thread that holds it may take it again and
// then releases it as many times. It lives inside the object that owns it:
// making one allocates nothing, and taking a free one makes no system call.
#pragma once

#include <atomic>
#include <mutex>

#include "foundation/LockOrder.h"
#include "foundation/Lockable.h"
#include "platform/win32.h"

class Mutex : public Lockable {
public:
    // The name appears only in lock-order messages; the rank places the lock
    // in the library's lock order.
    explicit Mutex(const char* name = nullptr, LockRank rank = LockRank::Unranked);
    ~Mutex() override;

    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() override;
    void unlock() override;
    int tryLock() override;

    LockRank rank() const { return rank_; }
    // Whether the calling thread holds the mutex.
    bool isHeldByCaller() const { return owner_.load() == GetCurrentThreadId(); }

private:
    void acquired();

    std::recursive_mutex mutex_;
    // The holder's thread id (0 when free) and its levels, kept beside the
    // handle for isHeldByCaller(); only the holder changes them.
    std::atomic<DWORD> owner_{0};
    unsigned depth_ = 0;
    const char* name_;
    LockRank rank_;
};

#include "foundation/LockOrder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

const char* lockRankName(LockRank rank) {
    switch (rank) {
    case LockRank::Unranked:
        return "Unranked";
    case LockRank::XmlCommand:
        return "XmlCommand";
    case LockRank::ShutdownGate:
        return "ShutdownGate";
    case LockRank::ObjectModel:
        return "ObjectModel";
    case LockRank::DeviceAccess:
        return "DeviceAccess";
    case LockRank::ConnectionManager:
        return "ConnectionManager";
    case LockRank::ConnectionPool:
        return "ConnectionPool";
    case LockRank::SessionConnection:
        return "SessionConnection";
    case LockRank::Rpc:
        return "Rpc";
    case LockRank::MemoryRegistry:
        return "MemoryRegistry";
    case LockRank::Logging:
        return "Logging";
    }
    return "?";
}

#ifdef ORVANE_LOCK_ORDER_CHECK

namespace {

// One entry per level of a ranked lock the thread holds, oldest first.
struct HeldLock {
    const void* lock;
    LockRank rank;
    const char* name;
};

// Plain storage without a destructor, so that locks taken while the process
// exits (static destructors run after the thread's own objects are gone) are
// still tracked safely.
struct HeldLocks {
    static constexpr int kCapacity = 256;
    HeldLock entries[kCapacity];
    int count;

    HeldLock* begin() { return entries; }
    HeldLock* end() { return entries + count; }
};

thread_local HeldLocks heldLocks;

[[noreturn]] void fail(const char* message) {
    std::fputs(message, stderr);
    std::fflush(stderr);
    std::abort();
}

const char* displayName(const char* name, LockRank rank) {
    return name != nullptr ? name : lockRankName(rank);
}

} // namespace

void lockOrderCheck(const void* lock, LockRank rank, const char* name) {
    if (rank == LockRank::Unranked)
        return;
    HeldLocks& held = heldLocks;
    if (std::any_of(held.begin(), held.end(), [lock](const HeldLock& h) { return h.lock == lock; }))
        return;
    const HeldLock* worst =
        std::max_element(held.begin(), held.end(),
                         [](const HeldLock& a, const HeldLock& b) { return a.rank < b.rank; });
    if (worst != held.end() && worst->rank > rank) {
        char message[512];
        std::snprintf(message, sizeof message,
                      "lock order violation: taking %s (rank %d) while holding %s (rank %d)\n",
                      displayName(name, rank), static_cast<int>(rank),
                      displayName(worst->name, worst->rank), static_cast<int>(worst->rank));
        fail(message);
    }
}

void lockOrderAcquired(const void* lock, LockRank rank, const char* name) {
    if (rank == LockRank::Unranked)
        return;
    HeldLocks& held = heldLocks;
    if (held.count == HeldLocks::kCapacity)
        fail("lock order check: a thread holds too many lock levels (runaway recursion?)\n");
    held.entries[held.count++] = {lock, rank, name};
}

void lockOrderReleased(const void* lock, LockRank rank) {
    if (rank == LockRank::Unranked)
        return;
    HeldLocks& held = heldLocks;
    for (int i = held.count - 1; i >= 0; --i) {
        if (held.entries[i].lock == lock) {
            std::copy(held.entries + i + 1, held.end(), held.entries + i);
            --held.count;
            return;
        }
    }
}

int lockOrderReleaseAll(const void* lock, LockRank rank) {
    if (rank == LockRank::Unranked)
        return 0;
    HeldLocks& held = heldLocks;
    HeldLock* kept = std::remove_if(held.begin(), held.end(),
                                    [lock](const HeldLock& h) { return h.lock == lock; });
    const int released = static_cast<int>(held.end() - kept);
    held.count -= released;
    return released;
}

void lockOrderRestore(const void* lock, LockRank rank, const char* name, int levels) {
    // No check here: the levels were taken in order before the wait, and the
    // locks the thread took after them are still held across it.
    for (int i = 0; i < levels; ++i)
        lockOrderAcquired(lock, rank, name);
}

#endif

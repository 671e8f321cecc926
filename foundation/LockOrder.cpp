#include "foundation/LockOrder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

std::vector<HeldLock>& heldLocks() {
    thread_local std::vector<HeldLock> held;
    return held;
}

const char* displayName(const char* name, LockRank rank) {
    return name != nullptr ? name : lockRankName(rank);
}

} // namespace

void lockOrderCheck(const void* lock, LockRank rank, const char* name) {
    if (rank == LockRank::Unranked)
        return;
    const auto& held = heldLocks();
    if (std::any_of(held.begin(), held.end(), [lock](const HeldLock& h) { return h.lock == lock; }))
        return;
    auto worst =
        std::max_element(held.begin(), held.end(),
                         [](const HeldLock& a, const HeldLock& b) { return a.rank < b.rank; });
    if (worst != held.end() && worst->rank > rank) {
        std::fprintf(stderr,
                     "lock order violation: taking %s (rank %d) while holding %s (rank %d)\n",
                     displayName(name, rank), static_cast<int>(rank),
                     displayName(worst->name, worst->rank), static_cast<int>(worst->rank));
        std::fflush(stderr);
        std::abort();
    }
}

void lockOrderAcquired(const void* lock, LockRank rank, const char* name) {
    if (rank != LockRank::Unranked)
        heldLocks().push_back({lock, rank, name});
}

void lockOrderReleased(const void* lock, LockRank rank) {
    if (rank == LockRank::Unranked)
        return;
    auto& held = heldLocks();
    auto it = std::find_if(held.rbegin(), held.rend(),
                           [lock](const HeldLock& h) { return h.lock == lock; });
    if (it != held.rend())
        held.erase(std::next(it).base());
}

int lockOrderReleaseAll(const void* lock, LockRank rank) {
    if (rank == LockRank::Unranked)
        return 0;
    auto& held = heldLocks();
    auto count = std::erase_if(held, [lock](const HeldLock& h) { return h.lock == lock; });
    return static_cast<int>(count);
}

void lockOrderRestore(const void* lock, LockRank rank, const char* name, int levels) {
    // No check here: the levels were taken in order before the wait, and the
    // locks the thread took after them are still held across it.
    for (int i = 0; i < levels; ++i)
        lockOrderAcquired(lock, rank, name);
}

#endif

// The one order in which the library's locks are taken.
//
// A thread may take a ranked lock only while every other lock it holds has
// the same or a lower rank. Debug builds (ORVANE_LOCK_ORDER_CHECK) track the
// ranked locks each thread holds and abort on an inversion, naming both locks;
// taking a lock the thread already holds is always allowed, and Unranked locks
// are not tracked. Other builds compile the check away.
#pragma once

enum class LockRank : int {
    Unranked = 0,
    XmlCommand = 10,
    ShutdownGate = 20,
    ObjectModel = 30,
    DeviceAccess = 40,
    ConnectionManager = 50,
    ConnectionPool = 55,
    SessionConnection = 60,
    Rpc = 70,
    MemoryRegistry = 80,
    Logging = 90,
};

// The rank's name, for messages.
const char* lockRankName(LockRank rank);

#ifdef ORVANE_LOCK_ORDER_CHECK

// Before the calling thread blocks on `lock`: aborts when it holds a ranked
// lock of a higher rank and does not hold `lock` itself.
void lockOrderCheck(const void* lock, LockRank rank, const char* name);
// The calling thread took one level of `lock`.
void lockOrderAcquired(const void* lock, LockRank rank, const char* name);
// The calling thread released one level of `lock`.
void lockOrderReleased(const void* lock, LockRank rank);
// The calling thread released every level of `lock` (a wait); returns how many.
int lockOrderReleaseAll(const void* lock, LockRank rank);
// The calling thread took `levels` levels of `lock` back after a wait.
void lockOrderRestore(const void* lock, LockRank rank, const char* name, int levels);

#else

inline void lockOrderCheck(const void*, LockRank, const char*) {}
inline void lockOrderAcquired(const void*, LockRank, const char*) {}
inline void lockOrderReleased(const void*, LockRank) {}
inline int lockOrderReleaseAll(const void*, LockRank) {
    return 0;
}
inline void lockOrderRestore(const void*, LockRank, const char*, int) {}

#endif

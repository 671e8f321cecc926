#include "foundation/ShutdownLock.h"

#include "foundation/CVoskWaitMutex.h"
#include "foundation/LockGuard.h"

namespace {

// The gate's state: only touched while holding `lock`. It is never destroyed,
// so threads still running at process exit can pass it safely.
struct Gate {
    CVoskWaitMutex lock{LockRank::ShutdownGate};
    int callsInFlight = 0;
    // Exclusive locks and shutdowns waiting for the calls in flight to leave.
    int exclusiveWaiting = 0;
    bool shuttingDown = false;
};

Gate& gate() {
    static Gate* const instance = new Gate;
    return *instance;
}

// Shared locks held by the calling thread.
thread_local int callsOfThisThread = 0;

// Called holding the gate lock: waits until only the caller's own calls
// remain, or until `givesUp` holds. New calls are held off meanwhile, so a
// steady stream of them cannot starve the waiter.
template <class GiveUp> void waitForOtherCalls(Gate& g, GiveUp givesUp) {
    ++g.exclusiveWaiting;
    while (g.callsInFlight > callsOfThisThread && !givesUp())
        g.lock.wait();
    --g.exclusiveWaiting;
}

// Made at load time, like the rest of the library's locks.
[[maybe_unused]] const Gate& gateAtLoad = gate();

} // namespace

ShutdownLock::ShutdownLock(bool exclusive) : exclusive_(exclusive) {
    Gate& g = gate();
    if (exclusive_) {
        g.lock.lock();
        waitForOtherCalls(g, [&g] { return g.shuttingDown; });
        if (g.shuttingDown) {
            refused_ = true;
            g.lock.unlock();
        }
        return;
    }
    // A thread already in a call, or holding the gate exclusively, enters at
    // once: holding it off would make it wait for itself.
    const bool mayWait = callsOfThisThread == 0 && !g.lock.isHeldByCaller();
    LockGuard guard(&g.lock);
    while (mayWait && g.exclusiveWaiting > 0 && !g.shuttingDown)
        g.lock.wait();
    if (g.shuttingDown) {
        refused_ = true;
        return;
    }
    ++g.callsInFlight;
    ++callsOfThisThread;
}

ShutdownLock::~ShutdownLock() {
    if (refused_) {
        return;
    }
    Gate& g = gate();
    if (exclusive_) {
        g.lock.broadcast();
        g.lock.unlock();
        return;
    }
    LockGuard guard(&g.lock);
    --g.callsInFlight;
    --callsOfThisThread;
    // Every waiter re-checks the count: exclusive locks and a shutdown alike.
    g.lock.broadcast();
}

bool IsShuttingDown() {
    Gate& g = gate();
    LockGuard guard(&g.lock);
    return g.shuttingDown;
}

void BeginShutdown() {
    Gate& g = gate();
    LockGuard guard(&g.lock);
    g.shuttingDown = true;
    // Calls held off behind an exclusive waiter, and exclusive waiters
    // themselves, give up now instead of waiting for the calls in flight.
    g.lock.broadcast();
    waitForOtherCalls(g, [] { return false; });
}

void EndShutdown() {
    Gate& g = gate();
    LockGuard guard(&g.lock);
    g.shuttingDown = false;
}

// The shutdown gate.
//
// Every gated exported call holds a shared ShutdownLock for its whole body,
// counting itself in and out of the calls in flight. An exclusive
// ShutdownLock waits until no other call is in flight and returns holding the
// gate, so no shared lock can be made until it is destroyed. BeginShutdown
// raises the shutting-down flag and waits the same way; from then on
// IsShuttingDown tells calls to return at once.
//
// While an exclusive lock or a shutdown waits, new calls wait for it to pass,
// so that a steady stream of calls cannot starve it. Calls in flight on the
// caller's own thread are not waited for, and such a thread enters again at
// once: a thread cannot wait for itself to leave.
//
// Once shutdown has begun no lock waits any more: a lock made then, or one
// still waiting, is refused at once and holds nothing, so that a call which
// arrives while a long call in flight delays the shutdown returns without
// waiting for it.
#pragma once

class ShutdownLock {
public:
    explicit ShutdownLock(bool exclusive);
    virtual ~ShutdownLock();

    ShutdownLock(const ShutdownLock&) = delete;
    ShutdownLock& operator=(const ShutdownLock&) = delete;

    // True when shutdown had begun before the lock was granted: it holds
    // nothing and the call must return at once.
    bool refused() const { return refused_; }

private:
    bool exclusive_;
    bool refused_ = false;
};

bool IsShuttingDown();
// Raises the shutting-down flag, then waits until no other call is in flight.
void BeginShutdown();
// Clears the shutting-down flag.
void EndShutdown();

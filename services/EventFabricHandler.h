// The event server of one fabric: the registration of the event listener
// with the fabric's proxy switch, and the heartbeat monitor that raises an
// event when the proxy switch falls silent and again when it comes back.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "foundation/CVoskThread.h"
#include "foundation/WaitEvent.h"

class EventManager;
class FabricHandler;
struct SessionContext;

// Counts the periods without a beat from the proxy switch. After 9, 18,
// 27... silent periods it reports a heart failure; at the first check
// after beats come back, a healthy heart once.
class HeartbeatMonitor : public CVoskThread {
public:
    HeartbeatMonitor(FabricHandler& owner, std::chrono::milliseconds interval);
    ~HeartbeatMonitor() override;

    void run() override;
    bool waitStarted(std::chrono::milliseconds bound) { return started_.waitFor(bound); }

    void updateBeat();
    void startMonitor();
    void stopMonitor();
    void incMissedCount();
    bool isMonitoring();
    int missed();

protected:
    void wake() override;

private:
    FabricHandler& owner_;
    const std::chrono::milliseconds interval_;
    std::mutex lock_;
    std::condition_variable stopped_;
    int missed_ = 0;
    bool monitoring_ = true;
    WaitEvent started_;
};

class FabricHandler {
public:
    FabricHandler(EventManager& manager, const std::string& fabricOid);
    ~FabricHandler();
    FabricHandler(const FabricHandler&) = delete;
    FabricHandler& operator=(const FabricHandler&) = delete;

    // Registers the listener with the proxy switch and starts (or resumes)
    // the monitor: 0; -5 the fabric is not stored, -12 it has no session
    // handle, -44 no listener address or the switch refused, -2 / -211 the
    // monitor could not be made or started. Already started: only the flags
    // change.
    int startEventServer(int heartbeatSeconds, int flags);
    // Removes the listener from the proxy switch (with the threshold event
    // registrations of this fabric's switches) and pauses the monitor: 0,
    // or -5, -12, -44 as above. Not started: only the flags are cleared.
    int stopEventServer();
    // The fabric's session context; the caller holds the object-model lock.
    int getConxHandle(SessionContext*& handle);

    unsigned short getFlags() const { return flags_.load(); }
    bool isStarted() const { return started_.load(); }
    std::string getFabricOid() const;
    std::vector<std::string> getSwitches() const;

    // A beat from the proxy switch.
    void beat();
    // Whether `switchOid` is one of this fabric's switches; if so the
    // handler takes `fabricOid` as its fabric's identifier.
    bool hasSwitch(const std::string& fabricOid, const std::string& switchOid);
    // Whether the stored fabric `fabricOid` holds one of this fabric's
    // switches; if so the handler takes its identifier and its switches.
    bool fabricSegmented(const std::string& fabricOid);
    // Raises the heartbeat event (code 7).
    void heartFailure(bool failed);

    HeartbeatMonitor* monitor() const { return monitor_.load(); }

private:
    void setStarted(bool started);

    EventManager& manager_;
    mutable std::mutex stateMutex_; // fabricOid_ and switches_
    std::string fabricOid_;
    std::set<std::string> switches_;
    std::atomic<bool> started_{false};
    std::atomic<unsigned short> flags_{0};
    std::unique_ptr<HeartbeatMonitor> monitorOwner_;
    std::atomic<HeartbeatMonitor*> monitor_{nullptr};
};

// The switch identifiers of the stored fabric `fabricOid` (its "setSwitch"),
// read from the object store. False when the fabric is not stored, or when
// `mayWait` is false and the object-model lock is busy.
bool readFabricSwitches(const std::string& fabricOid, std::vector<std::string>& switches,
                        bool mayWait = true);

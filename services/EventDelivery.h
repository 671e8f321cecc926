// Delivery of event records to callers: the registered TCP clients that
// receive each event as XML text, and the delivery thread that hands every
// new record to the C callbacks and the clients.
//
// Producers (the listener, heartbeat monitors, firmware downloads) only
// append to the pending list, under a mutex held for nothing else, so they
// never wait for a delivery pass. The thread takes the whole list at once
// and delivers it from a snapshot of the subscribers, with no lock held,
// so a callback may call the exports, registration included.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/CVoskThread.h"
#include "foundation/WaitEvent.h"
#include "services/EventRecord.h"

// One TCP client registered with RegisterForEvents. Connects and sends
// within internalTiming().eventClientTimeout; after a failed send it
// receives nothing more.
class LeaseTimeHandler {
public:
    LeaseTimeHandler(const std::string& address, int port);
    ~LeaseTimeHandler();
    LeaseTimeHandler(const LeaseTimeHandler&) = delete;
    LeaseTimeHandler& operator=(const LeaseTimeHandler&) = delete;

    // Connects: true when connected (the client is then active).
    bool connect();
    // Sends the record's XML text when active.
    void eventCallback(const EventRecord* record);

    const std::string& getHost() const { return host_; }
    int getPort() const { return port_; }
    bool isActive() const { return active_.load(); }

private:
    bool sendAll(const std::string& text);
    void closeSocket();

    const std::string host_;
    const int port_;
    char hostName_[256] = {};
    std::mutex socketMutex_; // one connect or send at a time
    int fd_ = -1;
    std::atomic<bool> active_{false};
};

// Who receives events at one moment: the C callbacks in ascending address
// order and the clients in registration order.
struct EventSubscribers {
    std::vector<EventCallbackFunction> callbacks;
    std::vector<std::shared_ptr<LeaseTimeHandler>> clients;
    unsigned long version = ~0ul; // the source's version they were taken at
};

// One block per change of the subscribers, never changed once published:
// the delivery thread keeps it for as long as it delivers from it.
using EventSubscribersPtr = std::shared_ptr<const EventSubscribers>;

// Gives the delivery thread the subscribers to deliver to.
class EventSubscriberSource {
public:
    virtual ~EventSubscriberSource() = default;
    // Bumped at every change of the subscribers.
    virtual unsigned long subscriberVersion() const = 0;
    // The subscribers of the current version; never null.
    virtual EventSubscribersPtr subscribers() const = 0;
};

class EventDeliverThread : public CVoskThread {
public:
    explicit EventDeliverThread(EventSubscriberSource& source);
    ~EventDeliverThread() override;

    // Appends a record for the next pass; never waits for a pass.
    void deliverEvent(EventRecordPtr record);
    void run() override;

    bool waitStarted(std::chrono::milliseconds bound) { return started_.waitFor(bound); }
    // Whether the calling thread is the delivery thread.
    bool isDeliveryThread() const { return GetCurrentThreadId() == getThreadId(); }

protected:
    void wake() override;

private:
    void deliver(const EventRecordPtr& record);
    void refresh();

    EventSubscriberSource& source_;
    std::mutex pendingMutex_;
    std::condition_variable wake_;
    std::vector<EventRecordPtr> pending_;
    WaitEvent started_;
    EventSubscribersPtr snapshot_; // the delivery thread's own
};

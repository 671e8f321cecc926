// The process-wide event manager: the event servers of the fabrics, the
// listener and delivery threads, the event queue, the registered callbacks
// and clients, and the event ID counter.
//
// Start-up makes it without threads; the first fabric whose event
// notification is switched on starts the listener and delivery threads.
// Switch events are handled while at least one fabric's event server is
// started, and dropped otherwise.
//
// The port list of a parsed switch event belongs to whoever parsed it: the
// listener frees it after its callback returns, and a debugTriggerEvent
// caller keeps its own. The manager never frees it.
//
// Deletion deregisters the started fabrics at their switches, stops and
// joins the listener thread, then the delivery thread and the monitors,
// and only then frees what they use.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <orvane/events.h>

#include "services/EventDelivery.h"
#include "services/EventFabricHandler.h"
#include "services/EventManagerHooks.h"
#include "services/EventQueue.h"
#include "services/EventRecord.h"

class EventManager : public EventSink, public EventSubscriberSource {
public:
    EventManager();
    ~EventManager() override;
    EventManager(const EventManager&) = delete;
    EventManager& operator=(const EventManager&) = delete;

    // Makes the process-wide manager; it starts no thread. Installs the
    // event-server hooks through which the fabric class reads the manager.
    static void initEventMgr();
    // Deletes the manager when there is one and clears the pointer.
    static void dispose();
    // The manager, or null before initEventMgr().
    static EventManager* instance();

    // Makes the queue and starts the delivery and listener threads, once:
    // 0, -2 or -211.
    int init();
    // Stops the threads and deletes the queue.
    void cleanUp();

    // Flags: bit 0 switch events, bit 1 switch and threshold events; only
    // the low 16 bits count and 0 there switches the notification off.
    // Switching on returns the threshold switch's result, or the event
    // server's failure when it could not start; -3 for flags without bit 0
    // or 1.
    virtual int enableEventNotification(const std::string& fabricOid, int flags);
    int startEventServer(const std::string& fabricOid, int heartbeatSeconds, int flags);
    int stopEventServer(const std::string& fabricOid);
    // The flags of the fabric's last start; 0 when stopped or unknown.
    virtual unsigned short eventServerStarted(const std::string& fabricOid);

    int enableThrexEvent(const std::string& fabricOid);
    int disableThrexEvent(const std::string& fabricOid);
    int enableThrexEvents(const std::vector<std::string>& switchOids);
    int disableThrexEvents(const std::vector<std::string>& switchOids);

    // Whether at least one fabric's event server is started.
    bool isStarted() const { return startedServers_.load() > 0; }

    // A switch event, on the listener's thread (or a debugTriggerEvent
    // caller's): builds, queues and delivers its record.
    void eventCallback(SwitchEvent* event) override;
    // A record raised inside the library: a copy with the next event ID is
    // queued and delivered; the caller keeps its own record.
    void eventCallback(const EventRecord* record);
    // A beat from the proxy switch `switchOid` of the fabric `fabricOid`.
    void updateBeat(const std::string& fabricOid, const std::string& switchOid);

    int registerCallback(EventCallbackFunction callback);
    int registerCallback(const char* address, int port);
    void addSocketClient(std::shared_ptr<LeaseTimeHandler> client);
    int unregisterCallback();
    // -44 before any event server was started, else the queue's answer.
    int getEvents(unsigned firstId, unsigned lastId, int max, EventRecord*** out);

    // One event as XML text; `host` and `port` only when host is given and
    // port > 0. Every value is escaped.
    static void getXmlEventString(const EventRecord* record, std::string* out,
                                  const char* host = nullptr, int port = 0);

    // EventSubscriberSource.
    unsigned long subscriberVersion() const override { return subscriberVersion_.load(); }
    EventSubscribersPtr subscribers() const override;

    // A fabric handler's event server started (true) or stopped.
    void serverStateChanged(bool started);

    std::vector<std::shared_ptr<FabricHandler>> handlers() const;
    EventQueue* queue() const { return queue_.get(); }

private:
    std::shared_ptr<FabricHandler> findHandler(const std::string& fabricOid) const;
    void post(EventRecordPtr record);
    int nextEventId() { return nextEventId_.fetch_add(1); }
    int threxEvents(const std::vector<std::string>& switchOids, bool enable);

    // Publishes the subscribers as a new version; the caller holds lock_.
    void publishSubscribers();

    mutable std::mutex lock_; // callbacks_, clients_ and published_
    std::set<EventCallbackFunction> callbacks_;
    std::vector<std::shared_ptr<LeaseTimeHandler>> clients_;
    EventSubscribersPtr published_;
    std::atomic<unsigned long> subscriberVersion_{0};

    mutable std::mutex handlersMutex_; // fabricHandlers_ (copied before walking)
    std::vector<std::shared_ptr<FabricHandler>> fabricHandlers_;

    std::mutex postMutex_; // event IDs, queue and delivery in one order
    std::mutex initMutex_; // init() and cleanUp()
    std::atomic<int> startedServers_{0};
    std::atomic<int> nextEventId_{1};
    std::unique_ptr<EventQueue> queue_;
    std::atomic<EventQueue*> queueReady_{nullptr};
    std::unique_ptr<EventDeliverThread> deliverThread_;
    std::atomic<EventDeliverThread*> deliverReady_{nullptr};
    std::unique_ptr<EventWaitingThread> waitingThread_;
};

// Posts a record raised inside the library (firmware download progress and
// results, for instance) for its fabric, as EventManager::eventCallback
// does: nothing when there is no manager or no event server is started.
void postEventRecord(const EventRecord* record);
// The same for a record made from its parts: the fabric, the code, the
// description and the affected objects, dated now in local time.
void postFabricEvent(const std::string& fabricOid, int code, const std::string& details,
                     const std::vector<std::string>& affected = {});

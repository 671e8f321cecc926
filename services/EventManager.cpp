#include "services/EventManager.h"

#include <algorithm>
#include <thread>

#include "api/ObjectStore.h"
#include "connection/clilib_events.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/SocketLib.h"
#include "foundation/StatusTranslation.h"
#include "objects/EventServerHooks.h"
#include "objects/FabApiUtil.h"
#include "objects/FabricNavigation.h"
#include "services/FirmwareDownload.h"

namespace {

const char kSource[] = "eventMngr";
std::atomic<EventManager*> theEventManager{nullptr};

// The heartbeat interval announced to the proxy switches, in whole seconds.
int heartbeatSeconds() {
    const auto ms = internalTiming().heartbeatInterval.count();
    return static_cast<int>(std::max<long long>(1, (ms + 999) / 1000));
}

} // namespace

namespace {

// Firmware download progress and failures reach callers as fabric events.
void postFirmwareEvent(const FirmwareEvent& event) {
    postFabricEvent(event.fabricOid, event.code, event.description, {event.switchOid});
}

// The fabric class's view of the event servers: the process-wide manager's
// answer, or none started while there is no manager.
class ManagerEventServers : public EventServerHooks {
public:
    unsigned short eventServerStarted(const std::string& fabricOid) override {
        EventManager* events = EventManager::instance();
        return events != nullptr ? events->eventServerStarted(fabricOid) : 0;
    }
};

} // namespace

void EventManager::initEventMgr() {
    static ManagerEventServers servers;
    installEventServerHooks(&servers);
    delete theEventManager.exchange(new EventManager);
    setFirmwareEventSink(postFirmwareEvent);
}

void EventManager::dispose() {
    setFirmwareEventSink(nullptr);
    delete theEventManager.exchange(nullptr);
}

EventManager* EventManager::instance() {
    return theEventManager.load();
}

EventManager::EventManager() {
    SocketLibStartup();
    std::lock_guard<std::mutex> guard(lock_);
    publishSubscribers();
}

EventManager::~EventManager() {
    // Deregister at the switches while the listener still has its address.
    for (const auto& handler : handlers()) {
        if (handler->isStarted())
            handler->stopEventServer();
    }
    // Then no switch event arrives any more.
    if (waitingThread_) {
        waitingThread_->stop();
        if (getEventSink() == this)
            setEventSink(nullptr);
    }
    // The monitors raise no more heartbeat events once their handlers are gone.
    {
        std::vector<std::shared_ptr<FabricHandler>> handlers;
        {
            std::lock_guard<std::mutex> guard(handlersMutex_);
            handlers.swap(fabricHandlers_);
        }
        handlers.clear();
    }
    startedServers_ = 0;
    cleanUp();
    waitingThread_.reset();
    {
        std::lock_guard<std::mutex> guard(lock_);
        clients_.clear();
        callbacks_.clear();
    }
    SocketLibCleanup();
}

int EventManager::init() {
    std::lock_guard<std::mutex> guard(initMutex_);
    if (queue_)
        return 0;
    try {
        queue_ = std::make_unique<EventQueue>(100);
        queueReady_ = queue_.get();
        auto delivery = std::make_unique<EventDeliverThread>(*this);
        if (delivery->start() != 0)
            return -211;
        delivery->waitStarted(internalTiming().threadStopBound);
        deliverThread_ = std::move(delivery);
        deliverReady_ = deliverThread_.get();

        auto waiting = std::make_unique<EventWaitingThread>();
        setEventSink(this);
        if (waiting->start() != 0)
            return -211;
        waiting->waitStarted(internalTiming().threadStopBound);
        waitingThread_ = std::move(waiting);
    } catch (const std::bad_alloc&) {
        return -2;
    }
    // The listener is normally serving within a few milliseconds; waiting
    // for it here spares the first start a retry pause.
    for (int i = 0; i < 200 && !isEventListenerRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 0;
}

void EventManager::cleanUp() {
    std::lock_guard<std::mutex> guard(initMutex_);
    deliverReady_ = nullptr;
    if (deliverThread_) {
        deliverThread_->stop();
        deliverThread_.reset();
    }
    queueReady_ = nullptr;
    queue_.reset();
}

void EventManager::serverStateChanged(bool started) {
    startedServers_ += started ? 1 : -1;
}

std::vector<std::shared_ptr<FabricHandler>> EventManager::handlers() const {
    std::lock_guard<std::mutex> guard(handlersMutex_);
    return fabricHandlers_;
}

std::shared_ptr<FabricHandler> EventManager::findHandler(const std::string& fabricOid) const {
    for (const auto& handler : handlers()) {
        if (handler->getFabricOid() == fabricOid)
            return handler;
    }
    return nullptr;
}

int EventManager::enableEventNotification(const std::string& fabricOid, int flags) {
    const int low = flags & 0xFFFF;
    if (low == 0)
        return stopEventServer(fabricOid);
    if ((low & 3) == 0)
        return -3;
    if (const int status = startEventServer(fabricOid, heartbeatSeconds(), low); status != 0)
        return status;
    return (low & 2) != 0 ? enableThrexEvent(fabricOid) : disableThrexEvent(fabricOid);
}

int EventManager::startEventServer(const std::string& fabricOid, int seconds, int flags) {
    if (fabricOid.empty())
        return -3;
    if (const int status = init(); status != 0)
        return status;
    // A new handler reads the fabric's switches under the object-model
    // lock, which callers may hold while they ask for the handlers: it is
    // built before the handlers lock is taken, and dropped when another
    // thread added one for the fabric meanwhile.
    std::shared_ptr<FabricHandler> handler = findHandler(fabricOid);
    if (!handler) {
        auto fresh = std::make_shared<FabricHandler>(*this, fabricOid);
        std::lock_guard<std::mutex> guard(handlersMutex_);
        for (const auto& known : fabricHandlers_) {
            if (known->getFabricOid() == fabricOid) {
                handler = known;
                break;
            }
        }
        if (!handler) {
            handler = fresh;
            fabricHandlers_.push_back(handler);
        }
    }
    return handler->startEventServer(seconds, flags);
}

int EventManager::stopEventServer(const std::string& fabricOid) {
    if (fabricOid.empty())
        return -3;
    const auto handler = findHandler(fabricOid);
    return handler ? handler->stopEventServer() : 0;
}

unsigned short EventManager::eventServerStarted(const std::string& fabricOid) {
    const auto handler = findHandler(fabricOid);
    return handler ? handler->getFlags() : 0;
}

int EventManager::enableThrexEvent(const std::string& fabricOid) {
    std::vector<std::string> switches;
    if (!readFabricSwitches(fabricOid, switches))
        return -5;
    return enableThrexEvents(switches);
}

int EventManager::disableThrexEvent(const std::string& fabricOid) {
    std::vector<std::string> switches;
    if (!readFabricSwitches(fabricOid, switches))
        return -5;
    return disableThrexEvents(switches);
}

int EventManager::enableThrexEvents(const std::vector<std::string>& switchOids) {
    return threxEvents(switchOids, true);
}

int EventManager::disableThrexEvents(const std::vector<std::string>& switchOids) {
    return threxEvents(switchOids, false);
}

int EventManager::threxEvents(const std::vector<std::string>& switchOids, bool enable) {
    if (!isStarted())
        return -44;
    bool succeeded = false;
    int last = 0;
    for (const std::string& oid : switchOids) {
        if (oid.empty())
            break;
        LockGuard model(getObjectStoreMutex());
        StoredObject* object = findObjectUnlocked(oid);
        if (object == nullptr)
            return -6;
        void* handle = nullptr;
        if (const int status = GetFabricHandleOfObject(object, handle); status != 0)
            return status;
        const std::optional<WWNAddress> wwn = object->getWwnAttr("WWN");
        if (!wwn)
            return -6;
        // A switch that was never registered needs no deregistration.
        if (!enable && !isThrexEventSwitchRegistered(wwn->bytes())) {
            succeeded = true;
            continue;
        }
        LockGuard device(getSwitchRequestMutex());
        auto* ctx = static_cast<SessionContext*>(handle);
        last = enable ? threxEventRegister(ctx, wwn->bytes())
                      : threxEventDeregister(ctx, wwn->bytes());
        succeeded = succeeded || last == 0;
    }
    // Nothing to ask of any switch is no failure.
    return succeeded || last == 0 ? 0 : MapApiError(last);
}

void EventManager::post(EventRecordPtr record) {
    if (EventQueue* queue = queueReady_.load())
        queue->addEvent(record);
    if (EventDeliverThread* delivery = deliverReady_.load())
        delivery->deliverEvent(std::move(record));
}

void EventManager::eventCallback(SwitchEvent* event) {
    if (event == nullptr || !isStarted())
        return;
    OID_t fabricOid{}, switchOid{};
    if (Int_WWNtoOID(event->wwn, 9, fabricOid) != 0 || Int_WWNtoOID(event->wwn, 2, switchOid) != 0)
        return;
    updateBeat(fabricOid, switchOid); // every switch event counts as a beat
    if (event->type == 129)
        return;
    std::lock_guard<std::mutex> guard(postMutex_); // IDs in the order of appending
    EventRecordPtr record =
        buildSwitchEventRecord(*event, fabricOid, switchOid, [this] { return nextEventId(); });
    if (record)
        post(std::move(record));
}

void EventManager::eventCallback(const EventRecord* record) {
    if (record == nullptr || !isStarted())
        return;
    EventRecordPtr copy = copyLibraryEventRecord(record);
    if (!copy)
        return;
    std::lock_guard<std::mutex> guard(postMutex_);
    copy->eventId = nextEventId();
    post(std::move(copy));
}

void EventManager::updateBeat(const std::string& fabricOid, const std::string& switchOid) {
    for (const auto& handler : handlers()) {
        if (handler->getFabricOid() == fabricOid || handler->hasSwitch(fabricOid, switchOid) ||
            handler->fabricSegmented(fabricOid))
            handler->beat();
    }
}

int EventManager::registerCallback(EventCallbackFunction callback) {
    if (callback == nullptr)
        return -3;
    std::lock_guard<std::mutex> guard(lock_);
    if (callbacks_.insert(callback).second)
        publishSubscribers();
    return 0;
}

int EventManager::registerCallback(const char* address, int port) {
    if (address == nullptr)
        return -3;
    TRACE_MESSAGE(
        Vosk_Eventing,
        ("Server IP = " + std::string(address) + ", port = " + std::to_string(port)).c_str(),
        "EventManager::registerCallback", kSource);
    auto client = std::make_shared<LeaseTimeHandler>(address, port);
    addSocketClient(client);
    if (!client->connect()) {
        TRACE_MESSAGE(Vosk_Eventing,
                      ("event client " + std::string(address) + ":" + std::to_string(port) +
                       " cannot be reached; it receives no events")
                          .c_str(),
                      "EventManager::registerCallback", kSource);
    }
    return 0;
}

void EventManager::addSocketClient(std::shared_ptr<LeaseTimeHandler> client) {
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(clients_, [&](const std::shared_ptr<LeaseTimeHandler>& known) {
        return known->getHost() == client->getHost() && known->getPort() == client->getPort();
    });
    clients_.push_back(std::move(client));
    publishSubscribers();
}

int EventManager::unregisterCallback() {
    std::lock_guard<std::mutex> guard(lock_);
    callbacks_.clear();
    clients_.clear();
    publishSubscribers();
    return 0;
}

void EventManager::publishSubscribers() {
    auto current = std::make_shared<EventSubscribers>();
    current->callbacks.assign(callbacks_.begin(), callbacks_.end());
    current->clients = clients_;
    current->version = subscriberVersion_.load() + 1;
    published_ = std::move(current);
    // Bumped after the new block is in place, so a reader that sees the new
    // version and takes the lock gets this block or a newer one.
    subscriberVersion_.store(published_->version);
}

EventSubscribersPtr EventManager::subscribers() const {
    std::lock_guard<std::mutex> guard(lock_);
    return published_;
}

int EventManager::getEvents(unsigned firstId, unsigned lastId, int max, EventRecord*** out) {
    EventQueue* queue = queueReady_.load();
    if (queue == nullptr)
        return -44;
    return queue->getEvents(firstId, lastId, max, isStarted(), out);
}

void postEventRecord(const EventRecord* record) {
    if (EventManager* manager = EventManager::instance())
        manager->eventCallback(record);
}

void postFabricEvent(const std::string& fabricOid, int code, const std::string& details,
                     const std::vector<std::string>& affected) {
    EventManager* manager = EventManager::instance();
    if (manager == nullptr || !manager->isStarted())
        return;
    if (EventRecordPtr record = makeLibraryEventRecord(fabricOid, code, details, affected))
        manager->eventCallback(record.get());
}

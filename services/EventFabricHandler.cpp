#include "services/EventFabricHandler.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "api/ObjectStore.h"
#include "connection/clilib_events.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "objects/FabApiUtil.h"
#include "services/EventManager.h"

namespace {

const char kSource[] = "eventMngr";
constexpr int kAddressTries = 22;

// The listener's address, asked up to 22 times with a pause after each
// failure: false after the 22nd.
bool listenerAddress(EventListenerAddress& address) {
    for (int attempt = 0; attempt < kAddressTries; ++attempt) {
        if (getEventListenerAddress(&address) == 0)
            return true;
        std::this_thread::sleep_for(internalTiming().eventListenerAddressRetryPause);
    }
    return false;
}

} // namespace

bool readFabricSwitches(const std::string& fabricOid, std::vector<std::string>& switches,
                        bool mayWait) {
    Mutex* model = getObjectStoreMutex();
    if (mayWait)
        model->lock();
    else if (model->tryLock() != 0)
        return false;
    struct Release {
        Mutex* lock;
        ~Release() { lock->unlock(); }
    } release{model};
    StoredObject* fabric = findObjectUnlocked(fabricOid);
    if (fabric == nullptr)
        return false;
    switches.clear();
    fabric->getRelations("setSwitch", switches);
    return true;
}

HeartbeatMonitor::HeartbeatMonitor(FabricHandler& owner, std::chrono::milliseconds interval)
    : CVoskThread("HeartbeatMonitor"), owner_(owner), interval_(interval) {
    started_.reset();
}

HeartbeatMonitor::~HeartbeatMonitor() {
    stop();
}

void HeartbeatMonitor::wake() {
    std::lock_guard<std::mutex> guard(lock_);
    stopped_.notify_all();
}

void HeartbeatMonitor::updateBeat() {
    std::lock_guard<std::mutex> guard(lock_);
    missed_ = 0;
}
void HeartbeatMonitor::startMonitor() {
    std::lock_guard<std::mutex> guard(lock_);
    monitoring_ = true;
}
void HeartbeatMonitor::stopMonitor() {
    std::lock_guard<std::mutex> guard(lock_);
    monitoring_ = false;
}
void HeartbeatMonitor::incMissedCount() {
    std::lock_guard<std::mutex> guard(lock_);
    ++missed_;
}
bool HeartbeatMonitor::isMonitoring() {
    std::lock_guard<std::mutex> guard(lock_);
    return monitoring_;
}
int HeartbeatMonitor::missed() {
    std::lock_guard<std::mutex> guard(lock_);
    return missed_;
}

void HeartbeatMonitor::run() {
    started_.signal();
    bool reported = false;
    while (!stopRequested()) {
        incMissedCount();
        int n = 0;
        {
            std::unique_lock<std::mutex> guard(lock_);
            if (stopped_.wait_for(guard, interval_, [&] { return stopRequested(); }))
                break;
            if (!monitoring_) {
                missed_ = 0;
                continue;
            }
            n = missed_;
        }
        if (n != 0 && n % 9 == 0) {
            owner_.heartFailure(true);
            reported = true;
        } else if (reported && n <= 1) {
            owner_.heartFailure(false);
            reported = false;
        }
    }
}

FabricHandler::FabricHandler(EventManager& manager, const std::string& fabricOid)
    : manager_(manager), fabricOid_(fabricOid) {
    std::vector<std::string> switches;
    if (readFabricSwitches(fabricOid, switches))
        switches_.insert(switches.begin(), switches.end());
}

// The manager stops the event server before it deletes its handlers, while
// the listener still runs; a handler that could not be stopped then is not
// tried again once the listener is gone.
FabricHandler::~FabricHandler() {
    monitor_ = nullptr;
    monitorOwner_.reset(); // stops its thread
}

std::string FabricHandler::getFabricOid() const {
    std::lock_guard<std::mutex> guard(stateMutex_);
    return fabricOid_;
}

std::vector<std::string> FabricHandler::getSwitches() const {
    std::lock_guard<std::mutex> guard(stateMutex_);
    return {switches_.begin(), switches_.end()};
}

void FabricHandler::setStarted(bool started) {
    if (started_.exchange(started) != started)
        manager_.serverStateChanged(started);
}

int FabricHandler::getConxHandle(SessionContext*& handle) {
    handle = nullptr;
    StoredObject* fabric = findObjectUnlocked(getFabricOid());
    if (fabric == nullptr)
        return -5;
    void* attribute = nullptr;
    if (!fabric->getHandleAttr("HDL", attribute) || attribute == nullptr)
        return -12;
    handle = static_cast<SessionContext*>(attribute);
    return 0;
}

int FabricHandler::startEventServer(int heartbeatSeconds, int flags) {
    if (started_.load()) {
        flags_ = static_cast<unsigned short>(flags);
        return 0;
    }
    SessionContext* ctx = nullptr;
    {
        LockGuard model(getObjectStoreMutex());
        if (const int status = getConxHandle(ctx); status != 0)
            return status;
    }
    EventListenerAddress address{};
    if (!listenerAddress(address))
        return -44;

    LockGuard model(getObjectStoreMutex()); // serialises start and stop
    if (started_.load()) {
        flags_ = static_cast<unsigned short>(flags);
        return 0;
    }
    if (const int status = getConxHandle(ctx); status != 0)
        return status;
    char info[64];
    std::snprintf(info, sizeof info, "host = %ul, port = %d", address.address, address.port);
    TRACE_MESSAGE(Vosk_Eventing, (std::string("Event server info: ") + info).c_str(),
                  "FabricHandler::startEventServer", kSource);
    setStarted(true);
    int status;
    {
        LockGuard device(getSwitchRequestMutex());
        status = registerEventListener(ctx, &address, heartbeatSeconds);
    }
    if (status != 0) {
        setStarted(false);
        return -44;
    }
    if (HeartbeatMonitor* monitor = monitor_.load()) {
        monitor->startMonitor();
    } else {
        auto created = std::make_unique<HeartbeatMonitor>(*this, internalTiming().heartbeatInterval);
        if (created->start() != 0)
            return -211;
        created->waitStarted(internalTiming().threadStopBound);
        monitor_ = created.get();
        monitorOwner_ = std::move(created);
    }
    flags_ = static_cast<unsigned short>(flags);
    return 0;
}

int FabricHandler::stopEventServer() {
    if (!started_.load()) {
        flags_ = 0;
        return 0;
    }
    SessionContext* ctx = nullptr;
    {
        LockGuard model(getObjectStoreMutex());
        if (const int status = getConxHandle(ctx); status != 0)
            return status;
    }
    EventListenerAddress address{};
    if (!listenerAddress(address))
        return -44;

    LockGuard model(getObjectStoreMutex());
    if (!started_.load()) {
        flags_ = 0;
        return 0;
    }
    if (const int status = getConxHandle(ctx); status != 0)
        return status;
    const std::vector<std::string> switches = getSwitches();
    setStarted(false);
    int status;
    {
        LockGuard device(getSwitchRequestMutex());
        // Only this fabric's switches leave the threshold event table.
        status = deregisterEventListener(ctx, &address, [&](const unsigned char* name) {
            OID_t oid{};
            return Int_WWNtoOID(name, 2, oid) == 0 &&
                   std::find(switches.begin(), switches.end(), std::string(oid)) != switches.end();
        });
    }
    if (status != 0) {
        setStarted(true);
        return -44;
    }
    if (HeartbeatMonitor* monitor = monitor_.load())
        monitor->stopMonitor();
    flags_ = 0;
    return 0;
}

void FabricHandler::beat() {
    HeartbeatMonitor* monitor = monitor_.load();
    if (monitor != nullptr && monitor->isMonitoring())
        monitor->updateBeat();
}

bool FabricHandler::hasSwitch(const std::string& fabricOid, const std::string& switchOid) {
    std::lock_guard<std::mutex> guard(stateMutex_);
    if (switches_.count(switchOid) == 0)
        return false;
    fabricOid_ = fabricOid;
    return true;
}

bool FabricHandler::fabricSegmented(const std::string& fabricOid) {
    std::vector<std::string> switches;
    // The listener never waits for the object-model lock: when it is busy
    // the check waits for the next event.
    if (!readFabricSwitches(fabricOid, switches, false))
        return false;
    std::lock_guard<std::mutex> guard(stateMutex_);
    for (const std::string& sw : switches) {
        if (switches_.count(sw) != 0) {
            switches_ = std::set<std::string>(switches.begin(), switches.end());
            fabricOid_ = fabricOid;
            return true;
        }
    }
    return false;
}

void FabricHandler::heartFailure(bool failed) {
    EventRecordPtr record = makeLibraryEventRecord(
        getFabricOid(), 7,
        failed ? "API: proxy switch heart failure" : "API: proxy switch heart healthy");
    if (record)
        manager_.eventCallback(record.get());
}

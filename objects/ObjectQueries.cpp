#include "objects/ObjectQueries.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include <orvane/objects.h>
#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ApiState.h"
#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/ShutdownLock.h"
#include "objects/IslClasses.h"
#include "objects/NameServerCache.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "objects/SanElement.h"
#include "objects/ZoningCacheHooks.h"
#include "objects/gorlib.h"

namespace {

constexpr char kSource[] = "gorlib";
constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNoMemory = FABAPI_ERR_OUT_OF_MEMORY;
constexpr int kNotFound = FABAPI_ERR_OBJECT_NOT_FOUND;
constexpr int kSomeFailed = FABAPI_ERR_SOME_OBJECTS_FAILED;
constexpr int kNoObjectType = -12;
constexpr int kBusy = -86;
constexpr int kTransient = -14;
constexpr int kNoReply = -10200;
constexpr int kFetchAttempts = 5;
constexpr unsigned kErrorNameModulus = 100000000u; // eight decimal digits

std::atomic<unsigned> errorRecords{0};
std::atomic<unsigned> retriedFetches{0};

void appendOids(std::vector<std::string>& oids, const OID_t* list) {
    for (const OID_t* entry = list; entry != nullptr && (*entry)[0] != '\0'; ++entry) {
        oids.emplace_back(*entry, strnlen(*entry, sizeof(OID_t)));
    }
}

// A fabric's switches, its platforms, its inter-switch links, its
// zoning capabilities object and its security capabilities object.
std::vector<std::string> fabricChildren(const void* record) {
    std::vector<std::string> oids;
    const auto* fabric = static_cast<const FabricRecord*>(record);
    appendOids(oids, fabric->SwitchOIDs);
    appendOids(oids, fabric->PlatformOIDs);
    appendOids(oids, fabric->ISLOIDs);
    if (fabric->ZoningCapabilitiesOID[0] != '\0') {
        oids.emplace_back(fabric->ZoningCapabilitiesOID,
                          strnlen(fabric->ZoningCapabilitiesOID, sizeof(OID_t)));
    }
    if (fabric->SecurityCapabilitiesOID[0] != '\0') {
        oids.emplace_back(fabric->SecurityCapabilitiesOID,
                          strnlen(fabric->SecurityCapabilitiesOID, sizeof(OID_t)));
    }
    return oids;
}

std::map<unsigned short, DescentStep>& descentTable() {
    static std::map<unsigned short, DescentStep> table = {
        {ObjectType::Fabric, DescentStep{ObjectType::Fabric, fabricChildren}},
    };
    return table;
}

std::map<unsigned short, std::vector<ChildReader>>& extraChildren() {
    static std::map<unsigned short, std::vector<ChildReader>> table;
    return table;
}

int noThresholds(const char*, void**) {
    return kNotFound;
}

std::atomic<ThresholdFetch> thresholdFetch{noThresholds};

unsigned short recordType(const void* record) {
    unsigned short type = 0;
    std::memcpy(&type, record, sizeof type);
    return type;
}

std::string recordOid(const void* record) {
    const char* oid = static_cast<const char*>(record) + offsetof(ErrorRecord, OID);
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}

bool isErrorRecord(const void* record) {
    return recordType(record) == ORVANE_ERROR_RECORD_TYPE;
}

// An error record for `oid` and `status`, named by the next number of the
// error-record counter (decimal digits, least significant first).
void* makeErrorRecord(const char* oid, int status) {
    auto* record = static_cast<ErrorRecord*>(falAllocObject(sizeof(ErrorRecord)));
    if (record == nullptr) {
        return nullptr;
    }
    unsigned number = errorRecords.fetch_add(1) % kErrorNameModulus;
    unsigned char name[8] = {};
    for (unsigned char& digit : name) {
        digit = static_cast<unsigned char>(number % 10);
        number /= 10;
    }
    record->ObjType = ORVANE_ERROR_RECORD_TYPE;
    formatOidBuffer(WWNAddress(name), record->OID, ORVANE_ERROR_RECORD_TYPE);
    CopyName48(record->RequestedOID, oid);
    record->Status = status;
    return record;
}

// A record list of `records` and the null pointer, or null.
void** makeRecordList(const std::vector<void*>& records) {
    auto** list = static_cast<void**>(falAllocObject(sizeof(void*) * (records.size() + 1)));
    if (list != nullptr) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            list[i] = records[i];
        }
    }
    return list;
}

void freeRecords(std::vector<void*>& records) {
    for (void* record : records) {
        falFreeObject(record);
    }
    records.clear();
}

// Fetches each identifier: its record, or an error record in its place.
// An object whose class rightly hands out no record (a B_Port) succeeds
// without one and adds nothing. False when no error record could be had
// (the records are freed).
bool fetchEach(const std::vector<std::string>& oids, std::vector<void*>& out, bool& anyFailed) {
    for (const std::string& oid : oids) {
        void* record = nullptr;
        const int status = querySingleObject(oid.c_str(), &record);
        if (status == 0 && record == nullptr) {
            continue;
        }
        if (status != 0) {
            if (record != nullptr) {
                falFreeObject(record);
            }
            record = makeErrorRecord(oid.c_str(), status);
            anyFailed = true;
            if (record == nullptr) {
                freeRecords(out);
                return false;
            }
        }
        out.push_back(record);
    }
    return true;
}

// The records a walk collects, in walk order.
class Collector {
public:
    ~Collector() { freeRecords(records_); }
    void add(void* record, bool replaceDuplicates) {
        const std::string oid = recordOid(record);
        if (replaceDuplicates) {
            if (const auto found = positions_.find(oid); found != positions_.end()) {
                held_.erase(records_[found->second]);
                falFreeObject(records_[found->second]);
                records_[found->second] = record;
                held_.insert(record);
                return;
            }
        }
        positions_.emplace(oid, records_.size());
        records_.push_back(record);
        held_.insert(record);
    }
    std::vector<void*>& records() { return records_; }
    // Whether `record` is still collected (not replaced by a later one).
    bool holds(const void* record) const { return held_.count(record) != 0; }

private:
    std::vector<void*> records_;
    std::unordered_map<std::string, std::size_t> positions_;
    std::unordered_set<const void*> held_;
};

bool descend(const void* record, Collector& out) {
    const unsigned short type = recordType(record);
    DescentStep step{};
    std::vector<std::string> children;
    if (const auto found = descentTable().find(type); found != descentTable().end()) {
        step = found->second;
        children = step.children(record);
    }
    if (const auto extra = extraChildren().find(type); extra != extraChildren().end()) {
        for (ChildReader reader : extra->second) {
            std::vector<std::string> more = reader(record);
            children.insert(children.end(), more.begin(), more.end());
        }
    }
    if (children.empty()) {
        return true;
    }
    std::vector<void*> fetched;
    bool anyFailed = false;
    if (!fetchEach(children, fetched, anyFailed)) {
        return false;
    }
    if (step.firstOnly && fetched.size() > 1) {
        for (std::size_t i = 1; i < fetched.size(); ++i) {
            falFreeObject(fetched[i]);
        }
        fetched.resize(1);
    }
    for (void* child : fetched) {
        out.add(child, step.replaceDuplicates);
    }
    for (void* child : fetched) {
        // A record replaced since (and freed) is not walked: its successor is.
        if (!out.holds(child) || isErrorRecord(child)) {
            continue;
        }
        if (!descend(child, out)) {
            return false;
        }
    }
    return true;
}

struct FabricEntry {
    std::string oid;
    SessionContext* ctx;
};

// The stored fabrics with a session that `wanted` selects, in key order;
// -12 when a stored object has no "ObjType".
template <class Wanted> int sessionFabrics(Wanted&& wanted, std::vector<FabricEntry>& out) {
    for (const auto& [key, object] : objectMap()) {
        unsigned short type = 0;
        if (!object->getShortAttr("ObjType", type)) {
            return kNoObjectType;
        }
        void* handle = nullptr;
        std::string oid;
        if (type != ObjectType::Fabric || !object->getHandleAttr("HDL", handle) ||
            handle == nullptr || !object->getStringAttr("OID", oid) || !wanted(oid)) {
            continue;
        }
        out.push_back({oid, static_cast<SessionContext*>(handle)});
    }
    return 0;
}

// The walk over the selected fabrics. 0 or -221 with the collected
// records, -12, or -2.
// A walk as the link classes and the zoning cache see it: what the walk
// reads again and again (each fabric's topology pages and active zoning
// listing) is read once while it lasts.
class QueryWalk {
public:
    QueryWalk() {
        beginTopologyWalk();
        zoningCacheHooks().queryWalkBegins();
    }
    ~QueryWalk() {
        zoningCacheHooks().queryWalkEnds();
        endTopologyWalk();
    }
    QueryWalk(const QueryWalk&) = delete;
    QueryWalk& operator=(const QueryWalk&) = delete;
};

template <class Wanted> int walkFabrics(Wanted&& wanted, bool useCache, Collector& out) {
    const QueryWalk walk;
    std::vector<FabricEntry> fabrics;
    if (const int status = sessionFabrics(wanted, fabrics); status != 0) {
        return status;
    }
    for (const FabricEntry& fabric : fabrics) {
        if (useCache) {
            fillNameServerCache(fabric.ctx);
        }
        std::vector<void*> fetched;
        bool anyFailed = false;
        if (!fetchEach({fabric.oid}, fetched, anyFailed)) {
            return kNoMemory;
        }
        void* record = fetched.front();
        out.add(record, false);
        if (!isErrorRecord(record) && !descend(record, out)) {
            return kNoMemory;
        }
    }
    return 0;
}

int handOut(Collector& collected, void*** records) {
    void** list = makeRecordList(collected.records());
    if (list == nullptr) {
        return kNoMemory; // the collector frees every record
    }
    bool anyFailed = false;
    for (void* record : collected.records()) {
        anyFailed = anyFailed || isErrorRecord(record);
    }
    collected.records().clear();
    *records = list;
    return anyFailed ? kSomeFailed : 0;
}

// Splits an identifier list into its entries: 48-character fields up to
// the first that begins with NUL.
std::vector<std::string> listEntries(const char* list) {
    std::vector<std::string> entries;
    for (const char* entry = list; *entry != '\0'; entry += sizeof(OID_t)) {
        char copy[sizeof(OID_t)];
        CopyName48(copy, entry);
        entries.emplace_back(copy);
    }
    return entries;
}

// Switch hardware and statistics objects that the switch's own fetch
// creates.
bool madeBySwitchFetch(unsigned short type) {
    return type == ObjectType::PhysicalSwitchGroup || type == ObjectType::EnclosureObject ||
           type == ObjectType::LicensedProduct || type == ObjectType::SecurityStats;
}

StoredObject* objectOrOwnerFetch(const char* oid, unsigned short type) {
    StoredObject* object = findObjectByOid(oid);
    if (object != nullptr || !madeBySwitchFetch(type)) {
        return object;
    }
    char switchOid[sizeof(OID_t)] = {};
    std::snprintf(switchOid, sizeof switchOid, "%04x%.16s", ObjectType::Switch, oid + 4);
    StoredObject* sw = findObjectByOid(switchOid);
    SanElement* element = sw != nullptr ? sw->getElement<SanElement>() : nullptr;
    if (element == nullptr) {
        return nullptr;
    }
    void* record = nullptr;
    element->BuildObject(switchOid, &record);
    if (record != nullptr) {
        falFreeObject(record);
    }
    return findObjectByOid(oid);
}

template <class Work> int queryFrame(const char* name, Work&& work) noexcept {
    try {
        if (!isAPIInitialized()) {
            return FABAPI_ERR_NOT_INITIALIZED;
        }
        traceRecord(Vosk_Ext_API, "Entering", name, "", kSource, __LINE__);
        ShutdownLock gate(false);
        if (gate.refused() || IsShuttingDown()) {
            traceRecord(Vosk_Ext_API, "Method Failed, API shutting down.", name, "", kSource,
                        __LINE__);
            return FABAPI_ERR_SHUTTING_DOWN;
        }
        const int status = work();
        traceRecord(Vosk_Ext_API, "Exiting", name, "", kSource, __LINE__);
        return status;
    } catch (...) {
        return kNoMemory;
    }
}

} // namespace

void registerDescentStep(const DescentStep& step) {
    LockGuard model(getObjectStoreMutex());
    descentTable()[step.parentType] = step;
}

void addDescentChildren(unsigned short parentType, ChildReader extra) {
    LockGuard model(getObjectStoreMutex());
    std::vector<ChildReader>& readers = extraChildren()[parentType];
    // Start-up runs the installers again after every shutdown.
    if (std::find(readers.begin(), readers.end(), extra) == readers.end()) {
        readers.push_back(extra);
    }
}

ThresholdFetch setThresholdFetch(ThresholdFetch fetch) {
    return thresholdFetch.exchange(fetch != nullptr ? fetch : noThresholds);
}

unsigned errorRecordCount() {
    return errorRecords.load();
}

unsigned retriedFetchCount() {
    return retriedFetches.load();
}

int querySingleObject(const char* oid, void** record) {
    if (oid == nullptr || record == nullptr || oid[0] == '\0') {
        return kBadArgument;
    }
    *record = nullptr;
    char copy[sizeof(OID_t)] = {};
    CopyName48(copy, oid);
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    unsigned short type = 0;
    if (!readOidType(copy, type)) {
        return kNotFound;
    }
    if (type == ObjectType::ThrexClassArea || type == ObjectType::ThrexThresholdEntry) {
        const int status = thresholdFetch.load()(copy, record);
        if (status == 0 && *record != nullptr) {
            const std::string stored = recordOid(*record);
            if (findObjectUnlocked(stored) == nullptr) {
                auto object = std::make_unique<StoredObject>();
                object->setStringAttr("OID", stored);
                object->setShortAttr("ObjType", type);
                objectMap().emplace(stored, std::move(object));
            }
        }
        return status;
    }
    StoredObject* object = objectOrOwnerFetch(copy, type);
    SanElement* element = object != nullptr ? object->getElement<SanElement>() : nullptr;
    if (element == nullptr) {
        return kNotFound;
    }
    int status = 0;
    for (int attempt = 0; attempt < kFetchAttempts; ++attempt) {
        if (attempt > 0) {
            retriedFetches.fetch_add(1);
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        status = element->BuildObject(copy, record);
        if (status != kBusy && status != kTransient) {
            break;
        }
    }
    return status == kNoReply ? FABAPI_ERR_REQUEST_FAILED : status;
}

int queryObjects(const char* oidList, void*** records) {
    if (oidList == nullptr || records == nullptr || oidList[0] == '\0') {
        return kBadArgument;
    }
    *records = nullptr;
    const std::vector<std::string> oids = listEntries(oidList);
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    std::vector<void*> fetched;
    bool anyFailed = false;
    if (!fetchEach(oids, fetched, anyFailed)) {
        return kNoMemory;
    }
    void** list = makeRecordList(fetched);
    if (list == nullptr) {
        freeRecords(fetched);
        return kNoMemory;
    }
    *records = list;
    return anyFailed ? kSomeFailed : 0;
}

int queryAllObjects(void*** records) {
    if (records == nullptr) {
        return kBadArgument;
    }
    *records = nullptr;
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    startNameServerCache();
    int status = 0;
    {
        Collector collected;
        status = walkFabrics([](const std::string&) { return true; }, true, collected);
        if (status == 0) {
            status = handOut(collected, records);
        }
    }
    endNameServerCache();
    return status;
}

int queryObjectsByFabrics(const char* fabricOidList, void*** records) {
    if (fabricOidList == nullptr || records == nullptr) {
        return kBadArgument;
    }
    *records = nullptr;
    const std::vector<std::string> wanted = listEntries(fabricOidList);
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    Collector collected;
    const int status = walkFabrics(
        [&](const std::string& oid) {
            for (const std::string& entry : wanted) {
                if (entry == oid) {
                    return true;
                }
            }
            return false;
        },
        false, collected);
    return status == 0 ? handOut(collected, records) : status;
}

int queryObjectsByType(const char* fabricOid, short objType, void*** records) {
    const auto type = static_cast<unsigned short>(objType);
    const bool accepted = type == ObjectType::Port || type == ObjectType::Switch ||
                          type == ObjectType::Node || type == ObjectType::Device ||
                          type == ObjectType::Fabric || type == ObjectType::PortModule ||
                          type == ObjectType::Any;
    if (fabricOid == nullptr || records == nullptr || !accepted) {
        return kBadArgument;
    }
    *records = nullptr;
    char wanted[sizeof(OID_t)] = {};
    CopyName48(wanted, fabricOid);
    const std::string fabric(wanted);
    const bool useCache = type == ObjectType::Port || type == ObjectType::Node ||
                          type == ObjectType::Device || type == ObjectType::Any;
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    if (useCache) {
        startNameServerCache();
    }
    int status = 0;
    {
        Collector collected;
        status =
            walkFabrics([&](const std::string& oid) { return fabric.empty() || oid == fabric; },
                        useCache, collected);
        if (status == 0) {
            // Keep the records of the type, and the error records that stand
            // for objects of the type.
            Collector kept;
            for (void*& record : collected.records()) {
                unsigned short own = recordType(record);
                if (own == ORVANE_ERROR_RECORD_TYPE) {
                    readOidType(static_cast<const ErrorRecord*>(record)->RequestedOID, own);
                }
                if (type == ObjectType::Any || own == type) {
                    kept.add(record, false);
                    record = nullptr;
                }
            }
            auto& rest = collected.records();
            std::erase(rest, nullptr);
            if (kept.records().empty()) {
                status = kNotFound;
            } else {
                status = handOut(kept, records);
            }
        }
    }
    if (useCache) {
        endNameServerCache();
    }
    return status;
}

// --- Exports -------------------------------------------------------------------

int GetSingleObject(const char* oid, void** record) {
    return queryFrame("GetSingleObject", [&] { return querySingleObject(oid, record); });
}

int GetObjects(const char* oidList, void*** records) {
    return queryFrame("GetObjects", [&] { return queryObjects(oidList, records); });
}

int GetAllObjects(void*** records) {
    return queryFrame("GetAllObjects", [&] { return queryAllObjects(records); });
}

int GetObjectsByFabrics(const char* fabricOidList, void*** records) {
    return queryFrame("GetObjectsByFabrics",
                      [&] { return queryObjectsByFabrics(fabricOidList, records); });
}

int GetObjectsByType(const char* fabricOid, short objType, void*** records) {
    return queryFrame("GetObjectsByType",
                      [&] { return queryObjectsByType(fabricOid, objType, records); });
}

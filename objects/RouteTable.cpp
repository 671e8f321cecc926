#include "objects/RouteTable.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <orvane/objects.h>
#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "connection/clilib_threshold.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectCounters.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"

namespace {

constexpr char kSource[] = "route";
constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNoMemory = FABAPI_ERR_OUT_OF_MEMORY;
constexpr int kNoHandle = -12;
constexpr int kOldFabric = -36;
constexpr int kNoRoute = -18;
constexpr unsigned short kOldestLevel = 2200;
constexpr int kSwitchElement = 1;

int translated(int status) {
    return status == 0 ? 0 : MapApiError(status);
}

std::string oidOf(unsigned short type, const WWNAddress& wwn) {
    std::string text;
    formatOidString(type, wwn, text);
    return text;
}

// What the three exports learn from their two identifiers.
struct RouteEnds {
    StoredObject* source = nullptr;
    StoredObject* destination = nullptr;
    SessionContext* ctx = nullptr;
    WWNAddress sourceWwn;
    WWNAddress destinationWwn;
};

// The checks the three exports share; the caller holds the object-model
// lock.
int checkEnds(const char* source, const char* destination, bool mustDiffer, bool switches,
              RouteEnds& ends) {
    if (source == nullptr || destination == nullptr ||
        (mustDiffer && CompareName48(source, destination) == 0)) {
        return kBadArgument;
    }
    ends.source = findObjectByOid(source);
    ends.destination = findObjectByOid(destination);
    if (ends.source == nullptr || ends.destination == nullptr) {
        return kBadArgument;
    }
    if (switches) {
        for (StoredObject* object : {ends.source, ends.destination}) {
            unsigned short type = 0;
            if (!object->getShortAttr("ObjType", type) || type != ObjectType::Switch) {
                return kBadArgument;
            }
        }
    }
    void* handle = nullptr;
    if (GetFabricHandleOfObject(ends.source, handle) != 0 || handle == nullptr) {
        return kNoHandle;
    }
    ends.ctx = static_cast<SessionContext*>(handle);
    StoredObject* fabric = GetFabricEntryOfObject(std::string(oidFieldText(source)));
    unsigned short level = 0;
    if (fabric == nullptr || !fabric->getShortAttr("fabVersion", level)) {
        return kBadArgument;
    }
    if (level == kOldestLevel) {
        return kOldFabric;
    }
    const std::optional<WWNAddress> from = ends.source->getWwnAttr("WWN");
    const std::optional<WWNAddress> to = ends.destination->getWwnAttr("WWN");
    if (!from || !to) {
        return kBadArgument;
    }
    ends.sourceWwn = *from;
    ends.destinationWwn = *to;
    return 0;
}

// The frame of the route exports: -98 before start-up, "Entering ", the
// shutdown gate with its trace text, "Exiting " only on success, and no
// exception out.
template <class Work>
int routeExport(const char* name, const char* refusal, Work&& work) noexcept {
    try {
        if (!isAPIInitialized()) {
            return FABAPI_ERR_NOT_INITIALIZED;
        }
        traceRecord(Vosk_Ext_API, "Entering ", name, "", kSource, __LINE__);
        ShutdownLock gate(false);
        if (gate.refused() || IsShuttingDown()) {
            traceRecord(Vosk_Ext_API, refusal, name, "", kSource, __LINE__);
            return FABAPI_ERR_SHUTTING_DOWN;
        }
        const int status = work();
        if (status == 0) {
            traceRecord(Vosk_Ext_API, "Exiting ", name, "", kSource, __LINE__);
        }
        return status;
    } catch (...) {
        return kNoMemory;
    }
}

// Frees request-layer blocks when the scope ends.
struct ApiBlocks {
    std::vector<void*> blocks;
    ~ApiBlocks() {
        for (void* block : blocks) {
            if (block != nullptr) {
                freeApiRecord(block);
            }
        }
    }
};

// The attached port of the end port named `name`: the name of the first
// port of its "setAttchPort".
bool attachedPortName(const WWNAddress& name, WWNAddress& attached) {
    StoredObject* port = findObjectUnlocked(oidOf(ObjectType::Port, name));
    std::string oid;
    if (port == nullptr || !port->getNextRelation("setAttchPort", oid)) {
        return false;
    }
    const OidField field(oid);
    unsigned char bytes[8] = {};
    parseOidWwn(field.oid, bytes);
    attached = WWNAddress(bytes);
    return true;
}

} // namespace

bool splitDecimalDigits(int value, unsigned char out[8]) {
    std::memset(out, 0, 8);
    if (value < 0 || value >= 100000000) {
        return false;
    }
    for (int i = 0; i < 8 && value != 0; ++i) {
        out[i] = static_cast<unsigned char>(value % 10);
        value /= 10;
    }
    return true;
}

WWNAddress switchPortName(const WWNAddress& switchName, int port) {
    unsigned char bytes[8];
    switchName.copyOut(bytes);
    bytes[0] = 0x20;
    bytes[1] = static_cast<unsigned char>(port & 0xff);
    return WWNAddress(bytes);
}

int Route_2_3::BuildObject(const OID_t oid, void** record) {
    if (oid == nullptr || record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    LockGuard model(getObjectStoreMutex());
    StoredObject* route = findObjectByOid(oid);
    std::string sourceText;
    std::string destinationText;
    unsigned char sourceBytes[8] = {};
    unsigned char destinationBytes[8] = {};
    if (route == nullptr || !route->getStringAttr("sourceWWN", sourceText) ||
        !route->getStringAttr("destWWN", destinationText) ||
        !parseWwnText(sourceText.c_str(), sourceBytes) ||
        !parseWwnText(destinationText.c_str(), destinationBytes)) {
        return kNoRoute;
    }
    void* handle = nullptr;
    if (!route->getHandleAttr("HDL", handle) || handle == nullptr) {
        return kNoHandle;
    }
    auto* ctx = static_cast<SessionContext*>(handle);
    LockGuard device(getSwitchRequestMutex());

    WWNAddress from;
    WWNAddress to;
    if (!attachedPortName(WWNAddress(sourceBytes), from) ||
        !attachedPortName(WWNAddress(destinationBytes), to)) {
        return kNoRoute;
    }
    ApiBlocks replies;
    FabricElementList* elements = nullptr;
    int status = getInterconnectElementList(ctx, &elements);
    replies.blocks.push_back(elements);
    if (status != 0) {
        return translated(status);
    }
    ApiRouteEntries* entries = nullptr;
    status = getRouteTableEntries(ctx, from.bytes(), to.bytes(), &entries);
    replies.blocks.push_back(entries);
    if (status != 0) {
        return translated(status);
    }
    // The request layer cuts the count to the entries received.
    const std::size_t slots = 2 * static_cast<std::size_t>(entries->count);

    // The switch of each domain, asked once per call.
    std::vector<std::pair<int, WWNAddress>> domains;
    bool domainsRead = false;
    const auto readDomains = [&]() -> int {
        domainsRead = true;
        for (std::uint32_t i = 0; elements != nullptr && i < elements->count; ++i) {
            if (elements->entries[i].type != kSwitchElement) {
                continue;
            }
            int* domain = nullptr;
            const int asked = getDomainID(ctx, elements->entries[i].name, &domain);
            if (asked != 0) {
                if (domain != nullptr) {
                    freeApiRecord(domain);
                }
                return translated(asked);
            }
            domains.emplace_back(*domain, WWNAddress(elements->entries[i].name));
            freeApiRecord(domain);
        }
        return 0;
    };

    std::vector<std::string> ports;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const int* values = entries->entries[slot / 2].values;
        const int port = values[(slot % 2) * 2];
        const int domain = values[(slot % 2) * 2 + 1];
        if (!domainsRead) {
            status = readDomains();
            if (status != 0) {
                return status;
            }
        }
        for (const auto& [number, switchName] : domains) {
            if (number != domain) {
                continue;
            }
            StoredObject* object =
                getOrCreateObject(ObjectType::Port, switchPortName(switchName, port));
            std::string portOid;
            if (object == nullptr || !object->getStringAttr("OID", portOid)) {
                return kBadArgument;
            }
            ports.push_back(portOid);
            break;
        }
    }
    // The list lives in the record's own block, so that falFreeObject
    // releases both.
    const std::size_t size = sizeof(RouteRecord) + (ports.size() + 1) * sizeof(OID_t);
    auto* out = static_cast<RouteRecord*>(falAllocObject(size));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::Route;
    CopyName48(out->OID, oid);
    out->setTxPortSet = reinterpret_cast<OID_t*>(reinterpret_cast<char*>(out) + sizeof(RouteRecord));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        CopyName48(out->setTxPortSet[i], ports[i].c_str());
    }
    *record = out;
    return 0;
}

std::vector<std::string> fabricRoutes(const void* fabricRecord) {
    std::vector<std::string> routes;
    const auto* fabric = static_cast<const FabricRecord*>(fabricRecord);
    const std::string fabricOid(fabric->OID, strnlen(fabric->OID, sizeof(OID_t)));
    // Identifiers begin with their type's four digits: the routes are one
    // run of the ordered store.
    char prefix[5];
    std::snprintf(prefix, sizeof prefix, "%04x", ObjectType::Route);
    const ObjectMap& store = objectMap();
    for (auto it = store.lower_bound(prefix);
         it != store.end() && it->first.compare(0, 4, prefix) == 0; ++it) {
        if (it->second->hasRelation("setParent", fabricOid)) {
            routes.push_back(it->first);
        }
    }
    return routes;
}

void installRoutes() {
    addDescentChildren(ObjectType::Fabric, fabricRoutes);
}

// --- Exports -----------------------------------------------------------------------

extern "C" {

ORVANE_EXPORT int GetLegalRouteTableEntries(const char* sourceSwitchOid,
                                            const char* destinationSwitchOid,
                                            LegalRouteTable* list) {
    return routeExport(
        "GetLegalRouteTableEntries",
        "Unable to perform GetLegalRouteTableEntries. API shutting down.", [&] {
            LockGuard model(getObjectStoreMutex());
            RouteEnds ends;
            const int checked = checkEnds(sourceSwitchOid, destinationSwitchOid, true, true, ends);
            if (checked != 0) {
                return checked;
            }
            if (list == nullptr) {
                return kBadArgument;
            }
            LegalRouteEntries* reply = nullptr;
            int status = 0;
            {
                LockGuard device(getSwitchRequestMutex());
                status = getLegalRouteTableEntries(ends.ctx, ends.sourceWwn.bytes(),
                                                   ends.destinationWwn.bytes(), &reply);
            }
            ApiBlocks replies;
            replies.blocks.push_back(reply);
            if (status != 0) {
                return translated(status);
            }
            const std::size_t count = reply->count > 0 ? static_cast<std::size_t>(reply->count) : 0;
            unsigned char(*names)[8] = nullptr;
            if (count > 0) {
                names = static_cast<unsigned char(*)[8]>(falAllocObject(count * 8));
                if (names == nullptr) {
                    return kNoMemory;
                }
                for (std::size_t i = 0; i < count; ++i) {
                    switchPortName(ends.sourceWwn, reply->ports[i]).copyOut(names[i]);
                }
            }
            list->Count = static_cast<int>(count);
            list->Entries = names;
            return 0;
        });
}

ORVANE_EXPORT int SetRouteTableEntry(const char* sourceSwitchOid, int inputPort,
                                     const char* destinationSwitchOid, int outputPort) {
    return routeExport(
        "SetRouteTableEntry", "Unable to perform SetRouteTableEntry. API shutting down", [&] {
            LockGuard model(getObjectStoreMutex());
            RouteEnds ends;
            const int checked =
                checkEnds(sourceSwitchOid, destinationSwitchOid, false, true, ends);
            if (checked != 0) {
                return checked;
            }
            const WWNAddress in = switchPortName(ends.sourceWwn, inputPort);
            const WWNAddress out = switchPortName(ends.sourceWwn, outputPort);
            LockGuard device(getSwitchRequestMutex());
            const int status =
                setRouteTableEntry(ends.ctx, in.bytes(), out.bytes(), ends.destinationWwn.bytes());
            return status == 0 ? 0 : kNoRoute;
        });
}

ORVANE_EXPORT int PortPairToRouteOID(const char* sourcePortOid, const char* destinationPortOid,
                                     OID_t routeOid) {
    return routeExport(
        "PortPairToRouteOID", "Unable to perform PortPairToRouteOID. API shutting down.", [&] {
            LockGuard model(getObjectStoreMutex());
            RouteEnds ends;
            const int checked = checkEnds(sourcePortOid, destinationPortOid, true, false, ends);
            if (checked != 0) {
                return checked;
            }
            if (routeOid == nullptr) {
                return kBadArgument;
            }
            unsigned char name[8];
            const unsigned number = objectCounters().route.fetch_add(1);
            if (!splitDecimalDigits(static_cast<int>(number), name)) {
                return kBadArgument; // the route numbers are used up
            }
            StoredObject* route = getOrCreateObject(ObjectType::Route, WWNAddress(name));
            std::string oid;
            if (route == nullptr || !route->getStringAttr("OID", oid)) {
                return kBadArgument;
            }
            CopyName48(routeOid, oid.c_str());
            if (route->getElement<SanElement>() == nullptr) {
                route->setElement(new Route_2_3);
            }
            route->setStringAttr("sourceWWN", ends.sourceWwn.toString());
            route->setStringAttr("destWWN", ends.destinationWwn.toString());
            route->setHandleAttr("HDL", ends.ctx);
            // The route belongs to the source's fabric and goes with it when
            // the fabric's session closes.
            StoredObject* fabric = GetFabricEntryOfObject(std::string(oidFieldText(sourcePortOid)));
            if (fabric != nullptr && !route->hasRelationSet("setParent")) {
                route->addRelatedObject("setParent", fabric);
            }
            void* record = nullptr;
            const int built = route->getElement<SanElement>()->BuildObject(routeOid, &record);
            if (record != nullptr) {
                falFreeObject(record);
            }
            return built == 0 ? 0 : kBadArgument;
        });
}

} // extern "C"

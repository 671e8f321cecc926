#include "objects/IslClasses.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <orvane/records.h>

#include "adapters/http/HTTPConnection.h"
#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_session.h"
#include "foundation/APIException.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/WalkingThread.h"
#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "objects/PlatformClasses.h"
#include "objects/StoredRelations.h"
#include "objects/gorlib.h"
#include "topology/UDAL_Topology.h"

namespace {

constexpr int kNoMemory = -2;
constexpr int kNoFabric = -12;
constexpr int kNotFound = -17;
constexpr int kNoTopology = -90;
constexpr int kMaxPort = 65535;

// Deletes the records of both topology lists when it goes.
struct TopologyLists {
    std::list<UDAL_Switch*> switches;
    std::list<UDAL_ISL*> links;
    ~TopologyLists() {
        deleteListObjects(switches);
        deleteListObjects(links);
    }
};

const UDAL_Switch* switchOfDomain(const std::list<UDAL_Switch*>& switches, int domain) {
    for (const UDAL_Switch* sw : switches) {
        if (sw != nullptr && sw->domainID == domain) {
            return sw;
        }
    }
    return nullptr;
}

bool validPort(int port) {
    return port >= 0 && port <= kMaxPort;
}

// One link record placed between two topology switches, its ends ordered
// by world wide name (unsigned bytes in stored order), smaller first.
struct PlacedLink {
    WWNAddress first;
    WWNAddress second;
    unsigned short firstPort = 0;
    unsigned short secondPort = 0;

    std::string oid() const {
        return pairObjectOid(ObjectType::ISL, first, second, firstPort, secondPort);
    }
};

// False when either domain names no switch of the topology or a port
// number lies outside 0 to 65535, so that no identifier field overflows.
bool placeLink(const std::list<UDAL_Switch*>& switches, const UDAL_ISL& link, PlacedLink& out) {
    const UDAL_Switch* own = switchOfDomain(switches, link.domain);
    const UDAL_Switch* other = switchOfDomain(switches, link.remoteDomain);
    if (own == nullptr || other == nullptr || !validPort(link.port) ||
        !validPort(link.remotePort)) {
        return false;
    }
    const bool ownFirst = std::memcmp(own->worldWideName, other->worldWideName, 8) <= 0;
    const UDAL_Switch* first = ownFirst ? own : other;
    const UDAL_Switch* second = ownFirst ? other : own;
    out.first = WWNAddress(first->worldWideName);
    out.second = WWNAddress(second->worldWideName);
    out.firstPort = static_cast<unsigned short>(ownFirst ? link.port : link.remotePort);
    out.secondPort = static_cast<unsigned short>(ownFirst ? link.remotePort : link.port);
    return true;
}

// What one walk of the object queries reads of the links, kept to its end
// on the walking thread: each fabric's topology pages, fetched at their
// first use, and the port lists of the switches at the links' ends.
struct TopologyWalk {
    WalkingThread walker;
    std::map<std::string, std::unique_ptr<TopologyLists>> topologies;
    std::map<std::string, FabricElementList*> portLists; // by fabric and switch name
    // Each fabric's links placed between their switches, by identifier.
    std::map<std::string, std::map<std::string, std::pair<const UDAL_ISL*, PlacedLink>>> placed;

    bool walking() const { return walker.here(); }
    void clear() {
        topologies.clear();
        for (auto& [key, list] : portLists) {
            freeApiRecord(list);
        }
        portLists.clear();
        placed.clear();
    }
};

TopologyWalk& topologyWalk() {
    static TopologyWalk walk;
    return walk;
}

// The fabric's topology: during a walk the walk's copy (read at its first
// use), else read into `own`. Null when it cannot be read.
const TopologyLists* fabricTopology(const std::string& fabricOid, TopologyLists& own) {
    TopologyWalk& walk = topologyWalk();
    if (walk.walking()) {
        if (const auto kept = walk.topologies.find(fabricOid); kept != walk.topologies.end()) {
            return kept->second.get();
        }
    }
    if (!readFabricTopology(fabricOid, own.switches, own.links)) {
        return nullptr;
    }
    if (!walk.walking()) {
        return &own;
    }
    auto kept = std::make_unique<TopologyLists>();
    kept->switches.swap(own.switches);
    kept->links.swap(own.links);
    return walk.topologies.emplace(fabricOid, std::move(kept)).first->second.get();
}

// The port list of switch `name`: during a walk the walk's copy, else a
// list that `own` frees. Null when it cannot be read.
const FabricElementList* switchPortList(SessionContext* ctx, const std::string& fabricOid,
                                        const unsigned char name[8], FabricElementList*& own) {
    TopologyWalk& walk = topologyWalk();
    const std::string key = fabricOid + std::string(reinterpret_cast<const char*>(name), 8);
    if (walk.walking()) {
        if (const auto kept = walk.portLists.find(key); kept != walk.portLists.end()) {
            return kept->second;
        }
    }
    if (getPortList(ctx, name, &own) != 0 || own == nullptr) {
        return nullptr;
    }
    if (!walk.walking()) {
        return own;
    }
    FabricElementList* list = std::exchange(own, nullptr);
    walk.portLists.emplace(key, list);
    return list;
}

// The record of link `linkOid` in the fabric's topology, with its place;
// null when the topology does not list it. During a walk the fabric's links
// are placed once and found by identifier.
const UDAL_ISL* findLink(const std::string& fabricOid, const TopologyLists& topology,
                         const std::string& linkOid, PlacedLink& placed) {
    TopologyWalk& walk = topologyWalk();
    if (!walk.walking()) {
        for (const UDAL_ISL* record : topology.links) {
            if (record != nullptr && placeLink(topology.switches, *record, placed) &&
                placed.oid() == linkOid) {
                return record;
            }
        }
        return nullptr;
    }
    auto [links, fresh] = walk.placed.try_emplace(fabricOid);
    if (fresh) {
        for (const UDAL_ISL* record : topology.links) {
            PlacedLink place;
            if (record != nullptr && placeLink(topology.switches, *record, place)) {
                links->second.try_emplace(place.oid(), record, place);
            }
        }
    }
    const auto found = links->second.find(linkOid);
    if (found == links->second.end()) {
        return nullptr;
    }
    placed = found->second.second;
    return found->second.first;
}

// The session context in the fabric's "HDL", or null.
SessionContext* fabricSession(const StoredObject* fabric) {
    void* handle = nullptr;
    if (fabric == nullptr || !fabric->getHandleAttr("HDL", handle)) {
        return nullptr;
    }
    return static_cast<SessionContext*>(handle);
}

// The identifier of the port at `port` of a port list, or empty when the
// number lies outside the list.
std::string portOid(const FabricElementList* list, unsigned short port) {
    if (list == nullptr || port >= list->count || list->entries == nullptr) {
        return std::string();
    }
    std::string oid;
    formatObjectOid(ObjectType::Port, list->entries[port].name, oid);
    return oid;
}

std::string attrText(const StoredObject* object, const char* name) {
    std::string text;
    object->getStringAttr(name, text);
    return text;
}

unsigned short attrShort(const StoredObject* object, const char* name) {
    int value = 0;
    object->getIntAttr(name, value);
    return static_cast<unsigned short>(value);
}

} // namespace

void formatObjectOid(unsigned short type, const unsigned char wwn[8], std::string& out) {
    char text[21] = {};
    std::snprintf(text, sizeof text, "%04x%02x%02x%02x%02x%02x%02x%02x%02x", type, wwn[0], wwn[1],
                  wwn[2], wwn[3], wwn[4], wwn[5], wwn[6], wwn[7]);
    out = text;
}

bool parseObjectOid(const std::string& oid, unsigned char first[8], unsigned char second[8]) {
    unsigned type = 0;
    unsigned bytes[16] = {};
    const int read = std::sscanf(
        oid.c_str(), "%4x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x", &type,
        &bytes[0], &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7],
        &bytes[8], &bytes[9], &bytes[10], &bytes[11], &bytes[12], &bytes[13], &bytes[14],
        &bytes[15]);
    if (read != 17) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        first[i] = static_cast<unsigned char>(bytes[i]);
        second[i] = static_cast<unsigned char>(bytes[8 + i]);
    }
    return true;
}

bool readFabricTopology(const std::string& fabricOid, std::list<UDAL_Switch*>& switches,
                        std::list<UDAL_ISL*>& links) {
    SessionContext* ctx = fabricSession(findObject(fabricOid));
    if (ctx == nullptr) {
        return false;
    }
    Fabric_Connection_Ifc* connection = nullptr;
    try {
        connection = getSessionHTTPConnection(ctx);
    } catch (const ConnectionException&) {
        return false;
    }
    UDAL_Topology reader;
    bool read = false;
    if (reader.setConnection(static_cast<HTTPConnection*>(connection->getHandle())) == 0) {
        read = reader.GetALLSwitchesHTTP(&switches) == 0 && reader.GetAllISLsHTTP(&links) == 0;
    }
    returnSessionRPCConnection(connection, ctx);
    return read;
}

int loadFabricIsls(const std::string& fabricOid) {
    TopologyLists own;
    const TopologyLists* topology = fabricTopology(fabricOid, own);
    if (topology == nullptr) {
        return kNoTopology;
    }
    LockGuard model(getObjectStoreMutex());
    StoredObject* fabric = findObjectUnlocked(fabricOid);
    if (fabric == nullptr) {
        return kNoFabric;
    }
    fabric->clearSet("setISLSet");
    for (const UDAL_ISL* record : topology->links) {
        PlacedLink placed;
        if (record == nullptr || !placeLink(topology->switches, *record, placed)) {
            continue;
        }
        StoredObject* link = getOrCreatePairObject(ObjectType::ISL, placed.first, placed.second,
                                                   placed.firstPort, placed.secondPort);
        if (link->getElement() == nullptr) {
            link->setElement(new ISL_NG_1());
        }
        fabric->addRelatedObject("setISLSet", link);
        link->addRelatedObject("setParent", fabric);
    }
    return 0;
}

bool refreshIsl(const std::string& fabricOid, const std::string& linkOid) {
    LockGuard model(getObjectStoreMutex());
    StoredObject* link = findObjectUnlocked(linkOid);
    SessionContext* ctx = fabricSession(findObjectUnlocked(fabricOid));
    unsigned char names[2][8] = {};
    if (link == nullptr || ctx == nullptr || !parseObjectOid(linkOid, names[0], names[1])) {
        return false;
    }
    LockGuard device(getSwitchRequestMutex());
    FabricElementList* owned[2] = {nullptr, nullptr};
    struct FreePorts {
        FabricElementList** lists;
        ~FreePorts() {
            for (int i = 0; i < 2; ++i) {
                if (lists[i] != nullptr) {
                    freeApiRecord(lists[i]);
                }
            }
        }
    } freePorts{owned};
    const FabricElementList* ports[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        ports[i] = switchPortList(ctx, fabricOid, names[i], owned[i]);
        if (ports[i] == nullptr) {
            return false;
        }
    }
    TopologyLists own;
    const TopologyLists* topology = fabricTopology(fabricOid, own);
    if (topology == nullptr) {
        return false;
    }
    PlacedLink placed;
    const UDAL_ISL* record = findLink(fabricOid, *topology, linkOid, placed);
    if (record == nullptr) {
        return false;
    }
    const std::string first = portOid(ports[0], placed.firstPort);
    const std::string second = portOid(ports[1], placed.secondPort);
    if (!first.empty() && !second.empty()) {
        link->setStringAttr("SwitchPort1", first);
        link->setStringAttr("SwitchPort2", second);
    }
    link->setIntAttr("ISLLinkCost", record->cost);
    link->setIntAttr("ISLLinkCount", record->count);
    link->setIntAttr("ISLLinkType", record->type);
    return true;
}

int ISL_NG_1::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kNotFound;
    }
    *record = nullptr;
    char copy[sizeof(OID_t)] = {};
    CopyName48(copy, oid);
    const std::string linkOid(copy);
    LockGuard model(getObjectStoreMutex());
    StoredObject* link = findObjectUnlocked(linkOid);
    if (link == nullptr) {
        return kNotFound;
    }
    const std::string fabricOid = firstRelation(link, "setParent");
    if (!refreshIsl(fabricOid, linkOid)) {
        return kNotFound;
    }
    link = findObjectUnlocked(linkOid);
    StoredObject* fabric = findObjectUnlocked(fabricOid);
    if (link == nullptr || fabric == nullptr) {
        return kNotFound;
    }
    auto* out = static_cast<ISLRecord*>(falAllocObject(sizeof(ISLRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::ISL;
    CopyName48(out->OID, copy);
    CopyName48(out->SwitchPort1, attrText(link, "SwitchPort1").c_str());
    CopyName48(out->SwitchPort2, attrText(link, "SwitchPort2").c_str());
    link->setStringAttr("OwnerOID", fabricOid);
    link->addRelatedObject("setParent", fabric);
    CopyName48(out->OwnerOID, fabricOid.c_str());
    out->ISLLinkType = attrShort(link, "ISLLinkType");
    out->ISLLinkCost = attrShort(link, "ISLLinkCost");
    out->ISLLinkCount = attrShort(link, "ISLLinkCount");
    *record = out;
    return 0;
}

void installIslClasses() {
    installPlatformClasses();
}

void beginTopologyWalk() {
    TopologyWalk& walk = topologyWalk();
    walk.clear();
    walk.walker.begin();
}

void endTopologyWalk() {
    TopologyWalk& walk = topologyWalk();
    if (walk.walker.end()) {
        walk.clear();
    }
}

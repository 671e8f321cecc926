#include "objects/FabricClasses.h"

#include <cstring>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "connection/clilib_security.h"
#include "connection/clilib_session.h"
#include "objects/ChildClasses.h"
#include "objects/EventServerHooks.h"
#include "objects/FabricLinks.h"
#include "objects/FabricObjectTree.h"
#include "objects/ObjectTypes.h"
#include "objects/RequestRetry.h"
#include "objects/StoredRelations.h"
#include "objects/SwitchClasses.h"
#include "objects/gorlib.h"

namespace {

constexpr int kNotStored = -5;
constexpr int kNoHandle = -12;
constexpr int kNoResult = -4;
constexpr int kNoZoningCapabilities = -28;
constexpr int kNoMemory = -2;
constexpr int kSwitchElement = 1;
constexpr int kHubElement = 2;
// API version words of the current firmware generation.
constexpr unsigned kCurrentApiFirst = 0x02000000u;
constexpr unsigned kCurrentApiLast = 0x02FFFFFFu;

// Writes `oids` as a list of identifier entries at `tail`, ended by an
// empty entry, and moves `tail` past it.
OID_t* writeOidList(char*& tail, const std::vector<std::string>& oids) {
    auto* list = reinterpret_cast<OID_t*>(tail);
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(list[i], oids[i].c_str());
    }
    tail += sizeof(OID_t) * (oids.size() + 1);
    return list;
}

// Chooses the class of a switch met for the first time: the API version
// word of the current generation gives Switch_2_0, else a switch that names
// its firmware Switch_2_3 and one that does not Switch_2_2.
void classifyNewSwitch(SessionContext* ctx, StoredObject* sw, const WWNAddress& name) {
    int apiVersion = 0;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = getAPIversion(ctx, name.bytes(), &apiVersion);
    }
    int level = FABRIC_VERSION_2200;
    const auto word = static_cast<unsigned>(apiVersion);
    if (status == 0 && word >= kCurrentApiFirst && word <= kCurrentApiLast) {
        level = FABRIC_VERSION_2600;
        sw->setIntAttr("APIVersion", apiVersion);
    } else {
        char* version = nullptr;
        {
            LockGuard device(getSwitchRequestMutex());
            status = getSwitchFirmwareVersion(ctx, name.bytes(), &version);
        }
        if (version != nullptr) {
            freeApiRecord(version);
        }
        level = status == 0 ? FABRIC_VERSION_2300 : FABRIC_VERSION_2200;
    }
    sw->setElement(makeSwitchClass(level, 0).release());
    sw->setStringAttr("SFVersion", switchVersionText(level));
}

// Brings the fabric's switch and hub objects in step with the element list.
void refreshTopology(SessionContext* ctx, StoredObject* fabric, const FabricElementList& list) {
    std::vector<WWNAddress> switches;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        if ((list.entries[i].type & 0xFF) == kSwitchElement) {
            switches.emplace_back(list.entries[i].name);
        }
    }
    // Switches the list no longer names go first, with their objects.
    dropStaleLinks(fabric, ObjectType::Switch, switches);
    bool first = true;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        const FabricElement& element = list.entries[i];
        const WWNAddress name(element.name);
        switch (element.type & 0xFF) {
        case kSwitchElement: {
            if (first) {
                fabric->clearSet("setSwitch");
                first = false;
            }
            StoredObject* sw = getOrCreateObject(ObjectType::Switch, name);
            sw->addRelatedObject("setParent", fabric);
            fabric->addRelatedObject("setSwitch", sw);
            if (sw->getElement() == nullptr) {
                classifyNewSwitch(ctx, sw, name);
            }
            break;
        }
        case kHubElement: {
            StoredObject* hub = getOrCreateObject(ObjectType::Hub, name);
            hub->addRelatedObject("setParent", fabric);
            fabric->addRelatedObject("setHub", hub);
            break;
        }
        default:
            break;
        }
    }
}

} // namespace

int Fabric_2_2::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return -3;
    }
    *record = nullptr;
    StoredObject* fabric = findObjectByOid(oid);
    if (fabric == nullptr) {
        return kNotStored;
    }
    const std::optional<WWNAddress> wwn = fabric->getWwnAttr("WWN");
    void* handle = nullptr;
    if (!wwn || !fabric->getHandleAttr("HDL", handle) || handle == nullptr) {
        return kNoHandle;
    }
    auto* ctx = static_cast<SessionContext*>(handle);
    const int generation = level();

    if (auto* element = fabric->getElement<SanElement>()) {
        element->CreateZCapsObject(fabric);
        if (generation == FABRIC_VERSION_2600) {
            element->CreateSecurityObjects(fabric);
        }
    }

    FabricElementList* list = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = getInterconnectElementList(ctx, &list);
    }
    if (status != 0) {
        if (list != nullptr) {
            freeApiRecord(list);
        }
        return MapApiError(status);
    }
    if (list == nullptr) {
        return kNoResult;
    }
    refreshTopology(ctx, fabric, *list);
    freeApiRecord(list);

    int platformCount = 0;
    if (generation != FABRIC_VERSION_2200) {
        platformCount = loadPlatforms(ctx, fabric);
    }
    loadFabricIsls(ctx, fabric);

    // Every list is taken once and the record sized from what was taken.
    const std::string capabilities = firstRelation(fabric, "setZoningCapabilities");
    if (capabilities.empty()) {
        return kNoZoningCapabilities;
    }
    const std::vector<std::string> switches = relationsOf(fabric, "setSwitch");
    std::vector<std::string> platforms;
    if (generation != FABRIC_VERSION_2200) {
        platforms = relationsOf(fabric, "setPlatform");
        if (platformCount >= 0 && platforms.size() > static_cast<std::size_t>(platformCount)) {
            platforms.resize(static_cast<std::size_t>(platformCount));
        }
    }
    std::vector<std::string> proxies;
    if (std::string proxy = firstRelation(fabric, "setProxy"); !proxy.empty()) {
        proxies.push_back(std::move(proxy));
    }
    const std::vector<std::string> links = relationsOf(fabric, "setISLSet");
    const std::size_t entries =
        switches.size() + platforms.size() + proxies.size() + links.size() + 4;
    auto* out =
        static_cast<FabricRecord*>(falAllocObject(sizeof(FabricRecord) + sizeof(OID_t) * entries));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::Fabric;
    CopyName48(out->OID, oid);
    wwn->copyOut(out->WWN);
    CopyName48(out->ZoningCapabilitiesOID, capabilities.c_str());
    if (generation == FABRIC_VERSION_2600) {
        out->VersionMark = 3;
        out->FabricType = 1;
        fabric->setShortAttr("FabricType", 1);
        std::string fabricOid;
        fabric->getStringAttr("OID", fabricOid);
        const unsigned short notifying =
            eventServerHooks().eventServerStarted(fabricOid) != 0 ? 1 : 0;
        out->EnableEventNotifications = notifying;
        fabric->setShortAttr("EnableEventNotifications", notifying);
        const std::string security = firstRelation(fabric, "setSecurityCapabilities");
        if (StoredObject* object = security.empty() ? nullptr : findObject(security)) {
            std::string text;
            if (object->getStringAttr("OID", text)) {
                CopyName48(out->SecurityCapabilitiesOID, text.c_str());
            }
        }
    }
    char* tail = reinterpret_cast<char*>(out + 1);
    out->SwitchOIDs = writeOidList(tail, switches);
    out->PlatformOIDs = writeOidList(tail, platforms);
    out->ProxyOIDs = writeOidList(tail, proxies);
    out->ISLOIDs = writeOidList(tail, links);
    *record = out;
    return 0;
}

int Fabric_2_2::CreateZCapsObject(StoredObject* fabric) {
    const int status = createZoningCapabilities(fabric, level());
    listZoningDatabases(fabric);
    return status;
}

void listZoningDatabases(StoredObject* fabric) {
    if (fabric == nullptr) {
        return;
    }
    const std::string capabilitiesOid = firstRelation(fabric, "setZoningCapabilities");
    const StoredObject* capabilities =
        capabilitiesOid.empty() ? nullptr : findObject(capabilitiesOid);
    // Lists, not relations: the fabric names its databases without holding
    // them, so a tree of the fabric still reaches them once, through the
    // zoning capabilities object.
    for (const char* name : {"setActiveZoneDB", "setFullZoneDB"}) {
        fabric->clearList(name);
        const std::string database =
            capabilities != nullptr ? firstRelation(capabilities, name) : std::string();
        if (!database.empty()) {
            fabric->appendListValue(name, database);
        }
    }
}

int Fabric_2_0::CreateSecurityObjects(StoredObject* fabric) {
    if (fabric == nullptr) {
        return -3;
    }
    const std::optional<WWNAddress> wwn = fabric->getWwnAttr("WWN");
    if (!wwn) {
        return -12;
    }
    StoredObject* capabilities = getOrCreateObject(ObjectType::SecurityCapabilities, *wwn);
    void* handle = nullptr;
    if (!fabric->getHandleAttr("HDL", handle) || handle == nullptr) {
        return kNoResult;
    }
    int secureMode = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        if (mpsGetSecureMode(static_cast<SessionContext*>(handle), &secureMode) != 0) {
            secureMode = 0;
        }
    }
    capabilities->addRelatedObject("setParent", fabric);
    fabric->addRelatedObject("setSecurityCapabilities", capabilities);
    attachChildClass(capabilities, ChildClass::SCapabilities, FABRIC_VERSION_2600);
    capabilities->clearSet("setActivePolicySet");
    capabilities->clearSet("setDefinedPolicySet");
    if (secureMode == 0) {
        return 0;
    }
    unsigned short value = 0;
    for (const char* name : {"SecurityTransactionActive", "SecurityTransactionDirty"}) {
        if (!capabilities->getShortAttr(name, value)) {
            capabilities->setShortAttr(name, 0);
        }
    }
    if (!capabilities->getShortAttr("CommitSecurityTransaction", value)) {
        capabilities->setShortAttr("CommitSecurityTransaction", 1);
    }
    const struct {
        unsigned short type;
        const char* set;
        unsigned short activate;
        ChildClass kind;
    } sets[] = {
        {ObjectType::ActivePolicySet, "setActivePolicySet", 1, ChildClass::ActivePolicySet},
        {ObjectType::DefinedPolicySet, "setDefinedPolicySet", 0, ChildClass::DefinedPolicySet},
    };
    for (const auto& entry : sets) {
        StoredObject* policySet = getOrCreateObject(entry.type, *wwn);
        capabilities->addRelatedObject(entry.set, policySet);
        policySet->addRelatedObject("setParent", capabilities);
        if (!policySet->getShortAttr("ActivatePolicySet", value)) {
            policySet->setShortAttr("ActivatePolicySet", entry.activate);
        }
        attachChildClass(policySet, entry.kind, FABRIC_VERSION_2600);
    }
    return 0;
}

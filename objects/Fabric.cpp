#include "objects/Fabric.h"

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "api/FabricVersionInfo.h"
#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "connection/clilib_session.h"
#include "foundation/FirmwareVersion.h"
#include "objects/ChildClasses.h"
#include "objects/FabricClasses.h"
#include "objects/ObjectTypes.h"
#include "objects/RequestRetry.h"
#include "objects/SwitchClasses.h"

namespace {

constexpr int kNoResult = -4;
constexpr int kNoObject = -3;
constexpr int kNoElement = -13;
constexpr int kNotStored = -21;
// Element types of the interconnect element list.
constexpr int kSwitchElement = 1;
// What the fabric discovery is asked with.
constexpr int kDiscoverAll = 256;

void copyText(char* to, std::size_t size, const char* text) {
    copyBoundedText(to, size, text, std::strlen(text));
}

// The level that a discovery entry's API version word names: its top byte
// 0x02 the current level, 0x01 firmware 3.0.2; false for any other word.
bool levelOfApiWord(unsigned int word, int& level, int& secondary) {
    switch (word >> 24) {
    case 0x02:
        level = FABRIC_VERSION_2600;
        secondary = 0;
        return true;
    case 0x01:
        level = FABRIC_VERSION_2300;
        secondary = FABRIC_VERSION_3020;
        return true;
    default:
        return false;
    }
}

// Stores the switch object of `name` below the fabric, linked both ways.
StoredObject* linkSwitch(StoredObject* fabric, const WWNAddress& name) {
    StoredObject* sw = getOrCreateObject(ObjectType::Switch, name);
    sw->addRelatedObject("setParent", fabric);
    fabric->addRelatedObject("setSwitch", sw);
    return sw;
}

// Attaches the switch class of `level` to the switch object and returns
// it (owned by the object).
Switch* attachSwitchClass(StoredObject* sw, int level, int secondary) {
    std::unique_ptr<Switch> element = makeSwitchClass(level, secondary);
    Switch* raw = element.get();
    sw->setElement(element.release());
    sw->setStringAttr("SFVersion", switchVersionText(level));
    return raw;
}

// The discovery, asked until it lists at least `elementCount` switches.
int discoverSwitches(SessionContext* ctx, int elementCount, DiscoverFabricRecord*& result) {
    result = nullptr;
    int status = kSwitchBusy;
    for (int attempt = 0; attempt < kBusyAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        {
            LockGuard device(getSwitchRequestMutex());
            status = discoverFabric(ctx, kDiscoverAll, &result);
        }
        if (status == 0 && result != nullptr &&
            result->switches.switches_len < static_cast<unsigned>(elementCount)) {
            // Not every switch has joined the discovery yet.
            freeDiscoverFabricResult(result);
            result = nullptr;
            status = kSwitchBusy;
        }
        if (MapApiError(status) != kSwitchBusy) {
            break;
        }
    }
    if (status != 0) {
        return status;
    }
    return result == nullptr ? kNoResult : 0;
}

// The name server's port list: the ports, nodes and devices it names. Its
// failure leaves the switches loaded and is no failure of the load.
int attachNameServerEntries(SessionContext* ctx) {
    int count = 0;
    NSPortListEntry* entries = nullptr;
    const int status = askUntilNotBusy([&] {
        if (entries != nullptr) {
            freeEntryList768(entries);
            entries = nullptr;
        }
        return snsGetEntryList768(ctx, &count, &entries);
    });
    if (status != 0) {
        return 0;
    }
    if (count < 0 || (count > 0 && entries == nullptr)) {
        if (entries != nullptr) {
            freeEntryList768(entries);
        }
        return kNoResult;
    }
    for (int i = 0; i < count; ++i) {
        attachNameServerEntry(entries[i]);
    }
    if (entries != nullptr) {
        freeEntryList768(entries);
    }
    return 0;
}

std::atomic<int> fabricCounter{0};

} // namespace

std::unique_ptr<SanElement> makeFabricClass(int fabricLevel) {
    switch (fabricLevel) {
    case FABRIC_VERSION_2300:
        return std::make_unique<Fabric_2_3>();
    case FABRIC_VERSION_2600:
        return std::make_unique<Fabric_2_0>();
    default:
        return std::make_unique<Fabric_2_2>();
    }
}

int Fabric::AttachFabricImplementation(SessionContext* ctx, StoredObject* fabric) {
    if (fabric == nullptr || ctx == nullptr) {
        return kNoObject;
    }
    FabricElementList* elements = nullptr;
    const int listed = askUntilNotBusy([&] {
        if (elements != nullptr) {
            freeApiRecord(elements);
            elements = nullptr;
        }
        return getInterconnectElementList(ctx, &elements);
    });
    if (listed != 0) {
        if (elements != nullptr) {
            freeApiRecord(elements);
        }
        return listed == kSwitchBusy ? kSwitchBusy : MapApiError(listed);
    }
    if (elements == nullptr) {
        return kNoResult;
    }
    char proxyVersion[FirmwareVersion::TextSize + 1] = {};
    int proxyLevel = 0;
    int secondary = 0;
    int status = GetProxyVersion(ctx, ctx->proxyWWN, proxyLevel, secondary, proxyVersion,
                                 sizeof proxyVersion);
    if (status == 0) {
        fabric->setStringAttr("ProxySwitchVersion", proxyVersion);
        int fabricLevel = FABRIC_VERSION_2600;
        if (proxyLevel == FABRIC_VERSION_2600) {
            status = loadSwitchesFromDiscovery(ctx, fabric, static_cast<int>(elements->count),
                                               fabricLevel);
        } else {
            status = loadSwitchesFromElementList(ctx, fabric, *elements, proxyLevel, fabricLevel);
        }
        if (status == 0) {
            const int level = fabricLevel == FABRIC_VERSION_2300 || fabricLevel == FABRIC_VERSION_2600
                                  ? fabricLevel
                                  : FABRIC_VERSION_2200;
            fabric->setElement(makeFabricClass(level).release());
            fabric->setShortAttr("fabVersion", static_cast<unsigned short>(level));
        }
        createFabricChildren(fabric);
    }
    freeApiRecord(elements);
    return status;
}

int GetProxyVersion(SessionContext* ctx, const unsigned char switchName[8], int& level,
                    int& secondary, char* text, std::size_t textSize) {
    level = 0;
    secondary = 0;
    char* version = nullptr;
    int status = kSwitchBusy;
    for (int attempt = 0; attempt < kBusyAttempts && status == kSwitchBusy; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        LockGuard device(getSwitchRequestMutex());
        status = getSwitchFirmwareVersion(ctx, switchName, &version);
        if (MapApiError(status) == kSwitchBusy) {
            status = kSwitchBusy;
        }
    }
    if (status == kSwitchBusy) {
        return kSwitchBusy;
    }
    level = VersionLevelOfReply(status, version, &secondary);
    if (status != 0) {
        copyText(text, textSize, "v2.2");
    } else if (version == nullptr) {
        copyText(text, textSize, "v2.3");
    } else {
        copyBoundedText(text, textSize, version, FirmwareVersion::TextSize);
        freeApiRecord(version);
    }
    return 0;
}

int loadSwitchesFromDiscovery(SessionContext* ctx, StoredObject* fabric, int elementCount,
                              int& lowestLevel) {
    DiscoverFabricRecord* result = nullptr;
    const int discovered = discoverSwitches(ctx, elementCount, result);
    if (discovered != 0) {
        return discovered;
    }
    fabric->clearSet("setSwitch");
    for (unsigned i = 0; i < result->switches.switches_len; ++i) {
        const DiscoveredSwitch& entry = result->switches.switches_val[i];
        const WWNAddress name(reinterpret_cast<const unsigned char*>(entry.switchName));
        StoredObject* sw = linkSwitch(fabric, name);
        int level = 0;
        int secondary = 0;
        if (!levelOfApiWord(static_cast<unsigned int>(entry.apiVersion), level, secondary)) {
            const int status = GetProxyVersion(ctx, name.bytes(), level, secondary);
            if (status != 0) {
                freeDiscoverFabricResult(result);
                return status;
            }
        }
        Switch* element = attachSwitchClass(sw, level, secondary);
        const int loaded = element->LoadPorts(ctx, sw, &entry);
        if (loaded != 0) {
            freeDiscoverFabricResult(result);
            return loaded;
        }
        if (level < lowestLevel) {
            lowestLevel = level;
        }
    }
    freeDiscoverFabricResult(result);
    return attachNameServerEntries(ctx);
}

int loadSwitchesFromElementList(SessionContext* ctx, StoredObject* fabric,
                                const FabricElementList& elements, int proxyLevel,
                                int& fabricLevel) {
    fabricLevel = FABRIC_VERSION_2300;
    fabric->clearSet("setSwitch");
    for (std::uint32_t i = 0; i < elements.count; ++i) {
        const FabricElement& element = elements.entries[i];
        const WWNAddress name(element.name);
        StoredObject* sw = linkSwitch(fabric, name);
        int level = 0;
        int secondary = 0;
        const int status = GetProxyVersion(ctx, element.name, level, secondary);
        if (status != 0) {
            return status;
        }
        if (proxyLevel < level) {
            level = proxyLevel;
            secondary = 0;
        }
        if (level < FABRIC_VERSION_2300) {
            level = FABRIC_VERSION_2200;
            fabricLevel = FABRIC_VERSION_2200;
        } else {
            level = FABRIC_VERSION_2300;
        }
        Switch* cls = attachSwitchClass(sw, level, secondary);
        const int loaded = cls->LoadPortsWithoutType(ctx, sw, &element);
        if (loaded != 0) {
            return loaded;
        }
    }
    return 0;
}

int attachNameServerEntry(const NSPortListEntry& entry) {
    StoredObject* switchPort =
        findObject(oidOfName(ObjectType::Port, WWNAddress(entry.switchPortName)));
    if (switchPort == nullptr) {
        return kNotStored;
    }
    int level = FABRIC_VERSION_2300;
    if (const auto* versioned = switchPort->getElement<VersionedElement>()) {
        level = versioned->versionLevel();
    }
    const int childLevel = level == FABRIC_VERSION_2600 ? FABRIC_VERSION_2600 : FABRIC_VERSION_2300;

    StoredObject* port = getOrCreateObject(ObjectType::Port, WWNAddress(entry.portName));
    port->addRelatedObject("setAttchPort", switchPort);
    switchPort->addRelatedObject("setAttchPort", port);
    const unsigned short portType = entry.portType == 1   ? PORT_TYPE_N
                                    : entry.portType == 2 ? PORT_TYPE_NL
                                                          : PORT_TYPE_OTHER;
    port->setShortAttr("PortType", portType);
    attachChildClass(port, ChildClass::Port, childLevel, 0, true);

    StoredObject* node = getOrCreateObject(ObjectType::Node, WWNAddress(entry.nodeName));
    node->addRelatedObject("setPorts", port);
    attachChildClass(node, ChildClass::Node, childLevel);

    StoredObject* device = getOrCreateObject(ObjectType::Device, WWNAddress(entry.nodeName));
    device->addRelatedObject("setNode", node);
    node->addRelatedObject("setDevice", device);
    attachChildClass(device, ChildClass::Device, childLevel);
    return 0;
}

const char* ObjectClassName(unsigned short type) {
    switch (type) {
    case ObjectType::Zone:
        return "Zone";
    case ObjectType::ZoneConfig:
        return "ZoneSet";
    case ObjectType::Platform:
        return "Platform";
    case ObjectType::ZoneAlias:
        return "ZoneAlias";
    case ObjectType::ZoneMember:
        return "ZoneMember";
    case ObjectType::PhysicalSwitchGroup:
        return "SwitchGroup";
    case ObjectType::DefinedPolicy:
        return "DefinedPolicy";
    default:
        return "";
    }
}

void assignFabricCounter(StoredObject* fabric) {
    int counter = 0;
    if (fabric != nullptr && !fabric->getIntAttr("FabricCounter", counter)) {
        fabric->setIntAttr("FabricCounter", ++fabricCounter);
    }
}

int createFabricChildren(StoredObject* fabric) {
    SanElement* element = fabric != nullptr ? fabric->getElement<SanElement>() : nullptr;
    if (element == nullptr) {
        return kNoElement;
    }
    element->CreateSecurityObjects(fabric);
    element->CreateZCapsObject(fabric);
    return 0;
}

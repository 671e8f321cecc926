#include "objects/Fabric.h"

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "api/FabricVersionInfo.h"
#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "connection/clilib_session.h"
#include "foundation/FirmwareVersion.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/ObjectTypes.h"

namespace {

constexpr int kBusy = -86;
constexpr int kAttempts = 5;
constexpr int kNoResult = -4;
constexpr int kNoObject = -3;
constexpr int kNoElement = -13;
// Element type of a switch in the interconnect element list.
constexpr int kSwitchElement = 1;

// Runs `request` under the device-access lock until it is not busy, at
// most five times with a pause between; its last status.
template <class Request> int askUntilNotBusy(Request&& request) {
    int status = kBusy;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        {
            LockGuard device(getSwitchRequestMutex());
            status = request();
        }
        if (MapApiError(status) != kBusy) {
            return status;
        }
    }
    return kBusy;
}

void copyText(char* to, std::size_t size, const char* text) {
    if (to == nullptr || size == 0) {
        return;
    }
    std::memset(to, 0, size);
    std::memcpy(to, text, strnlen(text, size - 1));
}

const char* switchVersionText(int level) {
    if (level < FABRIC_VERSION_2300) {
        return "2.2";
    }
    return level < FABRIC_VERSION_2600 ? "2.3" : "2.6";
}

std::string oidOf(unsigned short type, const WWNAddress& wwn) {
    std::string oid;
    formatOidString(type, wwn, oid);
    return oid;
}

// Creates the fabric's switch objects from the interconnect element list,
// each with the level of its firmware (lowered to the proxy's below 2600),
// and yields the fabric's level: the lowest of them. The switch classes
// replace this with their loaders, which also attach each switch's class
// and load its ports.
int loadSwitches(SessionContext* ctx, StoredObject* fabric, const FabricElementList& elements,
                 int proxyLevel, int& fabricLevel) {
    const std::string fabricOid = oidOf(ObjectType::Fabric, WWNAddress(ctx->fabricWWN));
    fabricLevel = proxyLevel >= FABRIC_VERSION_2600 ? FABRIC_VERSION_2600 : FABRIC_VERSION_2300;
    fabric->clearSet("setSwitch");
    for (std::uint32_t i = 0; i < elements.count; ++i) {
        const FabricElement& element = elements.entries[i];
        if ((element.type & 0xFF) != kSwitchElement) {
            continue;
        }
        const WWNAddress name(element.name);
        StoredObject* sw = getOrCreateObject(ObjectType::Switch, name);
        sw->addRelation("setParent", fabricOid);
        fabric->addRelation("setSwitch", oidOf(ObjectType::Switch, name));
        int level = 0;
        int secondary = 0;
        const int status = GetProxyVersion(ctx, element.name, level, secondary);
        if (status != 0) {
            return status;
        }
        if (proxyLevel < FABRIC_VERSION_2600 && proxyLevel < level) {
            level = proxyLevel;
        }
        sw->setStringAttr("SFVersion", switchVersionText(level));
        if (level < fabricLevel) {
            fabricLevel = level < FABRIC_VERSION_2300 ? FABRIC_VERSION_2200 : level;
        }
    }
    return 0;
}

std::atomic<int> fabricCounter{0};

} // namespace

std::unique_ptr<SanElement> makeFabricClass(int) {
    // The versioned fabric classes (one per fabric level) are made here
    // once they exist; until then no class is attached.
    return nullptr;
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
        return MapApiError(listed);
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
        status = loadSwitches(ctx, fabric, *elements, proxyLevel, fabricLevel);
        if (status == 0) {
            const int level = fabricLevel < FABRIC_VERSION_2300 ? FABRIC_VERSION_2200 : fabricLevel;
            if (std::unique_ptr<SanElement> element = makeFabricClass(level)) {
                fabric->setElement(element.release());
            }
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
    int status = kBusy;
    for (int attempt = 0; attempt < kAttempts && status == kBusy; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        LockGuard device(getSwitchRequestMutex());
        status = getSwitchFirmwareVersion(ctx, switchName, &version);
    }
    if (status == kBusy) {
        return kBusy;
    }
    if (status != 0) {
        level = FABRIC_VERSION_2200;
        copyText(text, textSize, "v2.2");
        return 0;
    }
    if (version == nullptr) {
        level = FABRIC_VERSION_2300;
        copyText(text, textSize, "v2.3");
        return 0;
    }
    switch (ClassifyVersionString(version)) {
    case 1:
        level = FABRIC_VERSION_2300;
        break;
    case 2:
        level = FABRIC_VERSION_2300;
        secondary = FABRIC_VERSION_3020;
        break;
    default:
        level = FABRIC_VERSION_2600;
        break;
    }
    copyText(text, textSize, version);
    freeApiRecord(version);
    return 0;
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

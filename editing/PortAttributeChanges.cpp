#include "editing/PortAttributeChanges.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <orvane/status.h>

#include "api/StoredObject.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "editing/SwitchAttributeChanges.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/StatusTranslation.h"
#include "objects/ChildClasses.h"
#include "objects/ObjectTypes.h"

namespace {

constexpr int kBadValue = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNoPortInfo = -7;
constexpr int kEmptyName = -11;
constexpr int kPortRefused = -17;
constexpr int kWrongTarget = -17;
constexpr int kNotAPort = -20;
constexpr int kDistanceRefused = -36;

namespace code {
constexpr unsigned PortState = 0x40108;
constexpr unsigned PortSpeed = 0x40111;
constexpr unsigned PortLinkDistance = 0x40112;
constexpr unsigned TxLinkRouteCost = 0x40113;
constexpr unsigned TrunkDisable = 0x4011C;
constexpr unsigned PortStatsReset = 0x40E41;
constexpr unsigned PortErrorsReset = 0x40E71;
constexpr unsigned PortModuleState = 0x40E24;
constexpr unsigned PortSymbolicName = 0x110118;
constexpr unsigned NodeSymbolicName = 0x80422;
} // namespace code

// Length of the type and world wide name at the start of an identifier;
// a port module's index follows as eight hexadecimal digits.
constexpr std::size_t kNamedOidLength = 20;

int setPort(const AttributeEntry& entry, bool second, unsigned selector, unsigned value) {
    LockGuard device(getSwitchRequestMutex());
    return second ? portSetInfo2(entry.session, selector, entry.wwn.bytes(), value)
                  : portSetInfo(entry.session, selector, entry.wwn.bytes(), value);
}

// The port's information from the switch: 0 with `info` filled.
int portInformation(const AttributeEntry& entry, PortInfoRecord& info) {
    LockGuard device(getSwitchRequestMutex());
    PortInfoRecord* reply = nullptr;
    const int status = portGetInfo(entry.session, entry.wwn.bytes(), &reply);
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return status != 0 ? status : kNoPortInfo;
    }
    info = *reply;
    freeApiRecord(reply);
    return 0;
}

AttributeOutcome portState(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Port) {
        return AttributeOutcome::end(kNotAPort);
    }
    const unsigned value = attributeNumber(entry);
    if (setPort(entry, false, 0x1, value) != 0) {
        return AttributeOutcome::record(kPortRefused);
    }
    entry.object->setShortAttr("PortState", static_cast<unsigned short>(value));
    return AttributeOutcome::next();
}

// "PortSpeed" and "TxLinkRouteCost": nothing is sent when the switch
// already has the value.
AttributeOutcome changedPortValue(AttributeEntry& entry) {
    const bool speed = entry.code == code::PortSpeed;
    if (speed && entry.objType != ObjectType::Port) {
        return AttributeOutcome::end(kNotAPort);
    }
    PortInfoRecord info{};
    if (portInformation(entry, info) != 0) {
        return AttributeOutcome::record(kNoPortInfo);
    }
    const unsigned value = attributeNumber(entry);
    if ((speed ? info.u7 : info.u9) == value) {
        return AttributeOutcome::next();
    }
    if (setPort(entry, false, speed ? 0x2 : 0x4, value) != 0) {
        return AttributeOutcome::record(kPortRefused);
    }
    if (speed) {
        entry.object->setShortAttr("PortSpeed", static_cast<unsigned short>(value));
    } else {
        entry.object->setIntAttr("TxLinkRouteCost", static_cast<int>(value));
    }
    return AttributeOutcome::next();
}

AttributeOutcome linkDistance(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Port) {
        return AttributeOutcome::end(kNotAPort);
    }
    if (setPort(entry, true, 0x20, attributeNumber(entry)) != 0) {
        return AttributeOutcome::record(kDistanceRefused);
    }
    return AttributeOutcome::next();
}

// "TrunkDisable": any non-zero value goes out with every bit set.
AttributeOutcome trunkDisable(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Port) {
        return AttributeOutcome::end(kNotAPort);
    }
    const unsigned value = attributeNumber(entry) != 0 ? ~0u : 0u;
    const int status = setPort(entry, true, 0x8, value);
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

// "PortStatsReset" and "PortErrorsReset": the switch clears the counters.
AttributeOutcome resetCounters(AttributeEntry& entry) {
    const bool stats = entry.code == code::PortStatsReset;
    if (entry.objType != (stats ? ObjectType::PortStats : ObjectType::PortErrors)) {
        return AttributeOutcome::record(kNotAPort);
    }
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = stats ? portSetPstats(entry.session, 1, entry.wwn.bytes())
                       : portSetPerrs(entry.session, 1, entry.wwn.bytes());
    }
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

// "PortModuleState": the module is named by its switch and its index.
AttributeOutcome portModuleState(AttributeEntry& entry) {
    if (entry.objType != ObjectType::PortModule) {
        return AttributeOutcome::end(kNotAPort);
    }
    unsigned index = 0;
    char tail = 0;
    if (entry.oid.size() <= kNamedOidLength ||
        std::sscanf(entry.oid.c_str() + kNamedOidLength, "%8x%c", &index, &tail) != 1) {
        return AttributeOutcome::end(kBadValue);
    }
    IntPair state{static_cast<int>(index), static_cast<int>(attributeNumber(entry))};
    PortModuleStateArgs request{};
    std::memcpy(request.name, entry.wwn.bytes(), sizeof request.name);
    request.states.states_len = 1;
    request.states.states_val = &state;
    PortModuleStateArgs* reply = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = setPortModuleState(entry.session, &request, &reply);
    }
    freePortModuleState(reply);
    return status != 0 ? AttributeOutcome::record(MapApiError(status)) : AttributeOutcome::next();
}

bool switchSidePortType(unsigned short type) {
    return (type >= PORT_TYPE_OTHER && type <= PORT_TYPE_E) || type == PORT_TYPE_8;
}

bool devicePortType(unsigned short type) {
    return type == PORT_TYPE_N || type == PORT_TYPE_NL;
}

// The port's identifier: the stored "PortId", else the switch's answer,
// which is then stored. 0 or -7.
int portIdOf(AttributeEntry& entry, unsigned short type, unsigned& portId) {
    int stored = 0;
    if (entry.object->getIntAttr("PortId", stored)) {
        portId = static_cast<unsigned>(stored);
        return 0;
    }
    if (switchSidePortType(type)) {
        PortInfoRecord info{};
        if (portInformation(entry, info) != 0) {
            return kNoPortInfo;
        }
        portId = static_cast<unsigned>(info.v2);
    } else if (devicePortType(type)) {
        LockGuard device(getSwitchRequestMutex());
        int* reply = nullptr;
        const int status = snsGetPortIDByPortName(entry.session, entry.wwn.bytes(), &reply);
        if (status != 0 || reply == nullptr) {
            if (reply != nullptr) {
                freeApiRecord(reply);
            }
            return kNoPortInfo;
        }
        portId = static_cast<unsigned>(*reply);
        freeApiRecord(reply);
    } else {
        return kNoPortInfo;
    }
    entry.object->setIntAttr("PortId", static_cast<int>(portId));
    return 0;
}

// "PortSymbolicName": only device ports carry one, registered with the
// name server under the port's identifier.
AttributeOutcome portSymbolicName(AttributeEntry& entry) {
    if (entry.value == nullptr) {
        return AttributeOutcome::end(kBadValue);
    }
    unsigned short type = 0;
    if (!entry.object->getShortAttr("PortType", type)) {
        return AttributeOutcome::record(kNoPortInfo);
    }
    unsigned portId = 0;
    if (portIdOf(entry, type, portId) != 0 || !devicePortType(type)) {
        return AttributeOutcome::record(kNoPortInfo);
    }
    const char* text = static_cast<const char*>(entry.value);
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = snsSetSPN(entry.session, portId, text, std::strlen(text));
    }
    return status != 0 ? AttributeOutcome::record(kNoPortInfo) : AttributeOutcome::next();
}

AttributeOutcome nodeSymbolicName(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Node) {
        return AttributeOutcome::record(kWrongTarget);
    }
    if (entry.value == nullptr) {
        return AttributeOutcome::end(kBadValue);
    }
    const char* text = static_cast<const char*>(entry.value);
    if (text[0] == '\0') {
        return AttributeOutcome::record(kEmptyName);
    }
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = snsSetSNN(entry.session, entry.wwn.bytes(), text, std::strlen(text));
    }
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

} // namespace

void installPortAttributeChanges() {
    registerAttributeHandler(code::PortState, {portState});
    registerAttributeHandler(code::PortSpeed, {changedPortValue});
    registerAttributeHandler(code::TxLinkRouteCost, {changedPortValue});
    registerAttributeHandler(code::PortLinkDistance, {linkDistance});
    registerAttributeHandler(code::TrunkDisable, {trunkDisable});
    registerAttributeHandler(code::PortStatsReset, {resetCounters});
    registerAttributeHandler(code::PortErrorsReset, {resetCounters});
    registerAttributeHandler(code::PortModuleState, {portModuleState});
    registerAttributeHandler(code::PortSymbolicName, {portSymbolicName});
    registerAttributeHandler(code::NodeSymbolicName, {nodeSymbolicName});
}

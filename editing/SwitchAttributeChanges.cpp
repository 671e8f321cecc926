#include "editing/SwitchAttributeChanges.h"

#include <cstring>
#include <string>
#include <vector>

#include <orvane/status.h>

#include "api/StoredObject.h"
#include "connection/clilib.h"
#include "editing/PortAttributeChanges.h"
#include "editing/SecurityAttributeChanges.h"
#include "editing/ZoneMemberAttributeChanges.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/ObjectTypes.h"
#include "objects/PlatformClasses.h"
#include "objects/ThrexMngr.h"
#include "services/EventManager.h"

namespace {

constexpr int kBadValue = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kStateRefused = -6;
constexpr int kWrongTarget = -17;
constexpr int kPasswordTooLong = -84;
// The request layer's code for a time zone the switch does not take.
constexpr int kTimeZoneRefused = -20011;

namespace code {
constexpr unsigned SwitchState = 0x40212;
constexpr unsigned SwitchTime = 0x50213;
constexpr unsigned SwitchTimeZone = 0x50214;
constexpr unsigned SwitchName = 0x11020B;
constexpr unsigned LoginPassword = 0x7020F;
constexpr unsigned InBandAddr = 0xF0202;
constexpr unsigned OutBandAddr = 0xF0203;
constexpr unsigned InBandNetMask = 0xF0216;
constexpr unsigned OutBandNetMask = 0xF0217;
constexpr unsigned IPGateway = 0xF0218;
constexpr unsigned EmbSwBaseIPAddr = 0xF0229;
constexpr unsigned EmbSwBaseDomainId = 0x4022A;
constexpr unsigned EmbSwEportMode = 0x6022B;
constexpr unsigned EmbSwBoxSerialNumber = 0x7022C;
constexpr unsigned ThrexEventsEnable = 0x40224;
constexpr unsigned EnableEventNotifications = 0x40905;
constexpr unsigned PhysGroupName = 0x7022F;
constexpr unsigned ApplyBoundaryChanges = 0x40EA0;
constexpr unsigned CancelBoundaryChanges = 0x40EA1;
constexpr unsigned ApplyAlarmChanges = 0x40EA2;
constexpr unsigned CancelAlarmChanges = 0x40EA3;
} // namespace code

// The account whose password "LoginPassword" changes.
constexpr char kAdminAccount[] = "admin";

// One switch field: the request (1286 or 1288), its selector and how the
// value is read.
enum class ValueKind { Number, Text, IpText };
struct SwitchField {
    unsigned code;
    bool second; // switchSetInfo2
    unsigned selector;
    ValueKind kind;
};
constexpr SwitchField kSwitchFields[] = {
    {code::SwitchTime, false, 0x8, ValueKind::Number},
    {code::SwitchName, false, 0x20, ValueKind::Text},
    {code::InBandAddr, false, 0x1, ValueKind::IpText},
    {code::OutBandAddr, false, 0x2, ValueKind::IpText},
    {code::InBandNetMask, false, 0x80, ValueKind::IpText},
    {code::OutBandNetMask, false, 0x100, ValueKind::IpText},
    {code::IPGateway, false, 0x200, ValueKind::IpText},
    {code::EmbSwBaseIPAddr, true, 0x400, ValueKind::IpText},
    {code::EmbSwBaseDomainId, true, 0x800, ValueKind::Number},
    {code::EmbSwEportMode, true, 0x1000, ValueKind::Number},
    {code::EmbSwBoxSerialNumber, true, 0x2000, ValueKind::Text},
};

const SwitchField* fieldOf(unsigned attributeCode) {
    for (const SwitchField& field : kSwitchFields) {
        if (field.code == attributeCode) {
            return &field;
        }
    }
    return nullptr;
}

int setSwitchField(const AttributeEntry& entry, bool second, unsigned selector,
                   const SwitchInfoValue& value) {
    LockGuard device(getSwitchRequestMutex());
    return second ? switchSetInfo2(entry.session, selector, entry.wwn.bytes(), value)
                  : switchSetInfo(entry.session, selector, entry.wwn.bytes(), value);
}

// Checks the IP address texts once, before any entry is visited.
int checkIpText(unsigned, void* value) {
    if (value == nullptr) {
        return kBadValue;
    }
    return isValidIpAddressText(static_cast<const char*>(value)) ? 0 : -31;
}

// The plain switch fields: one request, -3 recorded on failure, nothing
// stored.
AttributeOutcome plainSwitchField(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Switch) {
        return AttributeOutcome::record(kWrongTarget);
    }
    const SwitchField* field = fieldOf(entry.code);
    SwitchInfoValue value;
    if (field->kind == ValueKind::Number) {
        value.number = attributeNumber(entry);
    } else {
        if (entry.value == nullptr) {
            return AttributeOutcome::end(kBadValue);
        }
        value.text = static_cast<const char*>(entry.value);
    }
    if (setSwitchField(entry, field->second, field->selector, value) != 0) {
        return AttributeOutcome::record(kBadValue);
    }
    if (field->code == code::SwitchTime) {
        entry.object->setIntAttr("SwitchTime", static_cast<int>(value.number));
    }
    return AttributeOutcome::next();
}

// "SwitchState": the state codes 0x230 to 0x233 of the records go out as
// the switch's 1 to 4.
AttributeOutcome switchState(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Switch) {
        return AttributeOutcome::record(kWrongTarget);
    }
    unsigned state = attributeNumber(entry);
    if (state >= 0x230 && state <= 0x233) {
        state -= 0x230 - 1;
    }
    SwitchInfoValue value;
    value.number = state;
    if (setSwitchField(entry, false, 0x4, value) != 0) {
        return AttributeOutcome::record(kStateRefused);
    }
    entry.object->setShortAttr("SwitchState", static_cast<unsigned short>(state));
    return AttributeOutcome::next();
}

AttributeOutcome switchTimeZone(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Switch) {
        return AttributeOutcome::record(kWrongTarget);
    }
    SwitchInfoValue value;
    value.number = attributeNumber(entry);
    if (const int status = setSwitchField(entry, false, 0x10, value); status != 0) {
        return AttributeOutcome::record(status == kTimeZoneRefused ? MapApiError(status)
                                                                   : kBadValue);
    }
    entry.object->setIntAttr("SwitchTimeZone", static_cast<int>(value.number));
    return AttributeOutcome::next();
}

// "LoginPassword": the administrator account's password; the text is
// never written to a trace.
AttributeOutcome loginPassword(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Switch) {
        return AttributeOutcome::record(kWrongTarget);
    }
    if (entry.value == nullptr) {
        return AttributeOutcome::end(kBadValue);
    }
    const char* password = static_cast<const char*>(entry.value);
    if (strnlen(password, MaxPasswordLength + 1) > MaxPasswordLength) {
        return AttributeOutcome::end(kPasswordTooLong);
    }
    SwitchInfoValue value;
    value.text = kAdminAccount;
    value.secondText = password;
    if (setSwitchField(entry, false, 0x40, value) != 0) {
        return AttributeOutcome::record(kBadValue);
    }
    return AttributeOutcome::next();
}

AttributeOutcome threxEvents(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Switch) {
        return AttributeOutcome::record(kWrongTarget);
    }
    EventManager* events = EventManager::instance();
    if (events == nullptr) {
        return AttributeOutcome::record(FABAPI_ERR_OUT_OF_MEMORY);
    }
    const std::vector<std::string> switches{entry.oid};
    const int status = (attributeNumber(entry) & 0xFFFFu) != 0
                           ? events->enableThrexEvents(switches)
                           : events->disableThrexEvents(switches);
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

AttributeOutcome eventNotifications(AttributeEntry& entry) {
    if (entry.objType != ObjectType::Fabric) {
        return AttributeOutcome::record(kWrongTarget);
    }
    EventManager* events = EventManager::instance();
    if (events == nullptr) {
        return AttributeOutcome::record(FABAPI_ERR_OUT_OF_MEMORY);
    }
    const int status =
        events->enableEventNotification(entry.oid, static_cast<int>(attributeNumber(entry)));
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

// "PhysGroupName": the switch renames the group it holds under its old
// name.
AttributeOutcome physGroupName(AttributeEntry& entry) {
    if (entry.objType != ObjectType::PhysicalSwitchGroup) {
        return AttributeOutcome::record(kWrongTarget);
    }
    if (entry.value == nullptr) {
        return AttributeOutcome::end(kBadValue);
    }
    LockGuard device(getSwitchRequestMutex());
    SGroupRecord* group = nullptr;
    const int found = switchGetSGroup(entry.session, entry.wwn.bytes(), &group);
    if (found != 0 || group == nullptr) {
        if (group != nullptr) {
            freeApiRecord(group);
        }
        return AttributeOutcome::end(kBadValue);
    }
    // The name field need not end in a NUL.
    const std::string oldName(group->groupName, strnlen(group->groupName, sizeof group->groupName));
    freeApiRecord(group);
    const int status = switchRenameSGroup(entry.session, entry.wwn.bytes(), oldName.c_str(),
                                          static_cast<const char*>(entry.value));
    return status != 0 ? AttributeOutcome::end(MapApiError(status)) : AttributeOutcome::next();
}

// The threshold boundary and alarm changes go to the threshold manager for
// the identifier as given.
AttributeOutcome threxChange(AttributeEntry& entry) {
    OID_t oid = {};
    CopyName48(oid, entry.oid.c_str());
    const int status = ThrexAttributeDispatch(oid, entry.code);
    return status != 0 ? AttributeOutcome::end(status) : AttributeOutcome::next();
}

// Every code on a platform goes to the platform's own setter.
AttributeOutcome platformChange(AttributeEntry& entry) {
    const int status =
        setPlatformType(entry.object, entry.code, static_cast<const unsigned short*>(entry.value));
    return status != 0 ? AttributeOutcome::end(status) : AttributeOutcome::next();
}

} // namespace

bool isValidIpAddressText(const char* text) {
    if (text == nullptr) {
        return false;
    }
    const std::size_t length = strnlen(text, 16);
    if (length > 15) {
        return false;
    }
    if (std::strcmp(text, "none") == 0) {
        return true;
    }
    int parts = 0;
    const char* part = text;
    for (;;) {
        const char* end = part;
        unsigned value = 0;
        while (*end >= '0' && *end <= '9') {
            value = value * 10 + static_cast<unsigned>(*end - '0');
            ++end;
        }
        const std::size_t digits = static_cast<std::size_t>(end - part);
        if (digits == 0 || (digits > 1 && part[0] == '0') || value > 255) {
            return false;
        }
        ++parts;
        if (*end == '\0') {
            return parts == 4;
        }
        if (*end != '.' || parts == 4) {
            return false;
        }
        part = end + 1;
    }
}

void installSwitchAttributeChanges() {
    for (const SwitchField& field : kSwitchFields) {
        AttributeHandlerRow row{plainSwitchField};
        if (field.kind == ValueKind::IpText) {
            row.valueCheck = checkIpText;
        }
        registerAttributeHandler(field.code, row);
    }
    registerAttributeHandler(code::SwitchState, {switchState});
    registerAttributeHandler(code::SwitchTimeZone, {switchTimeZone});
    registerAttributeHandler(code::LoginPassword, {loginPassword});
    registerAttributeHandler(code::ThrexEventsEnable, {threxEvents});
    registerAttributeHandler(code::EnableEventNotifications, {eventNotifications});
    registerAttributeHandler(code::PhysGroupName, {physGroupName});
    for (const unsigned threx : {code::ApplyBoundaryChanges, code::CancelBoundaryChanges,
                                 code::ApplyAlarmChanges, code::CancelAlarmChanges}) {
        registerAttributeHandler(threx, {threxChange, true, true});
    }
    registerObjectTypeAttributeHandler(ObjectType::Platform, platformChange);
    installPortAttributeChanges();
    installSecurityAttributeChanges();
    installZoneMemberAttributeChanges();
}

#include "objects/PortClasses.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "objects/FabricNavigation.h"
#include "objects/NameServerCache.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "objects/RequestRetry.h"
#include "objects/StoredRelations.h"
#include "objects/SwitchClasses.h"
#include "objects/gorlib.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kPortNotStored = -7;
constexpr int kNoDeviceRecord = -17;
constexpr int kNotFound = -21;
constexpr std::size_t kGbicTextSize = 17; // 16 characters and a NUL
constexpr unsigned short kGbicUnknown = 304;
constexpr unsigned short kDeviceOnFabric = 343;
constexpr unsigned short kDeviceOnLoop = 344;
constexpr unsigned short kSegmentedStatus = 8;

// A port record with room for the GBIC texts present and `entries`
// attached ports and the terminator; its pointers placed in its tail.
PortRecord* allocPortRecord(bool serial, bool maker, std::size_t entries) {
    const std::size_t size = sizeof(PortRecord) + (serial ? kGbicTextSize : 0) +
                             (maker ? kGbicTextSize : 0) + sizeof(OID_t) * (entries + 1);
    auto* record = static_cast<PortRecord*>(falAllocObject(size));
    if (record == nullptr) {
        return nullptr;
    }
    char* tail = reinterpret_cast<char*>(record + 1);
    if (serial) {
        record->GBICSerialNumber = tail;
        tail += kGbicTextSize;
    }
    if (maker) {
        record->GBICMfg = tail;
        tail += kGbicTextSize;
    }
    record->AttachedPortOIDs = reinterpret_cast<OID_t*>(tail);
    record->ObjType = ObjectType::Port;
    return record;
}

// Copies `oids` into the record's list; the list was sized for them.
void writeAttachedList(PortRecord* record, const std::vector<std::string>& oids) {
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(record->AttachedPortOIDs[i], oids[i].c_str());
    }
    record->AttachedPortOIDs[oids.size()][0] = '\0';
}

struct PortContext {
    StoredObject* object = nullptr;
    SessionContext* ctx = nullptr;
    WWNAddress wwn;
    unsigned short type = 0;
};

// The port, its "PortType", its session and its "WWN".
int findPort(const OID_t oid, PortContext& out) {
    out.object = findObjectByOid(oid);
    if (out.object == nullptr || !out.object->getShortAttr("PortType", out.type)) {
        return kPortNotStored;
    }
    void* handle = nullptr;
    if (const int found = GetFabricHandleOfObject(out.object, handle); found != 0) {
        return found;
    }
    out.ctx = static_cast<SessionContext*>(handle);
    const std::optional<WWNAddress> wwn = out.object->getWwnAttr("WWN");
    if (!wwn) {
        return kPortNotStored;
    }
    out.wwn = *wwn;
    return 0;
}

// The generation and secondary code of the switch above the port: its
// class's, else from its "SFVersion"; 2200 when the chain breaks.
void switchGeneration(const StoredObject* port, int& level, int& secondary) {
    level = 2200;
    secondary = 0;
    StoredObject* module = findObject(firstRelation(port, "setParent"));
    StoredObject* sw = module != nullptr ? findObject(firstRelation(module, "setParent")) : nullptr;
    if (sw == nullptr) {
        return;
    }
    if (const auto* cls = sw->getElement<Switch>()) {
        level = cls->versionLevel();
        secondary = cls->secondaryCode();
        return;
    }
    std::string text;
    sw->getStringAttr("SFVersion", text);
    level = text == "2.6" ? 2600 : text == "2.3" ? 2300 : 2200;
}

// The statistics or error counter object of the port: created, linked to
// the port and given its class when it has none; its identifier.
void linkCounterObject(StoredObject* port, unsigned short type, ChildClass kind, OID_t out) {
    const std::optional<WWNAddress> wwn = port->getWwnAttr("WWN");
    if (!wwn) {
        return;
    }
    StoredObject* counters = getOrCreateObject(type, *wwn);
    counters->addRelatedObject("setParent", port);
    std::string oid;
    counters->getStringAttr("OID", oid);
    CopyName48(out, oid.c_str());
    attachChildClass(counters, kind, 2300);
}

template <class Reply>
void fillCommonPortFields(StoredObject* port, PortRecord* record, const Reply& reply) {
    record->ObjType = ObjectType::Port;
    std::memcpy(record->WWN, reply.portName, sizeof record->WWN);
    record->PortState = portStateCode(reply.u3);
    record->PortStatus = static_cast<unsigned short>(reply.u4);
    if (record->PortStatus == 3 && record->PortState == 2) {
        unsigned short segmented = 0;
        if (port->getShortAttr("Segmented", segmented) && segmented == 1) {
            record->PortStatus = kSegmentedStatus;
        }
    }
    record->PortPhysicalState = static_cast<unsigned short>(reply.u5);
    record->PortId = reply.v2;
    record->PortNumber = static_cast<unsigned short>(reply.u1);
    record->PortType = portTypeCode(reply.u6);
    record->PortSpeed = static_cast<unsigned short>(reply.u7);
    record->PortLinkDistance = static_cast<unsigned short>(reply.u8);
    record->TxLinkRouteCost = static_cast<unsigned short>(reply.u9);
    record->GBICType = transceiverCode(reply.u10);
    record->ClassOfService = static_cast<unsigned char>(reply.v1 & 0xFF);
    // The reply's texts are fixed fields: copy the field, never past it.
    if (reply.text1[0] != '\0' && record->GBICSerialNumber != nullptr) {
        std::memcpy(record->GBICSerialNumber, reply.text1, sizeof reply.text1);
        record->GBICSerialNumber[sizeof reply.text1] = '\0';
    }
    if (reply.text2[0] != '\0' && record->GBICMfg != nullptr) {
        std::memcpy(record->GBICMfg, reply.text2, sizeof reply.text2);
        record->GBICMfg[sizeof reply.text2] = '\0';
    }
    linkCounterObject(port, ObjectType::PortStats, ChildClass::PortStats, record->PortStatsOID);
    linkCounterObject(port, ObjectType::PortErrors, ChildClass::PortErrors, record->PortErrorsOID);
}

// The node named by a device port record's owner gets a class of the
// port's generation when it has none.
void attachOwnerNode(const PortRecord* record, int level) {
    if (record == nullptr || record->OwnerOID[0] == '\0') {
        return;
    }
    attachChildClass(findObjectByOid(record->OwnerOID), ChildClass::Node, level);
}

} // namespace

// --- Codes -------------------------------------------------------------------

bool isSwitchPortType(unsigned short type, bool withType8) {
    return (type >= PORT_TYPE_OTHER && type <= PORT_TYPE_E) || (withType8 && type == PORT_TYPE_8);
}

bool isDevicePortType(unsigned short type) {
    return type == PORT_TYPE_N || type == PORT_TYPE_NL;
}

unsigned short portStateCode(unsigned int value) {
    return value <= 5 ? static_cast<unsigned short>(value) : 0;
}

unsigned short portTypeCode(unsigned int value) {
    static const unsigned short codes[] = {0, 320, 321, 322, 323, 324, 325, 326, 327};
    return value < std::size(codes) ? codes[value] : PORT_TYPE_OTHER;
}

unsigned short transceiverCode(unsigned int value) {
    static const unsigned short codes[] = {0, 304, 305, 306, 307, 308, 1, 2};
    return value < std::size(codes) ? codes[value] : 0;
}

unsigned short nameServerPortType(unsigned int value) {
    return value == 1 ? PORT_TYPE_N : value == 2 ? PORT_TYPE_NL : PORT_TYPE_OTHER;
}

unsigned short fcgsPortType(unsigned int code) {
    switch (code) {
    case 0x01:
        return PORT_TYPE_N;
    case 0x02:
        return PORT_TYPE_NL;
    case 0x81:
        return PORT_TYPE_F;
    case 0x82:
        return PORT_TYPE_FL;
    case 0x84:
        return PORT_TYPE_E;
    case 0x85:
        return PORT_TYPE_B;
    default:
        return PORT_TYPE_OTHER;
    }
}

bool loopMapMarks(const unsigned char map[16], int index) {
    if (map == nullptr || index <= 0 || index > 127) {
        return false;
    }
    return ((map[index / 8] >> (index % 8)) & 1) != 0;
}

SanElement* makePortClass(int level, int) {
    switch (level) {
    case 2600:
        return new Port_2_0();
    case 2300:
        return new Port_2_3();
    default:
        return new Port_2_2();
    }
}

// --- Refreshes -----------------------------------------------------------------

int loadAttachedPorts(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                      std::size_t& count) {
    count = 0;
    port->clearSet("setAttchPort");
    AttachedPortNameList* list = nullptr;
    const int status = getAttachedPortNameList(ctx, wwn.bytes(), &list);
    unsigned short segmented = 0;
    if (status == 0 && list != nullptr) {
        for (std::uint32_t i = 0; i < list->count; ++i) {
            const AttachedPortName& entry = list->entries[i];
            if (!isNonZeroWwn(entry.name)) {
                continue;
            }
            StoredObject* other = getOrCreateObject(ObjectType::Port, WWNAddress(entry.name));
            const unsigned short code = fcgsPortType(entry.portType);
            if (isDevicePortType(code)) {
                // A device port keeps only the newest switch port it hangs on.
                other->clearSet("setAttchPort");
            } else if (code == PORT_TYPE_E) {
                int* type = nullptr;
                if (getPortType(ctx, entry.name, &type) != 0) {
                    segmented = 1;
                }
                if (type != nullptr) {
                    freeApiRecord(type);
                }
            }
            port->addRelatedObject("setAttchPort", other);
            other->setShortAttr("PortType", code);
            other->addRelatedObject("setAttchPort", port);
            port->setShortAttr("Segmented", segmented);
        }
        count = list->count;
    }
    if (list != nullptr) {
        freeApiRecord(list);
    }
    return MapApiError(status);
}

int loadPortState(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn) {
    int* state = nullptr;
    const int status = getPortState(ctx, wwn.bytes(), &state);
    if (status == 0 && state != nullptr) {
        const int value = *state;
        port->setShortAttr("PortState",
                           value >= 1 && value <= 4 ? static_cast<unsigned short>(value + 1) : 1);
    }
    if (state != nullptr) {
        freeApiRecord(state);
    }
    return MapApiError(status);
}

int fillPortRecord(StoredObject* port, PortRecord* record, const PortInfoRecord& reply) {
    int level = 2200;
    int secondary = 0;
    switchGeneration(port, level, secondary);
    fillCommonPortFields(port, record, reply);
    if (level == 2600 || (level == 2300 && secondary == 3020)) {
        record->PortLinkDistance = static_cast<unsigned short>(reply.u8 - 1);
    }
    return 0;
}

int fillPortRecord2(StoredObject* port, PortRecord* record, const PortInfo2Record& reply) {
    fillCommonPortFields(port, record, reply);
    record->TrunkMasterPortNum = static_cast<unsigned short>(reply.v3);
    record->TrunkDisable = (reply.v3 & 0xFFFFu) == 0xFFFFu ? 1 : 0;
    record->BraidexPortEnabled = static_cast<unsigned short>(reply.v4);
    record->PortDeviceType = kDeviceOnFabric;
    return 0;
}

namespace {

// Turns a switch's port information reply into the port's record; the
// reply is freed on every path.
template <class Info>
int recordFromPortInfo(int status, Info* info, StoredObject* port, std::size_t attached,
                       int (*fill)(StoredObject*, PortRecord*, const Info&), PortRecord** out) {
    if (status != 0 || info == nullptr) {
        if (info != nullptr) {
            freeApiRecord(info);
        }
        return status != 0 ? MapApiError(status) : kNotFound;
    }
    PortRecord* record = allocPortRecord(info->text1[0] != '\0', info->text2[0] != '\0', attached);
    if (record == nullptr) {
        freeApiRecord(info);
        return kNoMemory;
    }
    fill(port, record, *info);
    freeApiRecord(info);
    *out = record;
    return 0;
}

} // namespace

int fillDevicePortRecord(PortRecord* record, const NameServerEntry& entry) {
    record->ObjType = ObjectType::Port;
    std::memcpy(record->WWN, entry.portName, sizeof record->WWN);
    record->PortId = static_cast<unsigned int>(entry.portId) & 0xFFFFFFu;
    record->PortType = nameServerPortType(entry.portType);
    record->ClassOfService = static_cast<unsigned char>(entry.classOfService & 0xFF);
    std::memcpy(record->FC4Protocol, entry.fc4Types, sizeof record->FC4Protocol);
    const int length = std::clamp(entry.symbolicPortNameLength, 0,
                                  static_cast<int>(sizeof record->PortSymbolicName));
    const std::size_t copied =
        strnlen(entry.symbolicPortName,
                std::min<std::size_t>(static_cast<std::size_t>(length), SymbolicNameMax));
    std::memcpy(record->PortSymbolicName, entry.symbolicPortName, copied);
    record->PortSymbolicNameLength = static_cast<unsigned char>(copied);
    record->PortState = 1;
    record->PortStatus = 1;
    record->PortPhysicalState = 1;
    record->PortSpeed = 0;
    record->GBICType = kGbicUnknown;
    return 0;
}

// --- Port_2_2 ----------------------------------------------------------------------

SanElement* Port_2_2::attachedPortClass(unsigned short) const {
    return new Port_2_2();
}

SanElement* Port_2_3::attachedPortClass(unsigned short portType) const {
    return isDevicePortType(portType) ? static_cast<SanElement*>(new Port_2_3()) : new Port_2_2();
}

SanElement* Port_2_0::attachedPortClass(unsigned short portType) const {
    return isDevicePortType(portType) ? static_cast<SanElement*>(new Port_2_0()) : new Port_2_2();
}

int Port_2_2::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* port = findObjectByOid(oid);
    unsigned short type = 0;
    if (port == nullptr || !port->getShortAttr("PortType", type)) {
        return kPortNotStored;
    }
    if (isSwitchPortType(type, acceptsType8())) {
        return LoadAttachedPort(oid, record);
    }
    if (isDevicePortType(type)) {
        if (const int status = LoadRelations(oid, record); status != 0) {
            return status;
        }
        attachOwnerNode(static_cast<const PortRecord*>(*record), versionLevel());
    }
    return 0;
}

int Port_2_2::LoadRelations(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    PortContext port;
    if (const int found = findPort(oid, port); found != 0) {
        return found;
    }
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    const NameServerEntry* entry = nullptr;
    NameServerEntry* owned = nullptr;
    if (nameServerCacheOn()) {
        if (const int status = nsEntryByPortName(port.wwn.bytes(), &entry); status != 0) {
            return MapApiError(status);
        }
    } else {
        int* portId = nullptr;
        int status = snsGetPortIDByPortName(port.ctx, port.wwn.bytes(), &portId);
        if (status == 0 && portId != nullptr) {
            status = snsGetEntryByPortID(port.ctx, static_cast<unsigned int>(*portId), &owned);
        }
        if (portId != nullptr) {
            freeApiRecord(portId);
        }
        if (status != 0) {
            if (owned != nullptr) {
                freeApiRecord(owned);
            }
            return MapApiError(status);
        }
        entry = owned;
    }
    if (entry == nullptr) {
        return kNotFound;
    }
    // Sized from the set as it stands: a device port may be listed by more
    // than one switch port.
    const std::vector<std::string> attached = relationsOf(port.object, "setAttchPort");
    PortRecord* out = allocPortRecord(false, false, std::max<std::size_t>(attached.size(), 1));
    if (out == nullptr) {
        if (owned != nullptr) {
            freeApiRecord(owned);
        }
        return kNoMemory;
    }
    fillDevicePortRecord(out, *entry);
    CopyName48(out->OID, oid);
    StoredObject* node = getOrCreateObject(ObjectType::Node, WWNAddress(entry->nodeName));
    node->addRelatedObject("setPorts", port.object);
    std::string nodeOid;
    node->getStringAttr("OID", nodeOid);
    CopyName48(out->OwnerOID, nodeOid.c_str());
    writeAttachedList(out, attached);
    if (owned != nullptr) {
        freeApiRecord(owned);
    }
    *record = out;
    return 0;
}

int Port_2_2::LoadAttachedPort(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    PortContext port;
    if (const int found = findPort(oid, port); found != 0) {
        return found;
    }
    if (!isSwitchPortType(port.type, acceptsType8())) {
        return kPortNotStored;
    }
    LockGuard device(getSwitchRequestMutex());
    std::size_t counted = 0;
    if (port.type != PORT_TYPE_OTHER &&
        loadAttachedPorts(port.ctx, port.object, port.wwn, counted) != 0) {
        counted = 0;
    }
    // Neighbouring ports' queries may have added more than this one counted.
    const std::vector<std::string> attached = relationsOf(port.object, "setAttchPort");
    PortRecord* out = nullptr;
    if (const int status = fillSwitchPort(port.ctx, port.object, port.wwn,
                                          std::max(counted, attached.size()), &out);
        status != 0) {
        return status;
    }
    for (const std::string& id : attached) {
        StoredObject* other = findObject(id);
        unsigned short otherType = 0;
        if (other != nullptr && other->getElement() == nullptr &&
            other->getShortAttr("PortType", otherType)) {
            other->setElement(attachedPortClass(otherType));
        }
    }
    writeAttachedList(out, attached);
    if (port.object->hasRelationSet("setParent")) {
        const std::string owner = firstRelation(port.object, "setParent");
        if (owner.empty()) {
            falFreeObject(out);
            return kPortNotStored;
        }
        CopyName48(out->OwnerOID, owner.c_str());
    }
    CopyName48(out->OID, oid);
    *record = out;
    return 0;
}

int Port_2_2::fillSwitchPort(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                             std::size_t attached, PortRecord** out) {
    PortRecord* record = allocPortRecord(false, false, attached);
    if (record == nullptr) {
        return kNoMemory;
    }
    wwn.copyOut(record->WWN);
    unsigned short state = 1;
    if (loadPortState(ctx, port, wwn) == 0) {
        port->getShortAttr("PortState", state);
    }
    record->PortState = state;
    record->PortStatus = 1;
    record->PortPhysicalState = 1;
    record->PortSpeed = 0;
    record->GBICType = kGbicUnknown;
    port->getShortAttr("PortType", record->PortType);
    int* number = nullptr;
    const int status = getPhysicalPortNumber(ctx, wwn.bytes(), &number);
    if (status != 0 || number == nullptr) {
        if (number != nullptr) {
            freeApiRecord(number);
        }
        falFreeObject(record);
        return kPortNotStored;
    }
    record->PortNumber = static_cast<unsigned short>(*number & 0xFFFF);
    freeApiRecord(number);
    *out = record;
    return 0;
}

// --- Port_2_3 ------------------------------------------------------------------------

int Port_2_3::fillSwitchPort(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                             std::size_t attached, PortRecord** out) {
    PortInfoRecord* info = nullptr;
    const int status = portGetInfo(ctx, wwn.bytes(), &info);
    return recordFromPortInfo(status, info, port, attached, fillPortRecord, out);
}

// --- Port_2_0 ------------------------------------------------------------------------

int Port_2_0::fillSwitchPort(SessionContext* ctx, StoredObject* port, const WWNAddress& wwn,
                             std::size_t attached, PortRecord** out) {
    PortInfo2Record* info = nullptr;
    const int status = portGetInfo2(ctx, wwn.bytes(), &info);
    return recordFromPortInfo(status, info, port, attached, fillPortRecord2, out);
}

int Port_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* port = findObjectByOid(oid);
    unsigned short type = 0;
    if (port == nullptr || !port->getShortAttr("PortType", type)) {
        return kPortNotStored;
    }
    void* handle = nullptr;
    if (const int found = GetFabricHandleOfObject(port, handle); found != 0) {
        return found;
    }
    if (isSwitchPortType(type, true)) {
        const int status = LoadAttachedPort(oid, record);
        if (*record != nullptr) {
            static_cast<PortRecord*>(*record)->VersionMark = 3;
        }
        return status;
    }
    if (!isDevicePortType(type)) {
        return 0;
    }
    if (const int status = LoadRelations(oid, record); status != 0) {
        return status;
    }
    auto* out = static_cast<PortRecord*>(*record);
    attachOwnerNode(out, versionLevel());
    if (out == nullptr) {
        return kNoDeviceRecord;
    }
    out->VersionMark = 3;
    out->PortDeviceType = kDeviceOnFabric;
    if (type != PORT_TYPE_NL) {
        return 0;
    }
    FLPortInfoRecord* loop = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = flportGetInfo(static_cast<SessionContext*>(handle), out->PortId, &loop);
    }
    if (status == 0 && loop != nullptr) {
        const int index = alpaToLoopIndex(out->PortId & 0xFFu);
        if (loopMapMarks(reinterpret_cast<const unsigned char*>(loop->text2), index)) {
            out->PortDeviceType = kDeviceOnLoop;
        }
    }
    if (loop != nullptr) {
        freeApiRecord(loop);
    }
    return 0;
}

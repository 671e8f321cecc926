#include "objects/NodeDeviceClasses.h"

#include <algorithm>
#include <cstdlib>
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
#include "objects/ObjectTypes.h"
#include "objects/PortClasses.h"
#include "objects/RequestRetry.h"
#include "objects/StoredRelations.h"
#include "objects/gorlib.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kNodeNotStored = -11;
constexpr int kDeviceNotStored = -23;
constexpr int kLastEntry = 0x80;
constexpr std::size_t kShortInquiry = 36;
constexpr unsigned char kFullInquiryLength = 255;
constexpr unsigned short kInquiryFailed = 1;
constexpr unsigned short kDeviceType = 1584;
constexpr unsigned short kDeviceTypeBit08 = 1585;

// The port identifiers of a node: (control, identifier) pairs, walked up to
// the entry marked last and never past the count the reply carried.
struct PortIdList {
    std::vector<NameServerPortId> entries;
};

int nodePortIds(SessionContext* ctx, const WWNAddress& node, PortIdList& out) {
    if (nameServerCacheOn()) {
        NameServerPortId* list = nullptr;
        std::size_t count = 0;
        const int status = nsPortIdsByNodeName(node.bytes(), &list, &count);
        if (status == 0 && list != nullptr) {
            out.entries.assign(list, list + count);
        }
        std::free(list);
        return status;
    }
    NameServerPortId* list = nullptr;
    const int status = snsGetPortIDsByNodeName(ctx, node.bytes(), &list);
    if (list != nullptr) {
        std::uint32_t type = 0;
        std::uint32_t count = 0;
        if (status == 0 && apiRecordInfo(list, &type, &count)) {
            // The block's byte size over the entry size is the entry count.
            const std::size_t entries =
                std::size_t{count} * apiRecordElementSize(type) / sizeof(NameServerPortId);
            out.entries.assign(list, list + entries);
        }
        freeApiRecord(list);
    }
    return status;
}

int portNameOf(SessionContext* ctx, int portId, unsigned char name[8]) {
    if (nameServerCacheOn()) {
        return nsPortNameByPortId(portId, name, ctx);
    }
    unsigned char* reply = nullptr;
    const int status = snsGetPortName(ctx, static_cast<unsigned int>(portId), &reply);
    if (reply != nullptr) {
        if (status == 0) {
            std::memcpy(name, reply, 8);
        }
        freeApiRecord(reply);
    }
    return status != 0 ? status : (reply == nullptr ? -21 : 0);
}

int symbolicNodeName(SessionContext* ctx, const WWNAddress& node, RecordText& out) {
    std::memset(&out, 0, sizeof out);
    if (nameServerCacheOn()) {
        int length = 0;
        char text[SymbolicNameMax + 1] = {};
        const int status = nsSymbolicNodeName(node.bytes(), &length, text, sizeof text);
        if (status == 0) {
            const std::size_t copied = strnlen(
                text, std::min<std::size_t>(static_cast<unsigned char>(length), SymbolicNameMax));
            std::memcpy(out.Text, text, copied);
            out.Length = static_cast<unsigned char>(copied);
        }
        return status;
    }
    SymbolicName* name = nullptr;
    const int status = snsGetSymbolicNodeName(ctx, node.bytes(), &name);
    if (name != nullptr) {
        if (status == 0) {
            // The length byte is the low byte of the reported length; the
            // copy stays inside the reply's text.
            const std::size_t wanted = static_cast<unsigned char>(name->length & 0xFF);
            const std::size_t copied = strnlen(name->text, std::min(wanted, SymbolicNameMax));
            std::memcpy(out.Text, name->text, copied);
            out.Length = static_cast<unsigned char>(copied);
        }
        freeApiRecord(name);
    }
    return status;
}

int portIdOfPort(SessionContext* ctx, const WWNAddress& port, int& id) {
    if (nameServerCacheOn()) {
        return nsPortIdByPortName(port.bytes(), &id);
    }
    int* reply = nullptr;
    const int status = snsGetPortIDByPortName(ctx, port.bytes(), &reply);
    if (reply != nullptr) {
        id = *reply;
        freeApiRecord(reply);
    }
    return status != 0 ? status : (reply == nullptr ? -21 : 0);
}

NodeRecord* allocNodeRecord(std::size_t ports) {
    auto* record =
        static_cast<NodeRecord*>(falAllocObject(sizeof(NodeRecord) + sizeof(OID_t) * (ports + 1)));
    if (record != nullptr) {
        record->ObjType = ObjectType::Node;
        record->PortOIDs = reinterpret_cast<OID_t*>(record + 1);
    }
    return record;
}

} // namespace

SanElement* makeNodeClass(int level, int) {
    switch (level) {
    case 2600:
        return new Node_2_0();
    case 2300:
        return new Node_2_3();
    default:
        return new Node_2_2();
    }
}

SanElement* makeDeviceClass(int level, int) {
    return level == 2600 ? static_cast<SanElement*>(new Device_2_0()) : new Device_2_3();
}

int findNodeFabricHandle(StoredObject* node, StoredObject*& port, SessionContext*& ctx) {
    port = nullptr;
    ctx = nullptr;
    if (node == nullptr || !node->hasRelationSet("setPorts")) {
        return kNodeNotStored;
    }
    const std::vector<std::string> ports = relationsOf(node, "setPorts");
    if (ports.empty()) {
        return kNodeNotStored;
    }
    int status = kNodeNotStored;
    for (const std::string& id : ports) {
        StoredObject* candidate = findObject(id);
        if (candidate == nullptr) {
            return kNodeNotStored;
        }
        void* handle = nullptr;
        status = GetFabricHandleOfObject(candidate, handle);
        if (status == 0) {
            port = candidate;
            ctx = static_cast<SessionContext*>(handle);
            return 0;
        }
    }
    return status;
}

int Node_2_2::LoadRelations(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* node = findObjectByOid(oid);
    if (node == nullptr) {
        return kNodeNotStored;
    }
    void* handle = nullptr;
    if (const int found = GetFabricHandleOfObject(node, handle); found != 0) {
        return found;
    }
    auto* ctx = static_cast<SessionContext*>(handle);
    const std::optional<WWNAddress> wwn = node->getWwnAttr("WWN");
    if (!wwn) {
        return kNodeNotStored;
    }
    LockGuard model(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    PortIdList ids;
    if (nodePortIds(ctx, *wwn, ids) == 0) {
        for (const NameServerPortId& entry : ids.entries) {
            unsigned char name[8] = {};
            if (portNameOf(ctx, entry.portId, name) == 0) {
                StoredObject* port = getOrCreateObject(ObjectType::Port, WWNAddress(name));
                port->addRelatedObject("setParent", node);
                node->addRelatedObject("setPorts", port);
            }
            if ((entry.control & kLastEntry) != 0) {
                break;
            }
        }
    }
    const std::vector<std::string> ports = relationsOf(node, "setPorts");
    NodeRecord* out = allocNodeRecord(ports.size());
    if (out == nullptr) {
        return kNoMemory;
    }
    CopyName48(out->OID, oid);
    wwn->copyOut(out->WWN);
    out->Attached = 1;
    if (const int status = symbolicNodeName(ctx, *wwn, out->SymbolicName); status != 0) {
        falFreeObject(out);
        return MapApiError(status);
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        CopyName48(out->PortOIDs[i], ports[i].c_str());
    }
    out->PortOIDs[ports.size()][0] = '\0';
    *record = out;
    return 0;
}

int Node_2_2::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    if (const int status = LoadRelations(oid, record); status != 0) {
        return status;
    }
    StoredObject* node = findObjectByOid(oid);
    if (node == nullptr) {
        falFreeObject(*record);
        *record = nullptr;
        return kNodeNotStored;
    }
    for (const std::string& id : relationsOf(node, "setPorts")) {
        attachChildClass(findObject(id), ChildClass::Port, versionLevel());
    }
    return 0;
}

int Node_2_3::BuildObject(const OID_t oid, void** record) {
    if (const int status = Node_2_2::BuildObject(oid, record); status != 0) {
        return status;
    }
    StoredObject* node = findObjectByOid(oid);
    const std::optional<WWNAddress> wwn = node->getWwnAttr("WWN");
    if (!wwn) {
        return 0;
    }
    StoredObject* device = getOrCreateObject(ObjectType::Device, *wwn);
    device->addRelatedObject("setNode", node);
    node->addRelatedObject("setDevice", device);
    std::string deviceOid;
    device->getStringAttr("OID", deviceOid);
    CopyName48(static_cast<NodeRecord*>(*record)->OwnerOID, deviceOid.c_str());
    attachChildClass(device, ChildClass::Device, versionLevel());
    return 0;
}

int Device_2_3::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* device = findObjectByOid(oid);
    StoredObject* node = device != nullptr ? findObject(firstRelation(device, "setNode")) : nullptr;
    if (node == nullptr) {
        return kDeviceNotStored;
    }
    StoredObject* port = nullptr;
    SessionContext* ctx = nullptr;
    if (findNodeFabricHandle(node, port, ctx) != 0) {
        return kDeviceNotStored;
    }
    const std::optional<WWNAddress> portWwn = port->getWwnAttr("WWN");
    if (!portWwn) {
        return kDeviceNotStored;
    }
    auto* out = static_cast<DeviceRecord*>(falAllocObject(sizeof(DeviceRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::Device;
    CopyName48(out->OID, oid);
    std::string nodeOid;
    node->getStringAttr("OID", nodeOid);
    copyBoundedText(out->NodeOID, sizeof out->NodeOID, nodeOid);
    LockGuard lock(getSwitchRequestMutex());
    int portId = 0;
    if (const int status = portIdOfPort(ctx, *portWwn, portId); status != 0) {
        falFreeObject(out);
        return MapApiError(status);
    }
    char* inquiry = nullptr;
    const int status = fullInquiry() ? deviceGet2(ctx, static_cast<unsigned>(portId), &inquiry)
                                     : deviceGet(ctx, static_cast<unsigned>(portId), &inquiry);
    if (status == 0 && inquiry != nullptr) {
        std::memcpy(out->SCSIInquiryString, inquiry, sizeof out->SCSIInquiryString);
        out->SCSIInquiryLength =
            fullInquiry() ? kFullInquiryLength : static_cast<unsigned char>(kShortInquiry);
        out->DeviceType =
            (static_cast<unsigned char>(inquiry[0]) & 0x08) != 0 ? kDeviceTypeBit08 : kDeviceType;
    } else {
        out->DeviceType = kInquiryFailed;
    }
    if (inquiry != nullptr) {
        freeApiRecord(inquiry);
    }
    *record = out;
    return 0;
}

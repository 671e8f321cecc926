#include "objects/PortModuleClasses.h"

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
#include "objects/ChildClasses.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "objects/PortClasses.h"
#include "objects/RequestRetry.h"
#include "objects/StoredRelations.h"
#include "objects/gorlib.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kModuleNotStored = -22;
constexpr int kNoModuleInfo = -21;
constexpr unsigned short kDefaultState = 3665;
constexpr unsigned short kDefaultStatus = 3681;

// A module record with room for `ports` list entries and the terminator,
// then `values` temperature values at a 4-byte boundary.
PortModuleRecord* allocModuleRecord(std::size_t ports, std::size_t values) {
    std::size_t listEnd = sizeof(PortModuleRecord) + sizeof(OID_t) * (ports + 1);
    listEnd = (listEnd + alignof(int) - 1) / alignof(int) * alignof(int);
    auto* record = static_cast<PortModuleRecord*>(falAllocObject(listEnd + sizeof(int) * values));
    if (record == nullptr) {
        return nullptr;
    }
    record->ObjType = ObjectType::PortModule;
    record->PortOIDs = reinterpret_cast<OID_t*>(record + 1);
    if (values > 0) {
        record->TempSensorValues =
            reinterpret_cast<int*>(reinterpret_cast<char*>(record) + listEnd);
    }
    return record;
}

void writePortList(PortModuleRecord* record, const std::vector<std::string>& oids) {
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(record->PortOIDs[i], oids[i].c_str());
    }
    record->PortOIDs[oids.size()][0] = '\0';
}

// A fixed reply text into a record text: read up to its NUL, never past
// the field.
template <std::size_t N> void setText(RecordText& to, const char (&text)[N]) {
    to.Length = static_cast<unsigned char>(copyBoundedText(to.Text, sizeof to.Text, text, N));
}

void linkPort(StoredObject* module, StoredObject* port) {
    module->addRelatedObject("setPort", port);
    port->addRelatedObject("setParent", module);
}

struct ModuleContext {
    StoredObject* module = nullptr;
    StoredObject* sw = nullptr;
    SessionContext* ctx = nullptr;
    WWNAddress wwn;
};

int switchOfModule(ModuleContext& out) {
    out.sw = findObject(firstRelation(out.module, "setParent"));
    if (out.sw == nullptr) {
        return kModuleNotStored;
    }
    void* handle = nullptr;
    if (const int found = GetFabricHandleOfObject(out.sw, handle); found != 0) {
        return found;
    }
    out.ctx = static_cast<SessionContext*>(handle);
    const std::optional<WWNAddress> wwn = out.module->getWwnAttr("WWN");
    if (!wwn) {
        return kModuleNotStored;
    }
    out.wwn = *wwn;
    return 0;
}

} // namespace

SanElement* makePortModuleClass(int level, int) {
    switch (level) {
    case 2600:
        return new PortModule_2_0();
    case 2300:
        return new PortModule_2_3();
    default:
        return new PortModule_2_2();
    }
}

std::size_t modulePortCount(int first, int last) {
    if (last == 0 || first > last) {
        return 0;
    }
    return static_cast<std::size_t>(static_cast<long long>(last) - first + 1);
}

int loadModulePorts(SessionContext* ctx, StoredObject* module, const WWNAddress& wwn,
                    std::size_t& count) {
    count = 0;
    FabricElementList* list = nullptr;
    const int status = getPortList(ctx, wwn.bytes(), &list);
    if (status == 0 && list != nullptr) {
        for (std::uint32_t i = 0; i < list->count; ++i) {
            const FabricElement& entry = list->entries[i];
            if (!isNonZeroWwn(entry.name)) {
                continue;
            }
            StoredObject* port = getOrCreateObject(ObjectType::Port, WWNAddress(entry.name));
            linkPort(module, port);
            port->setShortAttr("PortType", fcgsPortType(static_cast<unsigned>(entry.type)));
            ++count;
        }
    }
    if (list != nullptr) {
        freeApiRecord(list);
    }
    return MapApiError(status);
}

int loadModulePortRange(SessionContext* ctx, StoredObject* module, const WWNAddress& wwn, int first,
                        int last) {
    FabricElementList* list = nullptr;
    const int status = getPortList(ctx, wwn.bytes(), &list);
    if (status == 0 && list != nullptr && modulePortCount(first, last) > 0 && first >= 0 &&
        static_cast<std::uint32_t>(last) < list->count) {
        for (int i = first; i <= last; ++i) {
            const FabricElement& entry = list->entries[i];
            if (!isNonZeroWwn(entry.name)) {
                continue;
            }
            StoredObject* port = getOrCreateObject(ObjectType::Port, WWNAddress(entry.name));
            linkPort(module, port);
            attachChildClass(port, ChildClass::Port, 2600, 0, true);
            const unsigned short code = fcgsPortType(static_cast<unsigned>(entry.type));
            port->setShortAttr("PortType", isDevicePortType(code) ? PORT_TYPE_OTHER : code);
        }
    }
    if (list != nullptr) {
        freeApiRecord(list);
    }
    return status;
}

int buildPortModuleRecord(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    ModuleContext at;
    at.module = findObjectByOid(oid);
    if (at.module == nullptr) {
        return kModuleNotStored;
    }
    if (const int found = switchOfModule(at); found != 0) {
        return found;
    }
    std::size_t count = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        if (const int status = loadModulePorts(at.ctx, at.module, at.wwn, count); status != 0) {
            return MapApiError(status);
        }
    }
    // The set may hold ports that an earlier read linked: size from it.
    const std::vector<std::string> ports = relationsOf(at.module, "setPort");
    PortModuleRecord* out = allocModuleRecord(std::max(count, ports.size()), 0);
    if (out == nullptr) {
        return kNoMemory;
    }
    CopyName48(out->OID, oid);
    std::string switchOid;
    at.sw->getStringAttr("OID", switchOid);
    CopyName48(out->OwnerOID, switchOid.substr(0, 20).c_str());
    out->ModuleSlotNumber = 0;
    out->ModulePortCount = static_cast<unsigned short>(count);
    out->StartSwitchPortIndex = 0;
    out->PortModuleState = kDefaultState;
    out->PortModuleStatus = kDefaultStatus;
    out->VersionMark = 0;
    writePortList(out, ports);
    *record = out;
    return 0;
}

int PortModule_2_2::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    if (const int status = buildPortModuleRecord(oid, record); status != 0) {
        return status;
    }
    StoredObject* module = findObjectByOid(oid);
    if (module == nullptr) {
        falFreeObject(*record);
        *record = nullptr;
        return kModuleNotStored;
    }
    for (const std::string& id : relationsOf(module, "setPort")) {
        attachChildClass(findObject(id), ChildClass::Port, portLevel());
    }
    return 0;
}

int PortModule_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    ModuleContext at;
    at.module = findObjectByOid(oid);
    if (at.module == nullptr) {
        return kModuleNotStored;
    }
    const std::size_t length = strnlen(oid, sizeof(OID_t));
    const std::string indexText =
        length >= 8 ? std::string(oid + length - 8, 8) : std::string(oid, length);
    const auto index = static_cast<int>(std::strtoul(indexText.c_str(), nullptr, 16));
    at.module->clearSet("setPort");
    if (const int found = switchOfModule(at); found != 0) {
        return found;
    }
    PortModuleInfo* info = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = getPortModuleInfo(at.ctx, at.wwn.bytes(), &info);
    }
    if (status != 0 || info == nullptr) {
        freePortModuleInfo(info);
        return status != 0 ? MapApiError(status) : kNoModuleInfo;
    }
    const PortModuleEntry* entry = nullptr;
    for (unsigned i = 0; i < info->count; ++i) {
        if (info->entries[i].value1 == index) {
            entry = &info->entries[i];
            break;
        }
    }
    if (entry == nullptr) {
        freePortModuleInfo(info);
        return kNoModuleInfo;
    }
    {
        LockGuard device(getSwitchRequestMutex());
        status = loadModulePortRange(at.ctx, at.module, at.wwn, entry->value4, entry->value5);
    }
    if (status != 0) {
        freePortModuleInfo(info);
        return MapApiError(status);
    }
    const std::size_t ports = modulePortCount(entry->value4, entry->value5);
    const std::size_t values = entry->ports.ports_len;
    const std::vector<std::string> linked = relationsOf(at.module, "setPort");
    PortModuleRecord* out = allocModuleRecord(std::max(ports, linked.size()), values);
    if (out == nullptr) {
        freePortModuleInfo(info);
        return kNoMemory;
    }
    out->VersionMark = 3;
    CopyName48(out->OID, oid);
    std::string switchOid;
    at.sw->getStringAttr("OID", switchOid);
    CopyName48(out->OwnerOID, switchOid.c_str());
    out->ModuleSlotNumber = static_cast<unsigned short>(index);
    out->ModulePortCount = static_cast<unsigned short>(ports);
    out->StartSwitchPortIndex = static_cast<unsigned short>(entry->value4);
    out->PortModuleState =
        entry->value2 != 0 ? static_cast<unsigned short>(entry->value2) : kDefaultState;
    out->PortModuleStatus =
        entry->value3 != 0 ? static_cast<unsigned short>(entry->value3) : kDefaultStatus;
    writePortList(out, linked);
    setText(out->PortModuleOEMSN, entry->text4);
    setText(out->PortModuleSN, entry->text2);
    setText(out->PortModuleMfgDate, entry->text7);
    setText(out->PortModulePartNumber, entry->text1);
    setText(out->PortModuleRevision, entry->text5);
    out->PortModuleNumTempSensors = static_cast<unsigned short>(values);
    for (std::size_t i = 0; i < values; ++i) {
        out->TempSensorValues[i] = entry->ports.ports_val[i];
    }
    freePortModuleInfo(info);
    *record = out;
    return 0;
}

#include "objects/SwitchClasses.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "connection/clilib_events.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "connection/clilib_session.h"
#include "objects/Fabric.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "objects/RequestRetry.h"
#include "objects/StoredRelations.h"
#include "objects/gorlib.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoList = -4;
constexpr int kNotStored = -6;
constexpr int kNoMemory = -2;
constexpr int kTransient = -14;
constexpr unsigned short kPrincipal = 566;
constexpr unsigned short kSubordinate = 567;
constexpr unsigned short kNotResponding = 562;
constexpr std::size_t kLicenseKeySize = 64;

OID_t* writeOidList(char*& tail, const std::vector<std::string>& oids) {
    auto* list = reinterpret_cast<OID_t*>(tail);
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(list[i], oids[i].c_str());
    }
    tail += sizeof(OID_t) * (oids.size() + 1);
    return list;
}

// A reply text of `size` characters into a record text and its length.
template <std::size_t N> void setText(RecordText& to, const char (&text)[N]) {
    to.Length = static_cast<unsigned char>(copyBoundedText(to.Text, sizeof to.Text, text, N));
}

void setText(RecordText& to, const std::string& text) {
    to.Length = static_cast<unsigned char>(copyBoundedText(to.Text, sizeof to.Text, text));
}

template <std::size_t To, std::size_t From>
void setField(char (&to)[To], const char (&from)[From]) {
    copyBoundedText(to, To, from, From);
}

// The stored switch, its "WWN", its session and its fabric's identifier.
struct SwitchContext {
    StoredObject* object = nullptr;
    WWNAddress wwn;
    SessionContext* ctx = nullptr;
    std::string fabricOid;
};

int findSwitch(const OID_t oid, SwitchContext& out, bool needFabric = true) {
    out.object = findObjectByOid(oid);
    if (out.object == nullptr) {
        return kNotStored;
    }
    void* handle = nullptr;
    const int found = GetFabricHandleOfObject(out.object, handle);
    if (found != 0) {
        return found;
    }
    out.ctx = static_cast<SessionContext*>(handle);
    const std::optional<WWNAddress> wwn = out.object->getWwnAttr("WWN");
    if (!wwn) {
        return kNotStored;
    }
    out.wwn = *wwn;
    out.fabricOid = firstRelation(out.object, "setParent");
    if (needFabric && out.fabricOid.empty()) {
        return kNotStored;
    }
    return 0;
}

// Links `child` below `parent` through `set` and "setParent".
void linkChild(StoredObject* parent, const char* set, StoredObject* child) {
    parent->addRelatedObject(set, child);
    child->addRelatedObject("setParent", parent);
}

// The switch's single port module (type 23, the switch's own name).
StoredObject* singlePortModule(StoredObject* sw, const WWNAddress& wwn, int level) {
    StoredObject* module = getOrCreateObject(ObjectType::PortModule, wwn);
    linkChild(sw, "setPortModules", module);
    attachChildClass(module, ChildClass::PortModule, level);
    return module;
}

StoredObject* indexedPortModule(StoredObject* sw, const WWNAddress& wwn, unsigned index,
                                int level) {
    StoredObject* module = getOrCreateIndexedObject(ObjectType::PortModule, wwn, index);
    linkChild(sw, "setPortModules", module);
    attachChildClass(module, ChildClass::PortModule, level);
    return module;
}

// A switch record of `extra` bytes of lists after its fixed fields.
SwitchRecord* allocSwitchRecord(std::size_t extra) {
    return static_cast<SwitchRecord*>(falAllocObject(sizeof(SwitchRecord) + extra));
}

} // namespace

// --- Shared ------------------------------------------------------------------

std::unique_ptr<Switch> makeSwitchClass(int level, int secondary) {
    switch (level) {
    case FABRIC_VERSION_2600:
        return std::make_unique<Switch_2_0>();
    case FABRIC_VERSION_2300:
        return std::make_unique<Switch_2_3>(secondary);
    default:
        return std::make_unique<Switch_2_2>();
    }
}

const char* switchVersionText(int level) {
    if (level < FABRIC_VERSION_2300) {
        return "2.2";
    }
    return level < FABRIC_VERSION_2600 ? "2.3" : "2.6";
}

unsigned short switchStateCode(unsigned int index) {
    static const unsigned short codes[] = {0, 560, 561, 562, 563};
    return index < 5 ? codes[index] : 0;
}

bool isFirmware40(const char* text) {
    if (text == nullptr) {
        return false;
    }
    if (*text == 'v' || *text == 'V') {
        ++text;
    }
    return std::strncmp(text, "4.0", 3) == 0;
}

namespace {

// The fields both switch information replies carry, under the same names.
template <typename Info> void fillSharedSwitchFields(SwitchRecord* record, const Info& info) {
    std::memcpy(record->WWN, info.switchName, sizeof record->WWN);
    record->DomainId = static_cast<unsigned short>(info.n2);
    record->SwitchRole = info.n3 != 0 ? kPrincipal : kSubordinate;
    setField(record->InBandAddr, info.t1);
    setField(record->OutBandAddr, info.t2);
    setField(record->InBandNetMask, info.t3);
    setField(record->OutBandNetMask, info.t4);
    setField(record->IPGateway, info.t5);
    record->IsManageable = info.n4 != 0 ? 1 : 0;
    record->SwitchState = switchStateCode(info.n5);
    record->SwitchStatus = static_cast<unsigned short>(info.n6);
    record->SwitchID = info.n7;
    record->SwitchTime = info.n8;
    setText(record->VendorName, info.a1);
    setText(record->Model, info.a2);
    setText(record->FirmwareVersion, info.a4);
    setText(record->SwitchName, info.a5);
    record->ZoningInstalled = info.n10;
    setField(record->InfoText1, info.b1);
    setField(record->InfoText2, info.b2);
}

} // namespace

int fillSwitchRecord(SwitchRecord* record, const SwitchInfoRecord& info) {
    fillSharedSwitchFields(record, info);
    record->SwitchTimeZone = 0;
    record->MaxNumberOfModules = static_cast<unsigned short>(info.n11);
    return 0;
}

int fillSwitchRecord2(SwitchRecord* record, const SwitchInfo2Record& info) {
    fillSharedSwitchFields(record, info);
    const std::string firmware(info.a4, strnlen(info.a4, sizeof info.a4));
    record->SwitchTimeZone = firmware.find("2.6") != std::string::npos ? info.n9 : 0;
    setText(record->MfgName, info.f1);
    setText(record->MfgModel, info.f2);
    record->MaxNumberOfModules = static_cast<unsigned short>(info.m1);
    // The key list is the first list after the port modules; the caller
    // has placed LicenseKeys. Fill the keys in reply order.
    if (record->LicenseKeys != nullptr) {
        for (unsigned i = 0; i < info.licenseKeys.licenseKeys_len; ++i) {
            copyBoundedText(record->LicenseKeys[i], kLicenseKeySize,
                            info.licenseKeys.licenseKeys_val[i], kLicenseKeySize);
        }
    }
    record->HWZoningCapabilities = static_cast<unsigned short>(info.z1 + 8);
    record->SWZoningCapabilities = static_cast<unsigned short>(info.z2 + 16);
    record->CurrentZoningEnforcement = 0;
    record->TrunkingCapable = info.z4;
    record->EmbeddedSwitchType = static_cast<unsigned short>(info.z6);
    std::memcpy(record->EmbSwInvariantName, info.e1, sizeof record->EmbSwInvariantName);
    record->EmbSwSlotId = static_cast<unsigned short>(info.e2);
    setField(record->EmbSwBaseIPAddr, info.e3);
    record->EmbSwBaseDomainId = static_cast<unsigned short>(info.e4);
    record->EmbSwEportMode = record->EmbeddedSwitchType != 0 ? info.e5 : 0;
    setText(record->EmbSwBoxSerialNumber, info.e6);
    record->ValidCertificateInstalled = info.c1;
    setText(record->MfgSerialNumber, info.s1);
    record->BraidexSwitchEnabled = info.q1 != 0 ? 1 : 0;
    const auto* partner = reinterpret_cast<const unsigned char*>(info.q2);
    const WWNAddress partnerName(partner);
    if (!partnerName.isZero()) {
        CopyName48(record->BraidexPartnerOID, oidOfName(ObjectType::Switch, partnerName).c_str());
    }
    record->BraidexPartnerEnabled = info.q1 != 0 && info.q1 != 1 ? 1 : 0;
    std::memcpy(record->BraidexAlpaBitmap, info.q5, sizeof record->BraidexAlpaBitmap);
    return 0;
}

int refreshDomainId(SessionContext* ctx, StoredObject* sw, const unsigned char name[8]) {
    int* domain = nullptr;
    const int status = getDomainID(ctx, name, &domain);
    if (status != 0) {
        return MapApiError(status);
    }
    if (domain != nullptr) {
        sw->setShortAttr("DomainId", static_cast<unsigned short>(*domain & 0xFFFF));
        freeApiRecord(domain);
    }
    return 0;
}

int refreshInBandAddr(SessionContext* ctx, StoredObject* sw, const unsigned char name[8]) {
    int* id = nullptr;
    const int status = getManagementID(ctx, name, &id);
    if (status != 0) {
        return MapApiError(status);
    }
    if (id != nullptr) {
        sw->setIntAttr("InBandAddr", *id);
        freeApiRecord(id);
    }
    return 0;
}

int refreshSwitchName(SessionContext* ctx, StoredObject* sw, const unsigned char name[8]) {
    char* text = nullptr;
    const int status = getInterconnectElementLogicalName(ctx, name, &text);
    if (status != 0) {
        return MapApiError(status);
    }
    if (text != nullptr) {
        if (std::strlen(text) <= 255) {
            sw->setStringAttr("SwitchName", text);
        }
        freeApiRecord(text);
    }
    return 0;
}

bool switchNotResponding(SessionContext* ctx, const unsigned char name[8], bool byDomain) {
    if (byDomain) {
        int* domain = nullptr;
        const int status = getDomainID(ctx, name, &domain);
        if (domain != nullptr) {
            freeApiRecord(domain);
        }
        return status != 0;
    }
    SwitchInfoRecord request{};
    std::memcpy(request.switchName, name, sizeof request.switchName);
    SwitchInfoRecord* info = nullptr;
    const int status = switchGetInfo(ctx, &request, &info);
    bool notResponding = false;
    if (info != nullptr) {
        notResponding = status == 0 && switchStateCode(info->n5) == kNotResponding;
        freeApiRecord(info);
    }
    return notResponding;
}

// --- Port loaders ----------------------------------------------------------

int Switch::LoadPorts(SessionContext*, StoredObject*, const DiscoveredSwitch*) {
    return kBadArgument;
}

int Switch::LoadPortsWithoutType(SessionContext*, StoredObject*, const FabricElement*) {
    return kBadArgument;
}

StoredObject* Switch_2_2::addPort(StoredObject* module, const WWNAddress& name, int level) {
    StoredObject* port = getOrCreateObject(ObjectType::Port, name);
    linkChild(module, "setPort", port);
    attachChildClass(port, ChildClass::Port, level);
    if (portsHaveCounters()) {
        StoredObject* errors = getOrCreateObject(ObjectType::PortErrors, name);
        errors->addRelatedObject("setParent", port);
        attachChildClass(errors, ChildClass::PortErrors, level);
        StoredObject* stats = getOrCreateObject(ObjectType::PortStats, name);
        stats->addRelatedObject("setParent", port);
        attachChildClass(stats, ChildClass::PortStats, level);
    }
    return port;
}

int Switch_2_2::portListFailure(SessionContext* ctx, const unsigned char name[8], int status) {
    if (status == kTransient || switchNotResponding(ctx, name, true)) {
        return 0;
    }
    return status;
}

int Switch_2_3::portListFailure(SessionContext* ctx, const unsigned char name[8], int status) {
    return switchNotResponding(ctx, name, false) ? 0 : status;
}

int Switch_2_2::portsFromPortList(SessionContext* ctx, StoredObject* sw, bool untranslated) {
    const std::optional<WWNAddress> wwn = sw->getWwnAttr("WWN");
    if (!wwn) {
        return kNotStored;
    }
    StoredObject* module = singlePortModule(sw, *wwn, versionLevel());
    FabricElementList* list = nullptr;
    int status = kSwitchBusy;
    int raw = 0;
    for (int attempt = 0; attempt < kBusyAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(internalTiming().switchBusyRetryPause);
        }
        {
            LockGuard device(getSwitchRequestMutex());
            raw = getPortList(ctx, wwn->bytes(), &list);
        }
        status = MapApiError(raw);
        if (status != kSwitchBusy) {
            break;
        }
    }
    if (status == kSwitchBusy) {
        return kSwitchBusy;
    }
    if (status != 0) {
        if (list != nullptr) {
            freeApiRecord(list);
        }
        LockGuard device(getSwitchRequestMutex());
        const int failure = portListFailure(ctx, wwn->bytes(), status);
        return failure != 0 && untranslated ? raw : failure;
    }
    if (list == nullptr) {
        return kNoList;
    }
    for (std::uint32_t i = 0; i < list->count; ++i) {
        if (isNonZeroWwn(list->entries[i].name)) {
            addPort(module, WWNAddress(list->entries[i].name), versionLevel());
        }
    }
    freeApiRecord(list);
    return 0;
}

int Switch_2_2::loadSingleModule(SessionContext* ctx, StoredObject* sw,
                                 const DiscoveredSwitch* entry) {
    const std::optional<WWNAddress> wwn = sw->getWwnAttr("WWN");
    if (!wwn) {
        return kNotStored;
    }
    StoredObject* module = singlePortModule(sw, *wwn, versionLevel());
    for (unsigned i = 0; i < entry->wwns.wwns_len; ++i) {
        StoredObject* port = addPort(module, WWNAddress(entry->wwns.wwns_val[i]), versionLevel());
        port->setShortAttr("PortType", PORT_TYPE_8);
    }
    if (entry->wwns.wwns_len > 0) {
        return 0;
    }
    return portsFromPortList(ctx, sw, portsHaveCounters());
}

int Switch_2_2::LoadPorts(SessionContext* ctx, StoredObject* sw, const DiscoveredSwitch* entry) {
    if (sw == nullptr || entry == nullptr) {
        return kBadArgument;
    }
    return loadSingleModule(ctx, sw, entry);
}

int Switch_2_2::LoadPortsWithoutType(SessionContext* ctx, StoredObject* sw,
                                     const FabricElement* entry) {
    if (sw == nullptr || entry == nullptr) {
        return kBadArgument;
    }
    return portsFromPortList(ctx, sw, false);
}

int Switch_2_0::LoadPorts(SessionContext*, StoredObject* sw, const DiscoveredSwitch* entry) {
    if (sw == nullptr || entry == nullptr) {
        return kBadArgument;
    }
    const std::optional<WWNAddress> wwn = sw->getWwnAttr("WWN");
    if (!wwn) {
        return kNotStored;
    }
    // Port indexes are bounded by the switch's port count, and never reach
    // past the names the entry carries.
    const int portCount = std::min(entry->portCount, static_cast<int>(entry->wwns.wwns_len));
    for (unsigned i = 0; i < entry->pairs.pairs_len; ++i) {
        const IntPair& range = entry->pairs.pairs_val[i];
        if (range.first == 0 && range.second == 0) {
            break;
        }
        StoredObject* module =
            indexedPortModule(sw, *wwn, entry->firstPortModule + i, versionLevel());
        for (int p = range.first; p <= range.second; ++p) {
            if (p < 0 || p >= portCount) {
                break;
            }
            StoredObject* port =
                addPort(module, WWNAddress(entry->wwns.wwns_val[p]), versionLevel());
            port->setShortAttr("PortType", PORT_TYPE_8);
        }
    }
    return 0;
}

// --- Fetches -----------------------------------------------------------------

int Switch_2_2::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    SwitchContext sw;
    if (const int found = findSwitch(oid, sw); found != 0) {
        return found;
    }
    StoredObject* fabric = findObject(sw.fabricOid);
    const std::optional<WWNAddress> fabricWwn =
        fabric != nullptr ? fabric->getWwnAttr("WWN") : std::nullopt;
    singlePortModule(sw.object, sw.wwn, versionLevel());
    vendorNameOfWwn(sw.object, sw.wwn);

    LockGuard device(getSwitchRequestMutex());
    if (const int status = refreshDomainId(sw.ctx, sw.object, sw.wwn.bytes()); status != 0) {
        return status;
    }
    if (const int status = refreshInBandAddr(sw.ctx, sw.object, sw.wwn.bytes()); status != 0) {
        return status;
    }
    FabricElementList* ports = nullptr;
    const bool manageable = getPortList(sw.ctx, sw.wwn.bytes(), &ports) == 0;
    if (ports != nullptr) {
        freeApiRecord(ports);
    }
    const bool named = refreshSwitchName(sw.ctx, sw.object, sw.wwn.bytes()) == 0;

    const std::vector<std::string> modules = relationsOf(sw.object, "setPortModules");
    SwitchRecord* out = allocSwitchRecord(sizeof(OID_t) * (modules.size() + 1));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::Switch;
    CopyName48(out->OID, oid);
    sw.wwn.copyOut(out->WWN);
    unsigned short domain = 0;
    sw.object->getShortAttr("DomainId", domain);
    out->DomainId = domain;
    out->SwitchRole = fabricWwn && *fabricWwn == sw.wwn ? kPrincipal : kSubordinate;
    int inBand = 0;
    sw.object->getIntAttr("InBandAddr", inBand);
    out->SwitchID = static_cast<unsigned int>(inBand);
    out->IsManageable = manageable ? 1 : 0;
    out->SwitchState = 560;
    out->SwitchStatus = 1;
    std::string text;
    sw.object->getStringAttr("VendorName", text);
    setText(out->VendorName, text);
    text.clear();
    if (named && sw.object->getStringAttr("SwitchName", text)) {
        setText(out->SwitchName, text);
    }
    out->ZoningInstalled = 0;
    out->MaxNumberOfModules = 1;
    CopyName48(out->OwnerOID, sw.fabricOid.c_str());
    char* tail = reinterpret_cast<char*>(out + 1);
    out->PortModuleOIDs = writeOidList(tail, modules);
    *record = out;
    return 0;
}

int Switch_2_3::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    SwitchContext sw;
    if (const int found = findSwitch(oid, sw); found != 0) {
        return found;
    }
    singlePortModule(sw.object, sw.wwn, versionLevel());

    LockGuard device(getSwitchRequestMutex());
    SwitchInfoRecord request{};
    sw.wwn.copyOut(reinterpret_cast<unsigned char*>(request.switchName));
    SwitchInfoRecord* info = nullptr;
    const int status = switchGetInfo(sw.ctx, &request, &info);
    if (status != 0 || info == nullptr) {
        if (info != nullptr) {
            freeApiRecord(info);
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }
    const std::vector<std::string> modules = relationsOf(sw.object, "setPortModules");
    SwitchRecord* out = allocSwitchRecord(sizeof(OID_t) * (modules.size() + 1));
    if (out == nullptr) {
        freeApiRecord(info);
        return kNoMemory;
    }
    out->ObjType = ObjectType::Switch;
    CopyName48(out->OID, oid);
    fillSwitchRecord(out, *info);
    freeApiRecord(info);
    CopyName48(out->OwnerOID, sw.fabricOid.c_str());
    char* tail = reinterpret_cast<char*>(out + 1);
    out->PortModuleOIDs = writeOidList(tail, modules);
    *record = out;
    return 0;
}

int Switch_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    SwitchContext sw;
    if (const int found = findSwitch(oid, sw, false); found != 0) {
        return found;
    }
    sw.object->clearSet("setLicensedProduct");
    sw.object->clearSet("SetLicenseKey");

    LockGuard device(getSwitchRequestMutex());
    SwitchInfo2Record request{};
    sw.wwn.copyOut(reinterpret_cast<unsigned char*>(request.switchName));
    SwitchInfo2Record* info = nullptr;
    const int status = switchGetInfo2(sw.ctx, &request, &info);
    if (status != 0 || info == nullptr) {
        if (info != nullptr) {
            freeSwitchInfo2(info);
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }
    // A switch describes at most as many port modules as a module list
    // holds: a corrupt count makes no objects without end.
    const unsigned moduleCount = std::min<unsigned>(info->m1, RM_RECORD_LIST_MAX);
    for (unsigned i = 0; i < moduleCount; ++i) {
        indexedPortModule(sw.object, sw.wwn, info->m4 + i, versionLevel());
    }
    if (sw.fabricOid.empty()) {
        freeSwitchInfo2(info);
        return kNotStored;
    }
    const std::string firmware(info->a4, strnlen(info->a4, sizeof info->a4));
    std::string securityStatsOid;
    if (isNotFirmware40(firmware.c_str())) {
        StoredObject* stats = getOrCreateObject(ObjectType::SecurityStats, sw.wwn);
        linkChild(sw.object, "setSecurityStats", stats);
        attachChildClass(stats, ChildClass::SecurityStats, versionLevel());
        stats->getStringAttr("OID", securityStatsOid);
    }
    for (unsigned i = 0; i < info->licensedProducts.licensedProducts_len; ++i) {
        const int number = info->licensedProducts.licensedProducts_val[i];
        StoredObject* product = getOrCreateIndexedObject(ObjectType::LicensedProduct, sw.wwn,
                                                         static_cast<unsigned>(number));
        linkChild(sw.object, "setLicensedProduct", product);
        product->setIntAttr("ProductID", number);
        attachChildClass(product, ChildClass::LicensedProduct, versionLevel());
    }
    std::string groupOid;
    if (info->m5 != 0) {
        SGroupRecord* group = nullptr;
        if (switchGetSGroup(sw.ctx, sw.wwn.bytes(), &group) == 0 && group != nullptr) {
            // The group object carries the name of the switch it was read from.
            StoredObject* object = getOrCreateObject(ObjectType::PhysicalSwitchGroup, sw.wwn);
            sw.object->addRelatedObject("setPhysSwitchGroup", object);
            if (!object->hasRelationSet("setParent") ||
                object->getRelationCount("setParent") == 0) {
                object->addRelatedObject("setParent", sw.object);
            }
            object->setStringAttr(
                "PhysGroupName",
                std::string(group->groupName, strnlen(group->groupName, sizeof group->groupName)));
            attachChildClass(object, ChildClass::PhysSwitchGroup, versionLevel());
            object->getStringAttr("OID", groupOid);
        }
        if (group != nullptr) {
            freeApiRecord(group);
        }
    }
    std::string enclosureOid;
    if (isFirmware40(firmware.c_str())) {
        StoredObject* enclosure = getOrCreateObject(ObjectType::EnclosureObject, sw.wwn);
        linkChild(sw.object, "setEnclosureObject", enclosure);
        attachChildClass(enclosure, ChildClass::SwitchEnclosure, versionLevel());
        enclosure->getStringAttr("OID", enclosureOid);
    }

    const std::vector<std::string> modules = relationsOf(sw.object, "setPortModules");
    const std::vector<std::string> products = relationsOf(sw.object, "setLicensedProduct");
    const std::size_t keys = info->licenseKeys.licenseKeys_len;
    SwitchRecord* out =
        allocSwitchRecord(sizeof(OID_t) * (modules.size() + 1) + kLicenseKeySize * (keys + 1) +
                          sizeof(OID_t) * (products.size() + 1));
    if (out == nullptr) {
        freeSwitchInfo2(info);
        return kNoMemory;
    }
    out->ObjType = ObjectType::Switch;
    CopyName48(out->OID, oid);
    out->VersionMark = 3;
    char* tail = reinterpret_cast<char*>(out + 1);
    out->PortModuleOIDs = writeOidList(tail, modules);
    out->LicenseKeys = reinterpret_cast<char(*)[kLicenseKeySize]>(tail);
    tail += kLicenseKeySize * (keys + 1);
    fillSwitchRecord2(out, *info);
    freeSwitchInfo2(info);
    out->LicensedProductOIDs = writeOidList(tail, products);
    out->ThrexEventsEnable = isThrexEventSwitchRegistered(sw.wwn.bytes()) ? 1 : 0;
    CopyName48(out->OwnerOID, sw.fabricOid.c_str());
    CopyName48(out->SecurityStatsOID, securityStatsOid.c_str());
    CopyName48(out->PhysSwitchGroupOID, groupOid.c_str());
    CopyName48(out->EnclosureOID, enclosureOid.c_str());
    *record = out;
    return 0;
}

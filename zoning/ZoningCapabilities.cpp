#include "zoning/ZoningCapabilities.h"

#include <memory>
#include <string>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ChildClasses.h"
#include "objects/Fabric.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningItems.h"
#include "objects/gorlib.h"
#include "zoning/ActiveZoneDB.h"
#include "zoning/FullZoneDB.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningObjectRecords.h"
#include "zoning/ZoningQueryWalk.h"
#include "zoning/ZoningResultVector.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "ZoningFunctions";
constexpr int kNoHandle = -12;
constexpr int kNoMemory = -2;
constexpr int kNotStored = -29;
constexpr unsigned short kNoLimit = 0xFFFF;
constexpr unsigned short kNameLimit = 64;

// Asks the proxy switch for the names of the active zone sets: `enabled`
// when it names one. 0; -2 without an access object; the mapped code when
// the request got no reply. Any other refusal leaves zoning not enabled,
// as does an empty name, which no level hands out for an active zone set.
int probeZoningEnabled(int versionClass, SessionContext* session, bool& enabled) {
    enabled = false;
    const std::unique_ptr<UDAL_ZoningAccess_Ifc> access(getZoningAccess(versionClass, session));
    if (access == nullptr) {
        return kNoMemory;
    }
    std::vector<char*>* listed = nullptr;
    try {
        listed = access->GetZoningObjectNames(ZONING_TYPE_ZONE_SET, 1);
    } catch (const UDAL_ZoningException& e) {
        return e.getCode() == ZONING_ERR_NO_REPLY ? MapZoningError(e.getCode()) : 0;
    }
    if (listed == nullptr) {
        return 0;
    }
    for (const char* name : *listed) {
        if (name != nullptr && name[0] != '\0') {
            enabled = true;
        }
    }
    try {
        access->ZoningObjectNameVectorDelete(&listed);
    } catch (const UDAL_ZoningException&) {
        // The names were read; failing to give them back changes nothing.
    }
    return 0;
}

// "DefaultZoningBehavior": 1 unless a switch of the fabric refuses.
int storeDefaultZoning(StoredObject& capabilities, SessionContext* session, int versionClass) {
    bool flag = true;
    if (const int status = CheckZoningItems(session, versionClass, flag); status != 0) {
        return status;
    }
    capabilities.setShortAttr("DefaultZoningBehavior", flag ? 1 : 0);
    return 0;
}

SanElement* capabilitiesClass(int fabricLevel) {
    switch (fabricLevel) {
    case FABRIC_VERSION_2300:
        return new ZCaps_2_3();
    case FABRIC_VERSION_2600:
        return new ZCaps_2_0();
    default:
        return new ZCaps_2_2();
    }
}

const char* creatorMethod(int fabricLevel) {
    switch (fabricLevel) {
    case FABRIC_VERSION_2300:
        return "Creating ZoningCapabilities Version 2.3";
    case FABRIC_VERSION_2600:
        return "CreateZCapsObject Version 2.0";
    default:
        return "Creating ZoningCapabilities Version 2.2";
    }
}

unsigned short shortAttr(const StoredObject& object, const char* name) {
    unsigned short value = 0;
    object.getShortAttr(name, value);
    return value;
}

// The database of `type` below the capabilities object (made once), with
// its "setParent"; null when the capabilities object has no "WWN".
StoredObject* zoningDatabase(StoredObject* capabilities, unsigned short type) {
    if (capabilities == nullptr) {
        return nullptr;
    }
    const std::optional<WWNAddress> wwn = capabilities->getWwnAttr("WWN");
    if (!wwn) {
        return nullptr;
    }
    StoredObject* database = getOrCreateObject(type, *wwn);
    database->addRelatedObject("setParent", capabilities);
    return database;
}

} // namespace

int CreateZCapsObject(StoredObject* fabric, int fabricLevel) {
    const ZoningTrace trace(creatorMethod(fabricLevel), kSource);
    trace.enter();
    void* handle = nullptr;
    if (fabric == nullptr || !fabric->getHandleAttr("HDL", handle) || handle == nullptr) {
        return kNoHandle;
    }
    if (!firstRelation(*fabric, "setZoningCapabilities").empty()) {
        trace.exit();
        return 0;
    }
    const std::optional<WWNAddress> wwn = fabric->getWwnAttr("WWN");
    if (!wwn) {
        return kNoHandle;
    }
    auto* session = static_cast<SessionContext*>(handle);
    StoredObject* capabilities = getOrCreateObject(ObjectType::ZoningCapabilities, *wwn);
    capabilities->setShortAttr("ZoningEnabled", 0);
    std::string fabricOid;
    fabric->getStringAttr("OID", fabricOid);
    const int versionClass = GetProxySwitchVersionClass(fabricOid);
    bool enabled = false;
    if (const int status = probeZoningEnabled(versionClass, session, enabled); status != 0) {
        return status;
    }
    if (enabled) {
        capabilities->setShortAttr("ZoningEnabled", 1);
    }
    const std::pair<const char*, unsigned short> defaults[] = {
        {"ZoneTransactionDirty", 0},    {"DefaultZoneSetSupported", 0},
        {"ZoneTransactionActive", 0},   {"ZoneTransactionCommit", 0},
        {"ZoneTransactionValidate", 0}, {"ZoneMemberTargetTyping", 1},
        {"ZoningRefresh", 1},           {"ValidationError", 0},
        {"ZoneMaxSets", kNoLimit},      {"ZoneMaxZonesPerSet", kNoLimit},
        {"ZoneMaxZones", kNoLimit},     {"ZoneMaxMembers", kNoLimit},
        {"ZoneMaxNameLen", kNameLimit}};
    for (const auto& [name, value] : defaults) {
        capabilities->setShortAttr(name, value);
    }
    if (const int status = storeDefaultZoning(*capabilities, session, versionClass); status != 0) {
        return status;
    }
    capabilities->addRelatedObject("setParent", fabric);
    fabric->addRelatedObject("setZoningCapabilities", capabilities);
    if (capabilities->getElement() == nullptr) {
        capabilities->setElement(capabilitiesClass(fabricLevel));
    }
    if (auto* element = capabilities->getElement<SanElement>()) {
        element->CreateFullZoneDB(capabilities);
        element->CreateActiveZoneDB(capabilities);
    }
    trace.exit();
    return 0;
}

int ZCaps_2_2::CreateFullZoneDB(StoredObject* capabilities) {
    const ZoningTrace trace("Creating FullZoneDB Version 2.2", kSource);
    trace.enter();
    if (StoredObject* database = zoningDatabase(capabilities, ObjectType::FullZoneDB)) {
        database->setShortAttr("ClearFullZoneDb", 0);
        capabilities->addRelatedObject("setFullZoneDB", database);
        if (database->getElement() == nullptr) {
            database->setElement(new FullZoneDB());
        }
    }
    trace.exit();
    return 0;
}

int ZCaps_2_2::CreateActiveZoneDB(StoredObject* capabilities) {
    const ZoningTrace trace("Creating ActiveZoneDB Version 2.2", kSource);
    trace.enter();
    if (StoredObject* database = zoningDatabase(capabilities, ObjectType::ActiveZoneDB)) {
        capabilities->addRelatedObject("setActiveZoneDB", database);
        database->setShortAttr("DeactivateActiveZoneDb", 0);
        if (database->getElement() == nullptr) {
            database->setElement(new ActiveZoneDB());
        }
    }
    trace.exit();
    return 0;
}

int ZCaps_2_2::BuildObject(const OID_t oid, void** record) {
    const ZoningTrace trace(buildMethod(), kSource);
    const std::string oidText(oidFieldText(oid));
    trace.enter("ZoneCapOid=" + oidText);
    StoredObject* capabilities = findObjectByOid(oid);
    if (capabilities == nullptr) {
        return kNotStored;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(capabilities, handle); status != 0) {
        return status;
    }
    auto* session = static_cast<SessionContext*>(handle);
    auto* out =
        static_cast<ZoningCapabilitiesRecord*>(falAllocObject(sizeof(ZoningCapabilitiesRecord)));
    if (out == nullptr) {
        return kNoMemory;
    }
    const auto fail = [out](int status) {
        falFreeObject(out);
        return status;
    };
    out->VersionMark = versionMark();
    if (auto* element = capabilities->getElement<SanElement>()) {
        element->CreateFullZoneDB(capabilities);
        element->CreateActiveZoneDB(capabilities);
    }
    const std::string full = firstRelation(*capabilities, "setFullZoneDB");
    const std::string active = firstRelation(*capabilities, "setActiveZoneDB");
    out->ObjType = ObjectType::ZoningCapabilities;
    CopyName48(out->OID, oidText.c_str());
    CopyName48(out->FullZoneDBOID, full.c_str());
    CopyName48(out->ActiveZoneDBOID, active.c_str());
    capabilities->setShortAttr("ZoningEnabled", 0);
    const int versionClass = GetProxySwitchVersionClass(full);
    bool enabled = false;
    if (const int status = probeZoningEnabled(versionClass, session, enabled); status != 0) {
        return fail(status);
    }
    if (enabled) {
        capabilities->setShortAttr("ZoningEnabled", 1);
        out->ZoningEnabled = 1;
    }
    out->ZoneTransactionActive = shortAttr(*capabilities, "ZoneTransactionActive");
    out->ZoneTransactionCommit = shortAttr(*capabilities, "ZoneTransactionCommit");
    out->ZoneMemberTargetTyping = shortAttr(*capabilities, "ZoneMemberTargetTyping");
    out->ZoningRefresh = shortAttr(*capabilities, "ZoningRefresh");
    out->ZoneTransactionValidate = shortAttr(*capabilities, "ZoneTransactionValidate");
    out->ValidationError = shortAttr(*capabilities, "ValidationError");
    out->ZoneTransactionDirty = shortAttr(*capabilities, "ZoneTransactionDirty") != 0 ? 1 : 0;
    const std::pair<const char*, char*> names[] = {
        {"ValidationZoneSetName", out->ValidationZoneSetName},
        {"ValidationZoneName", out->ValidationZoneName},
        {"ValidationZoneMemberName", out->ValidationZoneMemberName}};
    for (const auto& [attribute, field] : names) {
        std::string text;
        capabilities->getStringAttr(attribute, text);
        copyBoundedText(field, sizeof(out->ValidationZoneName), text);
    }
    out->DefaultZoneSetSupported = shortAttr(*capabilities, "DefaultZoneSetSupported") != 0 ? 1 : 0;
    out->ZoneMaxSets = kNoLimit;
    out->ZoneMaxZonesPerSet = kNoLimit;
    out->ZoneMaxZones = kNoLimit;
    out->ZoneMaxMembers = kNoLimit;
    out->ZoneMaxNameLen = kNameLimit;
    if (const int status = storeDefaultZoning(*capabilities, session, versionClass); status != 0) {
        return fail(status);
    }
    *record = out;
    trace.exit();
    return 0;
}

void installZoningObjects() {
    setZoningCapabilitiesCreator(CreateZCapsObject);
    installZoningQueryWalk();
}

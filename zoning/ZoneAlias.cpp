#include "zoning/ZoneAlias.h"

#include <new>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectBuild.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_table;

constexpr int kNoAlias = -24;
constexpr int kNoTable = -17;
constexpr int kNoMemory = -2;

} // namespace

int ZoneAlias::BuildObject(const OID_t oid, void** record) try {
    const ZoningTrace trace("BuildObject(ZoneAlias)", "ZoningFunctions");
    if (oid == nullptr || record == nullptr) {
        return -3;
    }
    const std::string oidText(oidFieldText(oid));
    trace.enter("ZoneAliasOid=" + oidText);
    StoredObject* alias = findObjectByOid(oid);
    if (alias == nullptr) {
        return kNoAlias;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(alias, handle); status != 0) {
        return status;
    }
    std::string name;
    if (!alias->getStringAttr("ZoneAliasName", name)) {
        return kNoAlias;
    }
    const StoredObject* database = parentObject(*alias);
    const StoredObject* capabilities = database != nullptr ? parentObject(*database) : nullptr;
    ZoningLink link{static_cast<SessionContext*>(handle), 0,
                    capabilities != nullptr ? firstRelation(*capabilities, "setParent") : ""};
    if (link.fabricKey.empty()) {
        return kNoTable;
    }
    auto* members = FindZoningCacheTable<ZoningMemberTable>(link.fabricKey, FullAliases);
    if (members == nullptr) {
        return kNoTable;
    }
    link.versionClass = GetProxySwitchVersionClass(link.fabricKey);
    bool listed = false;
    ListedMembers listedMembers;
    if (const int status = readZoningMembers(link, name, ZONING_TYPE_ALIAS, false, false, listed,
                                             listedMembers);
        status != 0) {
        return status;
    }
    if (!listed) {
        return kNoAlias;
    }
    alias->clearList("setMember");
    for (const ListedMember& member : listedMembers) {
        std::string known;
        if (const auto entry = members->find(name);
            entry != members->end() && entry->second != nullptr) {
            if (const auto found = entry->second->find(member.name);
                found != entry->second->end()) {
                known = found->second;
            }
        }
        if (!known.empty()) {
            alias->appendListValue("setMember", known);
        } else if (const int status = CreateZoneMemberObject(alias, member.name, member.type);
                   status != 0) {
            return status;
        }
    }
    PruneZoningMembers(link.fabricKey, FullAliases, name, *alias);
    if (const int status = RefreshZoningMembers(link.fabricKey, FullAliases, name, *alias);
        status != 0) {
        return status;
    }
    const std::vector<std::string> oids = listValues(*alias, "setMember");
    char* nameText = nullptr;
    char* list = nullptr;
    auto* out = static_cast<ZoneAliasRecord*>(
        allocNamedListRecord(sizeof(ZoneAliasRecord), name, oids, nameText, list));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::ZoneAlias;
    CopyName48(out->OID, oidText.c_str());
    out->pcZoneAliasName = nameText;
    out->pcMemberOids = list;
    *record = out;
    trace.exit();
    return 0;
} catch (const std::bad_alloc&) {
    return kNoMemory;
}

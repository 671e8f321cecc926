#include "zoning/DefinedZoningDatabase.h"

#include <algorithm>
#include <memory>
#include <new>
#include <set>
#include <unordered_set>

#include "api/ObjectStore.h"
#include "objects/FabricNavigation.h"
#include "zoning/ActiveZoningDbCache.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningResultVector.h"

namespace {

using namespace zoning_table;
using ZoningAccessPtr = std::unique_ptr<UDAL_ZoningAccess_Ifc>;

constexpr unsigned short kZone = 10;
constexpr unsigned short kZoneSet = 11;
constexpr unsigned short kZoneAlias = 20;
constexpr unsigned short kZoneMember = 22;

// The codes with which the switch says that no zone set is active.
bool meansNothingActive(int code) {
    return code == ZONING_ERR_NOTHING_FOUND || code == ZONING_ERR_NOT_ACTIVE ||
           code == ZONING_ERR_NO_ACTIVE_CONFIG;
}

// The name of the first zone set record of a listing.
std::optional<std::string> firstZoneSetName(const std::vector<ZoningObjectEntry*>& listing) {
    for (const ZoningObjectEntry* entry : listing) {
        if (entry != nullptr && entry->type == ZONING_TYPE_ZONE_SET && entry->name != nullptr) {
            // An empty name is no active zone set, as at every level.
            return entry->name[0] != '\0' ? std::optional<std::string>(entry->name)
                                           : std::nullopt;
        }
    }
    return std::nullopt;
}

// The database's lists of named objects, in the order their names are
// indexed, and the attribute that holds each object's name.
constexpr struct {
    const char* list;
    const char* nameAttribute;
} kNamedLists[] = {
    {"setZoneSet", "ZoneSetName"}, {"setZoneAlias", "ZoneAliasName"}, {"setZone", "ZoneName"}};

const char* nameAttributeOf(const std::string& list) {
    for (const auto& kind : kNamedLists) {
        if (list == kind.list) {
            return kind.nameAttribute;
        }
    }
    return "";
}

} // namespace

int DefinedZoningDatabase::open(StoredObject* database) {
    if (database == nullptr) {
        return -3;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(database, handle); status != 0) {
        return status;
    }
    StoredObject* capabilities = parentObject(*database);
    if (capabilities == nullptr) {
        return -29;
    }
    const std::string key = firstRelation(*capabilities, "setParent");
    ZoningNameTable* names = FindZoningCacheTable<ZoningNameTable>(key, FullNames);
    if (key.empty() || names == nullptr) {
        return -17;
    }
    database_ = database;
    capabilities_ = capabilities;
    fabricKey_ = key;
    session_ = static_cast<SessionContext*>(handle);
    versionClass_ = GetProxySwitchVersionClass(key);
    names_ = names;
    return 0;
}

int DefinedZoningDatabase::readObjects(int type, ZoningListing& objects) const try {
    objects.clear();
    const ZoningAccessPtr access(getZoningAccess(versionClass_, session_));
    if (access == nullptr) {
        return -2;
    }
    try {
        const ZoningResultVector<ZoningObjectEntry*> listed(*access,
                                                            access->GetZoningObjects(type, 0, 1));
        objects.reserve(listed->size());
        for (const ZoningObjectEntry* entry : *listed) {
            if (entry != nullptr && entry->name != nullptr) {
                objects.push_back({entry->name, entry->type});
            }
        }
        return 0;
    } catch (const UDAL_ZoningException& e) {
        objects.clear();
        return e.getCode() == ZONING_ERR_NOTHING_FOUND ? 0 : MapZoningError(e.getCode());
    }
} catch (const std::bad_alloc&) {
    objects.clear();
    return -2;
}

int DefinedZoningDatabase::readActiveZoneSetName(std::optional<std::string>& name) const try {
    name.reset();
    const ZoningAccessPtr access(getZoningAccess(versionClass_, session_));
    if (access == nullptr) {
        return -2;
    }
    unsigned short transaction = 0;
    capabilities_->getShortAttr("ZoneTransactionActive", transaction);
    if (transaction == 1) {
        return activeNameInTransaction(*access, name);
    }
    try {
        const ZoningResultVector<char*> names(
            *access, access->GetZoningObjectNames(ZONING_TYPE_ZONE_SET, 1));
        if (!names.empty() && names->back() != nullptr && names->back()[0] != '\0') {
            name = names->back();
        }
        return 0;
    } catch (const UDAL_ZoningException& e) {
        name.reset();
        return meansNothingActive(e.getCode()) ? 0 : MapZoningError(e.getCode());
    }
} catch (const std::bad_alloc&) {
    name.reset();
    return -2;
}

int DefinedZoningDatabase::activeNameInTransaction(UDAL_ZoningAccess_Ifc& access,
                                                   std::optional<std::string>& name) const {
    std::vector<ZoningObjectEntry*>* listing = GetActiveZoningDbCache(fabricKey_, &access);
    if (listing == nullptr) {
        try {
            listing = access.GetZoningObjects(1, 0);
        } catch (const UDAL_ZoningException& e) {
            if (e.getCode() == ZONING_ERR_NO_ACTIVE_CONFIG) {
                DiscardActiveZoningCache(firstRelation(*capabilities_, "setActiveZoneDB"));
            }
            return meansNothingActive(e.getCode()) ? 0 : MapZoningError(e.getCode());
        }
        if (listing != nullptr && versionClass_ != 0) {
            StoreActiveZoningDbCache(fabricKey_, listing, &access);
        }
    }
    const ZoningResultVector<ZoningObjectEntry*> owned(access, listing);
    name = firstZoneSetName(*owned);
    return 0;
}

const StoredObject* DefinedZoningDatabase::knownObject(const std::string& name,
                                                      unsigned short type,
                                                      std::string& oid) const {
    const auto known = names_->find(name);
    if (known == names_->end()) {
        return nullptr;
    }
    const StoredObject* object = findObjectUnlocked(known->second);
    if (object == nullptr || storedObjectType(*object) != type) {
        return nullptr;
    }
    oid = known->second;
    return object;
}

template <class Create>
void DefinedZoningDatabase::relist(const char* list, unsigned short objectType,
                                   const ZoningListing& listing, int listedType, Create&& create) {
    database_->clearList(list);
    NamedObjects& placed = relisted_[list];
    placed.clear();
    for (const ListedZoningObject& listed : listing) {
        if (listedType != 0 && listed.type != listedType) {
            continue;
        }
        std::string oid;
        std::string name;
        if (const StoredObject* known = knownObject(listed.name, objectType, oid)) {
            database_->appendListValue(list, oid);
            if (!known->getStringAttr(nameAttributeOf(list), name)) {
                continue;
            }
        } else if (create(listed, oid) == 0) {
            name = StoredObject::cleanText(listed.name); // as the new object keeps it
        } else {
            continue;
        }
        placed.emplace_back(std::move(name), std::move(oid));
    }
}

void DefinedZoningDatabase::relistZoneSets(const ZoningListing& listing,
                                           const std::optional<std::string>& activeName) {
    relist("setZoneSet", kZoneSet, listing, ZONING_TYPE_ZONE_SET,
           [&](const ListedZoningObject& zoneSet, std::string& oid) {
               return CreateZoneSetObject(database_, zoneSet.name,
                                          activeName == zoneSet.name ? 1 : 0, &oid);
           });
}

void DefinedZoningDatabase::relistAliases(const ZoningListing& listing) {
    relist("setZoneAlias", kZoneAlias, listing, ZONING_TYPE_ALIAS,
           [&](const ListedZoningObject& alias, std::string& oid) {
               return CreateZoneAliasObject(database_, alias.name, &oid);
           });
}

void DefinedZoningDatabase::relistZones(const std::vector<const ZoningListing*>& listings) {
    ZoningListing zones;
    for (const ZoningListing* listing : listings) {
        zones.insert(zones.end(), listing->begin(), listing->end());
    }
    relist("setZone", kZone, zones, 0, [&](const ListedZoningObject& zone, std::string& oid) {
        return CreateZoneObject(database_, zone.name,
                                static_cast<unsigned short>(MapZoningTypeCode(zone.type)), &oid);
    });
}

void DefinedZoningDatabase::removeUnlisted(ObjectTypes types, bool withMembers) {
    if (names_->empty()) {
        return; // nothing was known, so nothing can be unlisted
    }
    std::unordered_set<std::string> listed;
    for (const char* list : {"setZoneSet", "setZoneAlias", "setZone"}) {
        for (std::string& oid : listValues(*database_, list)) {
            listed.insert(std::move(oid));
        }
    }
    auto* zones = FindZoningCacheTable<ZoningMemberTable>(fabricKey_, FullZones);
    auto* aliases = FindZoningCacheTable<ZoningMemberTable>(fabricKey_, FullAliases);
    ZoningObjectRemoval removal(fabricKey_);
    for (const auto& [name, oid] : *names_) {
        if (listed.contains(oid) || !std::ranges::count(types, oidObjectType(oid))) {
            continue;
        }
        const StoredObject* object = findObjectUnlocked(oid);
        const std::vector<std::string> members =
            object != nullptr && withMembers ? listValues(*object, "setMember")
                                             : std::vector<std::string>();
        removal.remove(oid, kDatabaseObjectTypes);
        // An object the open transaction still names stays for a rollback,
        // and so do its members, which a commit then destroys with it.
        const bool kept = findObjectUnlocked(oid) != nullptr;
        for (const std::string& member : members) {
            if (!kept) {
                removal.remove(member, kZoneMemberTypes);
            } else if (const StoredObject* stored = findObjectUnlocked(member);
                       stored != nullptr && storedObjectType(*stored) == kZoneMember) {
                RecordRemovedObject(fabricKey_, member);
            }
        }
        if (withMembers && zones != nullptr && zones->erase(name) == 0 && aliases != nullptr) {
            aliases->erase(name);
        }
    }
}

void DefinedZoningDatabase::rebuildNames() {
    names_->clear();
    for (const auto& kind : kNamedLists) {
        if (const auto placed = relisted_.find(kind.list); placed != relisted_.end()) {
            for (auto& [name, oid] : placed->second) {
                names_->emplace(std::move(name), std::move(oid));
            }
            relisted_.erase(placed);
            continue;
        }
        for (const std::string& oid : listValues(*database_, kind.list)) {
            const StoredObject* object = findObjectUnlocked(oid);
            std::string name;
            if (object != nullptr && object->getStringAttr(kind.nameAttribute, name)) {
                names_->emplace(name, oid);
            }
        }
    }
}

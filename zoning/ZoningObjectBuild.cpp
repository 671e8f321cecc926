#include "zoning/ZoningObjectBuild.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabApiUtil.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/gorlib.h"
#include "zoning/ActiveZoningDbCache.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using AccessPtr = std::unique_ptr<UDAL_ZoningAccess_Ifc>;

// Runs `read` on a fresh access object: 0, -2 without an access object or
// memory, or the mapped code of the zoning exception it threw.
template <class Read> int onAccess(const ZoningLink& link, int* thrown, Read&& read) {
    if (thrown != nullptr) {
        *thrown = 0;
    }
    try {
        const AccessPtr access(getZoningAccess(link.versionClass, link.session));
        if (access == nullptr) {
            return -2;
        }
        try {
            read(*access);
            return 0;
        } catch (const UDAL_ZoningException& e) {
            if (thrown != nullptr) {
                *thrown = e.getCode();
            }
            return MapZoningError(e.getCode());
        }
    } catch (const std::bad_alloc&) {
        return -2;
    }
}

// Gives a vector back on `access`; a failure there changes nothing.
template <class Vector, class Release> void giveBack(Vector* vector, Release&& release) {
    if (vector == nullptr) {
        return;
    }
    try {
        release(&vector);
    } catch (const UDAL_ZoningException&) {
    }
}

void copyMembers(const std::vector<ZoningNameEntry*>& from, ListedMembers& to) {
    to.reserve(from.size());
    for (const ZoningNameEntry* entry : from) {
        if (entry != nullptr && entry->name != nullptr) {
            to.push_back({entry->name, entry->type});
        }
    }
}

} // namespace

bool meansNoActiveZoneSet(int code) {
    return code == ZONING_ERR_NOTHING_FOUND || code == ZONING_ERR_NOT_ACTIVE ||
           code == ZONING_ERR_NO_ACTIVE_CONFIG;
}

int readZoningMembers(const ZoningLink& link, const std::string& name, int type, bool active,
                      bool typing, bool& listed, ListedMembers& members, int* thrown) {
    listed = false;
    members.clear();
    return onAccess(link, thrown, [&](UDAL_ZoningAccess_Ifc& access) {
        std::vector<ZoningNameEntry*>* read =
            access.GetZoningObjectMembers(name.c_str(), type, active ? 1 : 0, typing ? 1 : 0);
        listed = read != nullptr;
        try {
            if (read != nullptr) {
                copyMembers(*read, members);
            }
        } catch (...) {
            giveBack(read, [&](auto** v) { access.ZoningMemberObjectVectorDelete(v); });
            throw;
        }
        giveBack(read, [&](auto** v) { access.ZoningMemberObjectVectorDelete(v); });
    });
}

int readZoningObjectType(const ZoningLink& link, const std::string& name, bool active, int& type,
                         int* thrown) {
    type = 0;
    return onAccess(link, thrown, [&](UDAL_ZoningAccess_Ifc& access) {
        type = access.ZoningObjectGetType(name.c_str(), active ? 1 : 0);
    });
}

int readMemberKind(const ZoningLink& link, const std::string& member, bool typing, bool active,
                   int& kind, int* thrown) {
    kind = 0;
    return onAccess(link, thrown, [&](UDAL_ZoningAccess_Ifc& access) {
        kind = access.ZoningMemberObjectGetType(member.c_str(), typing ? 1 : 0, active ? 1 : 0);
    });
}

int readZoningNames(const ZoningLink& link, int type, bool active, std::vector<std::string>& names,
                    int* thrown) {
    names.clear();
    return onAccess(link, thrown, [&](UDAL_ZoningAccess_Ifc& access) {
        std::vector<char*>* read = access.GetZoningObjectNames(type, active ? 1 : 0);
        try {
            for (const char* name : read != nullptr ? *read : std::vector<char*>()) {
                if (name != nullptr) {
                    names.emplace_back(name);
                }
            }
        } catch (...) {
            giveBack(read, [&](auto** v) { access.ZoningObjectNameVectorDelete(v); });
            throw;
        }
        giveBack(read, [&](auto** v) { access.ZoningObjectNameVectorDelete(v); });
    });
}

int readActiveListing(const ZoningLink& link, bool inTransaction, bool& listed,
                      std::vector<ActiveListedObject>& objects, int* thrown,
                      const std::string* onlyName) {
    listed = false;
    objects.clear();
    return onAccess(link, thrown, [&](UDAL_ZoningAccess_Ifc& access) {
        // The version class 0 keeps no copy: its transaction is the
        // library's own and the switch's active view does not change.
        std::vector<ZoningObjectEntry*>* read =
            ReadActiveZoningListing(link.fabricKey, access, inTransaction, link.versionClass != 0,
                                    onlyName != nullptr ? onlyName->c_str() : nullptr);
        listed = read != nullptr;
        try {
            for (const ZoningObjectEntry* entry :
                 read != nullptr ? *read : std::vector<ZoningObjectEntry*>()) {
                if (entry == nullptr || entry->name == nullptr ||
                    (onlyName != nullptr && *onlyName != entry->name)) {
                    continue;
                }
                ActiveListedObject object{entry->name, entry->type, std::nullopt};
                if (entry->members != nullptr) {
                    object.members.emplace();
                    copyMembers(*entry->members, *object.members);
                }
                objects.push_back(std::move(object));
            }
        } catch (...) {
            giveBack(read, [&](auto** v) { access.ZoningObjectVectorDelete(v); });
            throw;
        }
        giveBack(read, [&](auto** v) { access.ZoningObjectVectorDelete(v); });
    });
}

bool readsAsDomainPort(const std::string& text) {
    int domain = 0;
    int port = 0;
    return std::sscanf(text.c_str(), "%d,%d", &domain, &port) == 2;
}

std::string storedSwitchOfWwnText(const std::string& text) {
    unsigned char wwn[8] = {};
    if (!parseWwnText(text.c_str(), wwn)) {
        return "";
    }
    OID_t oid = {};
    if (Int_WWNtoOID(wwn, kSwitchType, oid) != 0) {
        return "";
    }
    const std::string oidText(oidFieldText(oid));
    return findObjectUnlocked(oidText) != nullptr ? oidText : "";
}

void* allocNamedListRecord(std::size_t fixedSize, const std::string& name,
                           const std::vector<std::string>& oids, char*& nameOut, char*& listOut) {
    const std::size_t size = fixedSize + name.size() + 1 + sizeof(OID_t) * (oids.size() + 1);
    char* block = static_cast<char*>(falAllocObject(size));
    if (block == nullptr) {
        return nullptr;
    }
    nameOut = block + fixedSize;
    std::memcpy(nameOut, name.c_str(), name.size() + 1);
    listOut = nameOut + name.size() + 1;
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(listOut + i * sizeof(OID_t), oids[i].c_str());
    }
    listOut[oids.size() * sizeof(OID_t)] = '\0';
    return block;
}

bool linkThroughCapabilities(const StoredObject& database, void* fabricHandle,
                             const StoredObject*& capabilities, ZoningLink& link) {
    capabilities = parentObject(database);
    if (capabilities == nullptr) {
        return false;
    }
    link = ZoningLink{static_cast<SessionContext*>(fabricHandle), 0,
                      firstRelation(*capabilities, "setParent")};
    return !link.fabricKey.empty();
}

#include "zoning/ZoningStoredObjects.h"

#include <algorithm>

#include "api/ObjectStore.h"
#include "foundation/HexDigits.h"

namespace {

bool isOneOf(unsigned short type, ObjectTypes types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

} // namespace

unsigned short storedObjectType(const StoredObject& object) {
    unsigned short type = 0;
    object.getShortAttr("ObjType", type);
    return type;
}

unsigned short oidObjectType(const std::string& oid) {
    std::size_t pos = 0;
    unsigned value = 0;
    return readHexDigits(oid.data(), oid.size(), pos, 4, value) ? static_cast<unsigned short>(value)
                                                                : 0;
}

std::string firstRelation(const StoredObject& object, const std::string& name) {
    std::string oid;
    object.getFirstRelation(name, oid);
    return oid;
}

StoredObject* parentObject(const StoredObject& object) {
    const std::string parent = firstRelation(object, "setParent");
    return parent.empty() ? nullptr : findObjectUnlocked(parent);
}

std::string fabricKeyOfDatabase(const StoredObject& database) {
    const StoredObject* capabilities = parentObject(database);
    return capabilities != nullptr ? firstRelation(*capabilities, "setParent") : std::string();
}

std::vector<std::string> listValues(const StoredObject& object, const std::string& name) {
    std::vector<std::string> values;
    object.getList(name, values);
    return values;
}

bool eraseObjectOfType(const std::string& oid, ObjectTypes types) {
    const StoredObject* object = findObjectUnlocked(oid);
    if (object == nullptr || !isOneOf(storedObjectType(*object), types)) {
        return false;
    }
    return eraseObject(oid);
}

ZoningObjectRemoval::ZoningObjectRemoval(const std::string& fabricKey)
    : removed_(FindZoningCacheTable<ZoningRemovedSet>(fabricKey, zoning_table::RemovedObjects)) {
    const auto* journal = FindZoningCacheTable<ZoningJournal>(fabricKey, zoning_table::Journal);
    if (journal == nullptr) {
        return;
    }
    for (const ZoningJournalRow& row : *journal) {
        journalNames_.insert(row.first);
        journalNames_.insert(row.third);
        if (row.savedMembers != nullptr) {
            for (const auto& [member, oid] : *row.savedMembers) {
                journalNames_.insert(oid);
            }
        }
    }
}

bool ZoningObjectRemoval::remove(const std::string& oid, ObjectTypes types) {
    const StoredObject* object = findObjectUnlocked(oid);
    if (object == nullptr || !isOneOf(storedObjectType(*object), types)) {
        return false;
    }
    if (journalNames_.contains(oid) || (removed_ != nullptr && removed_->contains(oid))) {
        if (removed_ != nullptr) {
            removed_->insert(oid);
        }
        return true;
    }
    return eraseObject(oid);
}

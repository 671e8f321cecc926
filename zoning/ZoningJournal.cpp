#include "zoning/ZoningJournal.h"

#include "api/ObjectStore.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_table;

// The tables a replay edits.
struct ReplayTables {
    ZoningNameTable& names;
    ZoningMemberTable& zones;
    ZoningMemberTable& aliases;
    ZoningMemberTable& zoneSets;
};

using Replay = void (*)(ReplayTables&, ZoningJournalRow&);

// Runs `edit` on the stored object the row names, when it is stored.
template <class Edit> void onObject(const ZoningJournalRow& row, Edit&& edit) {
    if (StoredObject* object = findObjectUnlocked(row.first)) {
        edit(*object);
    }
}

// The member map of the zone, alias or zone set whose name the row's object
// holds in `nameAttribute`; null when the object, the entry or its map is
// missing.
ZoningMemberMap* membersOfNamedObject(ZoningMemberTable& table, const ZoningJournalRow& row,
                                      const char* nameAttribute) {
    const StoredObject* object = findObjectUnlocked(row.first);
    std::string name;
    if (object == nullptr || !object->getStringAttr(nameAttribute, name)) {
        return nullptr;
    }
    const auto entry = table.find(name);
    return entry == table.end() ? nullptr : entry->second.get();
}

// Puts the row's saved map back under its key; the row keeps (and frees) a
// map that is not inserted.
void restoreMap(ZoningMemberTable& table, ZoningJournalRow& row) {
    if (!table.contains(row.second)) {
        table.emplace(row.second, std::move(row.savedMembers));
    }
}

void eraseMember(ZoningMemberTable& table, const ZoningJournalRow& row, const char* nameAttribute) {
    if (ZoningMemberMap* members = membersOfNamedObject(table, row, nameAttribute)) {
        members->erase(row.second);
    }
}

void setMember(ZoningMemberTable& table, const ZoningJournalRow& row, const char* nameAttribute) {
    if (ZoningMemberMap* members = membersOfNamedObject(table, row, nameAttribute)) {
        members->insert_or_assign(row.second, row.third);
    }
}

// Gives the row's value back to the list at the row's place (appends when
// the row has none or the list is shorter).
void insertListValue(StoredObject& object, const ZoningJournalRow& row) {
    std::vector<std::string> values = listValues(object, row.second);
    if (row.listPosition >= values.size()) {
        object.appendListValue(row.second, row.third);
        return;
    }
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(row.listPosition), row.third);
    object.clearList(row.second);
    for (const std::string& value : values) {
        object.appendListValue(row.second, value);
    }
}

struct VerbReplay {
    const char* verb;
    Replay replay;
};

const VerbReplay kReplays[] = {
    {zoning_verb::Add,
     [](ReplayTables&, ZoningJournalRow& row) {
         onObject(row, [&](StoredObject& o) { o.addRelation(row.second, row.third); });
     }},
    {zoning_verb::AddToList,
     [](ReplayTables&, ZoningJournalRow& row) {
         onObject(row, [&](StoredObject& o) { insertListValue(o, row); });
     }},
    {zoning_verb::Delete,
     [](ReplayTables&, ZoningJournalRow& row) {
         onObject(row, [&](StoredObject& o) { o.removeRelation(row.second, row.third); });
     }},
    {zoning_verb::DeleteFromList,
     [](ReplayTables&, ZoningJournalRow& row) {
         onObject(row, [&](StoredObject& o) { o.removeListValue(row.second, row.third); });
     }},
    {zoning_verb::FullNameAdd,
     [](ReplayTables& t, ZoningJournalRow& row) { t.names.emplace(row.second, row.third); }},
    {zoning_verb::FullNameDelete,
     [](ReplayTables& t, ZoningJournalRow& row) {
         eraseObjectOfType(row.third, kZoningObjectTypes);
         t.names.erase(row.second);
     }},
    {zoning_verb::ZoneDelete,
     [](ReplayTables& t, ZoningJournalRow& row) { t.zones.erase(row.second); }},
    {zoning_verb::AliasDelete,
     [](ReplayTables& t, ZoningJournalRow& row) { t.aliases.erase(row.second); }},
    {zoning_verb::ZoneSetDelete,
     [](ReplayTables& t, ZoningJournalRow& row) { t.zoneSets.erase(row.second); }},
    {zoning_verb::ZoneAddMap,
     [](ReplayTables& t, ZoningJournalRow& row) { restoreMap(t.zones, row); }},
    {zoning_verb::AliasAddMap,
     [](ReplayTables& t, ZoningJournalRow& row) { restoreMap(t.aliases, row); }},
    {zoning_verb::ZoneSetAddMap,
     [](ReplayTables& t, ZoningJournalRow& row) { restoreMap(t.zoneSets, row); }},
    {zoning_verb::ZoneDeleteMember,
     [](ReplayTables& t, ZoningJournalRow& row) { eraseMember(t.zones, row, "ZoneName"); }},
    {zoning_verb::AliasDeleteMember,
     [](ReplayTables& t, ZoningJournalRow& row) { eraseMember(t.aliases, row, "ZoneAliasName"); }},
    {zoning_verb::ZoneAddMember,
     [](ReplayTables& t, ZoningJournalRow& row) { setMember(t.zones, row, "ZoneName"); }},
    {zoning_verb::AliasAddMember,
     [](ReplayTables& t, ZoningJournalRow& row) { setMember(t.aliases, row, "ZoneAliasName"); }},
    {zoning_verb::ZoneSetAddMember,
     [](ReplayTables& t, ZoningJournalRow& row) {
         if (ZoningMemberMap* members = membersOfNamedObject(t.zoneSets, row, "ZoneSetName")) {
             members->emplace(row.second, row.third);
         }
     }},
};

// Frees the journal's rows and empties the removal set, when the fabric has
// both tables.
void dropJournal(const std::string& fabricKey) {
    auto* removed = FindZoningCacheTable<ZoningRemovedSet>(fabricKey, RemovedObjects);
    auto* journal = FindZoningCacheTable<ZoningJournal>(fabricKey, Journal);
    if (removed == nullptr || journal == nullptr) {
        return;
    }
    journal->clear();
    removed->clear();
}

} // namespace

void AddZoningJournalRecord(const std::string& fabricKey, const std::string& verb,
                            const std::string& first, const std::string& second,
                            const std::string& third,
                            std::unique_ptr<ZoningMemberMap> savedMembers) {
    if (auto* journal = FindZoningCacheTable<ZoningJournal>(fabricKey, Journal)) {
        journal->push_front({verb, first, second, third, std::move(savedMembers)});
    }
}

void AddZoningJournalListRecord(const std::string& fabricKey, const std::string& first,
                                const std::string& second, const std::string& third,
                                std::size_t position) {
    if (auto* journal = FindZoningCacheTable<ZoningJournal>(fabricKey, Journal)) {
        journal->push_front({zoning_verb::AddToList, first, second, third, nullptr, position});
    }
}

void ReplayZoningJournal(const std::string& fabricKey) {
    if (fabricKey.empty()) {
        return;
    }
    auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey, FullNames);
    auto* zones = FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullZones);
    auto* aliases = FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullAliases);
    auto* zoneSets = FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullZoneSets);
    auto* journal = FindZoningCacheTable<ZoningJournal>(fabricKey, Journal);
    if (names == nullptr || zones == nullptr || aliases == nullptr || zoneSets == nullptr ||
        journal == nullptr) {
        return;
    }
    ReplayTables tables{*names, *zones, *aliases, *zoneSets};
    for (ZoningJournalRow& row : *journal) {
        for (const VerbReplay& entry : kReplays) {
            if (row.verb == entry.verb) {
                entry.replay(tables, row);
                break;
            }
        }
    }
}

void ClearZoningJournal(const std::string& fabricKey) {
    dropJournal(fabricKey);
}

void ReleaseZoningJournal(const std::string& fabricKey) {
    dropJournal(fabricKey);
}

void RecordRemovedObject(const std::string& fabricKey, const std::string& oid) {
    if (auto* removed = FindZoningCacheTable<ZoningRemovedSet>(fabricKey, RemovedObjects)) {
        removed->insert(oid);
    }
}

void PurgeRemovedObjects(const std::string& fabricKey) {
    auto* removed = FindZoningCacheTable<ZoningRemovedSet>(fabricKey, RemovedObjects);
    if (removed == nullptr) {
        return;
    }
    for (const std::string& oid : *removed) {
        eraseObjectOfType(oid, kZoningObjectTypes);
    }
    removed->clear();
}

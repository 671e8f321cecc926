// The zoning cache of every fabric with an open session: named tables that
// map the names of the defined and the active zoning database's objects to
// the identifiers of their stored objects, each object's members to theirs,
// a copy of the last active database listing, the journal of the open
// zoning transaction and the set of objects it removed.
//
// The registry, every table and every edit of them are guarded by the
// object-model lock alone; apart from CreateZoningCache and
// RemoveZoningCache, which take it, every function here expects its caller
// to hold it.
#pragma once

#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "zoning/ZoningRecords.h"

// The table names.
namespace zoning_table {
inline constexpr char FullNames[] = "FZDB";          // defined object name -> identifier
inline constexpr char FullZones[] = "FZDBZ";         // zone name -> its members
inline constexpr char FullAliases[] = "FZDBZALIAS";  // alias name -> its members
inline constexpr char FullZoneSets[] = "FZDBZSET";   // zone set name -> its members
inline constexpr char ActiveNames[] = "AZDB";        // active zone name -> identifier
inline constexpr char ActiveZones[] = "AZDBZ";       // active zone name -> its members
inline constexpr char ActiveListing[] = "AZDBCACHE"; // the last active database listing
inline constexpr char Journal[] = "DBTRTABLE";       // the transaction's inverse edits
inline constexpr char RemovedObjects[] = "OIDSET";   // objects the transaction removed
} // namespace zoning_table

// Member name -> identifier of the member's stored object.
using ZoningMemberMap = std::map<std::string, std::string>;
// Object name -> identifier of its stored object ("FZDB", "AZDB").
using ZoningNameTable = std::map<std::string, std::string>;
// Object name -> its members; a null map stands for members not read yet
// ("FZDBZ", "FZDBZALIAS", "FZDBZSET", "AZDBZ").
using ZoningMemberTable = std::map<std::string, std::unique_ptr<ZoningMemberMap>>;

// One recorded edit's inverse. `first` names the stored object that the row
// acts on, `second` a relation set or list name, a table key or a member
// name, `third` an identifier or list value; the row owns the member map it
// saves (the three "...ADDMAP" verbs only).
struct ZoningJournalRow {
    std::string verb;
    std::string first;
    std::string second;
    std::string third;
    std::unique_ptr<ZoningMemberMap> savedMembers;
    // "ADDVEC" only: the place in the list that `third` goes back to, so
    // that a rollback restores the list's order; npos appends.
    std::size_t listPosition = static_cast<std::size_t>(-1);
};
// "DBTRTABLE": newest row first.
using ZoningJournal = std::list<ZoningJournalRow>;
// "OIDSET": identifiers in byte order.
using ZoningRemovedSet = std::set<std::string>;

// Frees a listing entry with its members.
struct ZoningObjectEntryDelete {
    void operator()(ZoningObjectEntry* entry) const;
};
// "AZDBCACHE": owned copies of an active database listing, in its order.
using ZoningActiveListing =
    std::vector<std::unique_ptr<ZoningObjectEntry, ZoningObjectEntryDelete>>;

// One fabric's tables by name.
class ZoningCache {
public:
    using Table = std::variant<ZoningNameTable, ZoningMemberTable, ZoningJournal, ZoningRemovedSet,
                               ZoningActiveListing>;

    // The eight tables of an open session, all empty: "FZDB", "FZDBZ",
    // "FZDBZALIAS", "FZDBZSET", "AZDB", "AZDBZ", "DBTRTABLE", "OIDSET".
    ZoningCache();

    // The table of that name, or null when there is none or it is of
    // another kind.
    template <class Kind> Kind* table(const std::string& name) {
        const auto found = tables_.find(name);
        return found == tables_.end() ? nullptr : std::get_if<Kind>(&found->second);
    }
    bool hasTable(const std::string& name) const { return tables_.contains(name); }
    // Enters `table` under `name`, replacing a table of that name.
    void setTable(const std::string& name, Table table);
    void eraseTable(const std::string& name);

private:
    std::map<std::string, Table> tables_;
};

// Fabric key (the fabric's identifier text, also its session's) -> cache.
using ZoningCacheRegistry = std::map<std::string, std::unique_ptr<ZoningCache>>;

// The process-wide registry. Made on first use and kept until the process
// ends.
ZoningCacheRegistry& zoningCacheRegistry();
// The fabric's cache, or null.
ZoningCache* findZoningCache(const std::string& fabricKey);

// The fabric's table of that name and kind, or null when the fabric has no
// cache or the cache no such table.
template <class Kind>
Kind* FindZoningCacheTable(const std::string& fabricKey, const std::string& name) {
    ZoningCache* cache = findZoningCache(fabricKey);
    return cache != nullptr ? cache->table<Kind>(name) : nullptr;
}

// Session open: enters the fabric's eight empty tables, unless the fabric
// has its cache already (a rebuilt object tree keeps the cache and an open
// transaction's journal). Takes the object-model lock.
void CreateZoningCache(const std::string& fabricKey);
// Session close, after the fabric's zoning databases were discarded
// (DiscardFullZoningCache, DiscardActiveZoningCache): releases the journal
// (ReleaseZoningJournal), frees every table and forgets the fabric.
// Nothing when the fabric has no cache. Takes the object-model lock.
void RemoveZoningCache(const std::string& fabricKey);

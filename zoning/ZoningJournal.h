// The journal of a fabric's open zoning transaction ("DBTRTABLE") and the
// set of objects the transaction removed ("OIDSET").
//
// While a transaction is open, every cached zoning edit records the edit
// that undoes it, and every object it removes goes into the removal set
// (its stored object stays in the store). Rollback replays the journal
// newest row first, then clears it; commit destroys the removed objects and
// releases the journal.
//
// The caller holds the object-model lock. A fabric without its cache, or
// without the table an operation needs, makes the operation do nothing.
#pragma once

#include <memory>
#include <string>

#include "zoning/ZoningCache.h"

// The verbs of journal rows and what replaying a row does.
namespace zoning_verb {
// The object named by `first` gets `third` in its relation set `second`;
inline constexpr char Add[] = "ADD";
// ... gets `third` appended to its string list `second`;
inline constexpr char AddToList[] = "ADDVEC";
// ... loses `third` from its relation set `second`;
inline constexpr char Delete[] = "DELETE";
// ... loses `third` from its string list `second`.
inline constexpr char DeleteFromList[] = "DELETEVEC";
// "FZDB" gets `second` -> `third`.
inline constexpr char FullNameAdd[] = "FZDBADD";
// The object `third` is destroyed, and the "FZDB" entry `second` erased.
inline constexpr char FullNameDelete[] = "FZDBDELETE";
// The "FZDBZ" or "FZDBZALIAS" entry `second` is erased with its members.
inline constexpr char ZoneDelete[] = "FZDBZDELETE";
inline constexpr char AliasDelete[] = "FZDBZALIASDELETE";
// The "FZDBZSET" entry `second` is erased with its members (a zone set made
// in the transaction whose members a read cached meanwhile).
inline constexpr char ZoneSetDelete[] = "FZDBZSETDELETE";
// "FZDBZ", "FZDBZALIAS" or "FZDBZSET" gets `second` -> the saved members.
inline constexpr char ZoneAddMap[] = "FZDBZADDMAP";
inline constexpr char AliasAddMap[] = "FZDBZALIASADDMAP";
inline constexpr char ZoneSetAddMap[] = "FZDBZSETADDMAP";
// In the members of the zone (alias) named by the "ZoneName"
// ("ZoneAliasName") of the object `first`, the member `second` is erased;
inline constexpr char ZoneDeleteMember[] = "FZDBZDELETEMEM";
inline constexpr char AliasDeleteMember[] = "FZDBZALIASDELETEMEM";
// ... the member `second` is set to `third`;
inline constexpr char ZoneAddMember[] = "FZDBZADDMEM";
inline constexpr char AliasAddMember[] = "FZDBZALIASADDMEM";
// in the members of the zone set named by "ZoneSetName", `second` ->
// `third` is added unless the member is there.
inline constexpr char ZoneSetAddMember[] = "FZDBZSETADDMEM";
} // namespace zoning_verb

// Puts a row at the front of the fabric's journal. The row owns
// `savedMembers`; without a journal the map is freed.
void AddZoningJournalRecord(const std::string& fabricKey, const std::string& verb,
                            const std::string& first, const std::string& second,
                            const std::string& third,
                            std::unique_ptr<ZoningMemberMap> savedMembers = nullptr);

// Puts an "ADDVEC" row at the front of the fabric's journal that gives
// `third` back to the list `second` of the object `first` at `position`
// (the place it had before the edit), or at the end when the list is
// shorter.
void AddZoningJournalListRecord(const std::string& fabricKey, const std::string& first,
                                const std::string& second, const std::string& third,
                                std::size_t position);

// Performs every row, newest first, when the fabric has "FZDB", "FZDBZ",
// "FZDBZALIAS" and "FZDBZSET". A row whose verb is unknown, or whose
// object, table entry or member map is gone, does nothing; an insertion
// never replaces an entry, and a saved member map that is not inserted
// stays with its row. The rows stay in the journal.
void ReplayZoningJournal(const std::string& fabricKey);
// After a rollback: frees every row (the member maps the replay put back
// belong to the tables) and empties the removal set; the removed objects
// stay in the store.
void ClearZoningJournal(const std::string& fabricKey);
// After a commit, and at session close: frees every row with the member map
// it saved and empties the removal set.
void ReleaseZoningJournal(const std::string& fabricKey);

// Enters the identifier in the removal set.
void RecordRemovedObject(const std::string& fabricKey, const std::string& oid);
// At commit: destroys every zoning object the removal set names and erases
// it from the store, then empties the set.
void PurgeRemovedObjects(const std::string& fabricKey);

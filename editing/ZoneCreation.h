// The creation of zoning objects from callers' records: zones, zone sets
// (activated at once when the record asks), zone aliases and zone members.
// They are the creators CreateFabricObject runs for the types 10, 11, 20
// and 22, under the object-model lock, given the fabric's defined zoning
// database, the fabric's session, the caller's record and the caller's
// 48-byte identifier buffer; each returns 0 with the new identifier in the
// buffer, or a negative status.
//
// Zones, zone sets and aliases are made on the switch first, inside the
// open zoning transaction, and then in the store and the zoning cache; each
// local change is journaled with its inverse, so that a rollback leaves the
// library as it was before (the free members of the database in their
// order too). Every check on the record and its members runs before the
// switch is asked: a refused creation changes nothing. A failure after the
// switch made the object marks the zoning cache for a reload
// ("ZoningRefresh" 1 on the zoning capabilities object).
//
// Zone members are local objects: they need no transaction and write no
// journal rows.
#pragma once

#include <string>
#include <vector>

#include "api/StoredObject.h"
#include "connection/clilib_session.h"

int createZoneFromInput(StoredObject* database, SessionContext* fabricHandle, const void* record,
                        char* createdOid);
int createZoneSetFromInput(StoredObject* database, SessionContext* fabricHandle,
                           const void* record, char* createdOid);
int createZoneAliasFromInput(StoredObject* database, SessionContext* fabricHandle,
                             const void* record, char* createdOid);
int createZoneMemberFromInput(StoredObject* database, SessionContext* fabricHandle,
                              const void* record, char* createdOid);

// Registers the four creators with the object edit table; called once at
// start-up.
void installZoningCreators();

// What the creators share.
namespace zoning_creation {

// The longest name or modifier text read from a record, NUL included: a
// text without its NUL within this many bytes is refused.
inline constexpr std::size_t kRecordTextMax = 1024;

// The zoning context of a creation.
struct Context {
    StoredObject* database = nullptr;
    StoredObject* capabilities = nullptr;
    std::string databaseOid;
    std::string fabricKey;
    int versionClass = 0;
};

// The capabilities object above the database and the fabric key it names:
// 0, or -17 when either is missing.
int resolveContext(StoredObject* database, Context& context);

// The record's text: false for a null pointer or a text without its NUL
// within kRecordTextMax bytes.
bool readRecordText(const char* text, std::string& out);

// The identifiers of a member list (48-byte entries ended by an empty one):
// 0, or -3 for a null or empty list, an entry without its NUL or an entry
// named twice.
int readMemberList(const char* list, std::vector<std::string>& oids);

// The member's fabric is the creation's: 0, -17 when it has none, -5 when
// it is another.
int checkMemberFabric(const std::string& memberOid, const Context& context);

// ZoningObjectCreate(name, zoningType, members) on a fresh access object:
// 0, -2 without one, or the public code of the refusal.
int createOnSwitch(const Context& context, SessionContext* fabricHandle, const std::string& name,
                   int zoningType, const std::vector<std::string>& memberNames);

// The first 20 characters of an identifier, the form journal rows name
// objects in.
std::string shortOid(const std::string& oid);

// Journals the order of the database's free members ("setMember") before
// `taken` leave it, so that a rollback, which appends each taken member
// back, ends with the list in its order of now.
void journalFreeMemberOrder(const Context& context, const std::vector<std::string>& taken);

// Moves a free member of the database to `owner` (a zone or alias), with
// the four rows that undo it: the member joins the owner's "setMember",
// leaves the database's, and its "setParent" changes from the database to
// the owner.
void takeFreeMember(const Context& context, StoredObject& member, const std::string& memberOid,
                    StoredObject& owner, const std::string& ownerOid);

// A failure after the switch made the object: the cache is to be read
// again.
void markForRefresh(const Context& context);

// Copies the identifier into the caller's 48-byte buffer, NUL included.
void copyCreatedOid(const std::string& oid, char* createdOid);

// The member's "ZoneMemberTarget", stored as text or as an identifier
// field; false when absent or empty.
bool memberTarget(const StoredObject& member, std::string& target);

} // namespace zoning_creation

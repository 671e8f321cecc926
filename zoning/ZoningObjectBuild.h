// What the builders of the zone, alias, member and zone set records share:
// the fabric's session and zoning version class, the switch reads (each on
// a zoning access object of its own, deleted right after), and the record
// blocks. The caller holds the object-model and the device-access lock.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "api/StoredObject.h"
#include "connection/clilib_session.h"

// One member text as the switch lists it, with its member type.
struct ListedMember {
    std::string name;
    int type;
};
using ListedMembers = std::vector<ListedMember>;

// One object of the active database listing with its members.
struct ActiveListedObject {
    std::string name;
    int type;
    std::optional<ListedMembers> members;
};

// The fabric of a zoning object as the switch reads need it.
struct ZoningLink {
    SessionContext* session = nullptr;
    int versionClass = 0;
    std::string fabricKey;
};

// The capabilities object above a zoning database and the link to the
// fabric it names (version class still 0): false when either is missing.
bool linkThroughCapabilities(const StoredObject& database, void* fabricHandle,
                             const StoredObject*& capabilities, ZoningLink& link);

// Zoning object types of member identifiers.
inline constexpr unsigned short kSwitchType = 2;

// A zoning exception's code that says no zone set is active, at any level.
bool meansNoActiveZoneSet(int code);

// GetZoningObjectMembers(name, type, active, typing): 0 with the members
// (`listed` false when the switch gave no list), -2 without an access
// object or memory, else the mapped code. `thrown` gets the exception code.
int readZoningMembers(const ZoningLink& link, const std::string& name, int type, bool active,
                      bool typing, bool& listed, ListedMembers& members, int* thrown = nullptr);
// ZoningObjectGetType(name, active).
int readZoningObjectType(const ZoningLink& link, const std::string& name, bool active, int& type,
                         int* thrown = nullptr);
// ZoningMemberObjectGetType(member, typing, active).
int readMemberKind(const ZoningLink& link, const std::string& member, bool typing, bool active,
                   int& kind, int* thrown = nullptr);
// GetZoningObjectNames(type, active): the names in the switch's order.
int readZoningNames(const ZoningLink& link, int type, bool active, std::vector<std::string>& names,
                    int* thrown = nullptr);
// The active database listing (GetZoningObjects(active, no typing)): while
// `inTransaction` from the fabric's cached copy, read and (above version
// class 0) cached when there is none; otherwise read from the switch.
// `listed` false when the switch gave no list. With `onlyName`, `objects`
// holds only the records of that name.
int readActiveListing(const ZoningLink& link, bool inTransaction, bool& listed,
                      std::vector<ActiveListedObject>& objects, int* thrown = nullptr,
                      const std::string* onlyName = nullptr);

// Whether the member text reads as "%d,%d" (domain and port).
bool readsAsDomainPort(const std::string& text);
// The identifier of the stored switch (type 2) whose world wide name the
// text is; empty when it is none or no such switch is stored.
std::string storedSwitchOfWwnText(const std::string& text);

// A record block of `fixedSize` bytes followed by `name` with its NUL and
// the identifier list `oids` with its empty end entry (48 bytes each, no
// alignment); sized from exactly what it holds. Null without memory.
// `nameOut` and `listOut` point into the block.
void* allocNamedListRecord(std::size_t fixedSize, const std::string& name,
                           const std::vector<std::string>& oids, char*& nameOut, char*& listOut);

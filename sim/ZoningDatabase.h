// The zoning of a simulated fabric: the defined database, the copy saved by
// the save procedure, the effective configuration, and the zoning
// transaction of one connection.
//
// The fabric file's "zoning" object preloads it:
//   { "defined": [ { "name": "cfg1", "type": 1, "members": ["z1", "z2"] },
//                  { "name": "z1", "type": 2, "members": ["10:00:00:00:c9:00:00:01", "1,4"] },
//                  { "name": "a1", "type": 3, "members": ["2,7"] } ],
//     "saved": [ ... ],          // absent: a copy of "defined"
//     "active": "cfg1",          // activated when the simulator starts
//     "notPrimaryFcs": true }    // the proxy is not the primary configuration server
// or generates a large defined database in place of "defined":
//   { "generate": { "zoneSets": 8, "zones": 10000, "members": 32000, "aliases": 2000 },
//     "active": "cfg_1" }
// Aliases alias_1 to alias_<aliases> hold two port members each; zones
// zone_1 to zone_<zones> (every tenth of type 4, every tenth from the fifth
// of type 6, the others 2) share the members evenly, in turn a port name
// (21:00:...), a port ("1,<n>") and an alias; zone set cfg_<k> holds the
// zones whose number leaves k - 1 divided by the number of zone sets.
// Zoning types: 1 zone set, 2 zone, 3 alias, 4, 5, 6 and 7 other zone kinds.
// Object names are 1 to 64 letters, digits, "_", "-", "$", "^" or "/"; a name is
// used by one object only. Members keep their order; a member text holds
// no "|" or ";" and at most 99 characters.
//
// Every operation answers a switch status: 0, or one of the statuses below.
// The connection number names the caller: while a connection owns the
// transaction it reads and edits the transaction's copy, every other
// connection reads the defined database and may not edit it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace zoning_status {
inline constexpr int kNotFound = -10100;
inline constexpr int kNoActiveConfiguration = -10101;
inline constexpr int kBadType = -10104;
inline constexpr int kExists = -10105;
inline constexpr int kMemberNotFound = -10106;
inline constexpr int kBadName = -10113;
inline constexpr int kValidationFailed = -10116;
inline constexpr int kTransactionOpen = -10117;
inline constexpr int kNoTransaction = -10050;
} // namespace zoning_status

struct ZoningObject {
    std::string name;
    int type = 0;
    std::vector<std::string> members;
};

// Objects in the order they were created.
using ZoningObjectList = std::vector<ZoningObject>;

// What activation took from the zone set: its zones in member order, each
// with its members, aliases replaced by the aliases' members.
struct EffectiveConfiguration {
    std::string zoneSetName;
    ZoningObjectList zones;
};

// The first reference of a database that does not hold: the zone set, zone
// (or alias) and member it was found at; empty where it does not apply.
struct ValidationFailure {
    std::string zoneSet;
    std::string zone;
    std::string member;
};

class ZoningDatabase {
public:
    // Throws std::runtime_error naming the bad field.
    static ZoningDatabase fromJson(const nlohmann::json& zoning, const std::string& where);
    // {"defined", "saved", "effective" (null or {"zoneSet", "zones"}),
    //  "transaction" (null or {"owner", "copy"}), "notPrimaryFcs"}.
    nlohmann::json toJson() const;

    // Editing (the caller's view): create, delete, members added or one
    // removed, everything cleared. An object that loses its last member is
    // deleted.
    int create(std::uint64_t connection, const std::string& name, int type,
               const std::string& memberText);
    int remove(std::uint64_t connection, const std::string& name, int type);
    int addMembers(std::uint64_t connection, const std::string& name, int type,
                   const std::string& memberText);
    int removeMember(std::uint64_t connection, const std::string& name, int type,
                     const std::string& member);
    int clear(std::uint64_t connection);

    // Reading (the caller's view). Type 8 lists the names of every type.
    int exists(std::uint64_t connection, const std::string& name, int type) const;
    int names(std::uint64_t connection, int type, std::vector<std::string>& out) const;
    int members(std::uint64_t connection, const std::string& name, int type,
                std::vector<std::string>& out) const;
    int definedType(std::uint64_t connection, const std::string& name, int& type) const;
    // The type of a zone set or zone of the effective configuration.
    int activeType(const std::string& name, int& type) const;

    // The effective configuration.
    int activate(std::uint64_t connection, const std::string& zoneSetName);
    int deactivate();
    int activeZoneSetName(std::string& out) const;
    // The effective configuration as text: the zone set's name, then per
    // zone "|<kind> <zone>:" and each member followed by ";". Only the
    // marker "##NOT_PRIMARY_FCS##" when the proxy is not the primary
    // configuration server; empty when nothing is active.
    std::string activeDatabaseText() const;

    // The saved copy takes the defined database.
    int save();

    // The transaction: started on a copy of the defined database; commit
    // validates the copy, makes it the defined database and saves it; a
    // failed validation keeps the transaction open.
    int startTransaction(std::uint64_t connection);
    int commit(std::uint64_t connection);
    int rollback(std::uint64_t connection);
    // Validates the caller's view.
    int validate(std::uint64_t connection, ValidationFailure& failure) const;
    // The owner's connection closed: its transaction ends unapplied.
    void connectionClosed(std::uint64_t connection);

    // An edit from the control channel, as another management station would
    // make it (outside any transaction): {"action": "create" (with "name",
    // "type", "members": [...]), "remove" ("name", "type"), "activate"
    // ("name") or "deactivate"}. The switch status of the edit; throws
    // std::invalid_argument for an unknown action.
    int controlEdit(const nlohmann::json& edit);

private:
    struct Transaction {
        std::uint64_t owner = 0;
        ZoningObjectList copy;
    };

    const ZoningObjectList& view(std::uint64_t connection) const;
    // The caller's view for an edit, or null when another connection owns
    // the transaction.
    ZoningObjectList* editableView(std::uint64_t connection);
    // The object of that name and type in the caller's editable view, or
    // null with the status that refuses the edit.
    ZoningObject* editableObject(std::uint64_t connection, const std::string& name, int type,
                                 int& status);
    bool owns(std::uint64_t connection) const;

    ZoningObjectList defined_;
    ZoningObjectList saved_;
    std::optional<EffectiveConfiguration> effective_;
    std::optional<Transaction> transaction_;
    bool notPrimaryFcs_ = false;
};

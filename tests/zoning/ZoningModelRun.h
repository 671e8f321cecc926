// Random zoning edit sequences on a simulated fabric, each ended by a
// rollback or a commit, checked after every transaction against a simple
// model of the defined database (object name -> zoning type and member
// names) and of the active zone set: the library's view, the switch's
// defined and effective databases, and after a rollback the library's whole
// zoning picture as it was before the start. Reads in between meet injected
// switch failures. Used by the model test (a small count) and the
// benchmark (10,000 transactions).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <orvane/fabapi.h>
#include <orvane/objects.h>
#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "editing/ObjectEditTable.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectIdentifiers.h"
#include "tests/support/DefinedZoningView.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/ZoningSnapshot.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningStoredObjects.h"

namespace zoning_model {

using nlohmann::json;

struct Figures {
    int transactions = 0;
    int commits = 0;
    int rollbacks = 0;
    int activations = 0;
    int creations = 0;
    int refusals = 0;
    int clears = 0;
    int reads = 0;
    int failedReads = 0;
    double seconds = 0;
};

inline std::string describe(const DefinedView& view) {
    std::ostringstream out;
    for (const auto& [name, object] : view) {
        out << " " << name << "/" << object.first << "{";
        for (const auto& member : object.second) {
            out << member << ";";
        }
        out << "}";
    }
    return out.str();
}

class ZoningModelRun {
public:
    explicit ZoningModelRun(const std::string& firmware = "v4.1.0") : sim_(document(firmware)) {
        FabAPI_InitializeFabricAPI(nullptr);
        std::string host = sim_.address(0);
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        FabAPI_AppendProxyEntry(&entry);
        FabAPI_FabricDiscoveryInfo* info = nullptr;
        if (FabAPI_DiscoverFabrics(&info) == 0) {
            falFreeObject(info);
        }
        FabAPI_FabricIdentity identity{};
        std::strncpy(identity.structFabSig.structFabricOID, fabricKey().c_str(), 47);
        FabAPI_ClientSessionID* session = nullptr;
        opened_ = FabAPI_EstablishSession(&identity, &session) == 0;
        falFreeObject(session);
        if (opened_) {
            readAll();
            committed_ = switchView(switchZoning()["defined"]);
            active_ = switchZoning()["effective"].value("zoneSet", "");
        }
    }
    ~ZoningModelRun() { FabAPI_ShutdownFabricAPI(); }
    ZoningModelRun(const ZoningModelRun&) = delete;
    ZoningModelRun& operator=(const ZoningModelRun&) = delete;

    bool opened() const { return opened_; }

    // Runs `count` transactions from `seed`: empty, or what differed first.
    std::string run(unsigned seed, int count) {
        random_.seed(seed);
        const auto began = std::chrono::steady_clock::now();
        std::string failure;
        for (int i = 0; i < count && failure.empty(); ++i) {
            failure = transaction();
            if (!failure.empty()) {
                failure = "transaction " + std::to_string(i) + ": " + failure;
            }
        }
        figures.seconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        return failure;
    }

    Figures figures;

private:
    static json document(const std::string& firmware) {
        json zoning = json::parse(R"json({"defined": [
            { "name": "cfg1", "type": 1, "members": ["z1", "z2"] },
            { "name": "z1", "type": 2, "members": ["a1", "1,4"] },
            { "name": "z2", "type": 2, "members": ["1,5"] },
            { "name": "a1", "type": 3, "members": ["3,1"] }], "active": "cfg1"})json");
        json proxy = {{"wwn", "10:00:00:60:69:70:00:01"}, {"address", "@0"}, {"firmware", firmware}};
        json fabric = {{"name", "M"},
                       {"switches", json::array({proxy})},
                       {"zoning", zoning},
                       {"users", json::parse(R"([{"name": "admin", "password": "password"}])")}};
        return {{"fabrics", json::array({fabric})}};
    }
    static std::string fabricKey() { return "00091000006069700001"; }
    static std::string caps() { return "00151000006069700001"; }
    static std::string fullDb() { return "00181000006069700001"; }

    static int set(const std::string& oid, unsigned code, unsigned short value) {
        return AddObjectAttributes(oid.c_str(), code, &value);
    }

    static bool readAll() {
        void** records = nullptr;
        const int status = GetAllObjects(&records);
        for (void** record = records; record != nullptr && *record != nullptr; ++record) {
            falFreeObject(*record);
        }
        falFreeObject(records);
        return status == 0 || status == FABAPI_ERR_SOME_OBJECTS_FAILED;
    }

    // The creation of one object on the fabric.
    static int create(unsigned short, const void* record, std::string& oid) {
        char out[sizeof(OID_t)] = {};
        const int status = CreateFabricObject(fabricKey().c_str(), record, out);
        oid.assign(out, strnlen(out, sizeof out));
        return status;
    }

    static std::vector<char> oidList(const std::vector<std::string>& oids) {
        std::vector<char> bytes(sizeof(OID_t) * (oids.size() + 1), '\0');
        for (std::size_t i = 0; i < oids.size(); ++i) {
            std::strncpy(bytes.data() + i * sizeof(OID_t), oids[i].c_str(), sizeof(OID_t) - 1);
        }
        return bytes;
    }

    static std::string named(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey(), zoning_table::FullNames);
        return names != nullptr && names->contains(name) ? names->at(name) : "";
    }

    json switchZoning() { return sim_.request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }

    // The library's defined database as the switch would list it; `broken`
    // names a dangling identifier.
    static DefinedView libraryView(std::string& broken) {
        LockGuard model(getObjectStoreMutex());
        DefinedView view;
        const auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey(), zoning_table::FullNames);
        if (names == nullptr) {
            broken = "no FZDB";
            return view;
        }
        for (const auto& [name, oid] : *names) {
            const StoredObject* object = findObjectUnlocked(oid);
            if (object == nullptr) {
                broken = name + " names " + oid + ", not stored";
                continue;
            }
            int type = 2;
            const unsigned short objectType = storedObjectType(*object);
            if (objectType == 11) {
                type = 1;
            } else if (objectType == 20) {
                type = 3;
            }
            std::vector<std::string> members;
            for (const std::string& memberOid : listValues(*object, "setMember")) {
                const StoredObject* member = findObjectUnlocked(memberOid);
                if (member == nullptr) {
                    broken = name + " lists " + memberOid + ", not stored";
                    continue;
                }
                std::string memberName;
                for (const char* attribute :
                     {"MemberName", "ZoneAliasName", "ZoneName", "UndefinedObjName"}) {
                    if (member->getStringAttr(attribute, memberName)) {
                        break;
                    }
                }
                members.push_back(memberName);
            }
            view[name] = {type, members};
        }
        return view;
    }

    // The free members of the database, in their order.
    static std::vector<std::string> freeMembers() {
        LockGuard model(getObjectStoreMutex());
        const StoredObject* database = findObjectUnlocked(fullDb());
        return database != nullptr ? listValues(*database, "setMember")
                                   : std::vector<std::string>{};
    }

    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
    bool chance(int percent) { return pick(100) < percent; }

    // Free members enough for one transaction, made before it starts
    // (creation needs no transaction, and no rollback takes them away).
    void topUpFreeMembers() {
        for (std::size_t free = freeMembers().size(); free < 8; ++free) {
            char ref[sizeof(OID_t)] = {};
            encodeDomainPortRef(1 + pick(200), pick(256), ref);
            ZoneMemberRecord record{};
            record.ObjType = 22;
            std::strncpy(record.targetOid, ref, sizeof(OID_t) - 1);
            std::string oid;
            create(22, &record, oid);
        }
    }
    // A read of a zone set caches its members: the zone sets that exist
    // already are read before the picture is taken, so that a read inside
    // the transaction adds nothing that a rollback must take back.
    void cacheZoneSetMembers() {
        for (const auto& [name, object] : committed_) {
            if (object.first == 1) {
                void* record = nullptr;
                GetSingleObject(named(name).c_str(), &record);
                falFreeObject(record);
            }
        }
    }
    // One of the free members that `taken` does not hold yet.
    std::string someFreeMember(std::vector<std::string>& taken) {
        std::vector<std::string> candidates;
        for (const auto& oid : freeMembers()) {
            if (std::find(taken.begin(), taken.end(), oid) == taken.end()) {
                candidates.push_back(oid);
            }
        }
        if (candidates.empty()) {
            return "";
        }
        const std::string oid = candidates[pick(static_cast<int>(candidates.size()))];
        taken.push_back(oid);
        return oid;
    }
    static std::string memberName(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        std::string name;
        if (const StoredObject* member = findObjectUnlocked(oid)) {
            member->getStringAttr("MemberName", name);
        }
        return name;
    }

    // One creation; false when it ended the transaction (activation).
    std::string createSomething(bool& ended) {
        const int kind = pick(10);
        std::string oid;
        if (kind < 4) {
            const std::string name = "z" + std::to_string(pick(10));
            std::vector<std::string> taken;
            std::vector<std::string> names;
            for (int i = 0, n = 1 + pick(2); i < n; ++i) {
                const std::string member = someFreeMember(taken);
                if (member.empty()) {
                    return "no free member";
                }
                names.push_back(memberName(member));
            }
            std::vector<char> list = oidList(taken);
            ZoneRecord record{};
            record.ObjType = 10;
            record.pcZoneName = const_cast<char*>(name.c_str());
            record.zoneType = 1;
            record.pcMemberOids = list.data();
            return expectCreation(create(10, &record, oid), name, {2, names});
        }
        if (kind < 6) {
            const std::string name = "al" + std::to_string(pick(5));
            std::vector<std::string> taken;
            const std::string member = someFreeMember(taken);
            if (member.empty()) {
                return "no free member";
            }
            std::vector<char> list = oidList(taken);
            ZoneAliasRecord record{};
            record.ObjType = 20;
            record.pcZoneAliasName = const_cast<char*>(name.c_str());
            record.pcMemberOids = list.data();
            return expectCreation(create(20, &record, oid), name, {3, {memberName(member)}});
        }
        std::vector<std::string> zones;
        for (const auto& [zone, object] : pending_) {
            if (object.first == 2) {
                zones.push_back(zone);
            }
        }
        if (zones.empty()) {
            return "";
        }
        std::vector<std::string> chosen, chosenOids;
        for (int i = 0, n = 1 + pick(2); i < n; ++i) {
            const std::string zone = zones[pick(static_cast<int>(zones.size()))];
            if (std::find(chosen.begin(), chosen.end(), zone) == chosen.end()) {
                chosen.push_back(zone);
                chosenOids.push_back(named(zone));
            }
        }
        const std::string name = "cfg" + std::to_string(pick(4));
        const bool activate = chance(15);
        std::vector<char> list = oidList(chosenOids);
        ZoneSetObjectRecord record{};
        record.ObjType = 11;
        record.pcZoneSetName = const_cast<char*>(name.c_str());
        record.activateZoneSet = activate ? 1 : 0;
        record.pcMemberOids = reinterpret_cast<OID_t*>(list.data());
        const bool fresh = !pending_.contains(name);
        std::string failure = expectCreation(create(11, &record, oid), name, {1, chosen});
        if (failure.empty() && fresh && activate) {
            ++figures.activations;
            ended = true;
            committed_ = pending_;
            active_ = name;
        }
        return failure;
    }

    std::string expectCreation(int status, const std::string& name,
                               std::pair<int, std::vector<std::string>> object) {
        if (pending_.contains(name)) {
            ++figures.refusals;
            return status == -32 ? "" : "creating " + name + " again gave " + std::to_string(status);
        }
        if (status != 0) {
            return "creating " + name + " gave " + std::to_string(status);
        }
        ++figures.creations;
        pending_[name] = std::move(object);
        return "";
    }

    // A read of a zone set or zone that may meet a switch failure: it
    // leaves the defined database as it was.
    std::string readSomething() {
        if (pending_.empty()) {
            return "";
        }
        auto it = pending_.begin();
        std::advance(it, pick(static_cast<int>(pending_.size())));
        const std::string oid = named(it->first);
        const bool fail = chance(50);
        if (fail) {
            sim_.injectFault({{"address", sim_.address(0)},
                              {"procedure", 16},
                              {"kind", "status"},
                              {"status", -10100},
                              {"count", 1}});
        }
        void* record = nullptr;
        const int status = GetSingleObject(oid.c_str(), &record);
        if (record != nullptr) {
            falFreeObject(record);
        }
        sim_.clearFaults();
        ++figures.reads;
        if (status != 0) {
            ++figures.failedReads;
        }
        return "";
    }

    std::string check(const DefinedView& expected, const char* when) {
        std::string broken;
        const DefinedView library = libraryView(broken);
        if (!broken.empty()) {
            return std::string(when) + ": " + broken;
        }
        if (library != expected) {
            return std::string(when) + ": library" + describe(library) + " model" +
                   describe(expected);
        }
        const json zoning = switchZoning();
        const DefinedView onSwitch = switchView(zoning["defined"]);
        if (onSwitch != committed_) {
            return std::string(when) + ": switch" + describe(onSwitch) + " model" +
                   describe(committed_);
        }
        const std::string effective = zoning["effective"].value("zoneSet", "");
        if (effective != active_) {
            return std::string(when) + ": active " + effective + " model " + active_;
        }
        return "";
    }

    std::string transaction() {
        ++figures.transactions;
        topUpFreeMembers();
        cacheZoneSetMembers();
        const ZoningSnapshot before = ZoningSnapshot::take(fabricKey());
        if (const int status = set(caps(), 0xA0B23, 1); status != 0) {
            return "start gave " + std::to_string(status);
        }
        pending_ = committed_;
        bool ended = false;
        for (int i = 0, n = 1 + pick(4); i < n && !ended; ++i) {
            std::string failure;
            const int what = pick(20);
            if (what < 15) {
                failure = createSomething(ended);
            } else if (what < 16) {
                if (const int status = set(fullDb(), 0xA0B0F, 1); status != 0) {
                    return "clear gave " + std::to_string(status);
                }
                ++figures.clears;
                pending_.clear();
            } else {
                failure = readSomething();
            }
            if (failure.empty() && !ended) {
                failure = check(pending_, "inside");
            }
            if (!failure.empty()) {
                return failure;
            }
        }
        if (ended) {
            return check(committed_, "after activation");
        }
        if (chance(50)) {
            if (const int status = set(caps(), 0xA0B23, 0); status != 0) {
                return "rollback gave " + std::to_string(status);
            }
            ++figures.rollbacks;
            if (std::string failure = check(committed_, "after rollback"); !failure.empty()) {
                return failure;
            }
            const ZoningSnapshot after = ZoningSnapshot::take(fabricKey());
            if (after != before) {
                std::string difference;
                for (const auto& line : after.differencesFrom(before)) {
                    difference += "\n  " + line;
                }
                return "rollback left a difference:" + difference;
            }
            return "";
        }
        if (const int status = set(caps(), 0xA0B24, 1); status != 0) {
            return "commit gave " + std::to_string(status);
        }
        ++figures.commits;
        committed_ = pending_;
        return check(committed_, "after commit");
    }

    SwitchSimulator sim_;
    bool opened_ = false;
    std::mt19937 random_;
    DefinedView committed_;
    DefinedView pending_;
    std::string active_;
};

} // namespace zoning_model

// A simulated fabric opened through the exports, with what the zoning
// creation tests share: the records of the four creatable kinds, the
// creation call, the transaction verbs, the library's view of the defined
// database and the switch's, and the snapshot checks.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "editing/ObjectEditTable.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectIdentifiers.h"
#include "tests/support/DefinedZoningView.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/support/ZoningTestFabric.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningStoredObjects.h"

namespace zoning_create_test {

using nlohmann::json;
using zoning_exports::fabricOid;
using zoning_exports::oidOfType;
using zoning_exports::oidText;

inline constexpr unsigned kTransactionActive = 0xA0B23;
inline constexpr unsigned kTransactionCommit = 0xA0B24;
inline constexpr char kKnownPort[] = "21:00:00:e0:8b:00:00:01";

// A member list as the records carry it: 48-byte entries and the empty one.
class OidList {
public:
    OidList() : bytes_(sizeof(OID_t), '\0') {}
    explicit OidList(const std::vector<std::string>& oids)
        : bytes_(sizeof(OID_t) * (oids.size() + 1), '\0') {
        for (std::size_t i = 0; i < oids.size(); ++i) {
            std::strncpy(bytes_.data() + i * sizeof(OID_t), oids[i].c_str(), sizeof(OID_t) - 1);
        }
    }
    char* data() { return bytes_.data(); }

private:
    std::vector<char> bytes_;
};

// The records, each owning what it points to.
struct ZoneInput {
    ZoneInput(std::string zoneName, unsigned short type, const std::vector<std::string>& members)
        : name(std::move(zoneName)), list(members) {
        record.ObjType = 10;
        record.pcZoneName = name.data();
        record.zoneType = type;
        record.pcMemberOids = list.data();
    }
    std::string name;
    OidList list;
    ZoneRecord record{};
};

struct ZoneSetInput {
    ZoneSetInput(std::string setName, bool activate, const std::vector<std::string>& members)
        : name(std::move(setName)), list(members) {
        record.ObjType = 11;
        record.pcZoneSetName = name.data();
        record.activateZoneSet = activate ? 1 : 0;
        record.pcMemberOids = reinterpret_cast<OID_t*>(list.data());
    }
    std::string name;
    OidList list;
    ZoneSetObjectRecord record{};
};

struct AliasInput {
    AliasInput(std::string aliasName, const std::vector<std::string>& members)
        : name(std::move(aliasName)), list(members) {
        record.ObjType = 20;
        record.pcZoneAliasName = name.data();
        record.pcMemberOids = list.data();
    }
    std::string name;
    OidList list;
    ZoneAliasRecord record{};
};

struct MemberInput {
    MemberInput(const std::string& target, unsigned short type, std::optional<std::string> text)
        : modifier(std::move(text)) {
        record.ObjType = 22;
        std::strncpy(record.targetOid, target.c_str(), sizeof(OID_t) - 1);
        record.zmType = type;
        record.pcZoneMemberModifier = modifier ? modifier->data() : nullptr;
    }
    std::optional<std::string> modifier;
    ZoneMemberRecord record{};
};

inline std::string domainPort(int domain, int port) {
    char ref[sizeof(OID_t)] = {};
    encodeDomainPortRef(domain, port, ref);
    return ref;
}

class ZoningCreateTest : public ::testing::Test {
protected:
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    void open(const std::string& firmware) {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(zoning_exports::document(firmware));
        zoning_exports::openBoth(*sim_);
        readAll();
    }

    static void readAll() {
        void** records = nullptr;
        const int status = GetAllObjects(&records);
        ASSERT_TRUE(status == 0 || status == FABAPI_ERR_SOME_OBJECTS_FAILED) << status;
        for (void** record = records; record != nullptr && *record != nullptr; ++record) {
            falFreeObject(*record);
        }
        falFreeObject(records);
    }

    static std::string key(int fabric = 0) { return fabricOid(fabric); }
    static std::string caps(int fabric = 0) { return oidOfType("0015", fabric); }
    static std::string fullDb(int fabric = 0) { return oidOfType("0018", fabric); }

    static int set(const std::string& oid, unsigned code, unsigned short value) {
        return AddObjectAttributes(oid.c_str(), code, &value);
    }
    static int start() { return set(caps(), kTransactionActive, 1); }
    static int rollBack() { return set(caps(), kTransactionActive, 0); }
    static int commit() { return set(caps(), kTransactionCommit, 1); }

    // Creates the record's object on `fabric`; `oid` gets the identifier.
    static int create(unsigned short, const void* record, std::string& oid, int fabric = 0) {
        char out[sizeof(OID_t)] = {};
        const int status = CreateFabricObject(key(fabric).c_str(), record, out);
        oid = oidText(out);
        return status;
    }
    static int create(ZoneInput& input, std::string& oid) { return create(10, &input.record, oid); }
    static int create(ZoneSetInput& input, std::string& oid) {
        return create(11, &input.record, oid);
    }
    static int create(AliasInput& input, std::string& oid) { return create(20, &input.record, oid); }
    static int create(MemberInput& input, std::string& oid, int fabric = 0) {
        return create(22, &input.record, oid, fabric);
    }
    // A free member of domain `domain`, port `port`; its identifier.
    static std::string freeMember(int domain, int port, int fabric = 0) {
        MemberInput input(domainPort(domain, port), 0, std::nullopt);
        std::string oid;
        EXPECT_EQ(0, create(input, oid, fabric));
        return oid;
    }

    static unsigned short flag(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    static std::string text(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        return textOf(findObjectUnlocked(oid), name);
    }
    static std::vector<std::string> list(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        const StoredObject* object = findObjectUnlocked(oid);
        return object != nullptr ? listValues(*object, name) : std::vector<std::string>{};
    }
    static std::string named(const std::string& name, int fabric = 0) {
        LockGuard model(getObjectStoreMutex());
        const auto* names =
            FindZoningCacheTable<ZoningNameTable>(key(fabric), zoning_table::FullNames);
        return names != nullptr && names->contains(name) ? names->at(name) : "";
    }
    static std::vector<ZoningJournalRow> journal() {
        LockGuard model(getObjectStoreMutex());
        std::vector<ZoningJournalRow> rows;
        if (const auto* table = FindZoningCacheTable<ZoningJournal>(key(), zoning_table::Journal)) {
            for (const auto& row : *table) {
                rows.push_back({row.verb, row.first, row.second, row.third, nullptr});
            }
        }
        return rows;
    }

    // The library's defined database as the switch would list it.
    static DefinedView libraryView() {
        LockGuard model(getObjectStoreMutex());
        DefinedView view;
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames);
        if (names == nullptr) {
            ADD_FAILURE() << "no FZDB";
            return view;
        }
        for (const auto& [name, oid] : *names) {
            const StoredObject* object = findObjectUnlocked(oid);
            if (object == nullptr) {
                ADD_FAILURE() << name << " names " << oid << ", which is not stored";
                continue;
            }
            int type = 0;
            switch (storedObjectType(*object)) {
            case 11:
                type = 1;
                break;
            case 20:
                type = 3;
                break;
            case 10: {
                unsigned short zoneType = 0;
                object->getShortAttr("ZoneType", zoneType);
                type = zoneType == 2 ? 4 : zoneType == 3 ? 6 : 2;
                break;
            }
            }
            std::vector<std::string> members;
            for (const std::string& memberOid : listValues(*object, "setMember")) {
                const StoredObject* member = findObjectUnlocked(memberOid);
                if (member == nullptr) {
                    ADD_FAILURE() << name << " lists " << memberOid << ", which is not stored";
                    continue;
                }
                std::string memberName;
                for (const char* attribute :
                     {"MemberName", "ZoneAliasName", "ZoneName", "UndefinedObjName"}) {
                    if (member->getStringAttr(attribute, memberName)) {
                        break;
                    }
                }
                if (storedObjectType(*member) == 2) {
                    memberName = member->getWwnAttr("WWN")->toString();
                }
                members.push_back(memberName);
            }
            view[name] = {type, members};
        }
        return view;
    }

    json switchZoning() { return sim_->request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }
    DefinedView switchDefined() { return switchView(switchZoning()["defined"]); }
    DefinedView switchCopy() { return switchView(switchZoning()["transaction"]["copy"]); }

    // The library's picture and the switch's databases, to compare after
    // an edit that must change nothing.
    struct Picture {
        ZoningSnapshot library;
        json defined;
        json effective;
    };
    Picture picture() {
        const json zoning = switchZoning();
        return {ZoningSnapshot::take(key()), zoning["defined"], zoning["effective"]};
    }
    void expectSame(const Picture& after, const Picture& before) {
        EXPECT_EQ(after.library, before.library)
            << ::testing::PrintToString(after.library.differencesFrom(before.library));
        EXPECT_EQ(after.defined, before.defined);
        EXPECT_EQ(after.effective, before.effective);
    }

    std::optional<SwitchSimulator> sim_;
};

} // namespace zoning_create_test

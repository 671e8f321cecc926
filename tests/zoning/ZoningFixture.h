// A zoning access test against one simulated proxy switch: the fabric with
// a preloaded zoning database, a session on it, access objects made for
// the proxy's version class, and what the switch saw.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <rpc/rpc.h>
#include <string>
#include <thread>
#include <vector>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib_session.h"
#include "foundation/InternalTiming.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"
#include "zoning/ZoningAccessFactory.h"

namespace zoning_test {

using nlohmann::json;

// Names the fabric's name server knows: a port and a node.
inline constexpr char kKnownPort[] = "21:00:00:e0:8b:00:00:01";
inline constexpr char kKnownNode[] = "20:00:00:e0:8b:00:00:01";
inline constexpr char kUnknownName[] = "30:00:00:00:00:00:00:09";

// cfg1 (active) holds the zones z1, z2, q1 (type 4) and f1 (type 6); z1
// names the alias a1; "spare" holds one member of each form.
inline json standardZoning() {
    return json::parse(R"json({
      "defined": [
        { "name": "cfg1", "type": 1, "members": ["z1", "z2", "q1", "f1"] },
        { "name": "cfg2", "type": 1, "members": ["z2"] },
        { "name": "z1", "type": 2, "members": ["a1", "21:00:00:e0:8b:00:00:01", "1,4"] },
        { "name": "z2", "type": 2, "members": ["1,5"] },
        { "name": "q1", "type": 4, "members": ["2,1"] },
        { "name": "f1", "type": 6, "members": ["2,2"] },
        { "name": "spare", "type": 2,
          "members": ["20:00:00:e0:8b:00:00:01", "30:00:00:00:00:00:00:09",
                      "H{21:00:00:e0:8b:00:00:01}", "1,4(lun)", "p[3]"] },
        { "name": "a1", "type": 3, "members": ["3,1", "3,2"] }
      ],
      "active": "cfg1"
    })json");
}

inline json zoningFabric(const std::string& firmware, const json& zoning) {
    json proxy = {{"wwn", "10:00:00:60:69:aa:00:01"}, {"address", "@0"}};
    if (!firmware.empty()) {
        proxy["firmware"] = firmware;
    }
    json fabric = {{"name", "A"},
                   {"wwn", "10:00:00:60:69:aa:00:00"},
                   {"switches", json::array({proxy})},
                   {"nameServer", json::array({{{"portId", "010400"},
                                                {"portType", 1},
                                                {"portName", kKnownPort},
                                                {"nodeName", kKnownNode}}})},
                   {"zoning", zoning}};
    return {{"fabrics", json::array({fabric})}};
}

// A firmware level of the proxy and the version class it gives.
struct Level {
    const char* firmware;
    int versionClass;
};

inline void PrintTo(const Level& level, std::ostream* out) {
    *out << (level.firmware[0] != '\0' ? level.firmware : "none");
}

// The code of the UDAL_ZoningException that `operation` throws; 0 when it
// throws none.
inline int codeOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const UDAL_ZoningException& e) {
        return e.getCode();
    }
    return 0;
}

// A connection of its own to the proxy, beside the session's.
inline std::unique_ptr<Fabric_Connection_Impl_RPC> connectTo(const std::string& address) {
    CLIENT* client = clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp");
    EXPECT_NE(client, nullptr);
    return std::make_unique<Fabric_Connection_Impl_RPC>(client);
}

class ZoningFixture : public ::testing::Test {
protected:
    void TearDown() override {
        session_.reset();
        internalTiming().rpcCallTimeout = savedTimeout_;
    }

    // Starts the simulator with the proxy at `firmware` (empty: it reports
    // none) and opens the session.
    void start(const std::string& firmware, const json& zoning = standardZoning()) {
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(5000);
        sim_.emplace(zoningFabric(firmware, zoning));
        session_ = std::make_unique<TestSession>(sim_->address(0));
        ctx_ = session_->context();
        ASSERT_NE(ctx_, nullptr);
        versionClass_ = proxySwitchVersionClass(firmware);
        sim_->resetCounters();
    }

    std::unique_ptr<UDAL_ZoningAccess_Ifc> access() {
        return std::unique_ptr<UDAL_ZoningAccess_Ifc>(getZoningAccess(versionClass_, ctx_));
    }

    const std::string& address() const { return sim_->address(0); }
    std::uint64_t calls(std::uint32_t procedure) { return sim_->callCount(address(), procedure); }
    std::uint64_t totalCalls() {
        std::uint64_t total = 0;
        for (const auto& entry : sim_->counters()) {
            total += entry["calls"].get<std::uint64_t>();
        }
        return total;
    }
    json switchZoning() { return sim_->request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }
    // The defined database's object names in order (or of `list`).
    static std::vector<std::string> namesIn(const json& list) {
        std::vector<std::string> names;
        for (const auto& object : list) {
            names.push_back(object["name"]);
        }
        return names;
    }
    void injectStatus(std::uint32_t procedure, int status, int count = 1) {
        sim_->injectFault({{"address", address()},
                           {"procedure", procedure},
                           {"kind", "status"},
                           {"status", status},
                           {"count", count}});
    }
    // Waits (bounded) until `condition` holds for the zoning read-out.
    bool awaitZoning(const std::function<bool(const json&)>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (condition(switchZoning())) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::optional<SwitchSimulator> sim_;
    std::unique_ptr<TestSession> session_;
    SessionContext* ctx_ = nullptr;
    int versionClass_ = 0;
    std::chrono::milliseconds savedTimeout_ = internalTiming().rpcCallTimeout;
};

// Owns a vector an access object returned and gives it back through it.
template <class Vector> class Returned {
public:
    Returned(UDAL_ZoningAccess_Ifc& access, Vector* vector) : access_(access), vector_(vector) {}
    ~Returned() { release(); }
    Returned(const Returned&) = delete;
    Returned& operator=(const Returned&) = delete;

    Vector* get() const { return vector_; }
    Vector* operator->() const { return vector_; }
    Vector& operator*() const { return *vector_; }
    explicit operator bool() const { return vector_ != nullptr; }

private:
    void release() {
        if (vector_ == nullptr) {
            return;
        }
        if constexpr (std::is_same_v<Vector, std::vector<char*>>) {
            access_.ZoningObjectNameVectorDelete(&vector_);
        } else if constexpr (std::is_same_v<Vector, std::vector<ZoningNameEntry*>>) {
            access_.ZoningMemberObjectVectorDelete(&vector_);
        } else {
            access_.ZoningObjectVectorDelete(&vector_);
        }
    }

    UDAL_ZoningAccess_Ifc& access_;
    Vector* vector_;
};

inline std::vector<std::string> textsOf(const std::vector<char*>* names) {
    std::vector<std::string> texts;
    for (const char* name : names != nullptr ? *names : std::vector<char*>{}) {
        texts.emplace_back(name);
    }
    return texts;
}

struct Member {
    std::string name;
    int type;
    bool operator==(const Member&) const = default;
};

inline std::vector<Member> membersOf(const std::vector<ZoningNameEntry*>* entries) {
    std::vector<Member> members;
    for (const ZoningNameEntry* entry :
         entries != nullptr ? *entries : std::vector<ZoningNameEntry*>{}) {
        members.push_back({entry->name, entry->type});
    }
    return members;
}

inline void PrintTo(const Member& member, std::ostream* out) {
    *out << member.name << "/0x" << std::hex << member.type;
}

// A member list to hand to the editing operations.
class MemberList {
public:
    explicit MemberList(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            entries_.push_back(std::make_unique<ZoningNameEntry>(name.c_str(), 0));
            pointers_.push_back(entries_.back().get());
        }
    }
    const std::vector<ZoningNameEntry*>* get() const { return &pointers_; }

private:
    std::vector<std::unique_ptr<ZoningNameEntry>> entries_;
    std::vector<ZoningNameEntry*> pointers_;
};

} // namespace zoning_test

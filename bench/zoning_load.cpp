// Loading a large defined zoning database from switchsim into the object
// store and the zoning cache: 10,000 zones holding 32,000 members, 2,000
// aliases and 8 zone sets, behind a proxy of firmware 4.1.
//
//   BM_FirstLoad     every object new (the cache emptied before each load)
//   BM_Reload        every name known, nothing created or destroyed
//   BM_LoadReadsBare the same remote calls on a connection of its own, with
//                    their replies decoded and freed and nothing else done
//
// Each load benchmark reports the remote calls one load makes (counted by
// the simulator), the bare round trip of a null call measured in the same
// run as rpc_lower_bound measures it, their product as the floor, the
// load's time over that floor, and over_bare, the load's time over that of
// the bare reads made right after each load. The lower-bound benchmarks of
// rpc_lower_bound run beside these.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <rpc/rpc.h>
#include <stdexcept>
#include <vector>

#include "bench/RoundTripFloor.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "remote_api.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"
#include "tests/support/ZoningTestFabric.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kZones = 10'000;
constexpr int kMembers = 32'000;
constexpr int kAliases = 2'000;
constexpr int kZoneSets = 8;
constexpr char kFirmware[] = "v4.1.0";

json largeZoningFabric() {
    json proxy = {{"wwn", "10:00:00:60:69:aa:00:01"}, {"address", "@0"}, {"firmware", kFirmware}};
    json zoning = {{"generate",
                    {{"zoneSets", kZoneSets},
                     {"zones", kZones},
                     {"members", kMembers},
                     {"aliases", kAliases}}},
                   {"active", "cfg_1"}};
    json fabric = {{"name", "Large zoning"},
                   {"wwn", "10:00:00:60:69:aa:00:00"},
                   {"switches", json::array({proxy})},
                   {"zoning", zoning}};
    return {{"fabrics", json::array({fabric})}};
}

// The simulator, a session on its proxy and the fabric's zoning tree.
class LargeZoning {
public:
    static LargeZoning& instance() {
        static LargeZoning zoning;
        return zoning;
    }

    // One load under the locks its callers hold; throws when it fails.
    void load() {
        LockGuard model(getObjectStoreMutex());
        LockGuard device(getSwitchRequestMutex());
        if (LoadFullZoningDb(fabric_->full, fabric_->fullOid) != 0) {
            throw std::runtime_error("the load failed");
        }
    }
    // Destroys every object of the defined database and empties its cache.
    void discard() {
        LockGuard model(getObjectStoreMutex());
        DiscardFullZoningCache(fabric_->fullOid);
    }
    std::size_t zonesListed() {
        LockGuard model(getObjectStoreMutex());
        return listValues(*fabric_->full, "setZone").size();
    }
    // The remote calls of one load.
    std::uint64_t callsPerLoad() {
        sim_.resetCounters();
        load();
        return countedCalls(sim_);
    }
    // The median round trip of a null call to the proxy, in seconds.
    double nullRoundTrip() { return medianNullRoundTrip(sim_.address(0)); }
    // The five listings and the active zone set's name, made bare.
    void bareReads(Fabric_Connection_Impl_RPC& connection) {
        for (int type : {1, 2, 4, 6, 3}) {
            ZoningNamesReply* reply = connection.rpcZoningGetObjectNames(type);
            if (reply == nullptr) {
                throw std::runtime_error("listing failed");
            }
            Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningNamesReply, reply);
        }
        ZoningTextReply* active = connection.rpcGetActiveZoningConfig();
        if (active == nullptr) {
            throw std::runtime_error("active name failed");
        }
        Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningTextReply, active);
    }
    std::unique_ptr<Fabric_Connection_Impl_RPC> connect() {
        return std::make_unique<Fabric_Connection_Impl_RPC>(
            clnt_create(sim_.address(0).c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp"));
    }

private:
    LargeZoning()
        : sim_(largeZoningFabric()), session_(sim_.address(0)),
          fabric_(std::make_unique<ZoningTestFabric>(session_.context(), kFirmware)) {}
    ~LargeZoning() { fabric_.reset(); }

    SwitchSimulator sim_;
    TestSession session_;
    std::unique_ptr<ZoningTestFabric> fabric_;
};

double secondsOf(const std::function<void()>& run) {
    const auto begin = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

// Reports the calls, the floor and the load's time over it, and over_bare:
// the median, over the runs, of each load's time over that of the bare
// reads made right after it.
void reportFloor(benchmark::State& state, double secondsPerLoad,
                 const std::vector<double>& overBare) {
    LargeZoning& zoning = LargeZoning::instance();
    const auto calls = static_cast<double>(zoning.callsPerLoad());
    const double roundTrip = zoning.nullRoundTrip();
    reportOverFloor(state, calls, roundTrip, secondsPerLoad, "load_ms");
    state.counters["over_bare"] = medianOf(overBare);
    state.counters["zones"] = static_cast<double>(zoning.zonesListed());
}

// Times each load (after emptying the cache first when `fromEmpty`), and
// the bare reads of the same calls after it.
void timeLoads(benchmark::State& state, bool fromEmpty) {
    LargeZoning& zoning = LargeZoning::instance();
    zoning.load();
    const auto connection = zoning.connect();
    double total = 0;
    std::vector<double> overBare;
    for (auto _ : state) {
        if (fromEmpty) {
            zoning.discard();
        }
        const double seconds = secondsOf([&] { zoning.load(); });
        state.SetIterationTime(seconds);
        total += seconds;
        overBare.push_back(seconds / secondsOf([&] { zoning.bareReads(*connection); }));
    }
    reportFloor(state, total / static_cast<double>(state.iterations()), overBare);
}

void BM_FirstLoad(benchmark::State& state) {
    timeLoads(state, true);
}

void BM_Reload(benchmark::State& state) {
    timeLoads(state, false);
}

void BM_LoadReadsBare(benchmark::State& state) {
    LargeZoning& zoning = LargeZoning::instance();
    auto connection = zoning.connect();
    for (auto _ : state) {
        zoning.bareReads(*connection);
    }
}

BENCHMARK(BM_FirstLoad)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reload)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadReadsBare)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

// GetAllObjects on one session of a generated fabric of 8, 64 and 239
// switches of current firmware behind switchsim.
//
// Each run reports the remote calls one GetAllObjects makes (counted by the
// simulator), the bare round trip of a null call to the proxy measured in
// the same run, their product as the floor, and the call's time over that
// floor. The lower-bound benchmarks of rpc_lower_bound run beside these.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <rpc/rpc.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "bench/RoundTripFloor.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "remote_api.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using Clock = std::chrono::steady_clock;

// The simulator of one fabric size with the library's session on it.
class GeneratedFabric {
public:
    explicit GeneratedFabric(int switches)
        : switches_(switches), sim_(SwitchSimulator::generatedFabrics(1, switches)) {
        FabAPI_ShutdownFabricAPI();
        if (FabAPI_InitializeFabricAPI(nullptr) != 0) {
            throw std::runtime_error("the library did not start");
        }
        std::string host = sim_.address(0);
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        FabAPI_FabricDiscoveryInfo* info = nullptr;
        if (FabAPI_AppendProxyEntry(&entry) != 0 || FabAPI_DiscoverFabrics(&info) != 0 ||
            info->identityCount != 1) {
            throw std::runtime_error("the fabric was not discovered");
        }
        FabAPI_FabricIdentity identity{};
        std::memcpy(identity.structFabSig.structFabricOID,
                    info->structFabIdentities[0].structFabSig.structFabricOID, sizeof(OID_t));
        falFreeObject(info);
        FabAPI_ClientSessionID* session = nullptr;
        const int opened = FabAPI_EstablishSession(&identity, &session);
        if (opened != 0 && opened != 500) {
            throw std::runtime_error("no session: " + std::to_string(opened));
        }
        falFreeObject(session);
    }
    ~GeneratedFabric() { FabAPI_ShutdownFabricAPI(); }

    int switches() const { return switches_; }

    // One GetAllObjects; the number of records. Throws when it fails.
    std::size_t getAll() {
        void** records = nullptr;
        if (GetAllObjects(&records) != 0) {
            throw std::runtime_error("GetAllObjects failed");
        }
        std::size_t count = 0;
        for (; records[count] != nullptr; ++count) {
            falFreeObject(records[count]);
        }
        falFreeObject(records);
        return count;
    }
    std::uint64_t callsPerGetAll() {
        sim_.resetCounters();
        getAll();
        return countedCalls(sim_);
    }
    // The proxy's management address.
    std::string address() const { return sim_.address(0); }

    // The remote calls of one GetAllObjects made bare on a connection of
    // its own: the element list, then each switch's information record,
    // decoded and freed, nothing else done.
    void bareReads() {
        if (!bare_) {
            bare_ = std::make_unique<Fabric_Connection_Impl_RPC>(
                clnt_create(sim_.address(0).c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp"));
        }
        MSRequestArgs list{};
        list.command = 257;
        char empty[] = "";
        list.MSRequestArgs_u.fcsQuery.text = empty;
        release(bare_->rpcMSSvrRequest(&list), 257);
        for (int s = 1; s <= switches_; ++s) {
            MSRequestArgs info{};
            info.command = 1287;
            const char name[8] = {0x10, 0, 0, 1, 0, static_cast<char>(s >> 16),
                                  static_cast<char>(s >> 8), static_cast<char>(s)};
            std::memcpy(info.MSRequestArgs_u.switchInfo2.switchName, name, sizeof name);
            release(bare_->rpcMSSvrRequest(&info), 1287);
        }
    }

private:
    static void release(MSReply* reply, int code) {
        if (reply == nullptr) {
            throw std::runtime_error("the bare call " + std::to_string(code) + " failed");
        }
        Fabric_Connection_Impl_RPC::freeReply(xdr_MSReply, reply);
    }

    int switches_;
    std::unique_ptr<Fabric_Connection_Impl_RPC> bare_;
    SwitchSimulator sim_;
};

// The fabric of the size asked; the last one is left to the end of the
// process (its simulator ends when its standard input closes), so that no
// session outlives the library's locks.
GeneratedFabric& fabricOf(int switches) {
    static GeneratedFabric* current = nullptr;
    if (current == nullptr || current->switches() != switches) {
        delete current;
        current = nullptr;
        current = new GeneratedFabric(switches);
    }
    return *current;
}

void BM_GetAllObjects(benchmark::State& state) {
    GeneratedFabric& fabric = fabricOf(static_cast<int>(state.range(0)));
    std::size_t records = fabric.getAll();
    InterleavedFloor floor(fabric.address());
    for (auto _ : state) {
        const auto begin = Clock::now();
        records = fabric.getAll();
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        floor.add(seconds);
    }
    const auto calls = static_cast<double>(fabric.callsPerGetAll());
    state.counters["records"] = static_cast<double>(records);
    floor.report(state, calls, "get_all_ms");
}

// The switch information calls themselves: GetAllObjects over this is what
// the library adds to the remote calls it must make.
void BM_GetAllObjectsReadsBare(benchmark::State& state) {
    GeneratedFabric& fabric = fabricOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        fabric.bareReads();
    }
}

BENCHMARK(BM_GetAllObjects)
    ->Arg(8)
    ->Arg(64)
    ->Arg(239)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_GetAllObjectsReadsBare)
    ->Arg(8)
    ->Arg(64)
    ->Arg(239)
    ->Iterations(20)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

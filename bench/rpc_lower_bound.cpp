// The lower bound of every benchmark that reaches a switch: the round trip
// of one management call to switchsim over loopback, on one connection
// found through rpcbind like the library's: procedure 0 (no arguments, no
// result) and procedure 2 (the fabric's world wide name). Each run makes a
// fixed number of calls and reports calls per second and the median
// latency of a single call.
//
// A benchmark executable that links the object library
// orvane_bench_lower_bound runs these beside its own benchmarks, so that
// each run measures its lower bound on the same machine at the same time.
#include "bench/RoundTripFloor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <rpc/rpc.h>
#include <stdexcept>
#include <utility>
#include <vector>

#include "remote_api.h"
#include "tests/support/SwitchSimulator.h"

namespace {

constexpr int kCallsPerRun = 20000;
constexpr int kRuns = 5;

SwitchSimulator& simulator() {
    static SwitchSimulator sim(SwitchSimulator::generatedFabrics(1, 8));
    return sim;
}

struct ClientDeleter {
    void operator()(CLIENT* client) const { clnt_destroy(client); }
};

std::unique_ptr<CLIENT, ClientDeleter> connect() {
    CLIENT* client =
        clnt_create(simulator().address(0).c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp");
    if (client == nullptr) {
        throw std::runtime_error(clnt_spcreateerror("clnt_create"));
    }
    return std::unique_ptr<CLIENT, ClientDeleter>(client);
}

// Times each call of `call` and reports the rate and the median.
template <typename Call> void measure(benchmark::State& state, Call call) {
    std::vector<double> latencies;
    latencies.reserve(kCallsPerRun);
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        if (call() != RPC_SUCCESS) {
            state.SkipWithError("call failed");
            break;
        }
        latencies.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    if (latencies.empty()) {
        return;
    }
    const auto calls = static_cast<double>(latencies.size());
    state.counters["median_us"] = medianOf(std::move(latencies));
    state.counters["calls_per_s"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
}

void BM_NullProcedure(benchmark::State& state) {
    auto client = connect();
    const auto xdrVoid = reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(xdr_void));
    const timeval timeout{25, 0};
    measure(state, [&] {
        return clnt_call(client.get(), NULLPROC, xdrVoid, nullptr, xdrVoid, nullptr, timeout);
    });
}

void BM_FabricWwn(benchmark::State& state) {
    auto client = connect();
    WWNBytes wwn{};
    measure(state, [&] { return rpc_get_fabric_wwn_1(nullptr, wwn, client.get()); });
}

BENCHMARK(BM_NullProcedure)
    ->Iterations(kCallsPerRun)
    ->Repetitions(kRuns)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_FabricWwn)
    ->Iterations(kCallsPerRun)
    ->Repetitions(kRuns)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

} // namespace

double medianOf(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double medianNullRoundTrip(const std::string& address, int calls) {
    CLIENT* client = clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp");
    if (client == nullptr) {
        throw std::runtime_error(clnt_spcreateerror("clnt_create"));
    }
    const std::unique_ptr<CLIENT, ClientDeleter> owned(client);
    const auto xdrVoid = reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(xdr_void));
    const timeval timeout{25, 0};
    std::vector<double> seconds;
    seconds.reserve(static_cast<std::size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        clnt_call(client, NULLPROC, xdrVoid, nullptr, xdrVoid, nullptr, timeout);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
    return medianOf(std::move(seconds));
}

std::uint64_t countedCalls(SwitchSimulator& sim) {
    std::uint64_t calls = 0;
    for (const auto& entry : sim.counters()) {
        calls += entry["calls"].get<std::uint64_t>();
    }
    return calls;
}

void reportOverFloor(benchmark::State& state, double calls, double roundTrip, double secondsPerRun,
                     const char* timeCounter) {
    state.counters["rpc_calls"] = calls;
    state.counters["null_rtt_us"] = roundTrip * 1e6;
    state.counters["floor_ms"] = calls * roundTrip * 1e3;
    state.counters[timeCounter] = secondsPerRun * 1e3;
    state.counters["over_floor"] = secondsPerRun / (calls * roundTrip);
}

void InterleavedFloor::add(double seconds) {
    runs_.push_back(seconds);
    roundTrips_.push_back(medianNullRoundTrip(address_, 1000));
}

void InterleavedFloor::report(benchmark::State& state, double calls,
                              const char* timeCounter) const {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        ratios.push_back(runs_[i] / (calls * roundTrips_[i]));
    }
    reportOverFloor(state, calls, medianOf(roundTrips_), medianOf(runs_), timeCounter);
    state.counters["over_floor"] = medianOf(std::move(ratios));
}

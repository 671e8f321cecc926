// What a benchmark that reaches a switch is compared with: the remote calls
// it made, counted by the simulator, times the bare round trip of a null
// call measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class SwitchSimulator;

// The middle value of `values` (the upper one of an even count); 0 for none.
double medianOf(std::vector<double> values);

// The median round trip, in seconds, of `calls` null calls to the
// management program served at `address`.
double medianNullRoundTrip(const std::string& address, int calls = 5000);

// Every call the simulator counted since its counters were last reset.
std::uint64_t countedCalls(SwitchSimulator& sim);

// Reports rpc_calls, null_rtt_us, floor_ms, `timeCounter` (the measured
// time in milliseconds) and over_floor.
void reportOverFloor(benchmark::State& state, double calls, double roundTrip, double secondsPerRun,
                     const char* timeCounter);

// The floor taken beside each run rather than once: the null round trip of
// a loopback call swings several times over with how busy the machine is
// (an idle core wakes slowly), so each run is set against a round trip
// measured right after it, and the medians are reported.
class InterleavedFloor {
public:
    explicit InterleavedFloor(std::string address) : address_(std::move(address)) {}
    // One run of `seconds`, then the round trip measured after it.
    void add(double seconds);
    // Reports as reportOverFloor does, from the medians: the run's time,
    // the round trip, and over_floor, the median of each run's own ratio.
    void report(benchmark::State& state, double calls, const char* timeCounter) const;

private:
    std::string address_;
    std::vector<double> runs_;
    std::vector<double> roundTrips_;
};

// What a benchmark that reaches a switch is compared with: the remote calls
// it made, counted by the simulator, times the bare round trip of a null
// call measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

class SwitchSimulator;

// The median round trip, in seconds, of `calls` null calls to the
// management program served at `address`.
double medianNullRoundTrip(const std::string& address, int calls = 5000);

// Every call the simulator counted since its counters were last reset.
std::uint64_t countedCalls(SwitchSimulator& sim);

// Reports rpc_calls, null_rtt_us, floor_ms, `timeCounter` (the measured
// time in milliseconds) and over_floor.
void reportOverFloor(benchmark::State& state, double calls, double roundTrip, double secondsPerRun,
                     const char* timeCounter);

// Event bursts from the switch simulator: the latency from the simulator's
// write of each event line to its C callback in 1,000-event bursts, and the
// throughput of 10,000-event bursts to one C callback and to one pushed XML
// client. The simulator stamps each line with the monotonic clock just
// before writing it; this process reads the same clock in the callback.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

#include "tests/events/EventCapture.h"

namespace {

using Clock = std::chrono::steady_clock;

std::mutex timesMutex;
std::vector<Clock::time_point> times;

void timedCallback(EventRecord*) {
    std::lock_guard<std::mutex> guard(timesMutex);
    times.push_back(Clock::now());
}

std::size_t received() {
    std::lock_guard<std::mutex> guard(timesMutex);
    return times.size();
}

bool waitFor(std::size_t n, const std::function<std::size_t()>& count) {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (count() < n) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Sends `count` events; with `stamped`, the simulator's send time of each.
std::vector<Clock::time_point> burst(SwitchSimulator& sim, int count, bool stamped = false) {
    const auto reply = sim.request({{"op", "sendEvent"},
                                    {"address", sim.address(0)},
                                    {"event", {{"type", 131}}},
                                    {"count", count},
                                    {"sendTimes", stamped}});
    std::vector<Clock::time_point> sent;
    if (stamped)
        for (long long ns : reply.at("sentNs"))
            sent.emplace_back(std::chrono::nanoseconds(ns));
    return sent;
}

} // namespace

int main() {
    SwitchSimulator sim{sessions::twoFabrics()};
    sessions::discover(sim, {0});
    if (sessions::establishLegacy(sessions::kFabricA) != 0 ||
        EventManager::instance()->enableEventNotification(sessions::kFabricA, 1) != 0) {
        std::fprintf(stderr, "no session or event server\n");
        return 1;
    }
    RegisterForEventsCallback(&timedCallback);

    // Latency: 1,000-event bursts, send to callback.
    for (int round = 0; round < 5; ++round) {
        const std::vector<Clock::time_point> sent = burst(sim, 1000, true);
        if (!waitFor(1000, received) || sent.size() != 1000)
            return 1;
        std::vector<double> ms;
        {
            std::lock_guard<std::mutex> guard(timesMutex);
            for (std::size_t i = 0; i < sent.size(); ++i)
                ms.push_back(std::chrono::duration<double, std::milli>(times[i] - sent[i]).count());
            times.clear();
        }
        std::sort(ms.begin(), ms.end());
        std::printf("1,000-event burst, send to callback: p50 %.3f ms, p99 %.3f ms, max %.3f ms "
                    "(target p99 < 5 ms)\n",
                    ms[499], ms[989], ms.back());
    }
    // Throughput: 10,000 events to the callback.
    {
        const auto start = Clock::now();
        burst(sim, 10000);
        if (!waitFor(10000, received))
            return 1;
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("10,000 events to a callback: %.0f events/s (target >= 50,000)\n", 10000 / s);
    }
    UnRegisterForEvents();
    // Throughput: 10,000 events to one XML client.
    {
        events::XmlClient client;
        RegisterForEvents("127.0.0.1", client.port());
        const auto start = Clock::now();
        burst(sim, 10000);
        if (!client.waitForEvents(10000, std::chrono::seconds(60)))
            return 1;
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("10,000 events to an XML client: %.0f events/s\n", 10000 / s);
        UnRegisterForEvents();
    }
    CloseFabricSessions();
    FabAPI_ShutdownFabricAPI();
    return 0;
}

// Event bursts from the switch simulator: throughput to one C callback and
// to one pushed XML client, and the latency from the burst request to each
// callback (an upper bound of the send-to-callback latency: it includes the
// time the simulator takes to write the events before it).
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

void burst(SwitchSimulator& sim, int count) {
    sim.request({{"op", "sendEvent"},
                 {"address", sim.address(0)},
                 {"event", {{"type", 131}}},
                 {"count", count}});
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

    // Latency: 1,000 events.
    {
        const auto start = Clock::now();
        burst(sim, 1000);
        if (!waitFor(1000, received))
            return 1;
        std::vector<double> ms;
        {
            std::lock_guard<std::mutex> guard(timesMutex);
            for (const auto& t : times)
                ms.push_back(std::chrono::duration<double, std::milli>(t - start).count());
            times.clear();
        }
        std::sort(ms.begin(), ms.end());
        std::printf("1,000-event burst to a callback: p50 %.2f ms, p99 %.2f ms\n", ms[499], ms[989]);
    }
    // Throughput: 10,000 events to the callback.
    {
        const auto start = Clock::now();
        burst(sim, 10000);
        if (!waitFor(10000, received))
            return 1;
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("10,000 events to a callback: %.0f events/s\n", 10000 / s);
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

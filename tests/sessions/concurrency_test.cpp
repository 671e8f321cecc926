// Many callers at once: threads open, use and close sessions on two fabrics
// while another synchronises them, until one shuts the library down. Every
// call returns one of the codes its export gives, and the whole run ends
// within a bound (a deadlock fails the test).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/sessions/SessionFabrics.h"

namespace {

using namespace sessions;
using namespace std::chrono_literals;

constexpr int kWorkers = 6;
// Each worker stops at the shutdown or after this many rounds.
constexpr int kMaxRounds = 400;
constexpr auto kRunBeforeShutdown = 1500ms;
constexpr auto kBound = 180s;

// Codes any call may meet once shutdown began or ended.
const std::set<int> kStopping = {FABAPI_ERR_SHUTTING_DOWN, FABAPI_ERR_NOT_INITIALIZED};

class Codes {
public:
    // Records `code` of `call` unless it is among `allowed` or kStopping.
    void check(const char* call, int code, std::set<int> allowed) {
        allowed.insert(kStopping.begin(), kStopping.end());
        if (allowed.count(code) == 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            unexpected_.push_back(std::string(call) + " gave " + std::to_string(code));
        }
    }
    std::vector<std::string> unexpected() {
        std::lock_guard<std::mutex> lock(mutex_);
        return unexpected_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> unexpected_;
};

// One worker's rounds: open a session on either fabric, use it, close it.
void work(int worker, Codes& codes, const std::atomic<bool>& stopped, std::atomic<int>& opened) {
    for (int round = 0; round < kMaxRounds && !stopped; ++round) {
        const char* fabric = (worker + round) % 2 == 0 ? kFabricA : kFabricB;
        FabAPI_ClientSessionID* session = nullptr;
        codes.check("FabAPI_EstablishSession", establish(fabric, &session),
                    {0, FABAPI_WARN_NO_LINKS, FABAPI_ERR_SESSION_ALREADY_OPEN});
        codes.check("FabAPI_ListSessions",
                    [] {
                        FabAPI_ClientSessionIDList* list = nullptr;
                        const int status = FabAPI_ListSessions(&list);
                        falFreeObject(list);
                        return status;
                    }(),
                    {0});
        if (session == nullptr) {
            continue;
        }
        ++opened;
        // The shutdown closes every session before it stops the library:
        // until then a closed session is no session.
        FabAPI_FabricSignature* signature = nullptr;
        codes.check("FabAPI_GetFabricSignature", FabAPI_GetFabricSignature(session, &signature),
                    {0, FABAPI_ERR_NO_SUCH_SESSION});
        falFreeObject(signature);
        OID_t oid;
        codes.check("FabAPI_GetFabricOidFromSession", FabAPI_GetFabricOidFromSession(session, oid),
                    {0});
        codes.check("FabAPI_CloseSession", FabAPI_CloseSession(session),
                    {0, FABAPI_ERR_NO_SUCH_SESSION});
        falFreeObject(session);
    }
}

// Synchronises whatever sessions are open until stopped.
void synchronise(Codes& codes, const std::atomic<bool>& stopped) {
    while (!stopped) {
        FabAPI_ClientSessionIDList* list = nullptr;
        const int listed = FabAPI_ListSessions(&list);
        codes.check("FabAPI_ListSessions", listed, {0});
        for (int i = 0; list != nullptr && i < list->count; ++i) {
            FabAPI_FabricSignature* signature = nullptr;
            codes.check("FabAPI_SyncSession", FabAPI_SyncSession(list->ids[i], &signature),
                        {0, FABAPI_ERR_NO_SUCH_SESSION});
            falFreeObject(signature);
        }
        falFreeObject(list);
        std::this_thread::sleep_for(2ms);
    }
}

TEST(SessionConcurrency, ManyCallersAndAShutdownEndWithSpecifiedCodes) {
    SwitchSimulator sim(twoFabrics());
    FabAPI_ShutdownFabricAPI();
    discover(sim);

    std::atomic<int> opened{0};
    auto run = std::async(std::launch::async, [&opened] {
        Codes codes;
        std::atomic<bool> stopped{false};
        std::vector<std::thread> threads;
        for (int w = 0; w < kWorkers; ++w) {
            threads.emplace_back(work, w, std::ref(codes), std::cref(stopped), std::ref(opened));
        }
        threads.emplace_back(synchronise, std::ref(codes), std::cref(stopped));
        // Let the workers get going (on a slow build they need longer to
        // have used more sessions than there are workers), then shut down
        // under them; they go on calling until they see it.
        std::this_thread::sleep_for(kRunBeforeShutdown);
        const auto latest = std::chrono::steady_clock::now() + kBound / 2;
        while (opened.load() <= kWorkers && std::chrono::steady_clock::now() < latest) {
            std::this_thread::sleep_for(10ms);
        }
        codes.check("FabAPI_ShutdownFabricAPI", FabAPI_ShutdownFabricAPI(), {0});
        std::this_thread::sleep_for(50ms);
        stopped = true;
        for (std::thread& thread : threads) {
            thread.join();
        }
        return codes.unexpected();
    });
    if (run.wait_for(kBound) != std::future_status::ready) {
        ADD_FAILURE() << "the callers did not finish: a deadlock";
        std::abort();
    }
    EXPECT_EQ(std::vector<std::string>{}, run.get());
    EXPECT_GT(opened.load(), kWorkers) << "the sessions were used before the shutdown";

    // The library is down and nothing was left open.
    FabAPI_ClientSessionIDList* list = nullptr;
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListSessions(&list));
}

} // namespace

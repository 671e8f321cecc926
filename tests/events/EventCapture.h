// What the event tests share: a fabric pair on the simulator with open
// sessions, a C callback that records the events it gets, and a client
// that reads the XML texts pushed to it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "foundation/InternalTiming.h"
#include "orvane/events.h"
#include "services/EventManager.h"
#include "tests/sessions/SessionFabrics.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/SwitchSimulator.h"

namespace events {

using namespace std::chrono_literals;

struct Seen {
    int id = 0;
    int code = 0;
    std::string fabric;
    std::string details;
    std::vector<std::string> affected;
    std::string xml;
};

inline Seen seenOf(const EventRecord& r) {
    Seen s{r.eventId, r.code, r.fabricOid, recordText(r.details), {}, {}};
    for (const OID_t* e = r.pcAffectedObjects; e && (*e)[0]; ++e)
        s.affected.emplace_back(*e);
    EventManager::getXmlEventString(&r, &s.xml);
    return s;
}

// Records what a C callback receives; tests register `callback`.
class Recorder {
public:
    static Recorder& instance() {
        static Recorder recorder;
        return recorder;
    }
    static void callback(EventRecord* record) { instance().add(seenOf(*record)); }
    static void second(EventRecord* record) { instance().addSecond(record->eventId); }

    void add(Seen seen) {
        std::lock_guard<std::mutex> guard(mutex_);
        seen_.push_back(std::move(seen));
        changed_.notify_all();
    }
    void addSecond(int id) {
        std::lock_guard<std::mutex> guard(mutex_);
        second_.push_back(id);
        changed_.notify_all();
    }
    bool waitFor(std::size_t count, std::chrono::milliseconds bound = 10s) {
        std::unique_lock<std::mutex> guard(mutex_);
        return changed_.wait_for(guard, bound, [&] { return seen_.size() >= count; });
    }
    std::vector<Seen> seen() {
        std::lock_guard<std::mutex> guard(mutex_);
        return seen_;
    }
    std::vector<int> secondIds() {
        std::lock_guard<std::mutex> guard(mutex_);
        return second_;
    }
    std::vector<Seen> withCode(int code) {
        std::vector<Seen> out;
        for (const Seen& s : seen())
            if (s.code == code)
                out.push_back(s);
        return out;
    }
    void clear() {
        std::lock_guard<std::mutex> guard(mutex_);
        seen_.clear();
        second_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Seen> seen_;
    std::vector<int> second_;
};

// A TCP client of RegisterForEvents: accepts the library's connection and
// reads what it pushes on a thread of its own (or not at all).
class XmlClient {
public:
    explicit XmlClient(bool read = true) : read_(read) {
        thread_ = std::thread([this] { serve(); });
    }
    ~XmlClient() {
        stop_ = true;
        thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
    }
    int port() const { return listener_.port(); }
    std::size_t events() {
        std::lock_guard<std::mutex> guard(mutex_);
        std::size_t n = 0;
        for (std::size_t at = text_.find("<Event>"); at != std::string::npos;
             at = text_.find("<Event>", at + 1))
            ++n;
        return n;
    }
    bool waitForEvents(std::size_t count, std::chrono::milliseconds bound = 10s) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (events() < count) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    std::string text() {
        std::lock_guard<std::mutex> guard(mutex_);
        return text_;
    }
    bool connected() const { return fd_ >= 0; }

private:
    void serve() {
        while (!stop_) {
            const int fd = fd_.load();
            pollfd p{fd >= 0 ? fd : listener_.fd(), POLLIN, 0};
            if (poll(&p, 1, 20) != 1)
                continue;
            if (fd_ < 0) {
                fd_ = ::accept(listener_.fd(), nullptr, nullptr);
                continue;
            }
            if (!read_) {
                std::this_thread::sleep_for(20ms);
                continue;
            }
            char buffer[65536];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                std::this_thread::sleep_for(20ms);
                continue;
            }
            std::lock_guard<std::mutex> guard(mutex_);
            text_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    LoopbackListener listener_;
    const bool read_;
    std::atomic<bool> stop_{false};
    std::atomic<int> fd_{-1};
    std::mutex mutex_;
    std::string text_;
    std::thread thread_;
};

// Two fabrics, A (proxy @0) and B (proxy @2), both with open sessions.
class EventFabrics : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = internalTiming();
        internalTiming().eventListenerAddressRetryPause = 20ms;
        internalTiming().eventClientTimeout = 500ms;
        FabAPI_ShutdownFabricAPI();
        Recorder::instance().clear();
        sessions::discover(sim_, {0, 2});
        ASSERT_EQ(0, sessions::establishLegacy(sessions::kFabricA));
        ASSERT_EQ(0, sessions::establishLegacy(sessions::kFabricB));
        manager_ = EventManager::instance();
        ASSERT_NE(manager_, nullptr);
    }
    void TearDown() override {
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
        internalTiming() = saved_;
    }

    // Sends `event` (the fields of an "event" control object) `count` times
    // from the proxy at `index`.
    void send(const nlohmann::json& event, int count = 1, int index = 0) {
        sim_.request({{"op", "sendEvent"},
                      {"address", sim_.address(static_cast<std::size_t>(index))},
                      {"event", event},
                      {"count", count}});
    }
    void sendText(const std::string& text, int index = 0) {
        sim_.request({{"op", "sendEvent"},
                      {"address", sim_.address(static_cast<std::size_t>(index))},
                      {"text", text}});
    }
    nlohmann::json listeners() {
        return sim_.request({{"op", "eventRegistrations"}})["listeners"];
    }
    // Takes every queued record.
    std::vector<Seen> takeAll() {
        EventRecord** array = nullptr;
        std::vector<Seen> out;
        if (GetEvents(0, ~0u, 1000, &array) != 0)
            return out;
        for (EventRecord** p = array; *p; ++p) {
            out.push_back(seenOf(**p));
            falFreeObject(*p);
        }
        falFreeObject(array);
        return out;
    }
    // Waits until `count` records were taken from the queue in all.
    std::vector<Seen> takeUntil(std::size_t count, std::chrono::milliseconds bound = 10s) {
        std::vector<Seen> all;
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (all.size() < count && std::chrono::steady_clock::now() < deadline) {
            for (Seen& s : takeAll())
                all.push_back(std::move(s));
            if (all.size() < count)
                std::this_thread::sleep_for(5ms);
        }
        return all;
    }

    SwitchSimulator sim_{sessions::twoFabrics()};
    EventManager* manager_ = nullptr;
    InternalTiming saved_;
};

} // namespace events

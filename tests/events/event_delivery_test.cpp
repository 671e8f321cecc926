// Events to callers against the simulated switches: C callbacks, pushed XML
// clients and GetEvents in order, registration and removal, callbacks that
// call the exports, a client that stops reading, and heartbeats.
#include <algorithm>

#include "tests/events/EventCapture.h"

namespace {

using namespace events;
using nlohmann::json;
using sessions::kFabricA;

std::vector<int> ids(const std::vector<Seen>& seen) {
    std::vector<int> out;
    for (const Seen& s : seen)
        out.push_back(s.id);
    return out;
}

std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i <= to; ++i)
        out.push_back(i);
    return out;
}

// The <ID> values of pushed XML text, in order.
std::vector<int> xmlIds(const std::string& text) {
    std::vector<int> out;
    for (std::size_t at = text.find("<ID>"); at != std::string::npos; at = text.find("<ID>", at + 1))
        out.push_back(std::atoi(text.c_str() + at + 4));
    return out;
}

class EventDelivery : public EventFabrics {
protected:
    void SetUp() override {
        EventFabrics::SetUp();
        ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
    }
};

TEST_F(EventDelivery, EveryEventReachesCallbacksClientsAndTheQueueInOrder) {
    XmlClient client;
    ASSERT_EQ(RegisterForEventsCallback(&Recorder::callback), 0);
    ASSERT_EQ(RegisterForEventsCallback(&Recorder::callback), 0) << "kept once";
    ASSERT_EQ(RegisterForEventsCallback(&Recorder::second), 0);
    ASSERT_EQ(RegisterForEvents("127.0.0.1", client.port()), 0);
    EXPECT_EQ(RegisterForEventsCallback(nullptr), FABAPI_ERR_BAD_ARGUMENT);
    EXPECT_EQ(RegisterForEvents(nullptr, 1), FABAPI_ERR_BAD_ARGUMENT);

    send({{"type", 131}}, 300);
    ASSERT_TRUE(Recorder::instance().waitFor(300));
    ASSERT_TRUE(client.waitForEvents(300));
    std::this_thread::sleep_for(50ms); // nothing more arrives
    EXPECT_EQ(ids(Recorder::instance().seen()), range(1, 300));
    EXPECT_EQ(Recorder::instance().secondIds(), range(1, 300));
    const std::string text = client.text();
    EXPECT_EQ(xmlIds(text), range(1, 300));
    EXPECT_NE(text.find("<Host>"), std::string::npos);
    EXPECT_NE(text.find("<Port>" + std::to_string(client.port()) + "</Port>"), std::string::npos);
    EXPECT_EQ(ids(takeAll()), range(201, 300)) << "the queue keeps the newest 100";
}

TEST_F(EventDelivery, UnregisteringStopsDelivery) {
    XmlClient client;
    ASSERT_EQ(RegisterForEventsCallback(&Recorder::callback), 0);
    ASSERT_EQ(RegisterForEvents("127.0.0.1", client.port()), 0);
    send({{"type", 131}});
    ASSERT_TRUE(Recorder::instance().waitFor(1));
    ASSERT_TRUE(client.waitForEvents(1));
    ASSERT_EQ(UnRegisterForEvents(), 0);
    EXPECT_TRUE(manager_->subscribers()->callbacks.empty());
    EXPECT_TRUE(manager_->subscribers()->clients.empty());
    send({{"type", 131}}, 3);
    ASSERT_EQ(takeUntil(4).size(), 4u);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Recorder::instance().seen().size(), 1u);
    EXPECT_EQ(client.events(), 1u);
}

TEST_F(EventDelivery, AClientIsKeptOncePerAddressAndPort) {
    XmlClient a, b;
    ASSERT_EQ(RegisterForEvents("127.0.0.1", a.port()), 0);
    ASSERT_EQ(RegisterForEvents("127.0.0.1", a.port()), 0);
    EXPECT_EQ(manager_->subscribers()->clients.size(), 1u);
    ASSERT_EQ(RegisterForEvents("127.0.0.1", b.port()), 0);
    EXPECT_EQ(manager_->subscribers()->clients.size(), 2u);
}

std::atomic<int> g_nested{0};
void callsExports(EventRecord* record) {
    // Registration and GetEvents from inside a delivery.
    EventRecord** array = nullptr;
    if (GetEvents(0, static_cast<unsigned>(record->eventId), 1, &array) == 0) {
        for (EventRecord** p = array; *p; ++p)
            falFreeObject(*p);
        falFreeObject(array);
    }
    RegisterForEventsCallback(&Recorder::callback);
    if (record->eventId == 3)
        UnRegisterForEvents();
    ++g_nested;
}

TEST_F(EventDelivery, ACallbackMayCallTheExports) {
    g_nested = 0;
    ASSERT_EQ(RegisterForEventsCallback(&callsExports), 0);
    send({{"type", 131}}, 5);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (g_nested < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(g_nested.load(), 3) << "delivery stopped once the callback unregistered";
    EXPECT_TRUE(manager_->subscribers()->callbacks.empty());
}

TEST_F(EventDelivery, AClientThatStopsReadingDoesNotStopTheOthers) {
    internalTiming().eventClientTimeout = 200ms;
    XmlClient stalled(false);
    XmlClient reader;
    ASSERT_EQ(RegisterForEvents("127.0.0.1", stalled.port()), 0);
    ASSERT_EQ(RegisterForEvents("127.0.0.1", reader.port()), 0);
    ASSERT_EQ(RegisterForEventsCallback(&Recorder::callback), 0);
    // Unreachable: the export still answers 0, and the client is inactive.
    LoopbackListener* closed = new LoopbackListener();
    const int closedPort = closed->port();
    delete closed;
    EXPECT_EQ(RegisterForEvents("127.0.0.1", closedPort), 0);

    // Enough text to fill the stalled client's socket buffers many times.
    const int burst = 20000;
    send({{"type", 33}, {"text", std::string(400, 'x')}}, burst);
    ASSERT_TRUE(Recorder::instance().waitFor(burst, 60s));
    ASSERT_TRUE(reader.waitForEvents(burst, 60s));
    EXPECT_EQ(xmlIds(reader.text()), range(1, burst));
    std::size_t inactive = 0;
    for (const auto& c : manager_->subscribers()->clients)
        inactive += c->isActive() ? 0 : 1;
    EXPECT_EQ(inactive, 2u) << "the stalled and the unreachable client";
}

class Heartbeats : public EventFabrics {
protected:
    void SetUp() override {
        EventFabrics::SetUp();
        internalTiming().heartbeatInterval = 100ms;
        ASSERT_EQ(manager_->enableEventNotification(kFabricA, 1), 0);
        beat(20);
        ASSERT_EQ(RegisterForEventsCallback(&Recorder::callback), 0);
    }
    void beat(int periodMs, std::size_t proxy = 0) {
        sim_.request(
            {{"op", "heartbeats"}, {"address", sim_.address(proxy)}, {"periodMs", periodMs}});
    }
    std::vector<std::string> heartTexts() {
        std::vector<std::string> out;
        for (const Seen& s : Recorder::instance().withCode(7)) {
            EXPECT_TRUE(s.affected.empty());
            if (s.fabric != kFabricA)
                continue;
            out.push_back(s.details);
        }
        return out;
    }
};

TEST_F(Heartbeats, BeatsKeepTheFabricAliveAndSilenceReportsItOnce) {
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(heartTexts().empty()) << "beats in every period";
    EXPECT_TRUE(takeAll().empty()) << "heartbeats make no records";

    beat(0); // silence past 9 periods, but not 18
    std::this_thread::sleep_for(1300ms);
    EXPECT_EQ(heartTexts(), std::vector<std::string>{"API: proxy switch heart failure"});
    beat(20);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(heartTexts(), (std::vector<std::string>{"API: proxy switch heart failure",
                                                      "API: proxy switch heart healthy"}));
}

TEST_F(Heartbeats, AStoppedServerCountsNothing) {
    beat(0);
    ASSERT_EQ(manager_->enableEventNotification(kFabricA, 0), 0);
    ASSERT_EQ(manager_->enableEventNotification(sessions::kFabricB, 1), 0); // keeps delivery on
    beat(20, 2);
    std::this_thread::sleep_for(1300ms);
    EXPECT_TRUE(heartTexts().empty());
}

} // namespace

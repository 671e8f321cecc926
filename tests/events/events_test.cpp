// Event registration and the event listener against the switch simulator:
// registrations reach the switches, the switches connect to the listener,
// and what they write arrives at the event manager's callback (a recording
// stand-in here).
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <rpc/rpc.h>
#include <string>
#include <thread>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib_events.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"
#include "services/EventManagerHooks.h"
#include "tests/support/RecordingEventSink.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr unsigned char kProxy[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x01};
constexpr unsigned char kEdge[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x02};
const std::string kProxyText = "16:0:0:96:105:170:0:1";
const std::string kEdgeText = "16:0:0:96:105:170:0:2";

json fabricDocument() {
    return json::parse(R"({"fabrics": [{"name": "A", "wwn": "10:00:00:60:69:aa:00:00",
        "switches": [{"wwn": "10:00:00:60:69:aa:00:01", "firmware": "v4.1.0", "address": "@0"},
                     {"wwn": "10:00:00:60:69:aa:00:02", "firmware": "v4.1.0"}]}]})");
}

std::string dotted(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

class EventRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().rpcCallTimeout = 3000ms;
        ctx_ = session_.context();
        ASSERT_NE(ctx_, nullptr);
        setEventSink(&sink_);
    }
    void TearDown() override {
        if (thread_) {
            EXPECT_TRUE(thread_->stop());
        }
        setEventSink(nullptr);
        session_.close();
    }

    // Starts the listener thread; the listener's record.
    EventListenerAddress startListener() {
        thread_ = std::make_unique<EventWaitingThread>();
        EXPECT_EQ(thread_->start(), 0);
        for (int i = 0; i < 500 && !isEventListenerRunning(); ++i)
            std::this_thread::sleep_for(10ms);
        EventListenerAddress listener{};
        EXPECT_EQ(getEventListenerAddress(&listener), 0);
        return listener;
    }
    // Registers the running listener and waits until the switch is connected.
    void registerListener() {
        const EventListenerAddress listener = startListener();
        ASSERT_EQ(registerEventListener(ctx_, &listener, 2), 0);
        const json registrations = sim_.request({{"op", "eventRegistrations"}})["listeners"];
        ASSERT_EQ(registrations.size(), 1u);
        ASSERT_TRUE(registrations[0]["connected"].get<bool>());
    }
    void send(const json& what) {
        json request = what;
        request["op"] = "sendEvent";
        request["address"] = sim_.address(0);
        sim_.request(request);
    }
    void sendLine(const std::string& line) { send({{"text", line}}); }

    SwitchSimulator sim_{fabricDocument()};
    TestSession session_{sim_.address(0)};
    SessionContext* ctx_ = nullptr;
    RecordingEventSink sink_;
    std::unique_ptr<EventWaitingThread> thread_;
};

TEST_F(EventRegistration, NothingIsSentWhileTheListenerIsNotRunning) {
    const EventListenerAddress listener{0x7F000001, 4000};
    EXPECT_EQ(registerEventListener(ctx_, &listener, 2), SVC_ERR_LISTENER_NOT_RUNNING);
    EXPECT_EQ(threxEventRegister(ctx_, kEdge), SVC_ERR_LISTENER_NOT_RUNNING);
    EXPECT_EQ(sim_.callCount(sim_.address(0), 120), 0u);
    EXPECT_EQ(sim_.callCount(sim_.address(0), 40, 1822), 0u);
}

TEST_F(EventRegistration, AnnouncesTheAddressThatReachesTheSwitch) {
    const EventListenerAddress listener = startListener();
    ASSERT_EQ(registerEventListener(ctx_, &listener, 2), 0);
    EventListenerAddress advertised{};
    ASSERT_EQ(getEventListenerAddress(&advertised), 0);
    // The local address of the session's socket, not the host name's.
    EXPECT_EQ(advertised.address >> 24, 127u);
    EXPECT_NE(dotted(advertised.address), "127.0.1.1");

    const json registrations = sim_.request({{"op", "eventRegistrations"}})["listeners"];
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0]["listener"], dotted(advertised.address));
    EXPECT_EQ(registrations[0]["port"], listener.port);
    EXPECT_EQ(registrations[0]["flags"], 2);
    EXPECT_TRUE(registrations[0]["connected"].get<bool>());

    ASSERT_EQ(deregisterEventListener(ctx_, &advertised), 0);
    EXPECT_TRUE(sim_.request({{"op", "eventRegistrations"}})["listeners"].empty());
    EXPECT_EQ(sim_.callCount(sim_.address(0), 121), 1u);
    // The switch reports a listener it does not know.
    EXPECT_EQ(deregisterEventListener(ctx_, &advertised), -1);
}

TEST_F(EventRegistration, ArgumentAndConnectionFailures) {
    startListener();
    EXPECT_EQ(registerEventListener(ctx_, nullptr, 0), REQ_ERR_BAD_ARGUMENT);
    EXPECT_EQ(deregisterEventListener(ctx_, nullptr), REQ_ERR_BAD_ARGUMENT);
    EXPECT_EQ(threxEventRegister(ctx_, nullptr), REQ_ERR_BAD_ARGUMENT);
    const EventListenerAddress listener{0, 1};
    EXPECT_EQ(registerEventListener(nullptr, &listener, 0), REQ_ERR_NO_CONNECTION);
    sim_.injectFault(
        {{"address", sim_.address(0)}, {"procedure", 120}, {"kind", "noReply"}, {"count", 1}});
    internalTiming().rpcCallTimeout = 300ms;
    EXPECT_EQ(registerEventListener(ctx_, &listener, 0), REQ_ERR_RPC_NO_REPLY);
}

TEST_F(EventRegistration, ThresholdEventSwitchesAreKeptOnceAndDeregisteredWithTheListener) {
    registerListener();
    ASSERT_EQ(threxEventRegister(ctx_, kEdge), 0);
    ASSERT_EQ(threxEventRegister(ctx_, kEdge), 0);
    EXPECT_TRUE(isThrexEventSwitchRegistered(kEdge));
    EXPECT_FALSE(isThrexEventSwitchRegistered(kProxy));
    json threx = sim_.request({{"op", "eventRegistrations"}})["threx"];
    ASSERT_EQ(threx.size(), 1u);
    EXPECT_EQ(threx[0]["switch"], "10:00:00:60:69:aa:00:02");

    EventListenerAddress advertised{};
    ASSERT_EQ(getEventListenerAddress(&advertised), 0);
    EXPECT_EQ(threx[0]["port"], advertised.port);
    ASSERT_EQ(deregisterEventListener(ctx_, &advertised), 0);
    EXPECT_FALSE(isThrexEventSwitchRegistered(kEdge));
    EXPECT_EQ(sim_.callCount(sim_.address(0), 40, 1823), 1u);
    EXPECT_TRUE(sim_.request({{"op", "eventRegistrations"}})["threx"].empty());

    // The switch's "not found" becomes "not registered".
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 1823},
                      {"kind", "status"},
                      {"status", -21},
                      {"count", 1}});
    EXPECT_EQ(threxEventDeregister(ctx_, kEdge), -36);
}

TEST_F(EventRegistration, EveryTypeFamilyArrivesWithItsFields) {
    registerListener();
    const std::string head = ":1000:1090:" + kProxyText + ":";
    sendLine("3" + head + "1:2:3:4:5:" + kEdgeText + ":6:-7:8:9\n");
    sendLine("40" + head + kEdgeText + ":Port 4: offline\n");
    sendLine("70" + head + "12:13:" + kEdgeText + "\n");
    sendLine("100" + head + "2:" + kEdgeText + ":" + kProxyText + "\n");
    sendLine("130" + head + kEdgeText + ":1\n");
    sendLine("200" + head + "\n");
    ASSERT_TRUE(sink_.waitFor(6));
    const auto events = sink_.events();
    for (const auto& event : events) {
        EXPECT_EQ(event.record.eventTime, 90);
        EXPECT_EQ(std::memcmp(event.record.wwn, kProxy, 8), 0);
    }
    EXPECT_EQ(events[0].record.type, 3u);
    EXPECT_EQ(events[0].record.threshold.t4, 4u);
    EXPECT_EQ(events[0].record.threshold.t5, 5u);
    EXPECT_EQ(events[0].record.threshold.s2, -7);
    EXPECT_EQ(std::memcmp(events[0].record.threshold.wwn, kEdge, 8), 0);
    EXPECT_STREQ(events[1].record.text.text, "Port 4: offline");
    EXPECT_EQ(events[2].record.sw.u1, 12u);
    EXPECT_EQ(events[2].record.sw.u2, 13u);
    ASSERT_EQ(events[3].ports.size(), 2u);
    EXPECT_EQ(std::memcmp(events[3].ports[0].data(), kEdge, 8), 0);
    EXPECT_EQ(std::memcmp(events[3].ports[1].data(), kProxy, 8), 0);
    EXPECT_EQ(events[4].record.firmware.f1, 1);
    EXPECT_EQ(events[5].record.type, 200u);
}

TEST_F(EventRegistration, MalformedOverLongAndPartialLinesAndAClosedConnection) {
    registerListener();
    const std::string heartbeat = "129:1:2:" + kProxyText + ":" + kEdgeText + ":";
    sendLine("1:2:3\n\n\x01\x02garbage\n");
    send({{"overlong", 10000}});
    send({{"hex", "3132393a313a32"}}); // "129:1:2", the rest follows
    sendLine(":" + kProxyText + ":" + kEdgeText + ":7\n");
    sendLine(heartbeat + "8"); // no line end: taken when the switch closes
    ASSERT_TRUE(sink_.waitFor(1));
    send({{"close", true}});
    ASSERT_TRUE(sink_.waitFor(2));
    std::this_thread::sleep_for(100ms);
    const auto events = sink_.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].record.firmware.f1, 7);
    EXPECT_EQ(events[1].record.firmware.f1, 8);
    EXPECT_TRUE(isEventListenerRunning());

    // A registration after the close connects again.
    EventListenerAddress listener{};
    ASSERT_EQ(getEventListenerAddress(&listener), 0);
    ASSERT_EQ(registerEventListener(ctx_, &listener, 2), 0);
    sendLine(heartbeat + "9\n");
    ASSERT_TRUE(sink_.waitFor(3));
}

TEST_F(EventRegistration, TheListenerStopsWhileSwitchesSend) {
    registerListener();
    std::atomic<bool> sending{true};
    std::thread sender([&] {
        const std::string line = "129:1:2:" + kProxyText + ":" + kEdgeText + ":1\n";
        std::string burst;
        for (int i = 0; i < 200; ++i)
            burst += line;
        try {
            while (sending)
                send({{"text", burst}});
        } catch (const std::exception&) {
            // the switch's connection is gone once the listener ended
        }
    });
    ASSERT_TRUE(sink_.waitFor(400));
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(thread_->stop());
    const auto took = std::chrono::steady_clock::now() - asked;
    sending = false;
    sender.join();
    EXPECT_LT(took, 1s);
    EXPECT_FALSE(isEventListenerRunning());
    thread_.reset();
}

TEST_F(EventRegistration, OneSwitchWritesToEveryListenerRegistered) {
    registerListener();
    // A second listener: a plain socket of the test.
    const int second = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(second, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(second, 1), 0);
    ASSERT_EQ(getsockname(second, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const EventListenerAddress other{0, ntohs(address.sin_port)};
    ASSERT_EQ(registerEventListener(ctx_, &other, 2), 0);
    EXPECT_EQ(sim_.request({{"op", "eventRegistrations"}})["listeners"].size(), 2u);

    const int connection = accept(second, nullptr, nullptr);
    ASSERT_GE(connection, 0);
    const std::string line = "129:1:2:" + kProxyText + ":" + kEdgeText + ":4\n";
    sendLine(line);
    ASSERT_TRUE(sink_.waitFor(1));
    std::string received(line.size(), '\0');
    timeval bound{5, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    EXPECT_EQ(recv(connection, received.data(), received.size(), MSG_WAITALL),
              static_cast<ssize_t>(line.size()));
    EXPECT_EQ(received, line);
    close(connection);
    close(second);
}

TEST(EventSwitches, ManySwitchesWriteToOneListener) {
    constexpr int kFabrics = 6;
    SwitchSimulator sim(SwitchSimulator::generatedFabrics(kFabrics, 1));
    internalTiming().rpcCallTimeout = 3000ms;
    RecordingEventSink sink;
    setEventSink(&sink);
    EventWaitingThread thread;
    ASSERT_EQ(thread.start(), 0);
    for (int i = 0; i < 500 && !isEventListenerRunning(); ++i)
        std::this_thread::sleep_for(10ms);
    EventListenerAddress listener{};
    ASSERT_EQ(getEventListenerAddress(&listener), 0);

    for (int f = 0; f < kFabrics; ++f) {
        TestSession session(sim.address(f));
        ASSERT_NE(session.context(), nullptr);
        EXPECT_EQ(registerEventListener(session.context(), &listener, 1), 0);
    }
    for (int f = 0; f < kFabrics; ++f) {
        sim.request(
            {{"op", "sendEvent"},
             {"address", sim.address(f)},
             {"text", "129:1:2:1:2:3:4:5:6:7:8:1:2:3:4:5:6:7:8:" + std::to_string(f) + "\n"}});
    }
    ASSERT_TRUE(sink.waitFor(kFabrics));
    int seen = 0;
    for (const auto& event : sink.events())
        seen |= 1 << event.record.firmware.f1;
    EXPECT_EQ(seen, (1 << kFabrics) - 1);
    EXPECT_TRUE(thread.stop());
    setEventSink(nullptr);
}

} // namespace

#include "connection/EventListener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "foundation/InternalStatus.h"
#include "platform/winsock.h"
#include "services/EventManagerHooks.h"
#include "tests/support/RecordingEventSink.h"

namespace {

using namespace std::chrono_literals;

const std::string kSwitch = "16:0:0:96:105:0:0:1";

std::string heartbeat(int f1) {
    return "129:1:2:" + kSwitch + ":" + kSwitch + ":" + std::to_string(f1) + "\n";
}

// A switch's connection to the listener on 127.0.0.1.
class SwitchConnection {
public:
    explicit SwitchConnection(std::uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~SwitchConnection() { close(fd_); }
    bool connected() const { return connected_; }
    bool send(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    // Whether the listener closed the connection within `bound`.
    bool closedByPeer(std::chrono::milliseconds bound) {
        pollfd wait{fd_, POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(bound.count())) <= 0)
            return false;
        char byte;
        return recv(fd_, &byte, 1, 0) <= 0;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

// Runs the listener on a thread of its own, delivering to a recording sink.
class ListenerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setEventSink(&sink_);
        result_ =
            std::async(std::launch::async, [] { return runEventListener(eventListenerCallback); });
        for (int i = 0; i < 500 && !isEventListenerRunning(); ++i)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(isEventListenerRunning());
        EventListenerAddress address{};
        ASSERT_EQ(getEventListenerAddress(&address), 0);
        port_ = address.port;
        ASSERT_NE(port_, 0);
    }
    void TearDown() override {
        stopEventListener();
        if (result_.valid()) {
            ASSERT_EQ(result_.wait_for(5s), std::future_status::ready);
            EXPECT_EQ(result_.get(), 0);
        }
        EXPECT_FALSE(isEventListenerRunning());
        setEventSink(nullptr);
    }

    RecordingEventSink sink_;
    std::future<int> result_;
    std::uint16_t port_ = 0;
};

TEST(EventListenerState, AddressIsRefusedWhileNotRunning) {
    EventListenerAddress address{};
    EXPECT_EQ(getEventListenerAddress(&address), SVC_ERR_LISTENER_NOT_RUNNING);
}

TEST_F(ListenerFixture, AdvertisesTheAddressItIsGiven) {
    EventListenerAddress address{};
    ASSERT_EQ(getEventListenerAddress(&address), 0);
    EXPECT_EQ(address.address, 0u); // cleared when the listener starts
    setEventListenerAddress(0x7F000001);
    ASSERT_EQ(getEventListenerAddress(&address), 0);
    EXPECT_EQ(address.address, 0x7F000001u);
    EXPECT_EQ(address.port, port_);
}

TEST_F(ListenerFixture, ASecondListenerIsRefusedAndTheFirstGoesOn) {
    EXPECT_EQ(runEventListener(eventListenerCallback), EVT_ERR_LISTEN);
    EXPECT_TRUE(isEventListenerRunning());
    SwitchConnection a(port_);
    ASSERT_TRUE(a.send(heartbeat(1)));
    EXPECT_TRUE(sink_.waitFor(1));
}

TEST_F(ListenerFixture, LinesFromSeveralSwitchesArriveInPieces) {
    SwitchConnection a(port_), b(port_);
    ASSERT_TRUE(a.connected() && b.connected());
    // A line that arrives in two pieces, around a whole line of another switch.
    ASSERT_TRUE(a.send("129:1:2:" + kSwitch));
    ASSERT_TRUE(b.send(heartbeat(2)));
    ASSERT_TRUE(sink_.waitFor(1));
    ASSERT_TRUE(a.send(":" + kSwitch + ":1\r\n"));
    ASSERT_TRUE(sink_.waitFor(2));
    const auto events = sink_.events();
    EXPECT_EQ(events[0].record.firmware.f1, 2);
    EXPECT_EQ(events[1].record.firmware.f1, 1);
}

TEST_F(ListenerFixture, BadAndOverLongLinesAreDroppedAndTheConnectionStays) {
    SwitchConnection a(port_);
    ASSERT_TRUE(a.connected());
    ASSERT_TRUE(a.send("1:2:3\n\n" + std::string(3 * kEventLineMax, '7') + "\n" +
                       "100:1:2:" + kSwitch + ":1:" + kSwitch + "\n"));
    ASSERT_TRUE(sink_.waitFor(1));
    // Nothing but the port list event came through: the over-long line of
    // digits was not split into lines of its own.
    ASSERT_TRUE(a.send(heartbeat(3)));
    ASSERT_TRUE(sink_.waitFor(2));
    const auto events = sink_.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].record.type, 100u);
    ASSERT_EQ(events[0].ports.size(), 1u);
    EXPECT_EQ(events[0].ports[0][3], 96);
    EXPECT_EQ(events[1].record.firmware.f1, 3);
}

TEST_F(ListenerFixture, ALastLineWithoutLineEndIsTakenWhenTheSwitchCloses) {
    {
        SwitchConnection a(port_);
        ASSERT_TRUE(a.send(heartbeat(4) + "129:1:2:" + kSwitch + ":" + kSwitch + ":5"));
    }
    ASSERT_TRUE(sink_.waitFor(2));
    EXPECT_EQ(sink_.events()[1].record.firmware.f1, 5);
}

TEST_F(ListenerFixture, AConnectionBeyondTheTableIsRefusedAlone) {
    std::vector<std::unique_ptr<SwitchConnection>> switches;
    for (int i = 0; i < kEventListenerMaxClients; ++i) {
        switches.push_back(std::make_unique<SwitchConnection>(port_));
        ASSERT_TRUE(switches.back()->connected());
        ASSERT_TRUE(switches.back()->send(heartbeat(i)));
    }
    // Every connection holds an entry once its line has arrived.
    ASSERT_TRUE(sink_.waitFor(kEventListenerMaxClients));

    SwitchConnection extra(port_);
    ASSERT_TRUE(extra.connected());
    EXPECT_TRUE(extra.closedByPeer(5s));

    // The listener and the others go on; a freed entry takes a new switch.
    ASSERT_TRUE(switches.front()->send(heartbeat(1000)));
    ASSERT_TRUE(switches.back()->send(heartbeat(1001)));
    ASSERT_TRUE(sink_.waitFor(kEventListenerMaxClients + 2));
    switches.front().reset();
    bool accepted = false;
    for (int attempt = 0; attempt < 50 && !accepted; ++attempt) {
        SwitchConnection late(port_);
        ASSERT_TRUE(late.send(heartbeat(2000)));
        accepted = sink_.waitFor(kEventListenerMaxClients + 3, 200ms);
    }
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(isEventListenerRunning());
}

TEST_F(ListenerFixture, StopsAtOnceWhileSwitchesKeepSending) {
    std::atomic<bool> sending{true};
    std::vector<std::thread> senders;
    for (int s = 0; s < 4; ++s) {
        senders.emplace_back([&sending, s, this] {
            SwitchConnection connection(port_);
            while (sending && connection.send(heartbeat(s)))
                std::this_thread::sleep_for(1ms);
        });
    }
    ASSERT_TRUE(sink_.waitFor(20));
    const auto asked = std::chrono::steady_clock::now();
    stopEventListener();
    const bool ended = result_.wait_for(1s) == std::future_status::ready;
    const auto took = std::chrono::steady_clock::now() - asked;
    sending = false;
    for (auto& sender : senders)
        sender.join();
    ASSERT_TRUE(ended) << "the listener did not stop within a second";
    EXPECT_LT(took, 1s);
    EXPECT_EQ(result_.get(), 0);
    EXPECT_FALSE(isEventListenerRunning());
    // No event is delivered once the stop was asked.
    const auto delivered = sink_.count();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(sink_.count(), delivered);
}

TEST(EventWaitingThread, RunsTheListenerUntilStopped) {
    RecordingEventSink sink;
    setEventSink(&sink);
    {
        EventWaitingThread thread;
        ASSERT_EQ(thread.start(), 0);
        ASSERT_TRUE(thread.waitStarted(5s));
        for (int i = 0; i < 500 && !isEventListenerRunning(); ++i)
            std::this_thread::sleep_for(10ms);
        EventListenerAddress address{};
        ASSERT_EQ(getEventListenerAddress(&address), 0);
        SwitchConnection connection(address.port);
        ASSERT_TRUE(connection.send(heartbeat(9)));
        ASSERT_TRUE(sink.waitFor(1));
        EXPECT_TRUE(thread.stop());
        EXPECT_EQ(thread.listenerResult(), 0);
        EXPECT_FALSE(isEventListenerRunning());
    }
    // A stop right after the start is not lost.
    EventWaitingThread quick;
    ASSERT_EQ(quick.start(), 0);
    EXPECT_TRUE(quick.stop());
    setEventSink(nullptr);
}

} // namespace

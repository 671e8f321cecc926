#include "foundation/CVoskClientSocket.h"
#include "foundation/InternalTiming.h"
#include "tests/support/LoopbackListener.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The loopback listener, with what these tests do with its peers.
class Listener : public LoopbackListener {
public:
    using LoopbackListener::LoopbackListener;

    // Accepts one connection and resets it at once.
    void acceptAndReset() {
        int peer = ::accept(fd(), nullptr, nullptr);
        linger reset{1, 0};
        setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        ::close(peer);
    }

    // Reads what one accepted peer sends until it closes.
    std::string receiveAll() {
        int peer = ::accept(fd(), nullptr, nullptr);
        std::string got;
        char buffer[4096];
        while (pollSocket(peer, POLLIN, 5000) > 0) {
            ssize_t n = ::recv(peer, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(peer);
        return got;
    }
};

class CVoskSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = internalTiming();
        internalTiming().connectTimeout = 5000ms;
        internalTiming().socketSendPause = 10ms;
    }
    void TearDown() override { internalTiming() = saved_; }

private:
    InternalTiming saved_;
};

TEST_F(CVoskSocketTest, ConnectsAndSendsToALoopbackListener) {
    Listener listener;
    CVoskClientSocket socket("127.0.0.1", listener.port(), "client", CVoskSocket::kTcp);
    EXPECT_FALSE(socket.isOpen());
    ASSERT_TRUE(socket.connect());
    const std::string server = std::to_string(listener.port()) + "@127.0.0.1";
    EXPECT_EQ(socket.getMessage(), "CVoskClientSocket::connect(), connected to server: " + server);
    EXPECT_TRUE(socket.connect());
    EXPECT_EQ(socket.getMessage(),
              "CVoskClientSocket::connect(), the connect has been established");

    std::string payload(100000, 'x');
    EXPECT_EQ(socket.send(payload.data(), static_cast<int>(payload.size())), 100000);
    EXPECT_EQ(socket.getMessage(), "CVoskSocket::send(...), success");
    EXPECT_TRUE(socket.close());
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(listener.receiveAll(), payload);
}

TEST_F(CVoskSocketTest, SendConnectsOnDemand) {
    Listener listener;
    CVoskClientSocket socket("localhost", listener.port(), "client", CVoskSocket::kTcp);
    EXPECT_EQ(socket.send("event", 5), 5);
    socket.close();
    EXPECT_EQ(listener.receiveAll(), "event");
}

TEST_F(CVoskSocketTest, NothingToSendIsRefusedWithoutTouchingTheSocket) {
    CVoskClientSocket socket("127.0.0.1", 9, "client", CVoskSocket::kTcp);
    const struct {
        const char* data;
        int length;
    } cases[] = {{"abc", 0}, {"abc", -1}, {nullptr, 3}};
    for (auto c : cases) {
        EXPECT_EQ(socket.send(c.data, c.length), 0);
        EXPECT_EQ(socket.getMessage(), "CVoskSocket::send(...), invalid buffer");
        EXPECT_FALSE(socket.isOpen());
    }
}

TEST_F(CVoskSocketTest, RefusedConnectNamesTheServer) {
    int port;
    {
        Listener gone;
        port = gone.port();
    }
    CVoskClientSocket socket("127.0.0.1", port, "client", CVoskSocket::kTcp);
    EXPECT_FALSE(socket.connect());
    EXPECT_EQ(socket.getMessage(), "CVoskClientSocket::connect(), can't connect to server: " +
                                       std::to_string(port) + "@127.0.0.1");
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(socket.send("x", 1), 0);
    EXPECT_EQ(socket.getMessage(), "CVoskClientSocket::send(...), connection failed");
}

TEST_F(CVoskSocketTest, ConnectTimesOutOnAListenerWithAFullBacklog) {
    // A listener that never accepts: once its queue is full, further
    // connection requests go unanswered.
    Listener listener(0);
    internalTiming().connectTimeout = 100ms;
    std::vector<std::unique_ptr<CVoskClientSocket>> fillers;
    bool timedOut = false;
    for (int i = 0; i < 64 && !timedOut; ++i) {
        auto filler = std::make_unique<CVoskClientSocket>("127.0.0.1", listener.port(), "fill",
                                                          CVoskSocket::kTcp);
        const auto before = std::chrono::steady_clock::now();
        if (filler->connect()) {
            fillers.push_back(std::move(filler));
            continue;
        }
        timedOut = std::chrono::steady_clock::now() - before >= 100ms;
        EXPECT_EQ(filler->getMessage(), "CVoskClientSocket::connect(), can't connect to server: " +
                                            std::to_string(listener.port()) + "@127.0.0.1");
    }
    EXPECT_TRUE(timedOut);
}

TEST_F(CVoskSocketTest, UnresolvableHostIsAnInvalidAddress) {
    CVoskClientSocket socket("no such host", 80, "client", CVoskSocket::kTcp);
    EXPECT_FALSE(socket.isResolved());
    EXPECT_FALSE(socket.connect());
    EXPECT_EQ(socket.getMessage(),
              "CVoskClientSocket::connect(), invalid internet address, no such host");
    EXPECT_EQ(socket.getSocket(), INVALID_SOCKET);
}

TEST_F(CVoskSocketTest, SendToAResetPeerStopsWithoutASignal) {
    Listener listener;
    CVoskClientSocket socket("127.0.0.1", listener.port(), "client", CVoskSocket::kTcp);
    ASSERT_TRUE(socket.connect());
    listener.acceptAndReset();
    std::string block(1 << 16, 'y');
    int sent = static_cast<int>(block.size());
    for (int i = 0; i < 100 && sent == static_cast<int>(block.size()); ++i)
        sent = socket.send(block.data(), static_cast<int>(block.size()));
    ASSERT_LT(sent, static_cast<int>(block.size()));
    const std::string message = socket.getMessage();
    if (message == "CVoskSocket::send(...), send failed, link disconnected") {
        EXPECT_FALSE(socket.isOpen()) << "a lost link closes the socket";
    } else {
        EXPECT_EQ(message, "CVoskSocket::send(...), send failed");
    }
}

TEST_F(CVoskSocketTest, DescriptorZeroCountsAsOpen) {
    int savedStdin = ::dup(0);
    ASSERT_GE(savedStdin, 0);
    ::close(0);
    {
        CVoskSocket socket("zero", "127.0.0.1", 1, CVoskSocket::kTcp);
        ASSERT_EQ(socket.createSocket(), 0);
        EXPECT_TRUE(socket.isOpen());
        EXPECT_TRUE(socket.close());
        EXPECT_FALSE(socket.isOpen());
    }
    ::dup2(savedStdin, 0);
    ::close(savedStdin);
}

TEST_F(CVoskSocketTest, UdpSocketBindsAndSendsToItsPeer) {
    int receiver = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(receiver, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    socklen_t size = sizeof a;
    getsockname(receiver, reinterpret_cast<sockaddr*>(&a), &size);

    CVoskClientSocket socket("127.0.0.1", ntohs(a.sin_port), "udp", 2);
    EXPECT_EQ(socket.send("datagram", 8), 8);
    char got[16] = {};
    ASSERT_GT(pollSocket(receiver, POLLIN, 5000), 0);
    EXPECT_EQ(::recv(receiver, got, sizeof got, 0), 8);
    EXPECT_STREQ(got, "datagram");
    ::close(receiver);
}

} // namespace

#include "platform/winsock.h"
#include "tests/support/LoopbackListener.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace {

using Listener = LoopbackListener;

TEST(Winsock, StartupIsReferenceCounted) {
    const int before = WSAStartupCount();
    WSADATA data;
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
    EXPECT_EQ(WSAStartup(MAKEWORD(2, 2), nullptr), 0);
    EXPECT_EQ(WSAStartupCount(), before + 2);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(WSAStartupCount(), before);
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), nullptr), WSAVERNOTSUPPORTED);
    if (before == 0) {
        EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    }
}

TEST(Winsock, ErrorNumbersAreWinsockNumbers) {
    struct {
        int error;
        int expected;
    } cases[] = {{EINTR, 10004},        {EAGAIN, 10035},    {ENOTCONN, 10057},   {EPIPE, 10057},
                 {ECONNREFUSED, 10061}, {ETIMEDOUT, 10060}, {ECONNRESET, 10054}, {0, 0}};
    for (auto c : cases) {
        errno = c.error;
        EXPECT_EQ(WSAGetLastError(), c.expected) << std::strerror(c.error);
    }
}

TEST(Winsock, ResolvesDottedTextAndRefusesImpossibleNames) {
    in_addr a{};
    ASSERT_TRUE(resolveIPv4("127.0.0.1", &a));
    EXPECT_EQ(a.s_addr, htonl(INADDR_LOOPBACK));
    ASSERT_TRUE(resolveIPv4("255.255.255.255", &a));
    EXPECT_EQ(a.s_addr, 0xFFFFFFFFu);
    ASSERT_TRUE(resolveIPv4("localhost", &a));
    EXPECT_EQ(ntohl(a.s_addr) >> 24, 127u);
    for (const char* bad : {"", "no such host", "bad!name", "127.0.0.1; x"})
        EXPECT_FALSE(resolveIPv4(bad, &a)) << bad;
    EXPECT_FALSE(resolveIPv4(nullptr, &a));
}

TEST(Winsock, ConnectWithTimeoutReachesAListenerAndKeepsBlockingMode) {
    Listener listener;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(connectWithTimeout(s, listener.address(), sizeof(sockaddr_in),
                                 std::chrono::milliseconds(5000)),
              0);
    const char text[] = "hello";
    EXPECT_EQ(sendNoSignal(s, text, 5), 5);
    SOCKET peer = ::accept(listener.fd(), nullptr, nullptr);
    char got[8] = {};
    EXPECT_EQ(pollSocket(peer, POLLIN, 5000) & POLLIN, POLLIN);
    EXPECT_EQ(::recv(peer, got, sizeof got, 0), 5);
    EXPECT_STREQ(got, "hello");
    closesocket(peer);
    closesocket(s);
}

TEST(Winsock, ConnectToAClosedPortIsRefused) {
    sockaddr_in closed{};
    {
        Listener gone;
        closed = *reinterpret_cast<const sockaddr_in*>(gone.address());
    }
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(connectWithTimeout(s, reinterpret_cast<sockaddr*>(&closed), sizeof closed,
                                 std::chrono::milliseconds(5000)),
              SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    closesocket(s);
}

TEST(Winsock, SendToAGonePeerFailsWithoutASignal) {
    Listener listener;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(connectWithTimeout(s, listener.address(), sizeof(sockaddr_in),
                                 std::chrono::milliseconds(5000)),
              0);
    SOCKET peer = ::accept(listener.fd(), nullptr, nullptr);
    linger reset{1, 0};
    setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    closesocket(peer);
    char block[4096] = {};
    ssize_t result = 0;
    for (int i = 0; i < 100 && result >= 0; ++i)
        result = sendNoSignal(s, block, sizeof block);
    EXPECT_LT(result, 0);
    closesocket(s);
}

} // namespace

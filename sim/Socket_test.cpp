#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include "sim/RpcMessage.h"
#include "sim/Socket.h"

namespace {

struct SocketPair {
    SocketPair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0); }
    ~SocketPair() {
        close(fds[0]);
        close(fds[1]);
    }
    void send(const Bytes& bytes) { ASSERT_TRUE(sendAll(fds[0], bytes)); }
    int fds[2];
};

TEST(RecordMarking, JoinsFragmentsAndRoundTrips) {
    SocketPair pair;
    Bytes wire;
    appendUnit(wire, 3); // first fragment, 3 bytes
    wire.insert(wire.end(), {'a', 'b', 'c'});
    appendUnit(wire, 0x80000002u); // last fragment, 2 bytes
    wire.insert(wire.end(), {'d', 'e'});
    pair.send(wire);
    EXPECT_EQ(readRecord(pair.fds[1], 100), (Bytes{'a', 'b', 'c', 'd', 'e'}));

    ASSERT_TRUE(writeRecord(pair.fds[0], Bytes{'x', 'y'}));
    EXPECT_EQ(readRecord(pair.fds[1], 100), (Bytes{'x', 'y'}));
}

TEST(RecordMarking, RefusesRecordsOverTheBoundAndCutStreams) {
    {
        SocketPair pair;
        Bytes wire;
        appendUnit(wire, 0x80000000u | 64);
        pair.send(wire); // the length alone decides, no body needed
        EXPECT_FALSE(readRecord(pair.fds[1], 63));
    }
    {
        SocketPair pair;
        Bytes wire;
        appendUnit(wire, 40); // fragments adding up past the bound
        wire.resize(wire.size() + 40);
        appendUnit(wire, 0x80000000u | 40);
        pair.send(wire);
        EXPECT_FALSE(readRecord(pair.fds[1], 63));
    }
    {
        SocketPair pair;
        Bytes wire;
        appendUnit(wire, 0x80000000u | 8);
        wire.push_back('z');
        pair.send(wire);
        shutdown(pair.fds[0], SHUT_WR);
        EXPECT_FALSE(readRecord(pair.fds[1], 100));
    }
}

TEST(RpcMessage, DecodesCallsAndRefusesBrokenHeaders) {
    Bytes call;
    for (std::uint32_t unit : {9u, 0u, 2u, 1289700000u, 1u, 4u, 1u, 8u, 0u, 0u}) {
        appendUnit(call, unit); // AUTH_UNIX credential with an 8-byte body
    }
    call.insert(call.begin() + 8 * 4, 8, '\0');
    appendUnit(call, 0xABCD);
    auto decoded = decodeCall(call);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->xid, 9u);
    EXPECT_EQ(decoded->procedure, 4u);
    EXPECT_EQ(firstUnit(decoded->args), 0xABCD);

    EXPECT_FALSE(decodeCall(std::span<const char>(call).first(20)));
    Bytes reply = call;
    reply[7] = 1; // a reply, not a call
    EXPECT_FALSE(decodeCall(reply));
    Bytes hugeAuth = call;
    hugeAuth[7 * 4 + 2] = 0x10; // credential body of 4104 bytes
    EXPECT_FALSE(decodeCall(hugeAuth));
}

} // namespace

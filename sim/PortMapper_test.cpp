#include <gtest/gtest.h>

// rpc.h first: rpcb_prot.h cannot stand alone.
#include <rpc/rpc.h>

#include <netconfig.h>
#include <rpc/rpcb_prot.h>

#include "remote_api.h"
#include "sim/PortMapper.h"

namespace {

constexpr char kAddress[] = "127.9.8.7";

// A call of program 100000 as it arrives, AUTH_NONE credential and verifier.
RpcCall rpcbCall(std::uint32_t version, std::uint32_t procedure, const Bytes& args) {
    RpcCall call;
    call.xid = 77;
    call.rpcVersion = 2;
    call.program = 100000;
    call.version = version;
    call.procedure = procedure;
    call.args = args;
    return call;
}

Bytes rpcbArgs(const char* netid, std::uint32_t program = REMOTE_MGMT_PROG) {
    char empty[] = "";
    RPCB query{program, REMOTE_MGMT_VERS, const_cast<char*>(netid), empty, empty};
    return *encodeXdr(reinterpret_cast<xdrproc_t>(xdr_rpcb), &query);
}

// The accept status of a reply, and its result bytes.
std::pair<std::uint32_t, std::span<const char>> accepted(const Bytes& reply) {
    const auto unit = [&](std::size_t i) {
        const auto* p = reinterpret_cast<const unsigned char*>(reply.data() + 4 * i);
        return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
    };
    EXPECT_EQ(unit(0), 77u);
    EXPECT_EQ(unit(2), 0u); // MSG_ACCEPTED
    return {unit(5), std::span<const char>(reply).subspan(24)};
}

std::string addressAnswer(const Bytes& reply) {
    auto [status, result] = accepted(reply);
    EXPECT_EQ(status, 0u);
    char* text = nullptr;
    EXPECT_TRUE(decodeXdr(result, reinterpret_cast<xdrproc_t>(xdr_wrapstring), &text));
    std::string answer = text ? text : "";
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_wrapstring), reinterpret_cast<char*>(&text));
    return answer;
}

class PortMapperTest : public ::testing::Test {
protected:
    PortMapperTest() { mapper.registerManagement(kAddress, 0x1234); }
    PortMapper mapper;
};

TEST_F(PortMapperTest, GetaddrAnswersTheUniversalAddressForTcpOnly) {
    struct Case {
        std::uint32_t version;
        std::uint32_t procedure;
        const char* netid;
        std::uint32_t program;
        const char* answer;
    } cases[] = {
        {3, 3, "tcp", REMOTE_MGMT_PROG, "127.9.8.7.18.52"},
        {4, 3, "tcp", REMOTE_MGMT_PROG, "127.9.8.7.18.52"},
        {4, 9, "tcp", REMOTE_MGMT_PROG, "127.9.8.7.18.52"}, // GETVERSADDR
        {4, 3, "udp", REMOTE_MGMT_PROG, ""},
        {4, 3, "tcp", 100003, ""},
    };
    for (const auto& c : cases) {
        const Bytes args = rpcbArgs(c.netid, c.program);
        auto reply = mapper.handle(kAddress, rpcbCall(c.version, c.procedure, args));
        ASSERT_TRUE(reply);
        EXPECT_EQ(addressAnswer(*reply), c.answer) << c.version << "/" << c.procedure;
    }
    // Another address has nothing registered.
    const Bytes args = rpcbArgs("tcp");
    EXPECT_EQ(addressAnswer(*mapper.handle("127.9.8.6", rpcbCall(4, 3, args))), "");
}

TEST_F(PortMapperTest, GetaddrlistListsTheTcpEntry) {
    const Bytes args = rpcbArgs("tcp");
    auto reply = mapper.handle(kAddress, rpcbCall(4, 11, args));
    ASSERT_TRUE(reply);
    auto [status, result] = accepted(*reply);
    ASSERT_EQ(status, 0u);
    rpcb_entry_list_ptr list = nullptr;
    ASSERT_TRUE(decodeXdr(result, reinterpret_cast<xdrproc_t>(xdr_rpcb_entry_list_ptr), &list));
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list->rpcb_entry_map.r_maddr, "127.9.8.7.18.52");
    EXPECT_STREQ(list->rpcb_entry_map.r_nc_netid, "tcp");
    EXPECT_EQ(list->rpcb_entry_map.r_nc_semantics, static_cast<unsigned>(NC_TPI_COTS_ORD));
    EXPECT_EQ(list->rpcb_entry_next, nullptr);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_rpcb_entry_list_ptr), reinterpret_cast<char*>(&list));
}

TEST_F(PortMapperTest, RefusesWhatItDoesNotServe) {
    const Bytes args = rpcbArgs("tcp");
    struct Case {
        std::uint32_t program;
        std::uint32_t version;
        std::uint32_t procedure;
        std::uint32_t status;
    } cases[] = {
        {100003, 3, 0, 1}, // PROG_UNAVAIL
        {100000, 5, 0, 2}, // PROG_MISMATCH
        {100000, 2, 4, 3}, // PMAPPROC_DUMP: PROC_UNAVAIL
        {100000, 4, 1, 3}, // SET: nobody registers here
        {100000, 4, 0, 0}, // NULL
    };
    for (const auto& c : cases) {
        RpcCall call = rpcbCall(c.version, c.procedure, args);
        call.program = c.program;
        auto reply = mapper.handle(kAddress, call);
        ASSERT_TRUE(reply);
        EXPECT_EQ(accepted(*reply).first, c.status) << c.program << "/" << c.version;
    }
    const Bytes garbage{1, 2};
    EXPECT_EQ(accepted(*mapper.handle(kAddress, rpcbCall(4, 3, garbage))).first, 4u);
}

} // namespace

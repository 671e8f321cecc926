#include <gtest/gtest.h>

// rpc.h first: rpcb_prot.h cannot stand alone.
#include <rpc/rpc.h>

#include <netconfig.h>
#include <rpc/pmap_prot.h>
#include <rpc/rpcb_prot.h>

#include <string>
#include <vector>

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

Bytes rpcbArgs(const char* netid, std::uint32_t program = REMOTE_MGMT_PROG,
               std::uint32_t version = REMOTE_MGMT_VERS) {
    char empty[] = "";
    RPCB query{program, version, const_cast<char*>(netid), empty, empty};
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
    PortMapperTest() {
        mapper.registerRpcbind(kAddress, 111, 112);
        mapper.registerManagement(kAddress, 0x1234);
    }
    PortMapper mapper;
};

TEST_F(PortMapperTest, GetaddrAnswersTheUniversalAddressOfTheAskedTransport) {
    constexpr std::uint32_t kMgmt = REMOTE_MGMT_PROG;
    constexpr std::uint32_t kOtherVersion = REMOTE_MGMT_VERS + 1;
    struct Case {
        std::uint32_t version;
        std::uint32_t procedure;
        const char* netid;
        std::uint32_t program;
        std::uint32_t programVersion;
        const char* answer;
    } cases[] = {
        {3, 3, "tcp", kMgmt, REMOTE_MGMT_VERS, "127.9.8.7.18.52"},
        {4, 3, "tcp", kMgmt, REMOTE_MGMT_VERS, "127.9.8.7.18.52"},
        {4, 9, "tcp", kMgmt, REMOTE_MGMT_VERS, "127.9.8.7.18.52"}, // GETVERSADDR
        {4, 3, "udp", kMgmt, REMOTE_MGMT_VERS, ""},
        {4, 3, "", kMgmt, REMOTE_MGMT_VERS, ""},
        {4, 3, "tcp", 100003, REMOTE_MGMT_VERS, ""},
        // GETADDR names the program's address whatever the version, so that
        // the server itself tells its versions; GETVERSADDR does not.
        {3, 3, "tcp", kMgmt, kOtherVersion, "127.9.8.7.18.52"},
        {4, 9, "tcp", kMgmt, kOtherVersion, ""},
        {3, 3, "udp", 100000, 3, "127.9.8.7.0.112"}, // rpcbind finds itself
    };
    for (const auto& c : cases) {
        const Bytes args = rpcbArgs(c.netid, c.program, c.programVersion);
        auto reply = mapper.handle(kAddress, rpcbCall(c.version, c.procedure, args));
        ASSERT_TRUE(reply);
        EXPECT_EQ(addressAnswer(*reply), c.answer)
            << c.version << "/" << c.procedure << " " << c.program << "/" << c.programVersion;
    }
    // Another address has nothing registered.
    const Bytes args = rpcbArgs("tcp");
    EXPECT_EQ(addressAnswer(*mapper.handle("127.9.8.6", rpcbCall(4, 3, args))), "");
}

TEST_F(PortMapperTest, GetaddrlistListsEachTransportOfTheProgram) {
    const Bytes args = rpcbArgs("");
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

    // rpcbind itself answers on both transports.
    const Bytes selfArgs = rpcbArgs("", 100000, 4);
    reply = mapper.handle(kAddress, rpcbCall(4, 11, selfArgs));
    ASSERT_TRUE(reply);
    ASSERT_TRUE(decodeXdr(accepted(*reply).second,
                          reinterpret_cast<xdrproc_t>(xdr_rpcb_entry_list_ptr), &list));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->rpcb_entry_next, nullptr);
    const auto& udp = list->rpcb_entry_next->rpcb_entry_map;
    EXPECT_STREQ(udp.r_maddr, "127.9.8.7.0.112");
    EXPECT_STREQ(udp.r_nc_netid, "udp");
    EXPECT_EQ(udp.r_nc_semantics, static_cast<unsigned>(NC_TPI_CLTS));
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
        {100000, 2, 5, 3}, // PMAPPROC_CALLIT: PROC_UNAVAIL
        {100000, 4, 1, 3}, // SET: nobody registers here
        {100000, 3, 5, 3}, // RPCBPROC_CALLIT
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

TEST_F(PortMapperTest, GetportAnswersByProtocol) {
    struct Case {
        u_long program;
        u_long version;
        u_long protocol;
        u_long port;
    } cases[] = {
        {REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, IPPROTO_TCP, 0x1234},
        {REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, IPPROTO_UDP, 0},
        {REMOTE_MGMT_PROG, REMOTE_MGMT_VERS + 1, IPPROTO_TCP, 0x1234}, // any version
        {REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, 41, 0},                   // neither TCP nor UDP
        {100000, 2, IPPROTO_TCP, 111},
        {100000, 2, IPPROTO_UDP, 112},
    };
    for (const auto& c : cases) {
        pmap query{c.program, c.version, c.protocol, 0};
        const Bytes args = *encodeXdr(reinterpret_cast<xdrproc_t>(xdr_pmap), &query);
        auto reply = mapper.handle(kAddress, rpcbCall(2, 3, args));
        ASSERT_TRUE(reply);
        auto [status, result] = accepted(*reply);
        ASSERT_EQ(status, 0u);
        u_long port = 99;
        ASSERT_TRUE(decodeXdr(result, reinterpret_cast<xdrproc_t>(xdr_u_long), &port));
        EXPECT_EQ(port, c.port) << c.program << "/" << c.protocol;
    }
}

// The DUMP answers of each version as "program version netid port|address owner" lines.
std::vector<std::string> dump(const PortMapper& mapper, const std::string& address,
                              std::uint32_t version) {
    auto reply = mapper.handle(address, rpcbCall(version, 4, {}));
    EXPECT_TRUE(reply);
    if (!reply) {
        return {};
    }
    auto [status, result] = accepted(*reply);
    EXPECT_EQ(status, 0u);
    std::vector<std::string> lines;
    if (version == 2) {
        pmaplist* list = nullptr;
        EXPECT_TRUE(decodeXdr(result, reinterpret_cast<xdrproc_t>(xdr_pmaplist), &list));
        for (const pmaplist* p = list; p != nullptr; p = p->pml_next) {
            const auto& m = p->pml_map;
            lines.push_back(std::to_string(m.pm_prog) + " " + std::to_string(m.pm_vers) + " " +
                            (m.pm_prot == IPPROTO_TCP ? "tcp " : "udp ") +
                            std::to_string(m.pm_port));
        }
        xdr_free(reinterpret_cast<xdrproc_t>(xdr_pmaplist), reinterpret_cast<char*>(&list));
        return lines;
    }
    rpcblist_ptr list = nullptr;
    EXPECT_TRUE(decodeXdr(result, reinterpret_cast<xdrproc_t>(xdr_rpcblist_ptr), &list));
    for (const rp__list* p = list; p != nullptr; p = p->rpcb_next) {
        const auto& m = p->rpcb_map;
        lines.push_back(std::to_string(m.r_prog) + " " + std::to_string(m.r_vers) + " " +
                        m.r_netid + " " + m.r_addr + " " + m.r_owner);
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_rpcblist_ptr), reinterpret_cast<char*>(&list));
    return lines;
}

TEST_F(PortMapperTest, DumpListsRpcbindAndTheManagementProgram) {
    const std::string management =
        std::to_string(REMOTE_MGMT_PROG) + " " + std::to_string(REMOTE_MGMT_VERS) + " tcp ";
    EXPECT_EQ(dump(mapper, kAddress, 2),
              (std::vector<std::string>{"100000 4 tcp 111", "100000 3 tcp 111", "100000 2 tcp 111",
                                        "100000 4 udp 112", "100000 3 udp 112", "100000 2 udp 112",
                                        management + "4660"}));
    const std::vector<std::string> rpcbind = {
        "100000 4 tcp 127.9.8.7.0.111 superuser", "100000 3 tcp 127.9.8.7.0.111 superuser",
        "100000 2 tcp 127.9.8.7.0.111 superuser", "100000 4 udp 127.9.8.7.0.112 superuser",
        "100000 3 udp 127.9.8.7.0.112 superuser", "100000 2 udp 127.9.8.7.0.112 superuser",
        management + "127.9.8.7.18.52 superuser"};
    EXPECT_EQ(dump(mapper, kAddress, 3), rpcbind);
    EXPECT_EQ(dump(mapper, kAddress, 4), rpcbind);
    // An address without registrations answers an empty list.
    for (std::uint32_t version : {2u, 3u, 4u}) {
        EXPECT_TRUE(dump(mapper, "127.9.8.6", version).empty()) << version;
    }
}

} // namespace

// A simulated switch's rpcbind as standard clients see it: the DUMP lists of
// both protocol generations through libtirpc, and `rpcinfo -p` / `-s` when
// rpcinfo is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <netconfig.h>
#include <rpc/pmap_clnt.h>
#include <rpc/rpc.h>
#include <rpc/rpcb_clnt.h>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "remote_api.h"
#include "tests/support/SwitchSimulator.h"

namespace {

const std::string kManagementProgram = std::to_string(REMOTE_MGMT_PROG);
const std::string kManagementVersion = std::to_string(REMOTE_MGMT_VERS);

class RpcbindTest : public ::testing::Test {
protected:
    RpcbindTest()
        : sim(nlohmann::json::parse(R"({"fabrics": [{"name": "A", "switches": [
                  {"wwn": "10:00:00:60:69:aa:00:01", "address": "@0"}]}]})")) {}

    std::string address() const { return sim.address(0); }
    std::string managementPort() const {
        return std::to_string(sim.managementPort(sim.address(0)));
    }

    SwitchSimulator sim;
};

// "program version netid port" for each entry of the version 2 DUMP, and
// "program version netid address owner" for each entry of the version 3/4 DUMP.
std::set<std::string> portmapperDump(const std::string& address) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(111);
    inet_pton(AF_INET, address.c_str(), &server.sin_addr);
    pmaplist* list = pmap_getmaps(&server);
    std::set<std::string> entries;
    for (const pmaplist* p = list; p != nullptr; p = p->pml_next) {
        const pmap& m = p->pml_map;
        entries.insert(std::to_string(m.pm_prog) + " " + std::to_string(m.pm_vers) +
                       (m.pm_prot == IPPROTO_TCP ? " tcp " : " udp ") + std::to_string(m.pm_port));
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_pmaplist), reinterpret_cast<char*>(&list));
    return entries;
}

std::set<std::string> rpcbindDump(const std::string& address, const char* netid) {
    std::unique_ptr<netconfig, decltype(&freenetconfigent)> transport(getnetconfigent(netid),
                                                                      freenetconfigent);
    EXPECT_TRUE(transport);
    std::set<std::string> entries;
    if (!transport) {
        return entries;
    }
    rpcblist* list = rpcb_getmaps(transport.get(), address.c_str());
    for (const rpcblist* p = list; p != nullptr; p = p->rpcb_next) {
        const rpcb& m = p->rpcb_map;
        entries.insert(std::to_string(m.r_prog) + " " + std::to_string(m.r_vers) + " " + m.r_netid +
                       " " + m.r_addr + " " + m.r_owner);
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_rpcblist_ptr), reinterpret_cast<char*>(&list));
    return entries;
}

TEST_F(RpcbindTest, DumpListsRpcbindAndTheManagementProgram) {
    std::set<std::string> expected;
    for (const char* netid : {"tcp", "udp"}) {
        for (const char* version : {"2", "3", "4"}) {
            expected.insert(std::string("100000 ") + version + " " + netid + " 111");
        }
    }
    expected.insert(kManagementProgram + " " + kManagementVersion + " tcp " + managementPort());
    EXPECT_EQ(portmapperDump(address()), expected);

    const std::string rpcbindAddress = address() + ".0.111";
    const unsigned port = sim.managementPort(address());
    const std::string managementAddress =
        address() + "." + std::to_string(port >> 8) + "." + std::to_string(port & 0xFF);
    std::set<std::string> listed;
    for (const char* netid : {"tcp", "udp"}) {
        for (const char* version : {"2", "3", "4"}) {
            listed.insert(std::string("100000 ") + version + " " + netid + " " + rpcbindAddress +
                          " superuser");
        }
    }
    listed.insert(kManagementProgram + " " + kManagementVersion + " tcp " + managementAddress +
                  " superuser");
    EXPECT_EQ(rpcbindDump(address(), "tcp"), listed);
    EXPECT_EQ(rpcbindDump(address(), "udp"), listed);
}

// rpcinfo from PATH or the system folders; "" when it is not installed.
std::string findRpcinfo() {
    std::string folders = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    folders += ":/usr/sbin:/sbin:/usr/bin:/bin";
    std::istringstream list(folders);
    for (std::string folder; std::getline(list, folder, ':');) {
        const std::string candidate = folder + "/rpcinfo";
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

// The output lines of a command (stderr included), each with its blanks
// squeezed to one space; the command is bounded in time.
std::vector<std::string> outputLines(const std::string& command) {
    std::unique_ptr<FILE, decltype(&pclose)> pipe(
        popen(("timeout 30 " + command + " 2>&1").c_str(), "r"), pclose);
    std::vector<std::string> lines;
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return lines;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        std::istringstream words(buffer);
        std::string line;
        for (std::string word; words >> word;) {
            line += (line.empty() ? "" : " ") + word;
        }
        lines.push_back(line);
    }
    return lines;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(RpcbindTest, RpcinfoListsThePrograms) {
    const std::string rpcinfo = findRpcinfo();
    if (rpcinfo.empty()) {
        GTEST_SKIP() << "rpcinfo is not installed";
    }
    const auto mappings = outputLines(rpcinfo + " -p " + address());
    for (const char* netid : {"tcp", "udp"}) {
        for (const char* version : {"2", "3", "4"}) {
            const std::string line = std::string("100000 ") + version + " " + netid + " 111";
            EXPECT_TRUE(contains(mappings, line + " portmapper") || contains(mappings, line))
                << line;
        }
    }
    EXPECT_TRUE(contains(mappings, kManagementProgram + " " + kManagementVersion + " tcp " +
                                       managementPort()))
        << ::testing::PrintToString(mappings);

    const auto services = outputLines(rpcinfo + " -s " + address());
    EXPECT_TRUE(contains(services, "100000 2,3,4 udp,tcp portmapper superuser") ||
                contains(services, "100000 2,3,4 tcp,udp portmapper superuser"))
        << ::testing::PrintToString(services);
    EXPECT_TRUE(
        contains(services, kManagementProgram + " " + kManagementVersion + " tcp - superuser"))
        << ::testing::PrintToString(services);

    // Probing each version of a program through rpcbind.
    const auto probe = outputLines(rpcinfo + " -t " + address() + " " + kManagementProgram);
    EXPECT_TRUE(contains(probe, "program " + kManagementProgram + " version " + kManagementVersion +
                                    " ready and waiting"))
        << ::testing::PrintToString(probe);
}

} // namespace

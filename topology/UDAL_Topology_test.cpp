#include "topology/UDAL_Topology.h"

#include "adapters/http/HTTPConnection.h"
#include "adapters/http/HTTPStatus.h"
#include "adapters/http/testing/TestPageServer.h"
#include "foundation/InternalTiming.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using namespace std::chrono_literals;

template <typename Record> struct OwnedList {
    std::list<Record*> items;
    ~OwnedList() {
        for (Record* record : items) {
            delete record;
        }
    }
    Record& at(std::size_t index) { return **std::next(items.begin(), index); }
};

TEST(SwitchPage, ReadsEveryFieldOfEachBlockInPageOrder) {
    OwnedList<UDAL_Switch> switches;
    UDAL_Topology::readSwitches(
        {"--BEGIN SWITCH", "worldname=10:00:00:05:1e:35:a6:01", "switchname=core-a",
         "switchetherIP=127.1.0.1", "switchetherMsk=255.255.255.0", "switchfcIP=0.0.0.0",
         "switchfcMsk=0.0.0.0", "switchgwIP=127.1.0.254", "switchType=34", "domainid=1",
         "fcs=Primary", "--END SWITCH", "--BEGIN SWITCH", "worldname=10:00:00:05:1e:35:a6:02",
         "domainid=2", "fcs=Secondary", "--END SWITCH"},
        switches.items);
    ASSERT_EQ(switches.items.size(), 2u);
    const UDAL_Switch& a = switches.at(0);
    const uint8_t wwnA[8] = {0x10, 0x00, 0x00, 0x05, 0x1e, 0x35, 0xa6, 0x01};
    EXPECT_EQ(std::memcmp(a.worldWideName, wwnA, 8), 0);
    EXPECT_STREQ(a.switchName, "core-a");
    EXPECT_STREQ(a.ethernetIP, "127.1.0.1");
    EXPECT_STREQ(a.ethernetMask, "255.255.255.0");
    EXPECT_STREQ(a.fcIP, "0.0.0.0");
    EXPECT_STREQ(a.fcMask, "0.0.0.0");
    EXPECT_STREQ(a.gatewayIP, "127.1.0.254");
    EXPECT_EQ(a.switchType, 34);
    EXPECT_EQ(a.domainID, 1);
    EXPECT_EQ(a.fcsRole, FCS_ROLE_PRIMARY);
    const UDAL_Switch& b = switches.at(1);
    EXPECT_EQ(b.worldWideName[7], 0x02);
    EXPECT_EQ(b.domainID, 2);
    EXPECT_EQ(b.fcsRole, FCS_ROLE_SECONDARY);
    EXPECT_EQ(b.switchType, -1);
    EXPECT_STREQ(b.switchName, "");
}

struct SwitchLineCase {
    const char* name;
    std::list<std::string> lines;
    std::size_t records;
    int domain;     // of the first record
    int role;       // of the first record
    const char* sw; // switch name of the first record
};

void PrintTo(const SwitchLineCase& c, std::ostream* os) {
    *os << c.name;
}

class SwitchPageLines : public ::testing::TestWithParam<SwitchLineCase> {};

TEST_P(SwitchPageLines, GivesExpectedRecords) {
    const SwitchLineCase& c = GetParam();
    OwnedList<UDAL_Switch> switches;
    UDAL_Topology::readSwitches(c.lines, switches.items);
    ASSERT_EQ(switches.items.size(), c.records);
    if (c.records > 0) {
        EXPECT_EQ(switches.at(0).domainID, c.domain);
        EXPECT_EQ(switches.at(0).fcsRole, c.role);
        EXPECT_STREQ(switches.at(0).switchName, c.sw);
    }
}

const std::string kLongName(300, 'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchPageLines,
    ::testing::Values(
        // A block still open when the page ends is returned.
        SwitchLineCase{"UnendedBlockAtPageEnd", {"--BEGIN SWITCH", "domainid=3"}, 1, 3, 0, ""},
        SwitchLineCase{
            "SecondBeginDropsFirst",
            {"--BEGIN SWITCH", "domainid=3", "--BEGIN SWITCH", "domainid=4", "--END SWITCH"},
            1,
            4,
            0,
            ""},
        SwitchLineCase{"LinesOutsideBlocksIgnored",
                       {"domainid=9", "--END SWITCH", "--BEGIN SWITCH", "--END SWITCH"},
                       1,
                       -1,
                       0,
                       ""},
        SwitchLineCase{
            "FcsOtherValue", {"--BEGIN SWITCH", "fcs=None", "--END SWITCH"}, 1, -1, 0, ""},
        SwitchLineCase{"KeyAtLineEndSetsNothing",
                       {"--BEGIN SWITCH", "domainid", "switchname", "--END SWITCH"},
                       1,
                       -1,
                       0,
                       ""},
        SwitchLineCase{
            "DomainOutOfRange", {"--BEGIN SWITCH", "domainid=256", "--END SWITCH"}, 1, -1, 0, ""},
        SwitchLineCase{
            "DomainUnreadable", {"--BEGIN SWITCH", "domainid=x1", "--END SWITCH"}, 1, -1, 0, ""},
        SwitchLineCase{"KeysAreCaseSensitive",
                       {"--BEGIN SWITCH", "SwitchName=a", "DOMAINID=5", "--END SWITCH"},
                       1,
                       -1,
                       0,
                       ""},
        SwitchLineCase{"FirstKeyInTableOrderWins",
                       {"--BEGIN SWITCH", "switchname=domainid=7", "--END SWITCH"},
                       1,
                       -1,
                       0,
                       "domainid=7"},
        SwitchLineCase{"LongNameCut",
                       {"--BEGIN SWITCH", "switchname=" + kLongName, "--END SWITCH"},
                       1,
                       -1,
                       0,
                       "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
                       "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"}),
    [](const ::testing::TestParamInfo<SwitchLineCase>& info) { return info.param.name; });

TEST(SwitchPage, ShortWorldNameFillsWhatCanBeRead) {
    OwnedList<UDAL_Switch> switches;
    UDAL_Topology::readSwitches({"--BEGIN SWITCH", "worldname=ab:cd:e", "--END SWITCH"},
                                switches.items);
    ASSERT_EQ(switches.items.size(), 1u);
    const uint8_t expected[8] = {0xab, 0xcd, 0x0e, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(switches.at(0).worldWideName, expected, 8), 0);
}

struct Link {
    int domain, port, remoteDomain, remotePort, cost, count, type;
    bool operator==(const Link&) const = default;
};

std::vector<Link> links(const std::list<std::string>& lines) {
    OwnedList<UDAL_ISL> records;
    UDAL_Topology::readLinks(lines, records.items);
    std::vector<Link> out;
    for (const UDAL_ISL* l : records.items) {
        out.push_back(
            {l->domain, l->port, l->remoteDomain, l->remotePort, l->cost, l->count, l->type});
    }
    return out;
}

TEST(LinkPage, ReadsLinksUnderTheirDomain) {
    EXPECT_EQ(links({"--BEGIN DOMAIN", "DomainID=1", "linkinfo=2,4,5,500,1,1;3,6,7,1000,2,1;",
                     "--END DOMAIN", "--BEGIN DOMAIN", "DomainID=2", "linkinfo=1,5,4,500,1,1",
                     "--END DOMAIN"}),
              (std::vector<Link>{
                  {1, 4, 2, 5, 500, 1, 1}, {1, 6, 3, 7, 1000, 2, 1}, {2, 5, 1, 4, 500, 1, 1}}));
}

TEST(LinkPage, EdgeCasesOfDomainsAndTuples) {
    // Links before any domain line carry -1; markers keep the domain.
    EXPECT_EQ(links({"linkinfo=2,1,1,1,1,1", "DomainID=4", "--END DOMAIN", "linkinfo=5,1,2"}),
              (std::vector<Link>{{-1, 1, 2, 1, 1, 1, 1}, {4, 1, 5, 2, -1, -1, -1}}));
    // Unusable domain values leave the current one.
    EXPECT_EQ(links({"DomainID=3", "DomainID=0", "DomainID=-2", "DomainID=x", "DomainID=999",
                     "DomainID", "linkinfo=1,1,1,1,1,1"}),
              (std::vector<Link>{{3, 1, 1, 1, 1, 1, 1}}));
    // An empty piece gives a link of -1 values; an empty list gives none.
    EXPECT_EQ(links({"DomainID=1", "linkinfo=;2,3,4,5,6,7", "linkinfo=", "linkinfo"}),
              (std::vector<Link>{{1, -1, -1, -1, -1, -1, -1}, {1, 3, 2, 4, 5, 6, 7}}));
    // A port number outside 0 to 65535 makes the link invalid.
    EXPECT_EQ(links({"DomainID=1", "linkinfo=2,70000,1,1,1,1;2,1,-5,1,1,1;2,65535,0,9,9,9"}),
              (std::vector<Link>{{1, 65535, 2, 0, 9, 9, 9}}));
    // Numbers beyond the int range are unreadable, not wrapped.
    EXPECT_EQ(links({"DomainID=1", "linkinfo=2,3,4,99999999999,5,6"}),
              (std::vector<Link>{{1, 3, 2, 4, -1, -1, -1}}));
}

TEST(LinkPage, ParserReportsLineKinds) {
    std::list<UDAL_ISL*> none;
    EXPECT_EQ(UDAL_Topology::ParseFabricInfo2("--BEGIN DOMAIN", 1, none), -1);
    EXPECT_EQ(UDAL_Topology::ParseFabricInfo2("--END DOMAIN", 1, none), -2);
    EXPECT_EQ(UDAL_Topology::ParseFabricInfo2("DomainID=17", 1, none), 17);
    EXPECT_EQ(UDAL_Topology::ParseFabricInfo2("other", 1, none), 0);
    EXPECT_TRUE(none.empty());
}

ConnectionDescriptor descriptorOf(const TestPageServer& server) {
    return ConnectionDescriptor(httpProtocolKey(),
                                FabricProxyEntry("", "", IPAddress(server.address().c_str())),
                                CONNECTION_LOGIN_NONE);
}

class TopologyReader : public ::testing::Test {
protected:
    void SetUp() override { internalTiming().httpQuietTimeout = 300ms; }

    static std::string answerFor(const std::string& request) {
        const std::string head = "HTTP/1.0 200 OK\r\n\r\n<HTML><BODY>\r\n";
        if (request.find("GET /FabricInfo.html ") == 0) {
            return head + "--BEGIN SWITCH\r\ndomainid=1\r\n--END SWITCH\r\n"
                          "--BEGIN SWITCH\r\ndomainid=2\r\n--END SWITCH\r\n</BODY>\r\n";
        }
        if (request.find("GET /FabricInfo2.html ") == 0) {
            return head + "DomainID=1\r\nlinkinfo=2,1,1,1,1,1;\r\n</BODY>\r\n";
        }
        return "HTTP/1.0 404 Not Found\r\n\r\n";
    }
};

TEST_F(TopologyReader, ReadsBothPagesThroughTheConnection) {
    TestPageServer server(HTTP_PAGE_PORT, answerFor);
    HTTPConnection connection(descriptorOf(server));
    UDAL_Topology topology;
    ASSERT_EQ(topology.setConnection(&connection), 0);
    OwnedList<UDAL_Switch> switches;
    OwnedList<UDAL_ISL> isls;
    ASSERT_EQ(topology.GetALLSwitchesHTTP(&switches.items), 0);
    ASSERT_EQ(topology.GetAllISLsHTTP(&isls.items), 0);
    EXPECT_EQ(switches.items.size(), 2u);
    ASSERT_EQ(isls.items.size(), 1u);
    EXPECT_EQ(isls.at(0).remoteDomain, 2);
}

TEST_F(TopologyReader, RefusesMissingConnectionAndUnusableLists) {
    UDAL_Topology topology;
    OwnedList<UDAL_Switch> switches;
    OwnedList<UDAL_ISL> isls;
    EXPECT_EQ(topology.setConnection(nullptr), TOPOLOGY_ERR_NO_CONNECTION);
    EXPECT_EQ(topology.GetALLSwitchesHTTP(&switches.items), TOPOLOGY_ERR_NO_CONNECTION);
    EXPECT_EQ(topology.GetAllISLsHTTP(&isls.items), TOPOLOGY_ERR_NO_CONNECTION);

    TestPageServer server(HTTP_PAGE_PORT, answerFor);
    HTTPConnection connection(descriptorOf(server));
    ASSERT_EQ(topology.setConnection(&connection), 0);
    EXPECT_EQ(topology.GetALLSwitchesHTTP(nullptr), TOPOLOGY_ERR_BAD_LIST);
    switches.items.push_back(new UDAL_Switch());
    EXPECT_EQ(topology.GetALLSwitchesHTTP(&switches.items), TOPOLOGY_ERR_BAD_LIST);
    isls.items.push_back(new UDAL_ISL());
    EXPECT_EQ(topology.GetAllISLsHTTP(&isls.items), TOPOLOGY_ERR_BAD_LIST);
    EXPECT_EQ(server.requests().size(), 1u); // only the connection's own page
}

TEST_F(TopologyReader, ReturnsFetchErrorWithListEmpty) {
    TestPageServer server(HTTP_PAGE_PORT, [](const std::string&) {
        return std::string("HTTP/1.0 500 Internal Server Error\r\n\r\n");
    });
    HTTPConnection connection(descriptorOf(server));
    UDAL_Topology topology;
    ASSERT_EQ(topology.setConnection(&connection), 0);
    OwnedList<UDAL_Switch> switches;
    EXPECT_EQ(topology.GetALLSwitchesHTTP(&switches.items), HTTP_ERR_BAD_RESPONSE);
    EXPECT_TRUE(switches.items.empty());
}

} // namespace

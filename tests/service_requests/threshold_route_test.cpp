// Threshold monitoring and route requests against the simulated fabric.
#include <cstring>
#include <string>

#include "connection/clilib_threshold.h"
#include "foundation/InternalStatus.h"
#include "foundation/StatusTranslation.h"
#include "tests/service_requests/RequestSession.h"

namespace {

using nlohmann::json;

const unsigned char kProxy[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x01};
const unsigned char kEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x02};
const unsigned char kCore[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x03};
const unsigned char kUnknown[8] = {0x10, 0, 0, 0x60, 0x69, 0xcc, 0, 0x01};

json fabric() {
    return json::parse(R"({
      "fabrics": [ { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
        "switches": [
          { "wwn": "10:00:00:60:69:aa:00:01", "address": "@0",
            "threx": { "classAreas": [
              { "defaultUnit": "frames", "default": [1, 10, 100, 4], "customUnit": "",
                "values": [2, 20, 200, 8, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0],
                "thresholds": [ { "name": "rx", "label": "Received", "time": "never",
                                  "values": [1, 11, 12, 13, 2, 30, 0] } ] },
              { "defaultUnit": "errors", "values": [] } ] } },
          { "wwn": "10:00:00:60:69:aa:00:02" },
          { "wwn": "10:00:00:60:69:aa:00:03" } ],
        "routes": [
          { "source": "10:00:00:60:69:aa:00:01", "destination": "10:00:00:60:69:aa:00:02",
            "pairs": [[1, 2], [3, 4], [5, 6], [7, 8]], "legal": [4, 5, 6] },
          { "source": "10:00:00:60:69:aa:00:01", "destination": "10:00:00:60:69:aa:00:03",
            "pairs": [[1, 2], [3, 4], [5, 6]], "count": 7,
            "legal": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10], "legalCount": 12 },
          { "source": "10:00:00:60:69:aa:00:02", "destination": "10:00:00:60:69:aa:00:03",
            "pairs": [[1, 2], [3, 4]], "count": 0, "legal": [1, 2], "legalCount": 5 } ] } ]
    })");
}

class ThresholdTest : public RequestSession {
protected:
    void SetUp() override { open(fabric()); }

    ThrexClassAreaRecord classArea(int index) {
        ThrexClassAreaRecord* record = nullptr;
        EXPECT_EQ(0, threxGetClassArea(ctx(), kProxy, index, &record));
        ThrexClassAreaRecord copy{};
        if (record != nullptr) {
            copy = *record;
            freeApiRecord(record);
        }
        return copy;
    }
};

TEST_F(ThresholdTest, ClassAreaAndThresholdEntryAreRead) {
    const ThrexClassAreaRecord area = classArea(0);
    EXPECT_STREQ("frames", area.text1);
    EXPECT_EQ(10, area.value2);
    EXPECT_EQ(100, area.value3);
    EXPECT_EQ(20, area.values[1]);
    EXPECT_EQ(200, area.values[2]);

    ThrexThresholdRecord* entry = nullptr;
    ASSERT_EQ(0, threxGetThresholdEntry(ctx(), kProxy, 0, 0, &entry));
    EXPECT_EQ(1, entry->value1);
    EXPECT_STREQ("rx", entry->text1);
    EXPECT_STREQ("Received", entry->text2);
    EXPECT_EQ(11, entry->value2);
    EXPECT_STREQ("never", entry->text3);
    EXPECT_EQ(30, entry->value6);
    freeApiRecord(entry);

    void* count = nullptr;
    const ThrexRequestRecord request{};
    ThrexRequestRecord named = request;
    std::memcpy(named.switchName, kProxy, 8);
    ASSERT_EQ(0, threxRequest(ctx(), 1797, &named, &count));
    EXPECT_EQ(2, *static_cast<int*>(count));
    freeApiRecord(count);
}

TEST_F(ThresholdTest, ReadsWithoutResultPointerSendNothing) {
    EXPECT_EQ(-1, threxGetClassArea(ctx(), kProxy, 0, nullptr));
    EXPECT_EQ(-1, threxGetThresholdEntry(ctx(), kProxy, 0, 0, nullptr));
    ThrexClassAreaRecord* record = nullptr;
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, threxGetClassArea(nullptr, kProxy, 0, &record));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, threxGetClassArea(ctx(), nullptr, 0, &record));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, threxSetCustomAlarm(ctx(), kProxy, 0, 6, 1));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, threxSetCustomUnitString(ctx(), kProxy, 0, nullptr));
    EXPECT_EQ(0u, calls(40));
}

TEST_F(ThresholdTest, SettingsReachTheirFields) {
    struct Case {
        const char* what;
        int (*set)(SessionContext*, const unsigned char*, int, int);
        int value;
        std::size_t slot;
    };
    const Case cases[] = {
        {"time base", threxSetCustomTimeBase, 7, 0},
        {"low boundary", threxSetCustomLowBoundary, 50, 1},
        {"high boundary", threxSetCustomHighBoundary, 500, 2},
        {"buffer size", threxSetCustomBufferSize, 16, 3},
        {"boundary level", threxSetBoundaryLevelSelect, 2, 4},
        {"alarm level", threxSetAlarmLevelSelect, 3, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, c.set(ctx(), kProxy, 0, c.value));
        EXPECT_EQ(c.value, classArea(0).values[c.slot]);
    }
    ASSERT_EQ(0, threxSetCustomAlarm(ctx(), kProxy, 0, 5, 9));
    EXPECT_EQ(9, classArea(0).values[14]);
    for (auto apply : {threxApplyAlarmChanges, threxApplyBoundaryChanges, threxCancelAlarmChanges,
                       threxCancelBoundaryChanges}) {
        EXPECT_EQ(0, apply(ctx(), kProxy, 0));
    }

    ASSERT_EQ(0, threxSetThreshStatus(ctx(), kProxy, 0, 0, 0));
    ASSERT_EQ(0, threxSetThreshBehaviorType(ctx(), kProxy, 0, 0, 3));
    ASSERT_EQ(0, threxSetThreshBehaviorInterval(ctx(), kProxy, 0, 0, 60));
    ThrexThresholdRecord* entry = nullptr;
    ASSERT_EQ(0, threxGetThresholdEntry(ctx(), kProxy, 0, 0, &entry));
    EXPECT_EQ(0, entry->value1);
    EXPECT_EQ(3, entry->value6);
    EXPECT_EQ(60, entry->value7);
    freeApiRecord(entry);
}

TEST_F(ThresholdTest, HighBelowLowIsRefusedAsTheSwitchRefusesIt) {
    const int status = threxSetCustomHighBoundary(ctx(), kProxy, 0, 5); // low is 20
    EXPECT_EQ(-109, MapApiError(status));
    EXPECT_EQ(200, classArea(0).values[2]);
    EXPECT_EQ(-109, MapApiError(threxSetCustomLowBoundary(ctx(), kProxy, 0, 300)));
    EXPECT_EQ(20, classArea(0).values[1]);
}

TEST_F(ThresholdTest, UnitStringIsCutToItsField) {
    const std::string unit(40, 'u');
    ASSERT_EQ(0, threxSetCustomUnitString(ctx(), kProxy, 0, unit.c_str()));
    EXPECT_EQ(std::string(31, 'u'), classArea(0).text2);
}

TEST_F(ThresholdTest, UnknownSwitchOrAreaAndBrokenRepliesGiveNoResult) {
    ThrexClassAreaRecord* record = reinterpret_cast<ThrexClassAreaRecord*>(1);
    EXPECT_EQ(-1, threxGetClassArea(ctx(), kUnknown, 0, &record));
    EXPECT_EQ(nullptr, record);
    EXPECT_EQ(-1, threxGetClassArea(ctx(), kProxy, 9, &record));
    injectMalformed(40, 1798);
    EXPECT_EQ(REQ_ERR_RPC_NO_REPLY, threxGetClassArea(ctx(), kProxy, 0, &record));
    EXPECT_EQ(nullptr, record);
}

// --- Routes ---

using RouteTest = ThresholdTest;

TEST_F(RouteTest, EntriesHoldTwoPairsEach) {
    ApiRouteEntries* routes = nullptr;
    ASSERT_EQ(0, getRouteTableEntries(ctx(), kProxy, kEdge, &routes));
    ASSERT_EQ(2u, routes->count);
    std::uint32_t type = 0;
    ASSERT_TRUE(apiRecordInfo(routes, &type, nullptr));
    EXPECT_EQ(18u, type);
    const int expected[2][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(0, std::memcmp(expected[i], routes->entries[i].values, sizeof(expected[i])));
    }
    freeApiRecord(routes);
}

TEST_F(RouteTest, CountsBeyondWhatArrivedAreCut) {
    // A count of 7 with three pairs: one whole entry arrived.
    ApiRouteEntries* routes = nullptr;
    ASSERT_EQ(0, getRouteTableEntries(ctx(), kProxy, kCore, &routes));
    EXPECT_EQ(1u, routes->count);
    freeApiRecord(routes);

    struct Case {
        const unsigned char* source;
        const unsigned char* destination;
        int count;
        int first;
    };
    const Case cases[] = {
        {kProxy, kEdge, 3, 4}, // the list as it came
        {kProxy, kCore, 8, 1}, // count 12, ten ports: at most eight
        {kEdge, kCore, 2, 1},  // count 5, two ports: what arrived
    };
    for (const auto& c : cases) {
        LegalRouteEntries* legal = nullptr;
        ASSERT_EQ(0, getLegalRouteTableEntries(ctx(), c.source, c.destination, &legal));
        EXPECT_EQ(c.count, legal->count);
        EXPECT_EQ(c.first, legal->ports[0]);
        freeApiRecord(legal);
    }
}

TEST_F(RouteTest, EmptyRouteListGivesNoBlock) {
    ApiRouteEntries* routes = reinterpret_cast<ApiRouteEntries*>(1);
    EXPECT_EQ(REQ_ERR_NO_MEMORY, getRouteTableEntries(ctx(), kEdge, kCore, &routes));
    EXPECT_EQ(nullptr, routes);
}

TEST_F(RouteTest, SetRouteReachesTheSwitch) {
    ASSERT_EQ(0, setRouteTableEntry(ctx(), kProxy, kEdge, kCore));
    const json settings = fabricSource()["routeSettings"];
    ASSERT_EQ(1u, settings.size());
    EXPECT_EQ(json::array({"1000006069aa0001", "1000006069aa0002", "1000006069aa0003"}),
              settings[0]);
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, setRouteTableEntry(ctx(), kProxy, nullptr, kCore));
}

TEST_F(RouteTest, UnknownRouteAndBrokenReplyGiveNoResult) {
    ApiRouteEntries* routes = nullptr;
    EXPECT_EQ(-1, getRouteTableEntries(ctx(), kCore, kProxy, &routes));
    injectMalformed(40, 1031);
    LegalRouteEntries* legal = nullptr;
    EXPECT_EQ(REQ_ERR_RPC_NO_REPLY, getLegalRouteTableEntries(ctx(), kProxy, kEdge, &legal));
    EXPECT_EQ(nullptr, legal);
}

} // namespace

// Threshold and route records as they stand on the wire: the simulator is
// called with requests written by hand as XDR units and its answers are
// compared unit by unit; the library is fed replies written by hand and
// each value is looked for in the record field it belongs to.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "objects/RouteTable.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "remote_api.h"
#include "tests/objects/ThresholdRouteFabric.h"
#include "tests/support/XdrUnits.h"

namespace {

using nlohmann::json;
using thrfabric::kHostA;
using thrfabric::kHostB;
using thrfabric::kProxyOid;

// --- XDR units written by hand ---------------------------------------------

const std::uint8_t kProxy[8] = {0x10, 0, 0, 0x60, 0x69, 0x07, 0, 0x01};
const std::uint8_t kEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0x07, 0, 0x02};
const std::uint8_t kProxyPort0[8] = {0x20, 0, 0, 0x60, 0x69, 0x07, 0, 0x01};
const std::uint8_t kProxyPort1[8] = {0x20, 0x01, 0, 0x60, 0x69, 0x07, 0, 0x01};

// The shared units with threshold and route requests.
struct Wire : XdrUnitsOf<Wire> {
    // ThrexRequestRecord: u_char[8] switch name, nine int, char[32], three
    // int, char[256]; the values go into the first three ints.
    static Wire threx(std::int32_t code, std::initializer_list<std::int32_t> values,
                      const std::string& unit = "") {
        Wire w;
        w.ints({code}).unsignedName(kProxy).ints(values).zeros(9 - values.size());
        w.text(unit, 32).zeros(3).zeros(256);
        return w;
    }
    // char[8] source, char[8] destination.
    static Wire route(std::int32_t code, const std::uint8_t (&source)[8],
                      const std::uint8_t (&destination)[8]) {
        Wire w;
        w.ints({code}).signedName(source).signedName(destination);
        return w;
    }
};

// Unit texts with bytes above 0x7f: their units are sign-extended.
const std::string kDegrees = "\u00b0C";
const std::string kFahrenheit = "\u00b0F";

json wireDocument() {
    json doc = thrfabric::document();
    doc["fabrics"][0]["switches"][0]["threx"]["classAreas"][12]["customUnit"] = kDegrees;
    return doc;
}

class SimulatorWire : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new SwitchSimulator(wireDocument()); }
    static void TearDownTestSuite() {
        delete sim_;
        sim_ = nullptr;
    }

    // Procedure 40 with `request` as its argument; the reply's units.
    static std::vector<std::uint32_t> call(const Wire& request) {
        return callWithUnits(sim_->address(0), RPC_MS_SVR_REQUEST, request.units);
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* SimulatorWire::sim_ = nullptr;

// Unit positions within the replies.
constexpr std::size_t kEnvelope = 4;
constexpr std::size_t kClassAreaCustomUnit = kEnvelope + 32 + 4; // char[32] after four int
constexpr std::size_t kClassAreaValues = kClassAreaCustomUnit + 32;
constexpr std::size_t kEntryLastThree = kEnvelope + 1 + 32 + 32 + 3 + 32;

TEST_F(SimulatorWire, ClassAreaAndThresholdEntryAreWrittenInTheirFieldOrder) {
    Wire area;
    area.reply(1798).text("errors", 32).ints({1, 10, 100, 4}).text(kDegrees, 32);
    // Custom time base, low, high, buffer size, boundary level select, five
    // default and five custom alarms, the unused value, alarm level select.
    area.ints({2, 20, 200, 8, 1, 11, 12, 13, 14, 15, 21, 22, 23, 24, 25, 99, 2});
    EXPECT_EQ(area.hex(), hexOf(call(Wire::threx(1798, {12}))));

    Wire entry;
    // Status, name, label, current value, last event type and value, last
    // event time, last event state, behaviour type, behaviour interval.
    entry.reply(1799).ints({1}).text("port0", 32).text("Port 0", 32).ints({5, 6, 7});
    entry.text("never", 32).ints({8, 9, 10});
    EXPECT_EQ(entry.hex(), hexOf(call(Wire::threx(1799, {12, 0}))));

    // The second int names the threshold entry.
    const std::vector<std::uint32_t> second = call(Wire::threx(1799, {12, 1}));
    ASSERT_GT(second.size(), kEnvelope + 6);
    EXPECT_EQ(0u, second[0]);
    EXPECT_EQ(Wire().text("port1", 32).hex(),
              hexOf({second.begin() + kEnvelope + 1, second.begin() + kEnvelope + 33}));
}

// Changes area 12: declared after the test that reads it unchanged.
TEST_F(SimulatorWire, ChangesLandInTheFieldsTheirRequestsName) {
    const struct {
        std::int32_t code;
        std::initializer_list<std::int32_t> values;
        std::size_t slot; // among the seventeen ints of the class/area record
        std::int32_t expected;
    } cases[] = {
        {1810, {12, 70}, 0, 70},     // custom time base
        {1809, {12, 15}, 1, 15},     // custom low boundary
        {1808, {12, 300}, 2, 300},   // custom high boundary
        {1807, {12, 16}, 3, 16},     // custom buffer size
        {1806, {12, 2}, 4, 2},       // boundary level select
        {1805, {12, 1, 41}, 10, 41}, // custom changed alarm
        {1805, {12, 5, 45}, 14, 45}, // custom in-between alarm
        {1804, {12, 1}, 16, 1},      // alarm level select
    };
    for (const auto& c : cases) {
        const std::vector<std::uint32_t> answer = call(Wire::threx(c.code, c.values));
        ASSERT_FALSE(answer.empty());
        EXPECT_EQ(0u, answer[0]) << c.code;
        const std::vector<std::uint32_t> area = call(Wire::threx(1798, {12}));
        ASSERT_EQ(kClassAreaValues + 17, area.size());
        EXPECT_EQ(c.expected, static_cast<std::int32_t>(area[kClassAreaValues + c.slot]))
            << c.code << " slot " << c.slot;
    }
    const std::vector<std::uint32_t> untouched = call(Wire::threx(1798, {12}));
    ASSERT_EQ(kClassAreaValues + 17, untouched.size());
    EXPECT_EQ(12u, untouched[kClassAreaValues + 6]) << "default alarms are never written";
    EXPECT_EQ(99u, untouched[kClassAreaValues + 15]);

    // The unit text travels in the request's char[32].
    ASSERT_EQ(0u, call(Wire::threx(1811, {12}, "fr\u00e9")).at(0));
    const std::vector<std::uint32_t> unit = call(Wire::threx(1798, {12}));
    ASSERT_EQ(kClassAreaValues + 17, unit.size());
    EXPECT_EQ(Wire().text("fr\u00e9", 32).hex(),
              hexOf({unit.begin() + kClassAreaCustomUnit, unit.begin() + kClassAreaValues}));

    // Threshold entries: the second int is the entry, the third the value.
    ASSERT_EQ(0u, call(Wire::threx(1812, {12, 1, 3})).at(0));
    ASSERT_EQ(0u, call(Wire::threx(1814, {12, 1, 4})).at(0));
    ASSERT_EQ(0u, call(Wire::threx(1813, {12, 1, 500})).at(0));
    const std::vector<std::uint32_t> entry = call(Wire::threx(1799, {12, 1}));
    ASSERT_EQ(kEntryLastThree + 3, entry.size());
    EXPECT_EQ(3u, entry[kEnvelope]) << "status";
    EXPECT_EQ(0u, entry[kEntryLastThree]) << "last event state";
    EXPECT_EQ(4u, entry[kEntryLastThree + 1]) << "behaviour type";
    EXPECT_EQ(500u, entry[kEntryLastThree + 2]) << "behaviour interval";
}

TEST_F(SimulatorWire, RouteListsAreWrittenAsCountThenList) {
    Wire routes;
    routes.reply(1029).ints({2, 4, 0, 1, 5, 2, 4, 9, 6, 9});
    EXPECT_EQ(routes.hex(), hexOf(call(Wire::route(1029, kProxyPort0, kProxyPort1))));

    Wire legal;
    legal.reply(1031).ints({2, 2, 3, 17});
    EXPECT_EQ(legal.hex(), hexOf(call(Wire::route(1031, kProxy, kEdge))));

    // The first name is the source: the edge switch has no table toward the
    // proxy.
    const std::vector<std::uint32_t> swapped = call(Wire::route(1031, kEdge, kProxy));
    ASSERT_FALSE(swapped.empty());
    EXPECT_NE(0u, swapped[0]);
}

TEST_F(SimulatorWire, RouteSettingKeepsItsThreeNamesInOrder) {
    const std::uint8_t input[8] = {0x20, 0x04, 0, 0x60, 0x69, 0x87, 0, 0x81};
    const std::uint8_t output[8] = {0x20, 0x09, 0, 0x60, 0x69, 0x87, 0, 0x81};
    Wire request;
    request.ints({1032}).signedName(input).signedName(output).signedName(kEdge);
    EXPECT_EQ(Wire().reply(1032).hex(), hexOf(call(request))) << "the reply has no arm";
    const json settings =
        sim_->request({{"op", "source"}, {"fabric", 0}})["source"]["routeSettings"];
    ASSERT_FALSE(settings.empty());
    EXPECT_EQ(json::array({"2004006069870081", "2009006069870081", "1000006069070002"}),
              settings.back());
}

// --- The library fed replies written by hand ---------------------------------------

std::string textOf(const RecordText& field) {
    return std::string(field.Text, field.Length);
}

class LibraryWire : public thrfabric::Suite {
protected:
    static std::string oid(int cls, int area, int index = -1) {
        OID_t text = {};
        const int status = index < 0
                               ? EncodeThrexClassAreaOID(kProxyOid, cls, area, text)
                               : EncodeThrexThresholdEntryOID(kProxyOid, cls, area, index, text);
        EXPECT_EQ(0, status);
        return text;
    }
    static std::vector<std::string> ports(const RouteRecord* route) {
        std::vector<std::string> oids;
        for (const OID_t* p = route->setTxPortSet; p != nullptr && (*p)[0] != '\0'; ++p) {
            oids.emplace_back(*p);
        }
        return oids;
    }
};

TEST_F(LibraryWire, ClassAreaValuesLandInTheirRecordFields) {
    Wire body;
    body.reply(1798).text(kFahrenheit, 32).ints({101, 102, 103, 104});
    body.text(std::string(32, 'u'), 32); // the whole field, no NUL
    body.ints(
        {201, 202, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217});
    sim_->injectFault(playedReply(1798, body, 1));
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(oid(2, 11).c_str(), &record));
    auto* area = static_cast<ThrexClassArea*>(record);
    EXPECT_EQ(kFahrenheit, textOf(area->DefaultUnitString));
    EXPECT_EQ(101, area->DefaultTimeBase);
    EXPECT_EQ(102, area->DefaultLowBoundary);
    EXPECT_EQ(103, area->DefaultHighBoundary);
    EXPECT_EQ(104, area->DefaultBufferSize);
    EXPECT_EQ(std::string(32, 'u'), textOf(area->CustomUnitString));
    EXPECT_EQ('\0', area->CustomUnitString.Text[32]);
    const int read[] = {
        area->CustomTimeBase,        area->CustomLowBoundary,   area->CustomHighBoundary,
        area->CustomBufferSize,      area->BoundaryLevelSelect, area->DefaultChangedAlarm,
        area->DefaultExceededAlarm,  area->DefaultBelowAlarm,   area->DefaultAboveAlarm,
        area->DefaultInbetweenAlarm, area->CustomChangedAlarm,  area->CustomExceededAlarm,
        area->CustomBelowAlarm,      area->CustomAboveAlarm,    area->CustomInbetweenAlarm,
        area->AlarmLevelSelect};
    const int expected[] = {201, 202, 203, 204, 205, 206, 207, 208,
                            209, 210, 211, 212, 213, 214, 215, 217};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(expected[i], read[i]) << "field " << i;
    }
    EXPECT_EQ(0, area->ApplyAlarmChanges) << "flags are not read";
    EXPECT_EQ(2, area->ThrexClass);
    EXPECT_EQ(11, area->ThrexArea);
    falFreeObject(area);
}

TEST_F(LibraryWire, ThresholdEntryValuesLandInTheirRecordFields) {
    Wire body;
    body.reply(1799).ints({301}).text("name", 32).text("label", 32).ints({302, 303, 304});
    body.text("time", 32).ints({305, 306, 307});
    sim_->injectFault(playedReply(1799, body, 1));
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(oid(2, 11, 1).c_str(), &record));
    auto* entry = static_cast<ThrexThresholdEntry*>(record);
    EXPECT_EQ(301, entry->ThreshStatus);
    EXPECT_EQ("name", textOf(entry->ThreshName));
    EXPECT_EQ("label", textOf(entry->ThreshLabel));
    EXPECT_EQ(302, entry->ThreshCurrentValue);
    EXPECT_EQ(303, entry->ThreshLastEventType);
    EXPECT_EQ(304, entry->ThreshLastEventValue);
    EXPECT_EQ("time", textOf(entry->ThreshLastEventTime));
    EXPECT_EQ(305, entry->ThreshLastEventState);
    EXPECT_EQ(306, entry->ThreshBehaviorType);
    EXPECT_EQ(307, entry->ThreshBehaviorInterval);
    EXPECT_EQ(1, entry->ThrexIndex);
    falFreeObject(entry);
}

TEST_F(LibraryWire, LegalRoutesAreTheCountThenThePorts) {
    const struct {
        std::initializer_list<std::int32_t> reply; // count, list length, list
        std::vector<std::string> names;
    } cases[] = {
        {{2, 2, 3, 17}, {"20:03:00:60:69:07:00:01", "20:11:00:60:69:07:00:01"}},
        // A count beyond what arrived reads only what arrived.
        {{5, 2, 4, 6}, {"20:04:00:60:69:07:00:01", "20:06:00:60:69:07:00:01"}},
        // At most eight ports.
        {{9, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         {"20:01:00:60:69:07:00:01", "20:02:00:60:69:07:00:01", "20:03:00:60:69:07:00:01",
          "20:04:00:60:69:07:00:01", "20:05:00:60:69:07:00:01", "20:06:00:60:69:07:00:01",
          "20:07:00:60:69:07:00:01", "20:08:00:60:69:07:00:01"}},
        {{0, 1, 4}, {}},
    };
    for (const auto& c : cases) {
        Wire body;
        body.reply(1031).ints(c.reply);
        sim_->injectFault(playedReply(1031, body, 1));
        LegalRouteTable list{};
        ASSERT_EQ(0, GetLegalRouteTableEntries(kProxyOid, thrfabric::kEdgeOid, &list));
        std::vector<std::string> names;
        for (int i = 0; i < list.Count; ++i) {
            names.push_back(WWNAddress(list.Entries[i]).toString());
        }
        EXPECT_EQ(c.names, names) << *c.reply.begin();
        if (list.Entries != nullptr) {
            falFreeObject(list.Entries);
        }
    }
}

TEST_F(LibraryWire, RouteEntriesArePortThenDomainPairs) {
    OID_t route = {};
    ASSERT_EQ(0, PortPairToRouteOID(kHostA, kHostB, route));
    const struct {
        std::initializer_list<std::int32_t> reply; // count, pair count, pairs
        std::vector<std::string> ports;
    } cases[] = {
        // (port 1, domain 2) (port 0, domain 1), (port 2, domain 2) (port 6,
        // domain 9): domain 9 is no switch of the fabric.
        {{2, 4, 1, 2, 0, 1, 2, 2, 6, 9},
         {"00012001006069070002", "00012000006069070001", "00012002006069070002"}},
        // A count beyond the pairs that arrived reads only those.
        {{3, 2, 3, 1, 4, 2}, {"00012003006069070001", "00012004006069070002"}},
    };
    for (const auto& c : cases) {
        Wire body;
        body.reply(1029).ints(c.reply);
        sim_->injectFault(playedReply(1029, body, 1));
        void* record = nullptr;
        ASSERT_EQ(0, GetSingleObject(route, &record)) << *c.reply.begin();
        EXPECT_EQ(c.ports, ports(static_cast<RouteRecord*>(record)));
        falFreeObject(record);
    }

    Wire empty;
    empty.reply(1029).ints({0, 0});
    sim_->injectFault(playedReply(1029, empty, 1));
    void* record = reinterpret_cast<void*>(1);
    EXPECT_NE(0, GetSingleObject(route, &record)) << "an empty list makes no route";
}

TEST_F(LibraryWire, RouteSettingNamesTheTwoPortsThenTheDestination) {
    ASSERT_EQ(0, SetRouteTableEntry(kProxyOid, 4, thrfabric::kEdgeOid, 9));
    const json settings =
        sim_->request({{"op", "source"}, {"fabric", 0}})["source"]["routeSettings"];
    ASSERT_FALSE(settings.empty());
    EXPECT_EQ(json::array({"2004006069070001", "2009006069070001", "1000006069070002"}),
              settings.back());
}

} // namespace

// Threshold configurations and entries read, changed, applied and cancelled
// through the exported functions against the switch simulator.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "objects/ThrexMngr.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "tests/objects/ThresholdRouteFabric.h"

namespace {

using thrfabric::kProxyOid;

constexpr std::uint32_t kManagement = 40;

class Thresholds : public thrfabric::Suite {
protected:
    static std::uint64_t sent(int code) {
        return sim_->callCount(sim_->address(0), kManagement, code);
    }
    static std::string oid(int cls, int area, int index = -1) {
        OID_t text = {};
        const int status = index < 0 ? EncodeThrexClassAreaOID(kProxyOid, cls, area, text)
                                     : EncodeThrexThresholdEntryOID(kProxyOid, cls, area, index,
                                                                    text);
        EXPECT_EQ(0, status);
        return text;
    }
    template <class Record> static Record* read(const std::string& id) {
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(id.c_str(), &record)) << id;
        return static_cast<Record*>(record);
    }
    template <class Record> static Record* templ(const std::string& id) {
        void* record = nullptr;
        EXPECT_EQ(0, GetObjectTemplate(id.c_str(), &record)) << id;
        return static_cast<Record*>(record);
    }
};


TEST_F(Thresholds, IdentifiersEncodeAndDecode) {
    OID_t text = {};
    ASSERT_EQ(0, EncodeThrexClassAreaOID("00022000001122334455", 2, 11, text));
    EXPECT_STREQ("002420000011223344550002000b0000", text);

    const struct {
        const char* switchOid;
        int cls, area, status;
    } refused[] = {
        {"00022000001122334455", 7, 0, -102}, {"00022000001122334455", 0, 24, -102},
        {"", 7, 0, -102},  {"", 0, 24, -102}, {"", 2, 11, -3},
        {"00012000001122334455", 2, 11, -3}, // a port, not a switch
    };
    for (const auto& c : refused) {
        EXPECT_EQ(c.status, EncodeThrexClassAreaOID(c.switchOid, c.cls, c.area, text))
            << c.switchOid << " " << c.cls << "/" << c.area;
    }
    EXPECT_EQ(-3, EncodeThrexClassAreaOID(kProxyOid, 2, 11, nullptr));

    ASSERT_EQ(0, EncodeThrexThresholdEntryOID(kProxyOid, 6, 23, 5, text));
    OID_t sw = {};
    int cls = -1, area = -1, index = -1;
    ASSERT_EQ(0, DecodeThrexThresholdEntryOID(text, sw, &cls, &area, &index));
    EXPECT_STREQ(kProxyOid, sw);
    EXPECT_EQ(6, cls);
    EXPECT_EQ(23, area);
    EXPECT_EQ(5, index);
    ASSERT_EQ(0, DecodeThrexClassAreaOID(text, sw, &cls, &area));
    EXPECT_EQ(-3, DecodeThrexClassAreaOID("", sw, &cls, &area));
    EXPECT_EQ(-3, DecodeThrexClassAreaOID("zz", sw, &cls, &area));
    EXPECT_EQ(-3, DecodeThrexThresholdEntryOID(text, sw, &cls, &area, nullptr));
    // A text cut after the name: the fields not there read as 0.
    ASSERT_EQ(0, DecodeThrexThresholdEntryOID("00251000006069070001000", sw, &cls, &area, &index));
    EXPECT_STREQ(kProxyOid, sw);
    EXPECT_EQ(0, cls);
    EXPECT_EQ(0, index);
}

TEST(ThrexIndex, SwitchIndexTables) {
    const struct {
        int cls, area, index, change;
    } cases[] = {
        {6, 23, 56, 56}, {4, 6, 42, 7},  {5, 14, 41, 15}, {0, 14, -1, -1}, {1, 3, -1, -1},
        {0, 15, 16, 16}, {0, 22, 23, 23}, {1, 2, 2, 2},   {2, 6, 7, 7},    {3, 14, 32, 15},
        {6, 0, 3, 3},    {6, 1, -1, -1}, {7, 6, -1, -1},  {-1, 6, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.index, ThrexMngr::switchIndex(c.cls, c.area)) << c.cls << "/" << c.area;
        EXPECT_EQ(c.change, ThrexMngr::changeSwitchIndex(c.cls, c.area)) << c.cls << "/" << c.area;
    }
    EXPECT_EQ(1, ThrexAreaIndexClass1(1));
    EXPECT_EQ(-1, ThrexAreaIndexClass1(3));
}

TEST_F(Thresholds, ClassAreaAndEntryAreReadFromTheSwitch) {
    auto* area = read<ThrexClassArea>(oid(2, 11));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(36, area->ObjType);
    EXPECT_EQ(oid(2, 11), area->OID);
    EXPECT_STREQ(kProxyOid, area->SwitchOID);
    EXPECT_EQ(2, area->ThrexClass);
    EXPECT_EQ(11, area->ThrexArea);
    EXPECT_STREQ("errors", area->DefaultUnitString.Text);
    EXPECT_EQ(6, area->DefaultUnitString.Length);
    EXPECT_EQ(1, area->DefaultTimeBase);
    EXPECT_EQ(100, area->DefaultHighBoundary);
    EXPECT_STREQ("crc", area->CustomUnitString.Text);
    EXPECT_EQ(3, area->CustomUnitString.Length);
    EXPECT_EQ(20, area->CustomLowBoundary);
    EXPECT_EQ(200, area->CustomHighBoundary);
    EXPECT_EQ(8, area->CustomBufferSize);
    EXPECT_EQ(11, area->DefaultChangedAlarm);
    EXPECT_EQ(15, area->DefaultInbetweenAlarm);
    EXPECT_EQ(21, area->CustomChangedAlarm);
    EXPECT_EQ(25, area->CustomInbetweenAlarm);
    EXPECT_EQ(2, area->AlarmLevelSelect) << "the value after the unused one";
    falFreeObject(area);

    auto* entry = read<ThrexThresholdEntry>(oid(2, 11, 0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(37, entry->ObjType);
    EXPECT_EQ(0, entry->ThrexIndex);
    EXPECT_EQ(1, entry->ThreshStatus);
    EXPECT_STREQ("port0", entry->ThreshName.Text);
    EXPECT_STREQ("Port 0", entry->ThreshLabel.Text);
    EXPECT_EQ(5, entry->ThreshCurrentValue);
    EXPECT_EQ(7, entry->ThreshLastEventValue);
    EXPECT_STREQ("never", entry->ThreshLastEventTime.Text);
    EXPECT_EQ(8, entry->ThreshLastEventState);
    EXPECT_EQ(9, entry->ThreshBehaviorType);
    EXPECT_EQ(10, entry->ThreshBehaviorInterval);
    falFreeObject(entry);

    void* record = reinterpret_cast<void*>(1);
    EXPECT_EQ(-102, GetSingleObject(oid(0, 14).c_str(), &record)) << "a pair the switch lacks";
    EXPECT_EQ(nullptr, record);
    OID_t stranger = {};
    ASSERT_EQ(0, EncodeThrexClassAreaOID("00021000006069ff0001", 2, 11, stranger));
    EXPECT_EQ(-21, GetSingleObject(stranger, &record));
}

TEST_F(Thresholds, UnchangedTemplateSendsNothing) {
    OID_t stranger = {};
    ASSERT_EQ(0, EncodeThrexClassAreaOID("00021000006069ff0001", 2, 11, stranger));
    for (const std::string& id : {oid(2, 11), std::string(stranger)}) {
        auto* area = templ<ThrexClassArea>(id);
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(-1, area->CustomTimeBase);
        EXPECT_EQ(ORVANE_THREX_UNSET, area->CustomHighBoundary);
        EXPECT_STREQ("NoNoNoNo", area->CustomUnitString.Text);
        EXPECT_EQ(8, area->CustomUnitString.Length);
        EXPECT_STREQ("", area->DefaultUnitString.Text);
        const std::uint64_t before = sim_->callCount(sim_->address(0), kManagement);
        EXPECT_EQ(0, ModifyObject(area)) << id;
        EXPECT_EQ(before, sim_->callCount(sim_->address(0), kManagement));
        falFreeObject(area);
    }
    auto* entry = templ<ThrexThresholdEntry>(oid(2, 11, 1));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(1, entry->ThrexIndex);
    EXPECT_EQ(-1, entry->ThreshStatus);
    EXPECT_EQ(ORVANE_THREX_UNSET, entry->ThreshBehaviorInterval);
    EXPECT_STREQ("NoNoNoNo", entry->ThreshName.Text);
    EXPECT_EQ(0, ModifyObject(entry));
    falFreeObject(entry);

    void* record = reinterpret_cast<void*>(1);
    EXPECT_EQ(-17, GetObjectTemplate(kProxyOid, &record));
    EXPECT_EQ(nullptr, record);
    EXPECT_EQ(-17, GetObjectTemplate("zz", &record));
    EXPECT_EQ(-3, GetObjectTemplate(kProxyOid, nullptr));
    ErrorRecord other{};
    other.ObjType = 2;
    EXPECT_EQ(-17, ModifyObject(&other));
    EXPECT_EQ(-3, ModifyObject(nullptr));
}

TEST_F(Thresholds, BoundariesAreSentInAnOrderTheSwitchAccepts) {
    const std::string id = oid(2, 11);
    auto* change = templ<ThrexClassArea>(id);
    ASSERT_NE(change, nullptr);
    change->CustomHighBoundary = 10;
    change->CustomLowBoundary = 20;
    EXPECT_EQ(-109, ModifyObject(change)) << "high below low is refused before sending";

    // Both above the current pair (20..200): high first.
    change->CustomLowBoundary = 500;
    change->CustomHighBoundary = 600;
    ASSERT_EQ(0, ModifyObject(change));
    EXPECT_EQ(ORVANE_THREX_UNSET, change->CustomLowBoundary);
    EXPECT_EQ(ORVANE_THREX_UNSET, change->CustomHighBoundary);
    auto* area = read<ThrexClassArea>(id);
    EXPECT_EQ(500, area->CustomLowBoundary);
    EXPECT_EQ(600, area->CustomHighBoundary);
    falFreeObject(area);

    // Both below the current low: the switch refuses the high one, so the
    // low one goes first.
    change->CustomLowBoundary = 1;
    change->CustomHighBoundary = 5;
    ASSERT_EQ(0, ModifyObject(change));
    area = read<ThrexClassArea>(id);
    EXPECT_EQ(1, area->CustomLowBoundary);
    EXPECT_EQ(5, area->CustomHighBoundary);
    falFreeObject(area);

    // One alone: a high one below the current low is the switch's refusal.
    change->CustomHighBoundary = 0;
    EXPECT_EQ(-109, ModifyObject(change));
    change->CustomHighBoundary = 200;
    change->CustomLowBoundary = 20;
    ASSERT_EQ(0, ModifyObject(change));
    falFreeObject(change);
}

TEST_F(Thresholds, EveryChangedFieldReachesTheSwitch) {
    const std::string id = oid(2, 11);
    auto* change = templ<ThrexClassArea>(id);
    ASSERT_NE(change, nullptr);
    change->CustomTimeBase = 7;
    change->CustomBufferSize = 16;
    change->AlarmLevelSelect = 1;
    change->BoundaryLevelSelect = 2;
    change->CustomChangedAlarm = 31;
    change->CustomInbetweenAlarm = 35;
    std::strcpy(change->CustomUnitString.Text, "frames");
    change->ApplyBoundaryChanges = 1;
    change->CancelAlarmChanges = 1;
    const std::uint64_t applied = sent(1801);
    const std::uint64_t cancelled = sent(1802);
    const std::uint64_t appliedAlarms = sent(1800);
    ASSERT_EQ(0, ModifyObject(change));
    EXPECT_EQ(applied + 1, sent(1801));
    EXPECT_EQ(cancelled + 1, sent(1802));
    EXPECT_EQ(appliedAlarms, sent(1800));
    auto* area = read<ThrexClassArea>(id);
    EXPECT_EQ(7, area->CustomTimeBase);
    EXPECT_EQ(16, area->CustomBufferSize);
    EXPECT_EQ(1, area->AlarmLevelSelect);
    EXPECT_EQ(2, area->BoundaryLevelSelect);
    EXPECT_EQ(31, area->CustomChangedAlarm);
    EXPECT_EQ(22, area->CustomExceededAlarm) << "unchanged";
    EXPECT_EQ(35, area->CustomInbetweenAlarm);
    EXPECT_EQ(11, area->DefaultChangedAlarm) << "defaults are never sent";
    EXPECT_STREQ("frames", area->CustomUnitString.Text);
    falFreeObject(area);
    falFreeObject(change);

    // A level select of 3 is refused after the changes before it went out.
    change = templ<ThrexClassArea>(id);
    change->CustomTimeBase = 9;
    change->AlarmLevelSelect = 3;
    EXPECT_EQ(-104, ModifyObject(change));
    area = read<ThrexClassArea>(id);
    EXPECT_EQ(9, area->CustomTimeBase);
    falFreeObject(area);
    change->AlarmLevelSelect = -1;
    change->BoundaryLevelSelect = 0;
    EXPECT_EQ(-104, ModifyObject(change));

    // A unit text longer than the switch's 31 characters is refused whole.
    change->BoundaryLevelSelect = -1;
    change->CustomTimeBase = -1;
    std::memset(change->CustomUnitString.Text, 'u', 40);
    change->CustomUnitString.Text[40] = '\0';
    const std::uint64_t units = sent(1811);
    EXPECT_EQ(-3, ModifyObject(change));
    EXPECT_EQ(units, sent(1811));
    std::memset(change->CustomUnitString.Text, 'u', sizeof change->CustomUnitString.Text);
    EXPECT_EQ(-3, ModifyObject(change)) << "a text without its end";
    change->CustomUnitString.Text[31] = '\0';
    EXPECT_EQ(0, ModifyObject(change));
    area = read<ThrexClassArea>(id);
    EXPECT_EQ(31u, std::strlen(area->CustomUnitString.Text));
    falFreeObject(area);
    falFreeObject(change);
}

TEST_F(Thresholds, ThresholdEntriesAreSet) {
    const std::string id = oid(2, 11, 1);
    auto* change = templ<ThrexThresholdEntry>(id);
    ASSERT_NE(change, nullptr);
    change->ThreshStatus = 1;
    change->ThreshBehaviorType = 2;
    change->ThreshBehaviorInterval = 60;
    ASSERT_EQ(0, ThrexSetThreshold(kProxyOid, change));
    auto* entry = read<ThrexThresholdEntry>(id);
    EXPECT_EQ(1, entry->ThreshStatus);
    EXPECT_EQ(2, entry->ThreshBehaviorType);
    EXPECT_EQ(60, entry->ThreshBehaviorInterval);
    EXPECT_STREQ("port1", entry->ThreshName.Text) << "names are never sent";
    falFreeObject(entry);

    EXPECT_EQ(-3, ThrexSetThreshold(kProxyOid, nullptr));
    change->ThrexIndex = ORVANE_THREX_UNSET;
    EXPECT_EQ(-3, ThrexSetThreshold(kProxyOid, change));
    change->ThrexIndex = 1;
    change->ThrexArea = 3;
    EXPECT_EQ(-102, ThrexSetThreshold(kProxyOid, change));
    change->ThrexArea = 11;
    EXPECT_EQ(-6, ThrexSetThreshold(thrfabric::kFabricOid, change)) << "not a switch";
    EXPECT_EQ(-21, ThrexSetThreshold("00021000006069ff0001", change));
    falFreeObject(change);
}

TEST_F(Thresholds, ApplyAndCancelGoToThePortClassRow) {
    const struct {
        unsigned attribute;
        int code;
    } cases[] = {{0x40EA0, 1801}, {0x40EA1, 1803}, {0x40EA2, 1800}, {0x40EA3, 1802}};
    OID_t id = {};
    ASSERT_EQ(0, EncodeThrexClassAreaOID(kProxyOid, 4, 11, id)); // its row: switch index 12
    for (const auto& c : cases) {
        const std::uint64_t before = sent(c.code);
        EXPECT_EQ(0, ThrexAttributeDispatch(id, c.attribute)) << c.code;
        EXPECT_EQ(before + 1, sent(c.code)) << c.code;
    }
    EXPECT_EQ(-3, ThrexAttributeDispatch(id, 0x40EA4));
    ASSERT_EQ(0, EncodeThrexClassAreaOID(kProxyOid, 0, 14, id));
    EXPECT_EQ(-102, ThrexAttributeDispatch(id, 0x40EA0));

    const ThrexPair pairs[] = {{2, 11}, {5, 11}, {-1, -1}, {0, 14}};
    const std::uint64_t before = sent(1800);
    EXPECT_EQ(0, getThrexMngr()->applyAlarmChanges(kProxyOid, pairs));
    EXPECT_EQ(before + 2, sent(1800)) << "the list ends at the pair holding -1";
    const ThrexPair none[] = {{-1, 0}};
    EXPECT_EQ(0, getThrexMngr()->cancelAlarmChanges(kProxyOid, none));
}

// Reads and writes from several threads at once: each takes the
// object-model lock before the device-access lock, as the queries do, so
// none waits for another forever.
TEST_F(Thresholds, ConcurrentReadsAndWritesFinish) {
    const std::string areaId = oid(2, 11);
    const std::string entryId = oid(2, 11, 0);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 15; ++i) {
                void* record = nullptr;
                if (t % 2 == 0) {
                    if (GetSingleObject((t == 0 ? areaId : entryId).c_str(), &record) != 0) {
                        ++failures;
                    }
                    falFreeObject(record);
                } else {
                    ThrexThresholdEntry change{};
                    change.ObjType = 37;
                    ThrexMngr::initThresholdEntryTemplate(&change);
                    change.ThrexClass = 2;
                    change.ThrexArea = 11;
                    change.ThrexIndex = 0;
                    change.ThreshStatus = i % 2;
                    std::strcpy(change.SwitchOID, kProxyOid);
                    if (ThrexSetThreshold(kProxyOid, &change) != 0) {
                        ++failures;
                    }
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(0, failures.load());
}

} // namespace

#include "services/EventRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <orvane/objects.h>

#include "services/EventManager.h"
#include "services/EventQueue.h"

namespace {

constexpr std::uint8_t kFabric[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, 0xa1};
constexpr std::uint8_t kEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, 0xa2};

SwitchEvent eventOf(std::uint32_t type) {
    SwitchEvent e{};
    e.type = type;
    e.eventTime = 1057309530; // 4 July 2003 09:05:30 UTC
    std::memcpy(e.wwn, kFabric, 8);
    std::memcpy(e.threshold.wwn, kEdge, 8);
    std::memcpy(e.text.wwn, kEdge, 8);
    std::memcpy(e.sw.wwn, kEdge, 8);
    std::memcpy(e.firmware.wwn, kEdge, 8);
    return e;
}

EventRecordPtr build(const SwitchEvent& e, int* ids = nullptr) {
    int local = 0;
    int& used = ids ? *ids : local;
    return buildSwitchEventRecord(e, [&] { return ++used; });
}

std::vector<std::string> listed(const EventRecord& r) {
    std::vector<std::string> out;
    for (const OID_t* entry = r.pcAffectedObjects; (*entry)[0] != '\0'; ++entry)
        out.emplace_back(*entry);
    return out;
}

const std::string kEdgeOid = "000210000060690000a2";

TEST(EventRecord, CommonPartAndDateTexts) {
    EventRecordPtr r = build(eventOf(69));
    ASSERT_TRUE(r);
    EXPECT_STREQ(r->fabricOid, "000910000060690000a1");
    EXPECT_EQ(r->eventId, 1);
    EXPECT_STREQ(r->date, "7/4/2003");
    EXPECT_EQ(r->dateLength, 8);
    EXPECT_STREQ(r->time, "9:5:30");
    EXPECT_EQ(r->timeLength, 6);
    EXPECT_EQ(r->threxObject, nullptr);
}

struct CodeCase {
    std::uint32_t type;
    int status; // firmware status, RSCN port
    const char* text;
    int code;
    std::string details;
};

TEST(EventRecord, CodesAndDescriptionsByType) {
    const CodeCase cases[] = {
        {0, 0, "", 6, "Threx: threshold started"},
        {5, 0, "", 6, "Threx: threshold is between high & low boundaries"},
        {7, 0, "", 7, "Unknown event"},
        {33, 0, "port 3 disabled", 11, "port 3 disabled"},
        {50, 0, "own text", 50, "own text"},
        {64, 0, "", 64, "Unknown event"},
        {65, 0, "", 5, "RSCN: fabric"},
        {67, 4, "", 5, "RSCN->port: connected area state unknown, the port is 4"},
        {68, 4, "", 4, "RSCN->port: connected area online, the port is 4"},
        {72, 9, "", 3, "RSCN->device: connected device offline, the port is 9"},
        {97, 0, "", 2, "RSCN: area port online"},
        {99, 0, "", 99, "Unknown event"},
        {130, 0, "", 9, "API: firmware download completed"},
        {130, 4, "", 10, "API: firmware download failed"},
        {131, 0, "", 12, "PC: platform has been changed"},
        {132, 3, "", 8, "API: firmware download progress: stand-by CP OS is ok... (3)"},
        {132, 9, "", 8, "API: firmware download progress: Unknown SoftwareUpgradeStart State (9)"},
        {150, 0, "", 150, "Unknown event"},
    };
    for (const CodeCase& c : cases) {
        SwitchEvent e = eventOf(c.type);
        e.firmware.f1 = c.status;
        e.sw.u1 = static_cast<std::uint32_t>(c.status);
        std::strcpy(e.text.text, c.text);
        EventRecordPtr r = build(e);
        ASSERT_TRUE(r) << c.type;
        EXPECT_EQ(r->code, c.code) << c.type;
        EXPECT_EQ(recordText(r->details), c.details) << c.type;
        EXPECT_EQ(r->detailsLength, c.details.size()) << c.type;
    }
}

TEST(EventRecord, AffectedObjectsByType) {
    EXPECT_EQ(listed(*build(eventOf(33))), std::vector<std::string>{kEdgeOid});
    EXPECT_EQ(listed(*build(eventOf(68))), std::vector<std::string>{kEdgeOid});
    EXPECT_EQ(listed(*build(eventOf(130))), std::vector<std::string>{kEdgeOid});

    // An event about the switch that sent it names that switch.
    const std::string ownOid = "000210000060690000a1";
    for (std::uint32_t type : {2u, 33u, 68u, 131u}) {
        SwitchEvent own = eventOf(type);
        std::memcpy(own.threshold.wwn, kFabric, 8);
        std::memcpy(own.text.wwn, kFabric, 8);
        std::memcpy(own.sw.wwn, kFabric, 8);
        std::memcpy(own.firmware.wwn, kFabric, 8);
        const EventRecordPtr r = build(own);
        ASSERT_TRUE(r) << type;
        EXPECT_EQ(listed(*r), std::vector<std::string>{ownOid}) << type;
        if (type == 2) {
            ASSERT_NE(r->threxObject, nullptr);
            EXPECT_EQ(r->threxObject->switchOid, ownOid);
        }
    }
    EXPECT_EQ(build(eventOf(33))->threxObject, nullptr);

    SwitchEvent zero = eventOf(68);
    std::memset(zero.sw.wwn, 0, 8);
    EXPECT_TRUE(listed(*build(zero)).empty());

    SwitchEvent none = eventOf(96);
    EXPECT_TRUE(listed(*build(none)).empty());

    std::uint8_t names[12][8];
    for (int i = 0; i < 12; ++i) {
        std::memcpy(names[i], kEdge, 8);
        names[i][7] = static_cast<std::uint8_t>(i);
    }
    SwitchEvent ports = eventOf(97);
    ports.portList.count = 12;
    ports.portList.names = names;
    const std::vector<std::string> list = listed(*build(ports));
    ASSERT_EQ(list.size(), 12u);
    EXPECT_EQ(list[0], "000110000060690000" "00");
    EXPECT_EQ(list[11], "00011000006069000" "00b");
    EXPECT_EQ(list[11].size(), 20u);
}

TEST(EventRecord, LongTextIsCutTo256WithALengthByteOfZero) {
    SwitchEvent e = eventOf(40);
    std::memset(e.text.text, 'x', 300);
    e.text.text[300] = '\0';
    EventRecordPtr r = build(e);
    EXPECT_EQ(recordText(r->details), std::string(256, 'x'));
    EXPECT_EQ(r->detailsLength, 0);
}

TEST(EventRecord, ThresholdObject) {
    SwitchEvent e = eventOf(2);
    e.threshold.t1 = 3; // class
    e.threshold.t2 = 7; // area
    e.threshold.t3 = 5; // index
    e.threshold.s1 = 1; // state
    e.threshold.s2 = 77; // value
    EventRecordPtr r = build(e);
    ASSERT_NE(r->threxObject, nullptr);
    const ThrexEventObject& t = *r->threxObject;
    EXPECT_EQ(t.objectType, 41);
    EXPECT_EQ(t.threxClass, 0);
    EXPECT_EQ(t.threxArea, 22);
    EXPECT_EQ(t.threxIndex, 5);
    EXPECT_EQ(t.threshEventType, 2);
    EXPECT_EQ(t.threshEventValue, 77);
    EXPECT_EQ(t.threshEventState, 1);
    EXPECT_STREQ(t.switchOid, kEdgeOid.c_str());
    EXPECT_STREQ(t.oid, "002910000060690000a20000001600" "05");
    EXPECT_STREQ(t.threshEventTime, "9:5:30 7/4/2003");
    EXPECT_EQ(listed(*r), std::vector<std::string>{kEdgeOid});

    e.threshold.t1 = 9;
    e.threshold.s1 = 5;
    e.type = 31;
    r = build(e);
    EXPECT_EQ(r->threxObject->threxClass, -1);
    EXPECT_EQ(r->threxObject->threxArea, -1);
    EXPECT_EQ(r->threxObject->oid[0], '\0');
    EXPECT_EQ(r->threxObject->threshEventState, -1);
    EXPECT_EQ(r->threxObject->threshEventType, 5);
}

TEST(EventRecord, TypesFrom192AreDroppedButUseAnId) {
    int ids = 0;
    EXPECT_FALSE(build(eventOf(200), &ids));
    EXPECT_EQ(ids, 1);
}

TEST(EventRecord, CallerCopiesOwnTheirListAndThresholdObject) {
    SwitchEvent e = eventOf(1);
    EventRecordPtr r = build(e);
    EventRecord* copy = copyEventRecordForCaller(*r);
    ASSERT_NE(copy, nullptr);
    r.reset();
    EXPECT_STREQ(copy->pcAffectedObjects[0], kEdgeOid.c_str());
    EXPECT_STREQ(copy->threxObject->switchOid, kEdgeOid.c_str());
    EXPECT_EQ(falFreeObject(copy), 0);
}

// --- XML text ---------------------------------------------------------------

TEST(EventXml, HeartbeatRecordHasAnEmptyAffectedObjectBlock) {
    EventRecordPtr r = makeLibraryEventRecord("000910000060690000a1", 7,
                                              "API: proxy switch heart failure");
    std::strcpy(r->date, "7/4/2003");
    std::strcpy(r->time, "9:5:30");
    r->eventId = 12;
    std::string text;
    EventManager::getXmlEventString(r.get(), &text);
    EXPECT_EQ(text, "<Event>\n<Date>7/4/2003</Date>\n<Time>9:5:30</Time>\n<Code>7</Code>\n"
                    "<ID>12</ID>\n<FabricOID>000910000060690000a1</FabricOID>\n"
                    "<Details>API: proxy switch heart failure</Details>\n"
                    "<AffectedObject>\n</AffectedObject>\n</Event>\n");
    EventManager::getXmlEventString(r.get(), &text, "host", 0);
    EXPECT_EQ(text.find("<Host>"), std::string::npos);
    EventManager::getXmlEventString(r.get(), &text, "host", 4000);
    EXPECT_NE(text.find("<Time>9:5:30</Time>\n<Host>host</Host>\n<Port>4000</Port>\n<Code>"),
              std::string::npos);
}

TEST(EventXml, ThresholdObjectAndEscaping) {
    SwitchEvent e = eventOf(2);
    e.threshold.t1 = 9;
    EventRecordPtr r = build(e);
    std::string text;
    EventManager::getXmlEventString(r.get(), &text);
    EXPECT_NE(text.find("<Details>Threx: threshold exceeded boundary</Details>\n<Object>\n"
                        "<ObjectReference></ObjectReference>\n<ObjectType>41</ObjectType>\n"
                        "<SwitchOID>000210000060690000a2</SwitchOID>\n<ThrexClass>-1</ThrexClass>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("</ThreshEventTime>\n</Object>\n</Event>\n"), std::string::npos);
    EXPECT_EQ(text.find("<AffectedObject>"), std::string::npos);

    SwitchEvent t = eventOf(33);
    std::strcpy(t.text.text, "a&b<c>d\"e'f");
    r = build(t);
    EventManager::getXmlEventString(r.get(), &text, "h<st", 1);
    EXPECT_NE(text.find("<Details>a&amp;b&lt;c&gt;d&quot;e&apos;f</Details>"), std::string::npos);
    EXPECT_NE(text.find("<Host>h&lt;st</Host>"), std::string::npos);
}

// --- queue ------------------------------------------------------------------

EventRecordPtr withId(int id) {
    EventRecordPtr r = allocEventRecord(0, false);
    r->eventId = id;
    return r;
}

std::vector<int> take(EventQueue& queue, unsigned first, unsigned last, int max) {
    EventRecord** array = nullptr;
    EXPECT_EQ(queue.getEvents(first, last, max, true, &array), 0);
    std::vector<int> ids;
    for (EventRecord** p = array; p && *p; ++p) {
        ids.push_back((*p)->eventId);
        falFreeObject(*p);
    }
    falFreeObject(array);
    return ids;
}

std::vector<int> range(int from, int to) {
    std::vector<int> ids;
    for (int i = from; i <= to; ++i)
        ids.push_back(i);
    return ids;
}

TEST(EventQueue, KeepsTheNewest100) {
    EventQueue queue;
    for (int i = 1; i <= 150; ++i)
        queue.addEvent(withId(i));
    EXPECT_EQ(take(queue, 0, ~0u, 1000), range(51, 150));
}

TEST(EventQueue, TakesByIdRange) {
    struct Case {
        unsigned first, last;
        int max;
        std::vector<int> taken;
        std::size_t left;
    } cases[] = {
        {10, 20, 5, range(10, 14), 16}, // 1-9 discarded, 15-30 stay
        {40, 50, 5, {}, 0},
        {20, 10, 5, {}, 30},
        {1, 30, 0, {}, 30},
        {5, 30, -1, {}, 29}, // the first record examined is discarded
        {1, 30, -1, {1}, 29},
    };
    for (const Case& c : cases) {
        EventQueue queue;
        for (int i = 1; i <= 30; ++i)
            queue.addEvent(withId(i));
        EXPECT_EQ(take(queue, c.first, c.last, c.max), c.taken) << c.first << "-" << c.last;
        EXPECT_EQ(queue.size(), c.left) << c.first << "-" << c.last;
    }
}

TEST(EventQueue, EmptyAndNotStartedIsUnavailable) {
    EventQueue queue;
    EventRecord** array = nullptr;
    EXPECT_EQ(queue.getEvents(0, 10, 5, false, &array), -44);
    EXPECT_EQ(queue.getEvents(0, 10, 5, true, &array), 0);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array[0], nullptr);
    falFreeObject(array);
}

} // namespace

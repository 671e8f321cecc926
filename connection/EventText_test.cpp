#include "connection/EventListener.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const std::string kSwitch = "16:0:0:96:105:0:0:1";
const std::string kOther = "32:1:0:5:30:0:0:9";

// A line of the given type with the times 100 and 160 and kSwitch.
std::string line(unsigned type, const std::string& rest) {
    return std::to_string(type) + ":100:160:" + kSwitch + ":" + rest;
}

void expectWwn(const std::uint8_t* wwn, std::initializer_list<int> bytes) {
    int i = 0;
    for (int byte : bytes)
        EXPECT_EQ(wwn[i++], byte) << "byte " << i - 1;
}

struct ParsedEvent : SwitchEvent {
    ParsedEvent() : SwitchEvent{} {}
    ~ParsedEvent() { std::free(portList.names); }
};

TEST(EventText, CommonPart) {
    ParsedEvent event;
    ASSERT_EQ(parseEventText(line(250, "").c_str(), &event), 0);
    EXPECT_EQ(event.type, 250u);
    EXPECT_EQ(event.eventTime, 60);
    expectWwn(event.wwn, {0x10, 0, 0, 0x60, 0x69, 0, 0, 1});
    // The earlier time may be the larger one.
    ASSERT_EQ(parseEventText(("200:160:100:" + kSwitch + ":").c_str(), &event), 0);
    EXPECT_EQ(event.eventTime, -60);
}

TEST(EventText, ThresholdPartSwapsTheFourthAndFifthValue) {
    ParsedEvent event;
    ASSERT_EQ(parseEventText(line(7, "1:2:3:4:5:" + kOther + ":6:-7:8:-9").c_str(), &event), 0);
    const auto& t = event.threshold;
    EXPECT_EQ(t.t1, 1u);
    EXPECT_EQ(t.t2, 2u);
    EXPECT_EQ(t.t3, 3u);
    EXPECT_EQ(t.t4, 4u);
    EXPECT_EQ(t.t5, 5u);
    expectWwn(t.wwn, {32, 1, 0, 5, 30, 0, 0, 9});
    EXPECT_EQ(t.s1, 6);
    EXPECT_EQ(t.s2, -7);
    EXPECT_EQ(t.s3, 8);
    EXPECT_EQ(t.s4, -9);
}

TEST(EventText, TextPart) {
    ParsedEvent event;
    ASSERT_EQ(parseEventText(line(40, kOther + ":Port 3: link down").c_str(), &event), 0);
    expectWwn(event.text.wwn, {32, 1, 0, 5, 30, 0, 0, 9});
    EXPECT_STREQ(event.text.text, "Port 3: link down");

    ASSERT_EQ(parseEventText(line(40, kOther).c_str(), &event), 0);
    EXPECT_STREQ(event.text.text, "");

    const std::string longText(1500, 'm');
    ASSERT_EQ(parseEventText(line(63, kOther + ":" + longText).c_str(), &event), 0);
    EXPECT_EQ(std::string(event.text.text), longText.substr(0, kEventTextMax));
}

TEST(EventText, SwitchPart) {
    ParsedEvent event;
    ASSERT_EQ(parseEventText(line(64, "11:4294967295:" + kOther).c_str(), &event), 0);
    EXPECT_EQ(event.sw.u1, 11u);
    EXPECT_EQ(event.sw.u2, 4294967295u);
    expectWwn(event.sw.wwn, {32, 1, 0, 5, 30, 0, 0, 9});
}

TEST(EventText, PortListPart) {
    ParsedEvent event;
    ASSERT_EQ(parseEventText(line(100, "2:" + kOther + ":" + kSwitch).c_str(), &event), 0);
    ASSERT_EQ(event.portList.count, 2u);
    ASSERT_NE(event.portList.names, nullptr);
    expectWwn(event.portList.names[0], {32, 1, 0, 5, 30, 0, 0, 9});
    expectWwn(event.portList.names[1], {16, 0, 0, 96, 105, 0, 0, 1});

    ParsedEvent empty;
    ASSERT_EQ(parseEventText(line(100, "0").c_str(), &empty), 0);
    EXPECT_EQ(empty.portList.count, 0u);
    EXPECT_EQ(empty.portList.names, nullptr);
}

TEST(EventText, FirmwarePart) {
    ParsedEvent event;
    ASSERT_EQ(parseEventText(line(129, kOther + ":-1").c_str(), &event), 0);
    EXPECT_EQ(event.type, 129u);
    expectWwn(event.firmware.wwn, {32, 1, 0, 5, 30, 0, 0, 9});
    EXPECT_EQ(event.firmware.f1, -1);
}

TEST(EventText, MalformedLinesAreRefused) {
    const std::string cases[] = {
        "",
        "1:2:3",
        "250:100:160:16:0:0:96:105:0:0:1", // no ':' after the common part
        "250:100:160:16:0:0:96:105:0:x:1:",
        line(7, "1:2:3:4:5:" + kOther + ":6:7:8"),
        line(40, "1:2:3"),
        line(64, "1:2:" + kSwitch.substr(0, 5)),
        line(100, ""),
        line(100, "3:" + kOther + ":" + kSwitch), // fewer names than counted
        line(100, "2:" + kOther + ":1:2:3"),
        line(100, "4294967295:" + kOther), // a count the line cannot hold
        line(100, "1"),
        line(129, kOther),
        line(130, kOther + ":"),
    };
    for (const auto& text : cases) {
        ParsedEvent event;
        EXPECT_EQ(parseEventText(text.c_str(), &event), EVT_ERR_PARSE) << text;
        EXPECT_EQ(event.portList.names, nullptr) << text;
    }
}

} // namespace

#include "connection/EventLineBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

struct Collected {
    std::vector<std::string> lines;
    static void handler(const char* line, std::size_t length, void* context) {
        EXPECT_EQ(std::strlen(line), length);
        static_cast<Collected*>(context)->lines.emplace_back(line, length);
    }
};

void feed(EventLineBuffer& buffer, const std::string& bytes, Collected& out) {
    buffer.append(bytes.data(), bytes.size(), Collected::handler, &out);
}

TEST(EventLineBuffer, LinesSplitAcrossPiecesComeOutWhole) {
    EventLineBuffer buffer;
    Collected out;
    feed(buffer, "1:2:3", out);
    EXPECT_TRUE(out.lines.empty());
    feed(buffer, ":4\n5:6\r\n\n7", out);
    feed(buffer, "8\n", out);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"1:2:3:4", "5:6", "", "78"}));
    EXPECT_EQ(buffer.pending(), 0u);
}

TEST(EventLineBuffer, OnlyTheLineEndIsStripped) {
    EventLineBuffer buffer;
    Collected out;
    feed(buffer, " a b \r\r\n", out);
    EXPECT_EQ(out.lines, (std::vector<std::string>{" a b \r"}));
}

TEST(EventLineBuffer, LongestLineIsKeptAndALongerOneDroppedWhole) {
    const std::string longest(kEventLineMax - 1, 'x');
    const std::string tooLong(kEventLineMax, 'y');
    EventLineBuffer buffer;
    Collected out;
    feed(buffer, longest + "\n", out);
    // The over-long line arrives in pieces; none of it may surface.
    feed(buffer, tooLong.substr(0, 1000), out);
    feed(buffer, tooLong.substr(1000) + "zzz", out);
    EXPECT_TRUE(buffer.discarding());
    feed(buffer, "zz\nafter\n", out);
    ASSERT_EQ(out.lines.size(), 2u);
    EXPECT_EQ(out.lines[0], longest);
    EXPECT_EQ(out.lines[1], "after");
}

TEST(EventLineBuffer, FinishHandsOnALastLineWithoutLineEnd) {
    EventLineBuffer buffer;
    Collected out;
    feed(buffer, "a\nlast", out);
    buffer.finish(Collected::handler, &out);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"a", "last"}));

    // A dropped over-long line stays dropped at the end of the stream.
    Collected none;
    EventLineBuffer other;
    feed(other, std::string(kEventLineMax + 10, 'q'), none);
    other.finish(Collected::handler, &none);
    EXPECT_TRUE(none.lines.empty());
}

} // namespace

#include "foundation/IPAddress.h"
#include "foundation/WWNAddress.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const unsigned char kSwitchName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};
const unsigned char kNextName[8] = {0x10, 0x00, 0x00, 0x61, 0x69, 0x12, 0x34, 0x56};

} // namespace

TEST(WWNAddressTest, PrintsBytesAsColonSeparatedHex) {
    const WWNAddress wwn(kSwitchName);
    EXPECT_EQ(wwn.toString(), "10:00:00:60:69:12:34:56");
    EXPECT_FALSE(wwn.isZero());
    EXPECT_EQ(WWNAddress().toString(), "00:00:00:00:00:00:00:00");
    EXPECT_TRUE(WWNAddress().isZero());

    const unsigned char high[8] = {0xff, 0xab, 0, 0, 0, 0, 0, 0x01};
    EXPECT_EQ(WWNAddress(high).toString(), "ff:ab:00:00:00:00:00:01");
    EXPECT_FALSE(WWNAddress(high).isZero());
}

TEST(WWNAddressTest, ComparesAllEightBytes) {
    const WWNAddress a(kSwitchName);
    const WWNAddress b(kNextName);
    // The names share a zero byte in second place; the bytes after it count.
    EXPECT_LT(a.compare(b), 0);
    EXPECT_GT(b.compare(a), 0);
    EXPECT_EQ(a.compare(WWNAddress(kSwitchName)), 0);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a == WWNAddress(kSwitchName));

    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_FALSE(a < a);
    const unsigned char low[8] = {0x0f, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    EXPECT_TRUE(WWNAddress(low) < a);
}

TEST(WWNAddressTest, CopiesAndReadsBytes) {
    const WWNAddress wwn(kSwitchName);
    const WWNAddress copy(wwn);
    EXPECT_TRUE(copy == wwn);

    auto block = wwn.newCopy();
    EXPECT_EQ(std::memcmp(block.get(), kSwitchName, 8), 0);
    unsigned char out[8] = {};
    wwn.copyOut(out);
    EXPECT_EQ(std::memcmp(out, kSwitchName, 8), 0);

    EXPECT_EQ(wwn.byteAt(0), 0x10);
    EXPECT_EQ(wwn.byteAt(7), 0x56);
    EXPECT_EQ(wwn.byteAt(8), 0);
}

TEST(WWNAddressTest, ReadsNameFromIdentifier) {
    const OID_t oid = "000210000060691234560000";
    EXPECT_TRUE(WWNAddress(oid) == WWNAddress(kSwitchName));
}

TEST(IPAddressTest, KeepsTextAsGiven) {
    const IPAddress ip("127.0.0.1");
    EXPECT_STREQ(ip.c_str(), "127.0.0.1");
    EXPECT_EQ(ip.length(), 9u);
    EXPECT_EQ(IPAddress(nullptr).length(), 0u);
    EXPECT_STREQ(IPAddress(" 0127.0.0.1x").c_str(), " 0127.0.0.1x"); // not checked or normalised

    auto copy = ip.newCopy();
    EXPECT_STREQ(copy.get(), "127.0.0.1");
}

TEST(IPAddressTest, HashIsHashBytesOfTheText) {
    // "ab" hashes to 97 * 5 + 98.
    EXPECT_EQ(IPAddress("ab").hash(), 583u);
    EXPECT_EQ(IPAddress("").hash(), 0u);
    EXPECT_EQ(IPAddress("127.66.0.1").hash(), IPAddress("127.66.0.1").hash());
    EXPECT_NE(IPAddress("127.66.0.1").hash(), IPAddress("127.66.0.2").hash());
}

TEST(IPAddressTest, CopyToIsBoundedByTheBuffer) {
    const IPAddress ip("127.168.100.200");
    char big[32];
    EXPECT_EQ(ip.copyTo(big, sizeof big), 16u);
    EXPECT_STREQ(big, "127.168.100.200");

    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(ip.copyTo(small, sizeof small), 16u); // larger than the buffer: cut
    EXPECT_STREQ(small, "127.168");

    EXPECT_EQ(ip.copyTo(nullptr, 0), 16u);
}

TEST(IPAddressTest, EqualityAndOrderFollowTheText) {
    const IPAddress a("127.10.0.1");
    const IPAddress b("127.10.0.2");
    const IPAddress c("127.9.0.1");
    EXPECT_TRUE(a == a);
    EXPECT_TRUE(a == IPAddress("127.10.0.1"));
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_FALSE(a < a);
    EXPECT_TRUE(a < c); // text order, not numeric

    IPAddress assigned("127.1.1.1");
    assigned = b;
    EXPECT_TRUE(assigned == b);
    IPAddress& self = assigned;
    assigned = self;
    EXPECT_STREQ(assigned.c_str(), "127.10.0.2");
}

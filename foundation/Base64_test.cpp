#include "foundation/Base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string encode(const std::string& bytes, unsigned* count = nullptr) {
    std::vector<char> out(Base64EncodedSize(static_cast<std::uint32_t>(bytes.size())) + 1, '#');
    unsigned written = 0;
    EXPECT_EQ(Base64Encode(bytes.data(), out.data(), static_cast<int>(bytes.size()), &written), 0);
    if (count != nullptr) {
        *count = written;
    }
    return std::string(out.data());
}

std::string decode(const std::string& text) {
    std::vector<char> out(Base64DecodedSize(static_cast<std::uint32_t>(text.size())) + 1, '#');
    int written = -1;
    EXPECT_EQ(Base64Decode(text.data(), out.data(), static_cast<int>(text.size()), &written), 0);
    EXPECT_GE(written, 0);
    EXPECT_EQ(out[written], '\0');
    return std::string(out.data(), written);
}

} // namespace

TEST(Base64Test, EncodesKnownVectors) {
    struct Case {
        const char* bytes;
        const char* text;
        unsigned count;
    };
    const Case cases[] = {
        {"f", "Zg==", 2},        {"fo", "Zm8=", 3},        {"foo", "Zm9v", 4},
        {"foob", "Zm9vYg==", 6}, {"fooba", "Zm9vYmE=", 7}, {"foobar", "Zm9vYmFy", 8},
        {"a", "YQ==", 2},        {"ab", "YWI=", 3},        {"abc", "YWJj", 4},
    };
    for (const Case& c : cases) {
        unsigned count = 0;
        EXPECT_EQ(encode(c.bytes, &count), c.text) << c.bytes;
        EXPECT_EQ(count, c.count) << c.bytes;
    }
    EXPECT_EQ(encode(std::string("\xfb\xff\x00", 3)), "+/8A");
}

TEST(Base64Test, DecodesKnownVectors) {
    struct Case {
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {"Zg==", "f"},
        {"Zm8=", "fo"},
        {"Zm9v", "foo"},
        {"Zm9vYg==", "foob"},
        {"Zm9vYmE=", "fooba"},
        {"Zm9vYmFy", "foobar"},
        {"YWJj", "abc"},
        {"YQ==", "a"},
        {"YWI=", "ab"},
        {"YW Jj", "abc"},       // a blank is skipped
        {"Y\r\nW\tJ*j", "abc"}, // so is every character outside the alphabet
        {"YQ==YWJj", "a"},      // decoding stops at the first '='
        {"YQ", "a"},            // padding is optional
        {"+/8A", std::string("\xfb\xff\x00", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.text), c.bytes) << c.text;
    }
}

TEST(Base64Test, DecodesOnlyTheGivenLength) {
    char out[16];
    int count = 0;
    // "YWJjZGVm" limited to its first 4 characters.
    ASSERT_EQ(Base64Decode("YWJjZGVm", out, 4, &count), 0);
    EXPECT_EQ(count, 3);
    EXPECT_STREQ(out, "abc");
}

TEST(Base64Test, RejectsEmptyInputAndNullPointers) {
    char out[16] = "untouched";
    unsigned ucount = 7;
    int count = 7;
    EXPECT_EQ(Base64Encode("a", out, 0, &ucount), -10021);
    EXPECT_EQ(Base64Encode("a", out, -1, &ucount), -10021);
    EXPECT_EQ(Base64Encode(nullptr, out, 1, &ucount), -10021);
    EXPECT_EQ(Base64Encode("a", nullptr, 1, &ucount), -10021);
    EXPECT_EQ(Base64Encode("a", out, 1, nullptr), -10021);
    EXPECT_EQ(Base64Decode("YQ==", out, 0, &count), -10021);
    EXPECT_EQ(Base64Decode("YQ==", out, -4, &count), -10021);
    EXPECT_EQ(Base64Decode(nullptr, out, 4, &count), -10021);
    EXPECT_EQ(Base64Decode("YQ==", nullptr, 4, &count), -10021);
    EXPECT_EQ(Base64Decode("YQ==", out, 4, nullptr), -10021);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(ucount, 7u);
    EXPECT_EQ(count, 7);
}

TEST(Base64Test, SizeEstimates) {
    EXPECT_EQ(Base64EncodedSize(0), 9u);
    EXPECT_EQ(Base64EncodedSize(3), 13u);
    EXPECT_EQ(Base64EncodedSize(100), 142u);
    EXPECT_EQ(Base64DecodedSize(4), 12u);
    EXPECT_EQ(Base64DecodedSize(100), 84u);
    // A huge length saturates rather than wrapping to a small size.
    EXPECT_EQ(Base64EncodedSize(0xFFFFFFFFu), 0xFFFFFFFFu);
    EXPECT_GT(Base64EncodedSize(0x40000000u), 0x40000000u);
}

// Random data of every length from 0 to 300 survives a round trip, and
// neither direction writes past the estimate the callers allocate (the
// sanitizers see every byte of the exactly-sized heap buffers).
TEST(Base64Test, RoundTripsRandomDataOfEveryLength) {
    std::mt19937 random(20261209);
    for (int length = 0; length <= 300; ++length) {
        std::vector<char> data(length);
        for (char& byte : data) {
            byte = static_cast<char>(random() & 0xFF);
        }
        std::vector<char> text(Base64EncodedSize(length) + 1);
        unsigned textCount = 0;
        const int encoded = Base64Encode(data.data(), text.data(), length, &textCount);
        if (length == 0) {
            EXPECT_EQ(encoded, -10021);
            continue;
        }
        ASSERT_EQ(encoded, 0) << length;
        const std::string textString(text.data());
        ASSERT_EQ(textString.size() % 4, 0u) << length;
        ASSERT_EQ(textCount, static_cast<unsigned>((length * 8 + 5) / 6)) << length;

        std::vector<char> back(Base64DecodedSize(static_cast<std::uint32_t>(textString.size())) +
                               1);
        int backCount = 0;
        ASSERT_EQ(Base64Decode(textString.data(), back.data(), static_cast<int>(textString.size()),
                               &backCount),
                  0);
        ASSERT_EQ(backCount, length);
        EXPECT_EQ(std::vector<char>(back.begin(), back.begin() + backCount), data) << length;
        EXPECT_EQ(back[backCount], '\0');
    }
}

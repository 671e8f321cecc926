#include "foundation/Hashing.h"
#include "foundation/QuillonString.h"
#include "foundation/ValueText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(QuillonStringTest, ConstructorsCopyTheText) {
    EXPECT_STREQ(QuillonString().c_str(), "");
    EXPECT_STREQ(QuillonString(static_cast<const char*>(nullptr)).c_str(), "");
    EXPECT_STREQ(QuillonString(std::string("switch")).c_str(), "switch");

    char source[] = "fabric";
    QuillonString fromText(source);
    source[0] = 'X'; // the string owns its own copy
    QuillonString copy(fromText);
    EXPECT_STREQ(copy.c_str(), "fabric");
    EXPECT_NE(copy.c_str(), fromText.c_str());
    EXPECT_EQ(copy.length(), 6u);
    EXPECT_EQ(copy.size(), 6u);
}

TEST(QuillonStringTest, AppendsTextAndStrings) {
    QuillonString s("Entering ");
    s.append("getObject");
    s += QuillonString(" (");
    s += "1)";
    EXPECT_STREQ(s.c_str(), "Entering getObject (1)");
    EXPECT_EQ(s.length(), std::strlen("Entering getObject (1)"));

    s.append(static_cast<const char*>(nullptr));
    s.append("");
    EXPECT_STREQ(s.c_str(), "Entering getObject (1)");
}

TEST(QuillonStringTest, AppendsItself) {
    QuillonString s("ab");
    s.append(s);
    EXPECT_STREQ(s.c_str(), "abab");
    s += s;
    EXPECT_STREQ(s.c_str(), "abababab");
}

TEST(QuillonStringTest, AssignmentCopiesAndSelfAssignmentKeepsText) {
    QuillonString a("first");
    QuillonString b("a much longer second text");
    a = b;
    EXPECT_STREQ(a.c_str(), "a much longer second text");
    EXPECT_NE(a.c_str(), b.c_str());

    QuillonString& alias = a;
    a = alias;
    EXPECT_STREQ(a.c_str(), "a much longer second text");
}

TEST(QuillonStringTest, DropLastChar) {
    QuillonString line("proxy\n");
    line.dropLastChar();
    EXPECT_STREQ(line.c_str(), "proxy");
    line.dropLastChar();
    EXPECT_STREQ(line.c_str(), "prox");

    QuillonString empty;
    empty.dropLastChar();
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(empty.length(), 0u);
}

TEST(QuillonStringTest, OrdersLikeStrcmpWithUnsignedBytes) {
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] =
        {
            {"", "a", true},        {"a", "", false},     {"ab", "abc", true},
            {"abc", "ab", false},   {"abc", "abd", true}, {"abc", "abc", false},
            {"\x7f", "\x80", true}, // 0x80 sorts after 0x7f, not before
            {"\xff", "a", false},   {"B", "a", true},
        };
    for (const Case& c : cases) {
        EXPECT_EQ(QuillonString(c.a) < QuillonString(c.b), c.less) << c.a << " < " << c.b;
    }
    EXPECT_TRUE(QuillonString("zone") == QuillonString("zone"));
    EXPECT_FALSE(QuillonString("zone") == QuillonString("zones"));
}

TEST(HashingTest, HashesCharactersAsSignedBytes) {
    EXPECT_EQ(HashString(""), 0u);
    EXPECT_EQ(HashString("ab"), 583u); // 97 * 5 + 98
    // 0x80 counts as -128: 97 * 5 - 128.
    EXPECT_EQ(HashString("a\x80"), 357u);
    EXPECT_EQ(HashString("\xff"), 0xFFFFFFFFu);
    // The text ends at its first NUL.
    EXPECT_EQ(HashString(std::string("ab\0cd", 5)), 583u);

    EXPECT_EQ(HashBytes("ab", 2), 583u);
    EXPECT_EQ(HashBytes("a\x80", 2), 357u);
    // Unlike HashString, HashBytes runs over NUL bytes too.
    EXPECT_EQ(HashBytes("a\0", 2), 485u);
    EXPECT_EQ(HashBytes("ab", 0), 0u);
    EXPECT_EQ(HashBytes(nullptr, 4), 0u);
}

TEST(HashingTest, WrapsOnOverflow) {
    // 14 characters of 'z' overflow 32 bits; the sum wraps modulo 2^32.
    const std::string text(14, 'z');
    std::uint64_t expected = 0;
    for (char c : text) {
        expected = (expected * 5 + static_cast<unsigned char>(c)) & 0xFFFFFFFFu;
    }
    EXPECT_EQ(HashString(text), static_cast<std::uint32_t>(expected));
}

TEST(ValueTextTest, FormatsNumbersAndFlags) {
    EXPECT_STREQ(intToString(0).c_str(), "0");
    EXPECT_STREQ(intToString(-10021).c_str(), "-10021");
    EXPECT_STREQ(intToString(2147483647).c_str(), "2147483647");
    EXPECT_STREQ(intToString(-2147483647 - 1).c_str(), "-2147483648");

    EXPECT_STREQ(boolToString(true).c_str(), "true");
    EXPECT_STREQ(boolToString(false).c_str(), "false");
    EXPECT_STREQ(boolToString(2).c_str(), "false");
    EXPECT_STREQ(boolToString(0x101).c_str(), "true"); // only the low byte counts
}

#include "ReplyText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_testing.h"

namespace {

TEST(ReplyText, FormatWwnTogglesTheColonForm) {
    struct Case {
        std::string in;
        std::size_t outSize;
        std::string out;
    };
    const Case cases[] = {
        {"1000006069000001", 64, "10:00:00:60:69:00:00:01"},
        {"10000060", 64, "10:00:00:60:"},
        {"10:00:00:60:69:00:00:01", 64, "1000006069000001"},
        {"10:zz", 64, "10zz"}, // a colon text is copied as it is
        {"10g0", 64, "10:X0:"},
        {"100000606900000123", 64, "10:00:00:60:69:00:00:0123"},
        {"1000006069000001", 24, "10:00:00:60:69:00:00:01"},
        {"10000060690000010203", 24, "10:00:00:60:69:00:00:01"}, // 23 at most
        {"", 64, ""},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(formatWwn(c.in, out, c.outSize), c.out.size() + 1) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
    }
    std::string out = "stale";
    EXPECT_EQ(formatWwn("1000006069000001", out, 23), 0u);
    EXPECT_EQ(out, "");
}

} // namespace

namespace {

struct Extraction {
    const char* name;
    std::string text;
    std::string start;
    std::string end;
    std::size_t maxLen;
    std::string prefix;
    std::string suffix;
    int result;
    std::string out;
};

TEST(ReplyText, ExtractXmlValueReadsAttributesAndContent) {
    const Extraction cases[] = {
        {"attribute", "<A OID=\"0009ab\" />", "OID=", "/>", 48, "", "", 6, "0009ab"},
        {"prefix and suffix", "<A OID=\"x1\" />", "OID=", "/>", 48, "OID=\"", "\" \n", 10,
         "OID=\"x1\" \n"},
        {"empty attribute", "<A OID=\"\" />", "OID=", "/>", 48, "", "", 0, ""},
        {"escaped quote", "<A N=\"a\\\"b\" />", " N=", "/>", 48, "", "", 3, "a\"b"},
        {"content", "<Fault>\n<Code>", "<Fault>", "</R>", 8, "", "", ExtractNoEndTag, ""},
        {"content found", "<Fault>\n<Code></R>", "<Fault>", "</R>", 8, "", "", 1, "\n"},
        {"no end tag", "<A OID=\"1\" />", "OID=", "</B>", 48, "", "", ExtractNoEndTag, ""},
        {"start after end", "</B><A OID=\"1\" />", "OID=", "</B>", 48, "", "", ExtractNoStartTag,
         ""},
        {"no start tag", "<A />", "OID=", "/>", 48, "", "", ExtractNoStartTag, ""},
        {"room below prefix", "<A OID=\"1\" />", "OID=", "/>", 3, "OID", "=", ExtractBadArgument,
         ""},
        {"cut at maxLen", "<A OID=\"123456\" />", "OID=", "/>", 4, "", "", 4, "1234"},
        {"runs into end tag", "<A OID=\"12/>34\"", "OID=", "/>", 48, "", "", ExtractUnterminated,
         ""},
        {"element anchored", "<Switch_Data X=\"no\" /><Switch X=\"yes\" /></E>", "<Switch",
         "</E>", 48, "", "", 3, "yes"},
        {"attribute anchored", "<S assignedWWN=\"no\" WWN=\"yes\" />", "WWN=", "/>", 48, "", "",
         3, "yes"},
    };
    for (const Extraction& c : cases) {
        std::string out = "stale";
        std::size_t cursor = 0;
        EXPECT_EQ(extractXmlValue(out, c.text, cursor, c.start, c.end, c.maxLen, c.prefix,
                                  c.suffix, KeepCursor),
                  c.result)
            << c.name;
        if (c.result >= 0) {
            EXPECT_EQ(out, c.out) << c.name;
        }
        EXPECT_EQ(cursor, 0u) << c.name;
    }
}

TEST(ReplyText, ExtractXmlValueMovesTheCursorInItsMode) {
    const std::string list = "<FABRICS OID=\"a1\" \nOID=\"\" \nOID=\"b2\" \n />";
    std::size_t cursor = 0;
    std::string out;
    std::vector<std::string> values;
    int result = 0;
    while ((result = extractXmlValue(out, list, cursor, "OID=", "/>", 48, "", "", MoveCursor)) >=
           0)
        values.push_back(out);
    EXPECT_EQ(result, ExtractNoStartTag);
    EXPECT_EQ(values, (std::vector<std::string>{"a1", "", "b2"}));

    // maxLen 0 only steps past the start tag: it counts elements.
    const std::string module = "<PortModule><Port OID=\"1\" /><Port OID=\"2\" /></PortModule>";
    cursor = 0;
    int ports = 0;
    while (extractXmlValue(out, module, cursor, "<Port OID=", "</PortModule>", 0, "", "",
                           MoveCursor) == 1)
        ++ports;
    EXPECT_EQ(ports, 2);
}

TEST(ReplyText, HexStrToLongReadsPrefixedHexadecimal) {
    struct Case {
        std::string text;
        int result;
        long value;
    };
    const Case cases[] = {
        {"0x1f", 0, 31},    {"-0x10", 0, -16}, {"0x2 36", 0, 566}, {"0xFfFf", 0, 65535},
        {"0X10", -2, 0},    {"10", -2, 0},     {"0x1g", -3, 0},    {"", -2, 0},
    };
    for (const Case& c : cases) {
        ScriptedConsole console("");
        long value = 0;
        EXPECT_EQ(hexStrToLong(console.console(), c.text, value), c.result) << c.text;
        if (c.result == 0)
            EXPECT_EQ(value, c.value) << c.text;
        else
            EXPECT_EQ(console.output(), "ERROR: hexStrToLong> invalid hex number (" + c.text +
                                            ") \n");
    }
}

TEST(ReplyText, DecodeXmlTextReplacesEntitiesOnly) {
    EXPECT_EQ(decodeXmlText("a&amp;b&lt;&gt;&quot;&apos;&#65;&#x42;"), "a&b<>\"'AB");
    EXPECT_EQ(decodeXmlText("&bogus; & &#; &#x110000;"), "&bogus; & &#; &#x110000;");
    std::string escaped;
    appendXmlEscaped(escaped, "<a href=\"x\">&'</a>");
    EXPECT_EQ(decodeXmlText(escaped), "<a href=\"x\">&'</a>");
    EXPECT_EQ(escaped.find_first_of("<>\"'"), std::string::npos);
}

} // namespace

#include "foundation/XmlEscape.h"

#include <gtest/gtest.h>

TEST(XmlEscape, WritesMarkupAsReferencesAndWhatXmlCannotHoldAsQuestionMarks) {
    const struct {
        std::string value;
        std::string escaped;
    } cases[] = {
        {"", ""},
        {"plain 127.0.0.1", "plain 127.0.0.1"},
        {"a&b", "a&amp;b"},
        {"<zone>", "&lt;zone&gt;"},
        {"say \"hi\"", "say &quot;hi&quot;"},
        {"it's", "it&apos;s"},
        {"&amp;", "&amp;amp;"},
        {"tab\tline\nreturn\r", "tab\tline\nreturn\r"},
        {"Zone \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "Zone \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        // What no XML document may hold becomes '?'.
        {std::string("nul\0bell\x07" "esc\x1b", 13), "nul?bell?esc?"},
        {"latin1 \xE9t\xE9", "latin1 ?t?"},
        {"cut \xE2\x82", "cut ??"},
        {"overlong \xC0\xAF \xE0\x80\xAF", "overlong ?? ???"},
        {"surrogate \xED\xA0\x80", "surrogate ???"},
        {"nonchar \xEF\xBF\xBE", "nonchar ???"},
        {"beyond \xF4\x90\x80\x80", "beyond ????"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.escaped, escapeXml(c.value)) << c.value;
    }
    std::string out = "<A>";
    appendEscaped(out, "x<y");
    EXPECT_EQ("<A>x&lt;y", out) << "appends, leaving what was there";
}

TEST(XmlEscape, MarkupEscapingKeepsEveryOtherByte) {
    const struct {
        std::string value;
        std::string escaped;
    } cases[] = {
        {"", ""},
        {"<a href=\"x\">&'</a>", "&lt;a href=&quot;x&quot;&gt;&amp;&apos;&lt;/a&gt;"},
        // Bytes XML cannot hold pass untouched: the caller vouches for them.
        {std::string("nul\0bell\x07", 9), std::string("nul\0bell\x07", 9)},
        {"latin1 \xE9t\xE9 & cut \xE2\x82", "latin1 \xE9t\xE9 &amp; cut \xE2\x82"},
        {"Zone \xC3\xA9 \xF0\x9F\x98\x80", "Zone \xC3\xA9 \xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        std::string out = "<A>";
        appendMarkupEscaped(out, c.value);
        EXPECT_EQ("<A>" + c.escaped, out) << c.value;
    }
}

#include "yarllite/XmlEscape.h"

#include <gtest/gtest.h>

TEST(XmlEscape, WritesTheFiveMarkupCharactersAsReferences) {
    const struct {
        std::string value;
        std::string escaped;
    } cases[] = {
        {"", ""},
        {"plain 10.0.0.1", "plain 10.0.0.1"},
        {"a&b", "a&amp;b"},
        {"<zone>", "&lt;zone&gt;"},
        {"say \"hi\"", "say &quot;hi&quot;"},
        {"it's", "it&apos;s"},
        {"&amp;", "&amp;amp;"},
        {std::string("nul\0inside", 10), std::string("nul\0inside", 10)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.escaped, escapeXml(c.value)) << c.value;
    }
    std::string out = "<A>";
    appendEscaped(out, "x<y");
    EXPECT_EQ("<A>x&lt;y", out) << "appends, leaving what was there";
}

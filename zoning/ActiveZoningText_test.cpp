#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zoning/ActiveZoningText.h"

namespace {

struct ZoneView {
    std::string name;
    std::vector<std::string> members;
    bool operator==(const ZoneView&) const = default;
};

struct ParseCase {
    std::string text;
    int code;
    std::string zoneSet;
    std::vector<ZoneView> zones;
};

std::string repeated(char c, std::size_t n) {
    return std::string(n, c);
}

TEST(ParseActiveZoningText, ReadsZoneSetZonesAndMembersOrGivesItsCode) {
    const std::string name99 = repeated('n', 99);
    const ParseCase cases[] = {
        {"cfg1|zone z1:10:00:00:00:c9:00:00:01;1,4;|zone z2:1,5;",
         0,
         "cfg1",
         {{"z1", {"10:00:00:00:c9:00:00:01", "1,4"}}, {"z2", {"1,5"}}}},
        {"cfg1", 0, "cfg1", {}},
        {"||cfg1||qlzone q1:2,1;||", 0, "cfg1", {{"q1", {"2,1"}}}},
        {"cfg1|zone z1:", 0, "cfg1", {{"z1", {}}}},
        {"cfg1|zone z1:a;b", 0, "cfg1", {{"z1", {"a", "b"}}}},
        {"cfg1|any word z1:a;", 0, "cfg1", {{"word z1", {"a"}}}},
        {"cfg1|zone " + name99 + ":" + name99 + ";", 0, "cfg1", {{name99, {name99}}}},
        {"", 11, "", {}},
        {"|||", 11, "", {}},
        {"##NOT_PRIMARY_FCS##", 14, "", {}},
        {"|##NOT_PRIMARY_FCS##|zone z1:a;", 14, "", {}},
        {"cfg1|zonez1:a;", 8, "", {}},
        {"cfg1|zone z1", 8, "", {}},
        {"cfg1|zone :a;", 8, "", {}},
        {"cfg1|zone z1:a;;b;", 8, "", {}},
        {"cfg1|zone " + name99 + "n:a;", 8, "", {}},
        {"cfg1|zone z1:" + name99 + "n;", 8, "", {}},
    };
    for (const auto& c : cases) {
        ActiveZoningText parsed;
        EXPECT_EQ(parseActiveZoningText(c.text, parsed), c.code) << c.text;
        EXPECT_EQ(parsed.zoneSetName, c.zoneSet) << c.text;
        std::vector<ZoneView> zones;
        for (const auto& zone : parsed.zones) {
            zones.push_back({zone.name, zone.members});
        }
        EXPECT_EQ(zones, c.zones) << c.text;
    }
}

TEST(ParseActiveZoningText, ReadsNoFurtherThanTheTextItIsGiven) {
    const std::string buffer = "cfg1|zone z1:abc;|zone z2:x;";
    ActiveZoningText parsed;
    ASSERT_EQ(parseActiveZoningText(std::string_view(buffer).substr(0, 14), parsed), 0);
    ASSERT_EQ(parsed.zones.size(), 1u);
    EXPECT_EQ(parsed.zones[0].members, std::vector<std::string>{"a"});
}

} // namespace

// The active zoning database text that firmware 2.3 and later return
// whole: entries separated by "|" (empty ones skipped). The first entry is
// the active zone set's name, or "##NOT_PRIMARY_FCS##" when the proxy is
// not the primary configuration server. Every later entry is one zone: a
// leading word (not read), a blank, the zone name, a colon, then each
// member followed by ";" (a last member without its ";" is taken too).
// Zone names and members hold 1 to 99 characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ActiveZoneText {
    std::string name;
    std::vector<std::string> members;
};

struct ActiveZoningText {
    std::string zoneSetName;
    std::vector<ActiveZoneText> zones;
};

// Longest zone name or member in the text.
inline constexpr std::size_t ActiveZoningItemMax = 99;

// The marker of a proxy that is not the primary configuration server.
inline constexpr std::string_view NotPrimaryFcsMarker = "##NOT_PRIMARY_FCS##";

// Parses `text` into `out`: 0, or the zoning exception code of a text that
// does not give a database: 11 when it holds no entry, 14 for the
// not-primary marker, 8 for an entry without its blank or colon, with an
// empty zone name or member, or with one longer than 99 characters. Never
// reads outside `text`.
int parseActiveZoningText(std::string_view text, ActiveZoningText& out);

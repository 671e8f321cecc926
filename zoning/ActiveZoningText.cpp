#include "zoning/ActiveZoningText.h"

#include "zoning/ZoningCodes.h"

namespace {

bool validItem(std::string_view item) {
    return !item.empty() && item.size() <= ActiveZoningItemMax;
}

// One zone entry: "<word> <zone>:<member>;<member>;...".
bool parseZone(std::string_view entry, ActiveZoneText& zone) {
    const auto blank = entry.find(' ');
    if (blank == std::string_view::npos) {
        return false;
    }
    const auto colon = entry.find(':', blank + 1);
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view name = entry.substr(blank + 1, colon - blank - 1);
    if (!validItem(name)) {
        return false;
    }
    zone.name.assign(name);
    std::string_view rest = entry.substr(colon + 1);
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view member = rest.substr(0, end);
        if (!validItem(member)) {
            return false;
        }
        zone.members.emplace_back(member);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return true;
}

} // namespace

int parseActiveZoningText(std::string_view text, ActiveZoningText& out) {
    out = ActiveZoningText{};
    bool first = true;
    while (!text.empty()) {
        const auto end = text.find('|');
        const std::string_view entry = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (entry.empty()) {
            continue;
        }
        if (first) {
            if (entry == NotPrimaryFcsMarker) {
                return ZONING_ERR_NOT_PRIMARY_FCS;
            }
            out.zoneSetName.assign(entry);
            first = false;
            continue;
        }
        ActiveZoneText zone;
        if (!parseZone(entry, zone)) {
            out = ActiveZoningText{};
            return ZONING_ERR_NO_REPLY;
        }
        out.zones.push_back(std::move(zone));
    }
    return first ? ZONING_ERR_NO_ACTIVE_CONFIG : 0;
}

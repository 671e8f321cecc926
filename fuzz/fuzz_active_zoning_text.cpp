// Feeds arbitrary bytes to the parser of the active zoning database text,
// as a switch's reply would carry them. The text is handed over without a
// NUL after it, so that a read past its end shows. Whatever parses must
// hold to the format's bounds; anything else must give one of its codes
// and nothing parsed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "zoning/ActiveZoningText.h"

namespace {

void check(bool holds) {
    if (!holds)
        std::abort();
}

bool validItem(const std::string& item, std::string_view forbidden) {
    return !item.empty() && item.size() <= ActiveZoningItemMax &&
           item.find_first_of(forbidden) == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto text = std::make_unique<char[]>(size);
    std::copy(data, data + size, text.get());
    ActiveZoningText parsed;
    const int code = parseActiveZoningText(std::string_view(text.get(), size), parsed);
    if (code != 0) {
        check(code == 8 || code == 11 || code == 14);
        check(parsed.zoneSetName.empty() && parsed.zones.empty());
        return 0;
    }
    check(!parsed.zoneSetName.empty() && parsed.zoneSetName.find('|') == std::string::npos);
    check(parsed.zoneSetName != NotPrimaryFcsMarker);
    for (const auto& zone : parsed.zones) {
        check(validItem(zone.name, "|:"));
        for (const auto& member : zone.members)
            check(validItem(member, "|;"));
    }
    return 0;
}

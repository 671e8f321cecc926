#include "yarllite/AttributeDictionaryWriter.h"

#include <cstdio>

#include "foundation/XmlEscape.h"

namespace {

void appendHex(std::string& out, std::uint32_t value) {
    char text[sizeof "0xffffffff"];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
    out += text;
}

} // namespace

void writeAttributeDictionary(std::string& reply, std::span<const AttributeDictionaryEntry> rows) {
    reply += "<Dictionary>\n";
    for (const AttributeDictionaryEntry& row : rows) {
        if (row.code == 0 || row.name == nullptr || row.name[0] == '\0') {
            continue;
        }
        reply += "<Attr Name=\"";
        appendEscaped(reply, row.name);
        reply += "\" Traits=\"";
        appendHex(reply, row.traits);
        reply += "\" YARLATTR=\"";
        appendHex(reply, row.code);
        reply += "\" />\n";
    }
    reply += "</Dictionary>\n";
}

#include "yarllite/XmlEscape.h"

void appendEscaped(std::string& out, std::string_view value) {
    out.reserve(out.size() + value.size());
    for (const char c : value) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
}

std::string escapeXml(std::string_view value) {
    std::string out;
    appendEscaped(out, value);
    return out;
}

#include "foundation/XmlEscape.h"

namespace {

// The length of the well-formed UTF-8 sequence of an XML character at the
// start of `text`, or 0 when there is none.
std::size_t xmlCharacterLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r' ? 1 : 0;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool nonCharacter = code == 0xFFFE || code == 0xFFFF;
    if (overlong || surrogate || nonCharacter || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

// The entity reference written for `c`, or null when `c` is written as it
// is.
const char* markupEntity(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&apos;";
    default:
        return nullptr;
    }
}

} // namespace

void appendEscaped(std::string& out, std::string_view value) {
    out.reserve(out.size() + value.size());
    while (!value.empty()) {
        const std::size_t length = xmlCharacterLength(value);
        if (length == 0) {
            out += '?';
            value.remove_prefix(1);
            continue;
        }
        if (const char* entity = markupEntity(value.front())) {
            out += entity;
        } else {
            out.append(value.substr(0, length));
        }
        value.remove_prefix(length);
    }
}

std::string escapeXml(std::string_view value) {
    std::string out;
    appendEscaped(out, value);
    return out;
}

void appendMarkupEscaped(std::string& out, std::string_view value) {
    out.reserve(out.size() + value.size());
    for (const char c : value) {
        if (const char* entity = markupEntity(c)) {
            out += entity;
        } else {
            out += c;
        }
    }
}

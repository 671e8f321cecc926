#include "ReplyText.h"

#include <cstdint>

#include "XmlEscape.h"
#include "console.h"

namespace {

constexpr std::size_t MinOutSize = 24;
constexpr std::size_t ColonFormLength = 23;

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "<Name" with nothing after the name.
bool isBareElementName(std::string_view pattern) {
    return pattern.size() > 1 && pattern[0] == '<' &&
           pattern.find_first_of(" \t\r\n>/", 1) == std::string_view::npos;
}

bool isAttributeName(std::string_view pattern) {
    return pattern.size() > 1 && isLetter(pattern[0]) && pattern.back() == '=';
}

} // namespace

std::size_t findAnchored(std::string_view text, std::string_view pattern, std::size_t from) {
    const bool element = isBareElementName(pattern);
    const bool attribute = isAttributeName(pattern);
    for (std::size_t at = text.find(pattern, from); at != std::string_view::npos;
         at = text.find(pattern, at + 1)) {
        if (element) {
            const std::size_t next = at + pattern.size();
            if (next < text.size() && !isBlank(text[next]) && text[next] != '>' &&
                text[next] != '/')
                continue;
        }
        if (attribute && at > 0 && !isBlank(text[at - 1]))
            continue;
        return at;
    }
    return std::string_view::npos;
}

int extractXmlValue(std::string& out, std::string_view text, std::size_t& cursor,
                    std::string_view startTag, std::string_view endTag, std::size_t maxLen,
                    std::string_view prefix, std::string_view suffix, int mode) {
    out.clear();
    if (startTag.empty() || endTag.empty() || cursor > text.size())
        return ExtractBadArgument;
    const std::size_t end = findAnchored(text, endTag, cursor);
    if (end == std::string_view::npos)
        return ExtractNoEndTag;
    const std::size_t start = findAnchored(text, startTag, cursor);
    if (start == std::string_view::npos || start >= end)
        return ExtractNoStartTag;
    if (maxLen == 0) {
        if (mode == MoveCursor)
            cursor = start + startTag.size();
        return 1;
    }
    std::size_t length = prefix.size() + suffix.size();
    if (maxLen < length)
        return ExtractBadArgument;

    // Element content runs from the tag's ">" to the next "<"; an attribute
    // value lies between double quotes.
    const bool content = startTag.back() == '>';
    const char opening = content ? '>' : '"';
    const char closing = content ? '<' : '"';
    std::size_t at = text.find(opening, start);
    if (at == std::string_view::npos || at >= end)
        return ExtractUnterminated;
    ++at;
    if (at < text.size() && text[at] == closing) {
        if (mode == MoveCursor)
            cursor = at;
        return 0;
    }
    out += prefix;
    while (at < text.size() && text[at] != closing && at != end && length < maxLen) {
        if (text[at] == '\\' && !content && at + 1 < text.size() && at + 1 != end)
            ++at; // the character after a backslash is kept as it is
        out.push_back(text[at]);
        ++at;
        ++length;
    }
    if (at == end || at >= text.size()) {
        if (mode == MoveCursor)
            cursor = at;
        return ExtractUnterminated;
    }
    out += suffix;
    if (mode == MoveCursor)
        cursor = at;
    return static_cast<int>(length);
}

std::string decodeXmlText(std::string_view text) {
    static constexpr struct {
        std::string_view entity;
        char c;
    } Entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '&') {
            out.push_back(text[at++]);
            continue;
        }
        bool decoded = false;
        for (const auto& e : Entities) {
            if (text.substr(at, e.entity.size()) == e.entity) {
                out.push_back(e.c);
                at += e.entity.size();
                decoded = true;
                break;
            }
        }
        if (!decoded && text.substr(at, 2) == "&#") {
            const std::size_t semicolon = text.find(';', at);
            const bool hex = text.substr(at, 3) == "&#x";
            const std::size_t digits = at + (hex ? 3 : 2);
            if (semicolon != std::string_view::npos && semicolon > digits &&
                semicolon - digits <= 6) {
                std::uint32_t code = 0;
                bool valid = true;
                for (std::size_t i = digits; i < semicolon && valid; ++i) {
                    const char c = text[i];
                    if (hex && isHexDigit(c))
                        code = code * 16 + static_cast<std::uint32_t>(hexDigitValue(c));
                    else if (!hex && c >= '0' && c <= '9')
                        code = code * 10 + static_cast<std::uint32_t>(c - '0');
                    else
                        valid = false;
                }
                // Characters beyond one byte are kept as their reference.
                if (valid && code > 0 && code < 0x80) {
                    out.push_back(static_cast<char>(code));
                    at = semicolon + 1;
                    decoded = true;
                }
            }
        }
        if (!decoded)
            out.push_back(text[at++]);
    }
    return out;
}

// The requests keep every byte the user typed; only markup is escaped.
void appendXmlEscaped(std::string& out, std::string_view text) { appendMarkupEscaped(out, text); }

std::size_t formatWwn(std::string_view in, std::string& out, std::size_t outSize) {
    out.clear();
    if (outSize < MinOutSize)
        return 0;
    const std::size_t limit = outSize - 1;
    if (in.find(':') != std::string_view::npos) {
        for (const char c : in) {
            if (out.size() == limit)
                break;
            if (c != ':')
                out.push_back(c);
        }
        return out.size() + 1;
    }
    std::size_t copied = 0;
    for (const char c : in) {
        if (out.size() == limit)
            break;
        out.push_back(isHexDigit(c) ? c : 'X');
        if (++copied % 2 == 0 && out.size() < ColonFormLength && out.size() < limit)
            out.push_back(':');
    }
    return out.size() + 1;
}

int hexStrToLong(Console& console, std::string_view text, long& value) {
    const bool negative = text.starts_with("-0x");
    if (!negative && !text.starts_with("0x")) {
        console.write("ERROR: hexStrToLong> invalid hex number (");
        console.write(text);
        console.write(") \n");
        return -2;
    }
    const std::size_t digitsFrom = negative ? 3 : 2;
    // Unsigned arithmetic: a number longer than a long wraps, never overflows.
    std::uint64_t sum = 0;
    std::uint64_t weight = 1;
    for (std::size_t i = text.size(); i > digitsFrom; --i) {
        const char c = text[i - 1];
        if (c == ' ')
            continue;
        if (!isHexDigit(c)) {
            console.write("ERROR: hexStrToLong> invalid hex number (");
            console.write(text);
            console.write(") \n");
            return -3;
        }
        sum += static_cast<std::uint64_t>(hexDigitValue(c)) * weight;
        weight *= 16;
    }
    value = static_cast<long>(negative ? 0 - sum : sum);
    return 0;
}

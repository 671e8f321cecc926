#include "adapters/http/ScanText.h"

#include "foundation/HexDigits.h"

#include <climits>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void skipSpace(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isSpace(text[pos])) {
        ++pos;
    }
}

} // namespace

bool scanInt(std::string_view text, std::size_t& pos, int& value) {
    std::size_t at = pos;
    skipSpace(text, at);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t firstDigit = at;
    long long number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        number = number * 10 + (text[at] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1) {
            return false;
        }
        ++at;
    }
    if (at == firstDigit) {
        return false;
    }
    if (negative) {
        number = -number;
    }
    if (number > INT_MAX || number < INT_MIN) {
        return false;
    }
    value = static_cast<int>(number);
    pos = at;
    return true;
}

int scanWorldWideName(std::string_view text, std::uint8_t (&bytes)[8]) {
    std::size_t pos = 0;
    for (int index = 0; index < 8; ++index) {
        if (index > 0) {
            // The separator: any one character.
            if (pos >= text.size()) {
                return index;
            }
            ++pos;
        }
        skipSpace(text, pos);
        unsigned byte = 0;
        if (!readHexDigits(text.data(), text.size(), pos, 2, byte)) {
            return index;
        }
        bytes[index] = static_cast<std::uint8_t>(byte);
    }
    return 8;
}

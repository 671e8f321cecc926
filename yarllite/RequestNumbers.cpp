#include "yarllite/RequestNumbers.h"

#include <climits>

#include "foundation/HexDigits.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t skipBlanks(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    return pos;
}

} // namespace

int readDecimal(std::string_view text) {
    std::size_t pos = skipBlanks(text);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulated as a magnitude, held once it passes the int range.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

std::optional<unsigned> readHex(std::string_view text, unsigned maxValue) {
    std::size_t pos = skipBlanks(text);
    if (text.substr(pos, 2) == "0x" || text.substr(pos, 2) == "0X") {
        pos += 2;
    }
    unsigned long long value = 0;
    for (; pos < text.size() && hexDigitValue(text[pos]) >= 0; ++pos) {
        value = value * 16 + static_cast<unsigned>(hexDigitValue(text[pos]));
        if (value > maxValue) {
            return std::nullopt;
        }
    }
    return static_cast<unsigned>(value);
}

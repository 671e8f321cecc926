#include "foundation/HexDigits.h"

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool readHexDigits(const char* text, std::size_t size, std::size_t& pos, int width,
                   unsigned& value) {
    std::size_t at = pos;
    unsigned number = 0;
    int digits = 0;
    while (digits < width && at < size) {
        const int digit = hexDigitValue(text[at]);
        if (digit < 0) {
            break;
        }
        number = number * 16 + static_cast<unsigned>(digit);
        ++digits;
        ++at;
    }
    if (digits == 0) {
        return false;
    }
    value = number;
    pos = at;
    return true;
}

char* writeHexDigits(char* at, unsigned value, int digits) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (int i = digits - 1; i >= 0; --i, value >>= 4) {
        at[i] = kHex[value & 0xF];
    }
    return at + digits;
}

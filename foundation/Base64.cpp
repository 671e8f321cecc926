#include "foundation/Base64.h"

#include "foundation/InternalStatus.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Estimates are computed in 64 bits so that a huge n cannot wrap to a
// small buffer size; they saturate at the largest 32-bit value instead.
std::uint32_t saturate(std::uint64_t value) {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

std::uint32_t Base64EncodedSize(std::uint32_t n) {
    return saturate(std::uint64_t{n} * 8 / 6 + 9);
}

std::uint32_t Base64DecodedSize(std::uint32_t n) {
    return saturate(std::uint64_t{n} * 6 / 8 + 9);
}

int Base64Encode(const char* in, char* out, int n, unsigned* outCount) {
    if (in == nullptr || out == nullptr || outCount == nullptr || n <= 0) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(in);
    unsigned written = 0;
    std::uint32_t bits = 0; // pending input bits, right-aligned
    int pending = 0;
    for (int i = 0; i < n; ++i) {
        bits = (bits << 8) | bytes[i];
        pending += 8;
        while (pending >= 6) {
            pending -= 6;
            out[written++] = kAlphabet[(bits >> pending) & 0x3F];
        }
    }
    if (pending > 0) {
        // The last group is padded with zero bits on the right.
        out[written++] = kAlphabet[(bits << (6 - pending)) & 0x3F];
    }
    *outCount = written;
    unsigned total = written;
    while (total % 4 != 0) {
        out[total++] = '=';
    }
    out[total] = '\0';
    return 0;
}

int Base64Decode(const char* in, char* out, int n, int* outCount) {
    if (in == nullptr || out == nullptr || outCount == nullptr || n <= 0) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    int written = 0;
    std::uint32_t bits = 0; // pending bits, right-aligned; never more than 13
    int pending = 0;
    for (int i = 0; i < n && in[i] != '='; ++i) {
        const int sextet = Base64SextetOf(in[i]);
        if (sextet < 0) {
            continue;
        }
        // A full byte is written before the next character's bits join.
        if (pending >= 8) {
            pending -= 8;
            out[written++] = static_cast<char>((bits >> pending) & 0xFF);
        }
        bits = ((bits << 6) | static_cast<std::uint32_t>(sextet)) & 0x3FFF;
        pending += 6;
    }
    if (pending > 0) {
        // The rest, taken from the top of the pending bits; for well-formed
        // input this is the last data byte.
        const std::uint32_t top = pending >= 8 ? bits >> (pending - 8) : bits << (8 - pending);
        out[written++] = static_cast<char>(top & 0xFF);
    }
    out[written] = '\0';
    *outCount = written;
    return 0;
}

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "connection/clilib.h"

namespace {

// The valid arbitrated-loop physical addresses in ascending order, behind
// the 0xFF entry at index 0.
constexpr std::array<unsigned char, 128> kLoopAddresses = {
    0xFF, 0x00, 0x01, 0x02, 0x04, 0x08, 0x0F, 0x10, 0x17, 0x18, 0x1B, 0x1D, 0x1E, 0x1F, 0x23, 0x25,
    0x26, 0x27, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x39, 0x3A,
    0x3C, 0x43, 0x45, 0x46, 0x47, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x51, 0x52, 0x53, 0x54, 0x55,
    0x56, 0x59, 0x5A, 0x5C, 0x63, 0x65, 0x66, 0x67, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x71, 0x72,
    0x73, 0x74, 0x75, 0x76, 0x79, 0x7A, 0x7C, 0x80, 0x81, 0x82, 0x84, 0x88, 0x8F, 0x90, 0x97, 0x98,
    0x9B, 0x9D, 0x9E, 0x9F, 0xA3, 0xA5, 0xA6, 0xA7, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xB1, 0xB2,
    0xB3, 0xB4, 0xB5, 0xB6, 0xB9, 0xBA, 0xBC, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD,
    0xCE, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD9, 0xDA, 0xDC, 0xE0, 0xE1, 0xE2, 0xE4, 0xE8, 0xEF};

} // namespace

int parseWWNText(const char* text, unsigned char out[8]) {
    if (text == nullptr) {
        return -1;
    }
    unsigned int bytes[8] = {};
    int consumed = 0;
    const int read = std::sscanf(text, "%x:%x:%x:%x:%x:%x:%x:%x%n", &bytes[0], &bytes[1], &bytes[2],
                                 &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7], &consumed);
    if (read < 8) {
        return -1;
    }
    for (unsigned int byte : bytes) {
        if (byte > 0xFF) {
            return -1;
        }
    }
    if (out != nullptr) {
        for (int i = 0; i < 8; ++i) {
            out[i] = static_cast<unsigned char>(bytes[i]);
        }
    }
    return consumed;
}

void formatWWNText(const unsigned char wwn[8], char out[24]) {
    std::snprintf(out, 24, "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", wwn[0], wwn[1], wwn[2],
                  wwn[3], wwn[4], wwn[5], wwn[6], wwn[7]);
}

int compareWWN(const unsigned char a[8], const unsigned char b[8]) {
    const int order = std::memcmp(a, b, 8);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::uint32_t byteSum(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum += bytes[i];
    }
    return sum;
}

std::uint16_t imageChecksum16(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        sum = static_cast<std::uint16_t>(sum + (bytes[i] | (bytes[i + 1] << 8)));
    }
    return static_cast<std::uint16_t>(0 - sum);
}

int alpaToLoopIndex(unsigned int value) {
    const unsigned char address = static_cast<unsigned char>(value & 0xFF);
    const auto first = kLoopAddresses.begin() + 1;
    const auto found = std::lower_bound(first, kLoopAddresses.end(), address);
    if (found == kLoopAddresses.end() || *found != address) {
        return 0;
    }
    return static_cast<int>(found - kLoopAddresses.begin());
}

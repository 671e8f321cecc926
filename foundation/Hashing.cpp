#include "foundation/Hashing.h"

namespace {

// One step of the hash: a byte from 0x80 up adds its value minus 256.
std::uint32_t step(std::uint32_t h, char c) {
    return h * 5u +
           static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
}

} // namespace

std::uint32_t HashString(const std::string& text) {
    std::uint32_t h = 0;
    for (const char* p = text.c_str(); *p != '\0'; ++p) {
        h = step(h, *p);
    }
    return h;
}

std::uint32_t HashBytes(const char* data, int length) {
    std::uint32_t h = 0;
    for (int i = 0; data != nullptr && i < length; ++i) {
        h = step(h, data[i]);
    }
    return h;
}

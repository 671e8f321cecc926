// An 8-byte world wide name read from a topology page.
#pragma once

#include <cstdint>
#include <string_view>

class WorldName {
public:
    // From text: eight two-digit hexadecimal bytes, each of the first seven
    // followed by any one separator character. Bytes that cannot be read
    // stay zero.
    explicit WorldName(std::string_view text);
    // From 8 raw bytes.
    explicit WorldName(const std::uint8_t (&bytes)[8]);
    virtual ~WorldName() = default;

    void copyTo(std::uint8_t (&bytes)[8]) const;

private:
    std::uint8_t bytes_[8] = {};
};

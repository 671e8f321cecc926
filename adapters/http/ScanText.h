// Bounded readers of the numbers in page texts. They read what the C
// formats "%d" and "%02x%c...%02x" read, but never past the text and never
// into an overflowing int: a number out of the int range is unreadable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads one "%d" at `pos` (leading white space skipped) and moves `pos`
// past it. False, with `pos` and `value` unchanged, when none is readable.
bool scanInt(std::string_view text, std::size_t& pos, int& value);

// Reads "%d" from the start of `text`.
inline bool scanInt(std::string_view text, int& value) {
    std::size_t pos = 0;
    return scanInt(text, pos, value);
}

// Reads up to eight two-digit hexadecimal bytes, each of the first seven
// followed by any one separator character, into `bytes`. Returns how many
// bytes were read; the others are left as they were.
int scanWorldWideName(std::string_view text, std::uint8_t (&bytes)[8]);

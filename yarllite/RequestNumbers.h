// Numbers written as text in requests, read the way the commands have
// always read them, but without undefined behaviour on over-long digits.
#pragma once

#include <optional>
#include <string_view>

// A decimal number: leading white space skipped, an optional sign, then the
// leading digits; whatever follows is ignored and a text without digits
// reads as 0. A value beyond the int range is held at INT_MIN or INT_MAX.
int readDecimal(std::string_view text);

// A hexadecimal number of either case: leading white space skipped and an
// optional "0x"; digits after the last valid one are ignored and a text
// without digits reads as 0. Nothing when the value needs more than
// `maxValue`.
std::optional<unsigned> readHex(std::string_view text, unsigned maxValue);

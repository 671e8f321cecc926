// The number that a text begins with, as the C library's atoi reads it
// (leading white space, an optional sign, decimal digits; none gives 0), but
// held to the range of the result instead of overflowing.
#pragma once

#include <cstdint>
#include <string_view>

std::int32_t decimalPrefix(std::string_view text);
std::int16_t decimalPrefix16(std::string_view text);

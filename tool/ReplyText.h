// Text routines for what the library replies.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// World wide name text for a buffer of `outSize` characters: a text holding
// ":" loses its colons; otherwise every character that is no hexadecimal
// digit becomes "X" and a ":" follows every second one while fewer than 23
// characters are written (16 digits give the 23-character colon form). At
// most outSize - 1 characters. The number written plus one, or 0 (out
// emptied) when outSize is below 24.
std::size_t formatWwn(std::string_view in, std::string& out, std::size_t outSize);

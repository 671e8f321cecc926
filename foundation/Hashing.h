// 32-bit hashes of texts and byte runs, used by the hashed containers and
// by IPAddress. Both compute h = h * 5 + c over the characters, each taken
// as a signed character, in unsigned arithmetic that wraps on overflow.
#pragma once

#include <cstdint>
#include <string>

// Hashes the characters of `text` up to its first NUL.
std::uint32_t HashString(const std::string& text);

// Hashes `length` bytes of `data`; a null pointer or a length below 1
// hashes to 0.
std::uint32_t HashBytes(const char* data, int length);

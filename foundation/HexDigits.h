// Bounded reading of hexadecimal digits (either case) from texts and fixed
// character fields, and their writing.
#pragma once

#include <cstddef>

// The value of a hex digit, or -1 for any other character.
int hexDigitValue(char c);

// Reads up to `width` hex digits of `text` (of `size` characters) from
// `pos` on, never past `size`, and moves `pos` past them. False, with `pos`
// and `value` unchanged, when there is none.
bool readHexDigits(const char* text, std::size_t size, std::size_t& pos, int width,
                   unsigned& value);

// Writes the low `digits` hex digits of `value`, lowercase and zero-filled,
// at `at` (no NUL); returns the end. Digit by digit, as identifiers are
// written for every object a walk or a load reaches and a formatted print
// costs several times as much.
char* writeHexDigits(char* at, unsigned value, int digits);

// Base64 (alphabet A-Z, a-z, 0-9, '+', '/') for the password login.
//
// Neither the encoder nor the decoder checks the size of its output: the
// caller provides at least Base64EncodedSize(n) or Base64DecodedSize(n)
// bytes plus one for the terminating NUL.
#pragma once

#include <cstdint>

// The 6-bit value of an alphabet character, or -1 for any other character.
// Inline, so that the switch simulator, which does not link the library,
// reads the same alphabet.
constexpr int Base64SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

// Output estimate for encoding n bytes: n * 8 / 6 + 9.
std::uint32_t Base64EncodedSize(std::uint32_t n);
// Output estimate for decoding n characters: n * 6 / 8 + 9.
std::uint32_t Base64DecodedSize(std::uint32_t n);

// Encodes n bytes of `in` into `out`, padded with '=' to a multiple of four
// characters and ended by a NUL. `*outCount` receives the number of
// alphabet characters, without the padding. Returns 0, or -10021 (nothing
// written) when n is not positive or a pointer is null.
int Base64Encode(const char* in, char* out, int n, unsigned* outCount);

// Decodes up to n characters of `in` into `out`, stopping at the first '='
// and skipping every character outside the alphabet, and writes a 0 byte
// after the data. `*outCount` receives the number of bytes decoded.
// Returns 0, or -10021 (nothing written) when n is not positive or a
// pointer is null.
int Base64Decode(const char* in, char* out, int n, int* outCount);

// The local identity text that the RPC password login sends.
#pragma once

#include <cstddef>

// Room for the longest signature: a 65-character host name, a 23-character
// world wide name, a long in decimal, two ';' and the NUL.
inline constexpr std::size_t HostSignatureSize = 65 + 1 + 23 + 1 + 20 + 1;

// Writes "<host name>;<name as WWNAddress::toString>;<number>" and a NUL
// into `out` of `outSize` bytes. The host name is at most 65 characters.
// Throws SecurityUtilException "Unable to get local host address." (code
// -10200) when the host name cannot be read, and SecurityUtilException
// with code -10021 when `out` is null or too small for the text.
void formatHostSignature(const unsigned char name[8], long number, char* out, std::size_t outSize);

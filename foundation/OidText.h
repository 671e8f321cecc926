// The generic text form of object identifiers (OID_t): 4 hex digits of the
// 16-bit object type followed by 16 hex digits of the 8 bytes of a world
// wide name, most significant first.
#pragma once

#include "foundation/WWNAddress.h"

#include <orvane/oid.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Size of one identifier field, its NUL included.
inline constexpr std::size_t OidFieldSize = sizeof(OID_t);

// The 20 lower-case digits of `type` and `wwn` ("%04x" and 8 x "%02x").
void formatOidString(unsigned short type, const WWNAddress& wwn, std::string& out);

// The same 20 digits and a NUL into `buffer`, a caller's OID_t field.
void formatOidBuffer(const WWNAddress& wwn, char* buffer, unsigned short type);

// Reads the head of an identifier field in the layout above (hex digits of
// either case): stores each of the eight two-digit name fields into `name`
// and returns the type. Reading stops at the first field without a digit;
// that field and those after it stay 0 (the type too). Never reads past
// the 48-character field, NUL or not.
int parseOidWwn(const OID_t& text, unsigned char name[8]);

// Copies one identifier field: at most 48 characters, the rest of `dst`
// NUL-filled as strncpy does. The last character of `dst` is always NUL,
// so the copy of an over-long source is cut to 47 characters.
void CopyName48(char* dst, const char* src);

// strncmp of two identifier fields over at most 48 characters.
int CompareName48(const char* a, const char* b);

// The text of an identifier field, up to its NUL and never past its 48
// characters; empty for a null field.
inline std::string_view oidFieldText(const char* field) {
    return field != nullptr ? std::string_view(field, strnlen(field, OidFieldSize))
                            : std::string_view();
}

// An identifier field holding at most the first 47 characters of `text`.
struct OidField {
    explicit OidField(const std::string& text) { CopyName48(oid, text.c_str()); }
    OID_t oid{};
};

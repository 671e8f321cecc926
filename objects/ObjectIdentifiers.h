// Object identifier texts of the object model: the check of an identifier
// text, the small hexadecimal readers, and the encoders and decoders of the
// switch port group (type 0xFFFA) and the domain and port reference (type
// 0xF000). Identifier arguments are 48-character OID_t fields: nothing here
// reads past a field's 48th character, and a field without a NUL is not an
// identifier.
#pragma once

#include <cstddef>

// The most hexadecimal digits an identifier holds, so that its NUL falls
// within the field.
inline constexpr std::size_t MaxOidDigits = 47;

// True for a text of 20 to 47 hexadecimal digits of either case ended by a
// NUL within the field; false for null, empty, shorter, longer or any other
// character.
bool IsValidOidText(const char* text);

// Reads `length` characters two at a time: each pair shifts the result left
// by eight bits and adds the pair's value. A character that is not a hex
// digit counts as 0, and so does everything from a NUL on, which ends the
// reading.
int hexTextToInt(const char* text, int length);

// Reads a world wide name written as eight pairs of hex digits with one
// separator character of any kind between pairs (23 characters) into `wwn`.
// False, with `wwn` unchanged, for a null or shorter text.
bool parseWwnText(const char* text, unsigned char wwn[8]);

// True unless all eight bytes are 0.
bool isNonZeroWwn(const unsigned char wwn[8]);

// The object type of an identifier: its first four characters read as hex
// digits. False when they are not four hex digits.
bool readOidType(const char* oid, unsigned short& type);

// The identifier of ports `firstPort` to `lastPort` of the switch `switchOid`
// (type 2): the type 0xFFFA, the switch's name digits and the two ports as
// two hex digits each (24 characters). Returns 0, or -3 (nothing written) for
// another type, a name part that is not 16 hex digits, or ports outside
// 0 <= first <= last <= 255.
int encodeSwitchPortGroupOid(const char* switchOid, int firstPort, int lastPort, char* groupOid);
// The switch identifier (20 characters) and the ports of a switch port group
// identifier. Returns 0, or -3 (nothing written) unless the text is a valid
// identifier of type 0xFFFA and exactly 24 characters.
int decodeSwitchPortGroupOid(const char* groupOid, char* switchOid, int* firstPort, int* lastPort);
// The identifier of port `port` of domain `domain`: the type 0xF000, domain
// and port as two hex digits each and twelve zero digits (20 characters).
// Returns 0, or -3 (nothing written) for a domain outside 0 to 239 or a port
// outside 0 to 255.
int encodeDomainPortRef(int domain, int port, char* ref);
// The domain and port of a domain and port reference. Returns 0, or -3
// (nothing written) unless the text is a valid identifier of type 0xF000.
int decodeDomainPortRef(const char* ref, int* domain, int* port);

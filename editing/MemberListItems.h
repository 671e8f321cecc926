// The member names that the switch's zoning requests carry, made from a
// member list of object identifiers: a port, switch or node by the colon
// text of its world wide name, a zone, alias, zone member or undefined
// zoning object by its name.
#pragma once

// `members` is a run of 48-byte identifier entries ended by one that begins
// with NUL. On 0, `*count` texts sit in `*names` (an array with room for
// every entry); the caller gives them back with FreeMemberNames.
//
// A list of one entry must convert: -21 its object is not stored, -20 it
// has no "ObjType", -17 a port, switch or node without "WWN", -71 an object
// of another type; nothing is handed out then. In a list of any other
// length such entries are left out. A name attribute that cannot be read
// gives the text " ". -2 when memory runs out. The caller holds the
// object-model lock.
int ConvertMemberNames(const char* members, int* count, char*** names);

// Frees the texts and the array that ConvertMemberNames handed out.
void FreeMemberNames(char** names, int count);

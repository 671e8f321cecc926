// From a switch's identifier to what a request to that switch needs: its
// world wide name and the session context of its fabric.
#pragma once

struct SessionContext;

// Takes the object-model lock for the lookups and releases it before it
// returns. 0 with the switch's name and its fabric's session context; -3
// for a null or empty identifier, -21 when the object store does not hold
// it, -6 when it is not a switch, or the code of GetFabricHandleOfObject
// (-6 no "WWN" or parent fabric, -12 a fabric without a session handle).
int GetSessionForOid(const char* oid, unsigned char wwn[8], SessionContext*& handle);

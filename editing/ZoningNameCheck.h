// ZoningObjectNameExists: whether a fabric's defined zoning database holds
// a zone, alias or zone set of a name, answered from the fabric's zoning
// cache ("FZDB"), reloaded from the switch first when the zoning
// capabilities object's "ZoningRefresh" is 1. Names compare exactly.
#pragma once

// The export without its frame: 1 with the identifier (and its NUL) in
// `oid`; 0 when the name is not there; a negative status when the question
// cannot be answered: -3 a null argument or an identifier that is not a
// defined zoning database, -17 the database not stored or no fabric cache,
// the fabric handle walk's code, -29 no zoning capabilities object, the
// reload's code. `oid` is emptied once the database and its fabric are
// found, and left as it was before that.
int Int_ZoningObjectNameExists(const char* fullZoneDbOid, const char* zoningObjectName, char* oid);

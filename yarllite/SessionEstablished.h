// Whether the last session command on a fabric succeeded, as the XML layer
// keeps it on the fabric's stored object: the listing commands write only
// fabrics whose "SessionEstablished" is 1.
#pragma once

#include <string>

// Sets "SessionEstablished" of the object stored under `fabricOid` to 1 or
// 0; nothing when no such object is stored.
void markSessionEstablished(const std::string& fabricOid, bool established);

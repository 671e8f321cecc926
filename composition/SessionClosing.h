// The end of a session: what closing one does, and what shutdown does with
// the sessions still open when it begins.
#pragma once

#include <string>

struct SessionContext;

// Switches the fabric's event notification off, destroys the fabric's
// objects and zoning cache tables, takes the session out of both session
// tables (freeing its legacy record) and, under the device-access lock,
// destroys its context, which deletes the ClientSession. The caller holds
// the object-model lock and keeps every other call out.
void closeSessionOf(const std::string& sessionId, SessionContext* ctx);

// For shutdown, once no call is in flight: closes every session still in
// the session table, so that nothing they started outlives what they use.
void closeSessionsLeftOpen();

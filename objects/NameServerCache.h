// The name-server cache: while a walk over whole fabrics runs (GetAllObjects,
// GetObjectsByType), each fabric's name server is copied once, stepping
// through it with GA_NXT, so that the port, node and device classes look
// ports and nodes up here instead of asking the switch once per object.
//
// Entries are keyed by the session they were read through and their port
// identifier, so that fabrics whose port identifiers repeat keep their own
// entries. Filled and read only under the object-model and device-access
// locks that the walking export holds; it has no lock of its own.
#pragma once

#include <cstddef>

struct NameServerEntry;
struct NameServerPortId;
struct SessionContext;

// Adds the name server of the session's fabric: GA_NXT from port
// identifier 0, entry after entry, until a query fails or answers an
// identifier already taken in this fill (the walk has wrapped round). An
// entry already cached for the session and identifier stays; the new one
// is freed. Remembers the session as the one last filled.
void fillNameServerCache(SessionContext* ctx);
// Frees every entry and empties the cache.
void clearNameServerCache();
// Switches the cache on (the port, node and device classes use it only
// while it is on) or off; off also empties it.
void startNameServerCache();
void endNameServerCache();
bool nameServerCacheOn();
// Cached entries, for tests.
std::size_t nameServerCacheSize();

// Lookups in cache order (session, then port identifier); the first match
// wins. The entry stays owned by the cache. 0, or -21 when the cache is
// empty or nothing matches.
int nsEntryByPortName(const unsigned char portName[8], const NameServerEntry** entry);
int nsPortIdByPortName(const unsigned char portName[8], int* portId);
// The port identifiers of every entry of the node, as (control, port
// identifier) pairs in a heap array that the caller frees with free(); the
// last control is 128, the others 0. `count` gets the number of pairs. 0,
// -21 none, -2 no memory.
int nsPortIdsByNodeName(const unsigned char nodeName[8], NameServerPortId** list,
                        std::size_t* count);
// By port identifier, among the entries of `ctx` (null: the session last
// filled).
int nsPortNameByPortId(int portId, unsigned char portName[8], SessionContext* ctx = nullptr);
// The length and text of the symbolic node name of the first entry of the
// node; the text is copied with at most `size` - 1 characters and a NUL.
int nsSymbolicNodeName(const unsigned char nodeName[8], int* length, char* text, std::size_t size);

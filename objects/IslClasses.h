// Inter-switch links (type 64): read from the topology pages of the
// fabric's proxy switch, matched to the fabric's switches by domain, and
// kept as objects of the fabric in its "setISLSet". Also the small
// identifier routines the link code and other object classes share.
#pragma once

#include <list>
#include <string>

#include "objects/SanElement.h"

class UDAL_ISL;
class UDAL_Switch;

class ISL_NG_1 : public LogSanElement {
public:
    // Re-reads the link from the topology and hands out an ISLRecord
    // (orvane/records.h): 0; -17 the link, its fabric or its handle is
    // missing, or the topology no longer lists it; -2 no memory.
    int BuildObject(const OID_t oid, void** record) override;
};

// Rebuilds the link objects of the fabric stored under `fabricOid`: 0; -90
// the topology cannot be read (the fabric's "setISLSet" is left as it
// was); -12 the fabric is not stored.
int loadFabricIsls(const std::string& fabricOid);

// Reads both topology pages through the fabric session's HTTP connection.
// False when there is no fabric, no session or a page cannot be read. The
// records belong to the caller (deleteListObjects).
bool readFabricTopology(const std::string& fabricOid, std::list<UDAL_Switch*>& switches,
                        std::list<UDAL_ISL*>& links);

// Re-reads one link: the ports at its ends ("SwitchPort1", "SwitchPort2")
// and its cost, count and type. False when the link, its fabric, a port
// list or the topology cannot be read, or the topology no longer lists
// the link.
bool refreshIsl(const std::string& fabricOid, const std::string& linkOid);

// A walk of the object queries begins or ends on the calling thread, which
// holds the object-model lock throughout: for its length each fabric's
// topology pages, and the port lists of the switches at its links' ends,
// are read once.
void beginTopologyWalk();
void endTopologyWalk();

// The plain identifier: the type as "%04x" and the eight name bytes as
// "%02x" each, 20 characters, replacing `out`.
void formatObjectOid(unsigned short type, const unsigned char wwn[8], std::string& out);
// The two names of a two-name identifier (the type is read and dropped).
// False when the text does not hold a type and sixteen name bytes.
bool parseObjectOid(const std::string& oid, unsigned char first[8], unsigned char second[8]);

// Deletes every record of the list and clears its slots; the list keeps
// its length.
template <class Record> void deleteListObjects(std::list<Record*>& list) {
    for (Record*& record : list) {
        delete record;
        record = nullptr;
    }
}

// Installs the descent of the object queries into a fabric's platforms and
// links, and the platform loader of the fabric classes.
void installIslClasses();

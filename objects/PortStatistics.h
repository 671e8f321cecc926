// The classes of a port's statistics object (type 18, PortStats_2_3) and
// error counter object (type 19, PortErrors_2_3). Each reads the counters
// of its parent port from the switch and hands out a flat record of 64-bit
// counters, each two 32-bit words, the high word first (orvane/records.h).
#pragma once

#include "objects/SanElement.h"

struct PortStatsRecord;
struct PortErrorsRecord;

class PortStats_2_3 : public PhySanElement {
public:
    // 0 with the record; -8 not stored; -7 no parent port; -2 no memory; the
    // handle's code; or the translated failure of the request.
    int BuildObject(const OID_t oid, void** record) override;
};

class PortErrors_2_3 : public PhySanElement {
public:
    // As PortStats_2_3, with -9 when the object is not stored.
    int BuildObject(const OID_t oid, void** record) override;
};

SanElement* makePortStatsClass(int level, int secondary);
SanElement* makePortErrorsClass(int level, int secondary);

// Allocate a record and copy the reply into it: 0, or -2.
int fillPortStatsRecord(void** record, const PortStatsRecord& reply);
int fillPortErrorsRecord(void** record, const PortErrorsRecord& reply);

// The element class of zone member objects (type 22), and the resolution
// of a member text to the object it designates (its target).
#pragma once

#include "api/StoredObject.h"
#include "objects/SanElement.h"

class ZoneMember : public LogSanElement {
public:
    // Asks the switch what kind of member the member's text is, resolves
    // and stores its target ("ZoneMemberTarget", the 48-byte identifier
    // field) and hands out a ZoneMemberRecord. 0; -25 when the member or
    // its "MemberName" is missing (also when reloading the defined database
    // removed it); -17 without its parent or "ZMType"; -28 / -29 without
    // the database or zoning capabilities object; -57 when no zone set is
    // active for a member of the active database; -2; the mapped code of a
    // switch refusal; the target's code.
    int BuildObject(const OID_t oid, void** record) override;
};

// Target markers: a world wide name the switch knows but the fabric does not
// show as a port or switch of its own, one the fabric shows otherwise, and
// one it does not show at all.
inline constexpr unsigned short kTargetUntypedName = 0xFFF7;
inline constexpr unsigned short kTargetOtherObject = 0xFFF8;
inline constexpr unsigned short kTargetUnknownName = 0xFFF9;

// Writes into `target` (48 bytes) the identifier of what the member stored
// under `memberOid` designates, given the member kind bits `kindBits` that
// the switch answered: a domain and port reference, a port, node or marker
// identifier of a world wide name, or the defined zoning object of its name
// (the defined database is reloaded first; twenty "0" when none has it).
// `parent` is the member's parent. `target` is written only on success.
// 0; -3 for a null argument, a member identifier longer than 47 characters,
// or a domain or port out of range; -25 when the member or its name is missing; -26 when
// the chain of parents is broken; -17 without "FZDB"; the reload's code.
int discoverMemberTarget(StoredObject* parent, const char* memberOid, int kindBits, char* target);

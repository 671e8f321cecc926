// Member edits of the security policies of a fabric's defined policy set,
// and the deletion of policies. Every change goes to the proxy switch at
// once and needs the fabric's open security transaction
// ("SecurityTransactionActive" 1 on the security capabilities object).
//
// A member list is a run of 48-character entries ended by one that begins
// with NUL. By policy, an entry is an identifier (of a switch, a port, a
// device or a switch port group), a world wide name text, an address or
// name text, or "*".
#pragma once

#include <string>

#include <orvane/oid.h>

struct SessionContext;

// "*", or exactly 23 characters: eight pairs of hex digits joined by ":".
bool isWwnText(const char* text);
// The world wide name of an identifier (its characters 4 to 19) as a world
// wide name text; empty unless `oid` is an identifier text.
std::string oidToWwnText(const char* oid);

// The member text that the switch expects for `policyName`: the converted
// entries joined by ";" (a ";" before every entry but the first, also when
// an entry contributes nothing), and the number of entries. 0; -3 for a
// policy name outside the known policies, an entry without a NUL, an entry
// holding ";" or "|", or an entry that cannot be converted. A null or
// empty list gives 0 with an empty text and a count of 0.
int buildPolicyMemberText(int& entryCount, const char* policyName, const char* memberList,
                          std::string& memberText);

// Add or remove the members of `memberList` to or from the policy on the
// switch. The caller holds the object-store lock. 0; -17 the policy is not
// stored or the transaction flag cannot be read; -12 no fabric; -34 no
// security capabilities relation; -13 the capabilities not stored; -40 no
// security transaction open; -3 a refused policy name or member list; or
// the translated refusal of the switch.
int addSecurityPolicyMember(const char* policyOid, SessionContext* fabricHandle,
                            const char* policyName, const char* memberList);
int removeSecurityPolicyMember(const char* policyOid, SessionContext* fabricHandle,
                               const char* policyName, const char* memberList);

// deleteSecurityObjects without the export frame; the caller holds the
// object-store lock.
int Int_deleteSecurityObjects(const OID_t* policyList);

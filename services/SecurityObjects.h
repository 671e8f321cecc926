// Security policy objects of a fabric in secure mode: the security
// capabilities (type 32), the active (33) and defined (48) policy sets,
// their policies (34 and 49) and each switch's security statistics (50).
// Each class reads the proxy switch when its object is fetched and hands out
// the record of orvane/records.h.
//
// The switch describes a policy set as one text: policies separated by
// "|", and within a policy the name first and then its members, separated
// by ";". A member "EMPTY" ends a member list. The active set may hold a
// piece whose first word is "PRIMARY", listing world wide name texts, the
// first of which names the primary FCS switch.
#pragma once

#include <string>
#include <vector>

#include "objects/SanElement.h"

class SCapabilities : public LogSanElement {
public:
    // 0; -13 not stored or no fabric; -4 no "HDL"; -2 no memory; or the
    // translated failure of the secure mode request (nothing changed then).
    int BuildObject(const OID_t oid, void** record) override;
};

class PolicySetElement : public LogSanElement {
public:
    // 0; -13 not stored, no fabric or no "FabricCounter"; -4 no "HDL"; -2
    // no memory; or the translated failure of the set text request.
    int BuildObject(const OID_t oid, void** record) override;

protected:
    PolicySetElement(unsigned selector, unsigned short setType, unsigned short policyType)
        : selector_(selector), setType_(setType), policyType_(policyType) {}

private:
    unsigned selector_;
    unsigned short setType_;
    unsigned short policyType_;
};

class DefinedPolicySet : public PolicySetElement {
public:
    DefinedPolicySet();
};

class ActivePolicySet : public PolicySetElement {
public:
    ActivePolicySet();
};

class SecurityPolicy : public LogSanElement {
public:
    // 0; -13 not stored, another type or no fabric; -4 no "HDL"; -21 the
    // switch's set no longer holds the policy; -2 no memory; or the
    // translated failure of the set text request.
    int BuildObject(const OID_t oid, void** record) override;
};

class SecurityStats : public PhySanElement {
public:
    // 0; -13 not stored, or no switch or fabric above it; -4 no "HDL"; -2
    // no memory; or the translated refusal of the counters request.
    int BuildObject(const OID_t oid, void** record) override;
};

// The pieces of `text` split at "|" (empty pieces dropped); none for null.
std::vector<std::string> splitPolicySetText(const char* text);
// The pieces of `text` split at any of `separators` (empty pieces dropped).
std::vector<std::string> splitTokens(const std::string& text, const char* separators);
// The number of pieces of `text` split at any of `separators`.
std::size_t countTokens(const std::string& text, const char* separators);

// The number of a policy name: 1 to 12 for the fixed policies, the next
// value of `dccCounter` for a name beginning "DCC_POLICY" (0 from 65025
// on), 0 for any other name.
unsigned policyNumberOf(const std::string& name, unsigned& dccCounter);
// The eight-byte key of a policy's identifier: the four hex digits of the
// policy number and then those of the fabric counter, lowest digit first,
// one per byte.
void policyKeyOf(unsigned number, unsigned fabricCounter, unsigned char key[8]);

// The member identifiers of one member word of a policy: a world wide name
// text becomes a port (SES, MS, DCC) or switch (FCS, SERIAL, FRONTPANEL,
// SCC) identifier; a DCC word with a port list becomes one switch port
// group identifier per run of consecutive ports; other policies keep the
// word. Nothing for a word that cannot be read.
std::vector<std::string> policyMemberToOids(const std::string& word, const std::string& policy);

class StoredObject;
// The fabric above a security object (by type: 9 itself, 32 one step, 33
// and 48 two, 34 and 49 three), or null.
StoredObject* findFabricOfSecurityObject(StoredObject* object);
// The security capabilities above a security object (32 itself, 33 and 48
// one step, 34 and 49 two), or null.
StoredObject* findSecurityCapabilities(StoredObject* object);

// The security statistics object that a switch record names (the walk
// below a switch).
std::vector<std::string> securityStatsChildren(const void* switchRecord);

// Installs the classes of the security objects and their rows of the
// object walk.
void installSecurityObjects();

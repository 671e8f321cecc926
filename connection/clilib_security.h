// Security policy requests (procedure 125), the switch certificate, the
// certificate signing request, certificate installation and the security
// counters of a switch.
#pragma once

#include <cstddef>

#include "connection/clilib.h"

// The switch certificate and the login counter that the switch hands out.
// Release the text with freeSwitchCertificate.
struct SwitchCertificate {
    int length;
    char* text; // NUL-terminated, `length` characters at most
    int counter;
};
int getSwitchCertificate(SessionContext* ctx, SwitchCertificate* certificate);
void freeSwitchCertificate(SwitchCertificate* certificate);

// Length of the policy version stamp on the wire.
inline constexpr std::size_t PolicyVersionStampSize = 128;

int mpsQuery2(SessionContext* ctx, int* value);
// 1 when the fabric runs in secure mode.
int mpsGetSecureMode(SessionContext* ctx, int* secureMode);
int mpsStartSecurityTransaction(SessionContext* ctx);
int mpsCommitSecurityTransaction(SessionContext* ctx);
int mpsAbortSecurityTransaction(SessionContext* ctx);
int mpsActivatePolicySet(SessionContext* ctx);
// At most `size` - 1 (and at most 128) characters, NUL-terminated.
int mpsGetPolicyVersionStamp(SessionContext* ctx, char* stamp, std::size_t size);
int mpsCreatePolicy(SessionContext* ctx, const char* policyName, const char* members);
int mpsDeletePolicy(SessionContext* ctx, const char* policyName);
int mpsAddPolicyMember(SessionContext* ctx, const char* policyName, const char* members);
int mpsRemovePolicyMember(SessionContext* ctx, const char* policyName, const char* members);
// The policy set chosen by `selector` as one text: each policy's name, a
// semicolon, its members and a vertical bar. A typed block.
int mpsGetPolicySetText(SessionContext* ctx, unsigned int selector, char** text);
int mpsGetSecDbStatus(SessionContext* ctx, int* first, int* second);
// Send the two texts encrypted under the switch certificate.
int mpsSetFCSAdminPassword(SessionContext* ctx, const char* first, const char* second);
int mpsSetNonFCSAdminPassword(SessionContext* ctx, const char* first, const char* second);

// The switch's certificate signing request: `text` is a typed block of
// `length` + 1 bytes holding the NUL-terminated text.
struct CertificateRequestText {
    int length;
    char* text;
};
int switchGetCertificateSigningRequest(SessionContext* ctx, const unsigned char switchName[8],
                                       CertificateRequestText* request);
// Sends `length` bytes of `certificate` unchanged.
int installSwitchCertificate(SessionContext* ctx, const unsigned char switchName[8],
                             const char* certificate, int length);
// With `reset` 0 the twelve counters into `stats`; otherwise the switch
// resets them and `stats` (may be null) is left alone.
int switchGetSecurityStats(SessionContext* ctx, const unsigned char switchName[8], int reset,
                           SecurityStatsRecord* stats);

// The security policy service of a fabric (procedure 125).
//
// The fabric's "security" object of the fabric file holds its state:
//   { "secureMode": 1, "query2": 0, "versionStamp": "stamp text",
//     "counter": 7,                      // handed out with the certificate
//     "secDbStatus": [1, 2],
//     "defined": [["DCC_POLICY_x", "members"], ...],
//     "active":  [["DCC_POLICY_x", "members"], ...] }
// and, as the switch changes it, "transaction" (true while one is open),
// "definedAtStart" (restored by an abort) and "adminPasswords" (the Base64
// texts received for types 3 and 4, by type). The proxy switch's
// certificate (type 0) is its "certificate" PEM text.
//
// The policy set text of a policy without members reads "EMPTY" in place of
// them. A "PRIMARY" policy of the active set names the primary FCS switch's
// world wide name; activation keeps it first and copies the defined set
// after it. Removing a member the policy does not hold is refused.
//
// Policy edits and activation need an open transaction; a second start, a
// commit or abort without one, creating a policy that exists, and naming a
// policy that does not all answer status -1. Selector 0 of the policy set
// text reads the defined set, any other the active one.
#pragma once

#include <span>

#include "remote_api.h"
#include "sim/ManagementProgram.h"

ProcedureResult securityPolicyRequest(CallContext& ctx, std::span<const char> args);

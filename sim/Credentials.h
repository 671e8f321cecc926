// The credentials of logged-in clients.
//
// A login (procedure 1, or the certificate login of procedure 126) grants
// a numbered login; the client then sends AUTH_UNIX credentials whose
// machine name is "<host>;<proxy switch name>;<login number>" and whose
// user id is the access level granted.
//
// The fabric's "credentials" field says how calls are checked:
//   absent      nothing is checked;
//   "checked"   an AUTH_UNIX credential must name a login this proxy switch
//               granted, with its access level; calls without one (AUTH_NONE,
//               as discovery sends before it logs in) are accepted;
//   "required"  as "checked", and calls without a credential are refused.
// The null procedure and the two login procedures are always accepted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/FabricModel.h"
#include "sim/ManagementProgram.h"

// Records a login that `proxy` granted with `accessLevel`; its number.
unsigned grantLogin(FabricModel& model, const SwitchModel& proxy, int accessLevel);

// The reason (auth_stat) for refusing the call's credential on `address`,
// or nothing when the call may go on.
std::optional<std::uint32_t> refuseCredential(SimulatorState& state, const std::string& address,
                                              const RpcCall& call);

// The zoning procedures of the management program (10 to 27, 29 to 31) on
// the fabric's zoning database (sim/ZoningDatabase.h), offered as the proxy
// switch's firmware offers them:
//   no version or below 2.3   10 to 22
//   2.3 up to 2.6             also 23 to 27 (transactions, validation, the
//                             active database text)
//   2.6 up to 4.0             also 29 (the type of an active object)
//   4.0.x                     also 30 and 31 (member lists without a limit)
//   4.1 and later             as 4.0, but 19 (clear) is gone
// A procedure the level does not offer answers PROC_UNAVAIL, as an RPC
// server does for a procedure it does not have.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/ManagementProgram.h"

// The firmware level of a version text such as "v4.1.0": major and minor
// number, or nothing when the text names no version.
struct FirmwareLevel {
    int major = 0;
    int minor = 0;
};
std::optional<FirmwareLevel> firmwareLevelOf(const std::string& firmware);

// Whether a proxy of firmware `firmware` (none: it reports no version)
// offers zoning procedure `procedure`.
bool zoningProcedureOffered(std::uint32_t procedure, const std::optional<std::string>& firmware);

// The handler of a zoning procedure, or null for any other procedure.
ProcedureHandler findZoningProcedure(std::uint32_t procedure);

// Reading and keeping the fabric file's data of the name server, the
// fabric configuration server, security policies, certificates, thresholds
// and routes. Mutable state lives in the JSON `source` of its fabric or
// switch, so the control channel can read it back.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "remote_api.h"
#include "sim/ManagementProgram.h"

namespace simdata {

// The switch of `ctx`'s fabric with this name; null for none.
SwitchModel* findSwitch(CallContext& ctx, const unsigned char* name);

// "0a:1b:.." or "0a1b..": exactly `size` bytes into `out`; throws
// std::invalid_argument.
void parseHex(const std::string& text, unsigned char* out, std::size_t size);
std::string toHex(const void* data, std::size_t size);

// A world wide name field of a JSON object (absent: zero).
void wwnField(const nlohmann::json& object, const char* key, unsigned char out[8]);

// A port identifier: a number or six hexadecimal digits.
std::uint32_t portIdField(const nlohmann::json& object, const char* key);

} // namespace simdata

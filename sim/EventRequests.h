// Handlers of the event registration calls, entered in the dispatcher's
// tables of ManagementProgram.cpp: procedures 120 and 121, management
// requests 1822 and 1823.
#pragma once

#include <span>

#include "remote_api.h"
#include "sim/ManagementProgram.h"

ProcedureResult eventServerCreate(CallContext& ctx, std::span<const char> args);
ProcedureResult eventServerDelete(CallContext& ctx, std::span<const char> args);
void threxEventRegisterRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);
void threxEventDeregisterRequest(CallContext& ctx, const MSRequestArgs& args, MSReply& reply);

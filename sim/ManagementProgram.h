// The management program of a proxy switch (program 1289700000, version 1).
//
// Calls are counted and checked against the injected faults, then handed
// to one handler per procedure; the generic management request (procedure
// 40) goes on to one handler per request code. A new handler is one
// function plus one line in its table in ManagementProgram.cpp.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "sim/CallCounters.h"
#include "sim/FabricModel.h"
#include "sim/FaultInjector.h"
#include "sim/ReplyArena.h"
#include "sim/RpcMessage.h"
#include "sim/StopSignal.h"

// What the simulator shares between connections.
struct SimulatorState {
    std::mutex modelMutex; // guards model
    FabricModel model;
    FaultInjector faults;
    CallCounters counters;
    StopSignal stop;
};

// What a handler sees: the model (locked while the handler runs), the
// fabric and proxy switch of the address called, storage for replies, the
// procedure called and the number of the connection it came on (from 1).
struct CallContext {
    const std::string& address;
    FabricModel& model;
    FabricEntry& fabric;
    SwitchModel& proxy;
    ReplyArena arena;
    std::uint32_t procedure = 0;
    std::uint64_t connection = 0;
};

// A handler's answer: Success with the encoded result, or an RPC error.
struct ProcedureResult {
    AcceptStatus status = AcceptStatus::Success;
    Bytes result;
};

using ProcedureHandler = ProcedureResult (*)(CallContext&, std::span<const char> args);

// What to do with a call: send `reply`, send nothing, or close the connection.
struct RpcOutcome {
    enum class Action { Reply, NoReply, Close };
    Action action = Action::Reply;
    Bytes reply;
};

class ManagementProgram {
public:
    explicit ManagementProgram(SimulatorState& state) : state_(state) {}

    // Answers one call that arrived on `address` over connection number
    // `connection`.
    RpcOutcome handle(const std::string& address, const RpcCall& call,
                      std::uint64_t connection = 0);
    // Connection number `connection` closed: what it owned ends.
    void connectionClosed(std::uint64_t connection);

private:
    ProcedureResult run(const std::string& address, const RpcCall& call, std::uint64_t connection);
    RpcOutcome applyFault(const Fault& fault, const std::string& address, const RpcCall& call,
                          std::optional<std::int32_t> code, std::uint64_t connection);

    SimulatorState& state_;
};

// Encodes a result record; SystemError when the record does not encode.
ProcedureResult encodeResult(xdrproc_t filter, void* record);

// Procedures whose first argument unit is a request code (for procedure 15,
// the zoning object type whose names it lists), by which calls are counted
// and faults chosen.
bool procedureHasRequestCode(std::uint32_t procedure);

// Brings back the switches whose time away is over; true while the proxy
// switch served on `address` is still away.
bool proxyAway(SimulatorState& state, const std::string& address);
// A "leaveJoin" fault met on `address`: its switch leaves for the fault's
// absence (see FaultInjector.h).
void leaveForAWhile(SimulatorState& state, const Fault& fault, const std::string& address);

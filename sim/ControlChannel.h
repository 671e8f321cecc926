// Control requests of the tests: one JSON object per line in, one per line
// out, on a loopback TCP port.
//
//   {"op":"ping"}                      -> {"ok":true}
//   {"op":"inject","fault":{...}}      -> {"ok":true}   (fault: see FaultInjector.h)
//   {"op":"clearFaults"}               -> {"ok":true}   (switches away are back)
//   {"op":"faults"}                    -> {"ok":true,"faults":[...]}
//   {"op":"counters"}                  -> {"ok":true,"counters":[...]} (see CallCounters.h)
//   {"op":"resetCounters"}             -> {"ok":true}
//   {"op":"state"}                     -> {"ok":true,"state":{"fabrics":[...]}}
//   {"op":"zoning","fabric":0}      -> {"ok":true,"zoning":{...}} (defined database, saved
//                                         copy, effective configuration, open transaction
//                                         with its owner and copy: sim/ZoningDatabase.h)
//   {"op":"source","fabric":0[,"switch":"<wwn>"]}
//                                      -> {"ok":true,"source":{...}} (the fabric file
//                                         object as the switches changed it)
//   {"op":"moveSwitch","switch":"<wwn>"[,"to":1]}
//                                      -> {"ok":true}   (the switch leaves its fabric and
//                                         joins fabric "to", or no fabric without it)
//   {"op":"setSwitchFields","switch":"<wwn>","fields":{...}}
//                                      -> {"ok":true}   (merged into the switch's fabric
//                                         file object: "firmware" (null: none),
//                                         "zeroFabricWwn" and the rest)
// A request that fails answers {"ok":false,"error":"..."}.
#pragma once

#include <string>

#include "sim/ManagementProgram.h"

class ControlChannel {
public:
    explicit ControlChannel(SimulatorState& state) : state_(state) {}

    // Answers requests on a connected socket until the peer closes it.
    void serve(int fd);
    // The answer line (without line end) to one request line.
    std::string answer(const std::string& line);

private:
    SimulatorState& state_;
};

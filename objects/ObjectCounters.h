// The process-wide counters that number new objects whose identifiers carry
// a number: zoning objects, routes and platforms (from 1), and the policies
// of the defined and the active security policy sets (from 20). Their
// owners take numbers from them; closing every older-interface session
// sets them back.
#pragma once

#include <atomic>

struct ObjectCounters {
    static constexpr unsigned FirstObjectNumber = 1;
    static constexpr unsigned FirstPolicyNumber = 20;

    std::atomic<unsigned> zoneSet{FirstObjectNumber};
    std::atomic<unsigned> zoneAlias{FirstObjectNumber};
    std::atomic<unsigned> zone{FirstObjectNumber};
    std::atomic<unsigned> zoneMember{FirstObjectNumber};
    std::atomic<unsigned> undefinedZoningObject{FirstObjectNumber};
    std::atomic<unsigned> route{FirstObjectNumber};
    std::atomic<unsigned> platform{FirstObjectNumber};
    std::atomic<unsigned> definedPolicySet{FirstPolicyNumber};
    std::atomic<unsigned> activePolicySet{FirstPolicyNumber};
};

ObjectCounters& objectCounters();
// Sets every counter back to its value at load.
void resetObjectCounters();

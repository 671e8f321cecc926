#include "objects/ObjectCounters.h"

ObjectCounters& objectCounters() {
    static ObjectCounters counters;
    return counters;
}

void resetObjectCounters() {
    ObjectCounters& counters = objectCounters();
    for (std::atomic<unsigned>* counter :
         {&counters.zoneSet, &counters.zoneAlias, &counters.zone, &counters.zoneMember,
          &counters.undefinedZoningObject, &counters.route, &counters.platform}) {
        counter->store(ObjectCounters::FirstObjectNumber);
    }
    counters.definedPolicySet.store(ObjectCounters::FirstPolicyNumber);
    counters.activePolicySet.store(ObjectCounters::FirstPolicyNumber);
}

// The object queries behind the exports of orvane/objects.h: one object by
// identifier, a list of objects, and walks over whole fabrics.
//
// A walk starts at each fabric's record and descends through the records
// it meets: the descent table names, per record type, which identifiers a
// record lists as its children. A new object class plugs in with one row:
// the parent's record type and a reader of the child identifiers from the
// parent's record (see registerDescentStep). Types without a row are
// leaves.
#pragma once

#include <string>
#include <vector>

// Reads the identifiers of the children that a record of the step's type
// lists, in the order the walk fetches them.
using ChildReader = std::vector<std::string> (*)(const void* record);

struct DescentStep {
    unsigned short parentType;
    ChildReader children;
    // A child whose identifier was collected already replaces the earlier
    // record in its place (nodes and devices, which several ports reach).
    bool replaceDuplicates = false;
    // Only the first record of the fetch is kept (a node's device).
    bool firstOnly = false;
};

// Adds or replaces the row of `step.parentType`.
void registerDescentStep(const DescentStep& step);

// Adds a reader of further children of records of `parentType`: objects
// that hang off the parent but are not listed in its record. Their
// identifiers follow those of the type's row, in the order the readers were
// added; a reader added again is kept once.
void addDescentChildren(unsigned short parentType, ChildReader extra);

// The implementations, without the export frame. Each takes the
// object-model lock and then the device-access lock.
int querySingleObject(const char* oid, void** record);
int queryObjects(const char* oidList, void*** records);
int queryAllObjects(void*** records);
int queryObjectsByFabrics(const char* fabricOidList, void*** records);
int queryObjectsByType(const char* fabricOid, short objType, void*** records);

// Fetches of the threshold objects (types 36 and 37), which the threshold
// manager installs; until then they give -21.
using ThresholdFetch = int (*)(const char* oid, void** record);
ThresholdFetch setThresholdFetch(ThresholdFetch fetch);

// Process-wide counters: error records made, fetches retried.
unsigned errorRecordCount();
unsigned retriedFetchCount();

// The process-wide threshold manager: the threshold configurations (a class
// and an area) of the switches and their threshold entries, read from and
// written to the switch on every call, never stored. Start-up makes it and
// shutdown deletes it.
//
// Every path that reaches the switch takes the object-model lock and then
// the device-access lock, the library's lock order, and holds both across
// its whole sequence of requests.
#pragma once

#include <orvane/oid.h>
#include <orvane/records.h>

// The unset marker of the boundaries, buffer sizes, index and interval.
inline constexpr int ThrexUnset = ORVANE_THREX_UNSET;
// The unit text that means no change.
inline constexpr char ThrexNoText[] = "NoNoNoNo";

// A class and area pair of the apply and cancel lists; a pair holding -1
// ends a list.
struct ThrexPair {
    int thrClass;
    int area;
};

class ThrexMngr {
public:
    ThrexMngr() = default;
    virtual ~ThrexMngr() = default;
    ThrexMngr(const ThrexMngr&) = delete;
    ThrexMngr& operator=(const ThrexMngr&) = delete;

    // A new record of the threshold identifier's type read from the switch
    // (-3 unreadable, -17 another type, -2 no memory).
    int getThrexObject(const char* oid, void** record);
    int getClassArea(const OID_t switchOid, ThrexClassArea* record);
    int getThresholdEntry(const OID_t switchOid, ThrexThresholdEntry* record);
    // Send the record's changed fields, in the switch's order.
    int modifyClassArea(const OID_t switchOid, ThrexClassArea* record);
    int setThreshold(const OID_t switchOid, ThrexThresholdEntry* record);

    int applyAlarmChanges(const OID_t switchOid, const ThrexPair* pairs);
    int cancelAlarmChanges(const OID_t switchOid, const ThrexPair* pairs);
    int applyBoundaryChanges(const OID_t switchOid, const ThrexPair* pairs);
    int cancelBoundaryChanges(const OID_t switchOid, const ThrexPair* pairs);
    int applyAlarmChanges(const OID_t classAreaOid);
    int cancelAlarmChanges(const OID_t classAreaOid);
    int applyBoundaryChanges(const OID_t classAreaOid);
    int cancelBoundaryChanges(const OID_t classAreaOid);

    // The switch's number of a class and area, or -1 for a pair it lacks.
    static int switchIndex(int thrClass, int area);
    // The same, with every port class on the port class's row (the apply and
    // cancel requests).
    static int changeSwitchIndex(int thrClass, int area);

    static int initClassAreaTemplate(ThrexClassArea* record);
    static int initThresholdEntryTemplate(ThrexThresholdEntry* record);

private:
    int changeList(const OID_t switchOid, const ThrexPair* pairs, int code);
    int changeOne(const OID_t classAreaOid, int code);
};

// Makes the process-wide manager and returns it.
ThrexMngr* createThrexMngr();
// The manager, or null outside start-up and shutdown.
ThrexMngr* getThrexMngr();
// Deletes the manager when there is one and clears the pointer.
void destroyThrexMngr();

// The environment class's row of the switch index table: area 0 to 2 gives
// itself, any other -1.
int ThrexAreaIndexClass1(int area);

// The 32-digit threshold identifier of `type` (36 or 37): -102 for a class
// outside 0..6 or an area outside 0..23, -3 for an empty switch identifier
// or one of another type than 2.
int EncodeThrexOid(OID_t out, const OID_t switchOid, unsigned short type, int thrClass, int area,
                   int index);
// Reads a threshold identifier field by field. -3 for an empty identifier, a
// null output, a type other than 36 and 37, a world wide name that is not 16
// hex digits, or any other character that is not a hex digit; class, area
// and index past the text's end read as 0. Writes the switch's plain
// identifier.
int DecodeThrexOid(const OID_t oid, OID_t switchOid, int* thrClass, int* area, int* index);

// The session and name of a stored switch: -3 empty, -21 not stored, -6 not
// a switch, or the fabric handle's failure. The caller holds the
// object-model lock; `name` receives a copy of the switch's "WWN".
int GetSessionForOid(const OID_t switchOid, unsigned char name[8], void*& handle);

// The apply and cancel attributes of a class and area object (-3 for any
// other attribute code).
int ThrexAttributeDispatch(const OID_t classAreaOid, unsigned attribute);

// Lets the object queries read threshold objects through the manager.
void installThresholds();

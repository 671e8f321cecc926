/* Events: the event record handed to callers, and the exports by which a
 * caller subscribes to events and takes them. */
#ifndef ORVANE_EVENTS_H
#define ORVANE_EVENTS_H

#include "orvane/oid.h"
#include "orvane/orvane_export.h"

/* The threshold object of a threshold event (code 6). */
typedef struct ThrexEventObject {
    unsigned short objectType; /* always 41 */
    OID_t oid;                 /* the threshold entry; empty when it cannot be encoded */
    OID_t switchOid;           /* the switch (object type 2) */
    int threxClass;            /* -1 when the switch's class is unknown */
    int threxArea;             /* -1 when unknown */
    int threxIndex;
    int threshEventType; /* 0 to 5 */
    int threshEventValue;
    char threshEventTime[256]; /* time text, a blank, date text (UTC) */
    unsigned char threshEventTimeLength;
    int threshEventState; /* 0, 1 or 2, else -1 */
} ThrexEventObject;

/* One event. Each text is NUL-ended (a text of 256 characters is ended by
 * its length byte, which then reads 0). */
typedef struct EventRecord {
    OID_t fabricOid; /* the fabric (object type 9) */
    int eventId;     /* counts from 1 */
    char date[256];  /* month/day/year, no leading zeros */
    unsigned char dateLength;
    char time[256]; /* hour:minute:second, no leading zeros */
    unsigned char timeLength;
    int code; /* 2 to 5 port and device state, 6 threshold, 7 heartbeat, 8 firmware
                 download progress, 9 and 10 download completed and failed, 11 switch
                 text, 12 platform change; other switch events their own type */
    char details[256];
    unsigned char detailsLength;
    OID_t* pcAffectedObjects;     /* always set; ended by an empty entry */
    ThrexEventObject* threxObject; /* null unless a threshold event */
} EventRecord;

/* A function called with each event. The record belongs to the library and
 * is valid for the call only; copy what you keep. The function runs on the
 * library's delivery thread with no library lock held, so it may call the
 * exports (the registration exports and GetEvents included). */
typedef void (*EventCallbackFunction)(EventRecord* record);

/* A parsed switch event, for debugTriggerEvent. */
struct SwitchEvent;

ORVANE_BEGIN_DECLS

/* Pushes the XML text of every event to a TCP client at `ipAddress` and
 * `port`; a client already registered at the same address and port is
 * replaced. Returns 0 also when the client cannot be reached (it then
 * receives nothing); -3 for a null address; -98 before start-up; -216
 * once shutdown has begun. */
ORVANE_EXPORT int RegisterForEvents(const char* ipAddress, int port);
/* Calls `callback` with every event (once, however often it is
 * registered). Returns 0; -3 for null; -98; -216. */
ORVANE_EXPORT int RegisterForEventsCallback(EventCallbackFunction callback);
/* Drops every callback and every client. Returns 0; -98; -216. */
ORVANE_EXPORT int UnRegisterForEvents(void);
/* Takes the queued events with IDs from `firstId` to `lastId`, oldest first,
 * at most `max` of them (a negative `max`: the first record examined).
 * Older records are discarded; younger ones stay queued. `*events` receives
 * a null-terminated array, which the caller frees with falFreeObject, each
 * record with its own call. Returns 0; -44 when no fabric's event
 * notification was ever switched on, or the queue is empty and none is on
 * now; -2 out of memory; -3 for a null `events`; -98; -216. */
ORVANE_EXPORT int GetEvents(unsigned int firstId, unsigned int lastId, int max,
                            EventRecord*** events);
/* Handles `event` as if the event listener had received it. The caller
 * keeps `event` and its port list. Works without start-up (events are
 * dropped while no fabric's event notification is on). Returns 0 when the
 * event was handled; -3 for null; -98 without start-up; -44 while no
 * fabric's event notification is on (the event is dropped). */
ORVANE_EXPORT int debugTriggerEvent(struct SwitchEvent* event);

ORVANE_END_DECLS

#endif

// Event registration requests: telling switches where the event listener
// is (procedures 120 and 121) and registering switches for threshold events
// (requests 1822 and 1823).
#pragma once

#include <functional>

#include "connection/EventListener.h"
#include "connection/clilib_session.h"

// Announces the running listener to the session's proxy switch: the local
// address of the session's connection to that switch (the address by which
// the switch reaches this host), `listener->port` and `flags`. The address
// is stored as the advertised one. -60501 while the listener is not running
// (nothing is sent), -10021 without a listener record, -10023 without a
// session connection, -60504 when the local address cannot be read, -10200
// without a reply; otherwise the switch's status.
int registerEventListener(SessionContext* ctx, const EventListenerAddress* listener, int flags);

// Deregisters every switch of the threshold event table, then removes the
// listener `listener` {address, port} from the proxy switch: -10021 without
// a listener record, -10023 without a session connection, -10200 without
// a reply; otherwise the switch's status.
int deregisterEventListener(SessionContext* ctx, const EventListenerAddress* listener);
// The same, deregistering only the switches of the table for which
// `deregisterSwitch` answers true (those of the fabric being stopped).
int deregisterEventListener(SessionContext* ctx, const EventListenerAddress* listener,
                            const std::function<bool(const unsigned char*)>& deregisterSwitch);

// Request 1822 / 1823 for one switch with the advertised listener address
// and port. -60501 while the listener is not running, -10021 without a
// name; a switch status of -21 is returned as -36. A registered switch is
// kept in the process-wide table of 256 names (once; not at all when the
// table is full); a deregistration frees its entry.
int threxEventRegister(SessionContext* ctx, const unsigned char switchName[8]);
int threxEventDeregister(SessionContext* ctx, const unsigned char switchName[8]);
// Whether the switch is in the table.
bool isThrexEventSwitchRegistered(const unsigned char switchName[8]);

// What the fabric class asks of the event manager: the flags of a fabric's
// started event server, for the record's "EnableEventNotifications". The
// event manager sits above the object tree, so it installs its answer when
// it is made; until then no fabric's event server counts as started.
#pragma once

#include <string>

class EventServerHooks {
public:
    virtual ~EventServerHooks() = default;

    // The flags of the last start of the event server of `fabricOid`; 0
    // when it is stopped or unknown.
    virtual unsigned short eventServerStarted(const std::string& fabricOid);
};

// The installed hooks (the default, with no started server, until then).
EventServerHooks& eventServerHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
EventServerHooks* installEventServerHooks(EventServerHooks* hooks);

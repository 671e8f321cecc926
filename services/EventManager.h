// The process-wide event manager. Start-up makes it without threads and
// shutdown deletes it; the event threads, the per-fabric notification and
// the delivery to callers come with the event services.
#pragma once

#include <string>

class EventManager {
public:
    EventManager() = default;
    virtual ~EventManager() = default;
    EventManager(const EventManager&) = delete;
    EventManager& operator=(const EventManager&) = delete;

    // Makes the process-wide manager; it starts no thread.
    static void initEventMgr();
    // Deletes the manager when there is one and clears the pointer.
    static void dispose();
    // The manager, or null before initEventMgr().
    static EventManager* instance();

    // Flags 0 switch the fabric's event notification off: 0. Until the
    // event services exist no fabric has notification on, so there is
    // nothing to stop, and switching it on is not offered (-3).
    virtual int enableEventNotification(const std::string& fabricOid, int flags);
    // Non-zero while a heartbeat monitor runs for the fabric; none does
    // until the event services exist.
    virtual unsigned short eventServerStarted(const std::string& fabricOid);
};

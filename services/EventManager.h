// The process-wide event manager. Start-up makes it without threads and
// shutdown deletes it; the event threads, the per-fabric notification and
// the delivery to callers come with the event services.
#pragma once

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
};

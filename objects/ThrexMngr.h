// The process-wide threshold manager. Start-up makes it and shutdown deletes
// it; the thresholds themselves come with the object model.
#pragma once

class ThrexMngr {
public:
    ThrexMngr() = default;
    virtual ~ThrexMngr() = default;
    ThrexMngr(const ThrexMngr&) = delete;
    ThrexMngr& operator=(const ThrexMngr&) = delete;
};

// Makes the process-wide manager and returns it.
ThrexMngr* createThrexMngr();
// The manager, or null outside start-up and shutdown.
ThrexMngr* getThrexMngr();
// Deletes the manager when there is one and clears the pointer.
void destroyThrexMngr();

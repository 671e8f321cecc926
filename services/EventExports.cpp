// The event exports: subscribing by C callback or by TCP client, removing
// both, taking queued records, and handing in a switch event for tests.
#include <new>

#include <orvane/events.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "foundation/Logging.h"
#include "foundation/StatusTranslation.h"
#include "services/EventManager.h"

namespace {

const char kSource[] = "eventMngr";

// The frame of the event exports: trace records under Vosk_Eventing, the
// initialisation check and the shutdown gate, no exception let out.
template <class Work> int eventExport(const char* name, Work&& work) noexcept {
    try {
        TRACE_ENTER(Vosk_Eventing, name, kSource);
        const int status = gatedCall(InitCheck::Required, [&]() -> int {
            EventManager* manager = EventManager::instance();
            if (manager == nullptr)
                return FABAPI_ERR_NOT_INITIALIZED;
            return MapApiError(work(*manager));
        });
        TRACE_EXIT(Vosk_Eventing, name, kSource);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

} // namespace

extern "C" {

ORVANE_EXPORT int RegisterForEvents(const char* ipAddress, int port) {
    return eventExport("RegisterForEvents", [&](EventManager& manager) {
        return manager.registerCallback(ipAddress, port);
    });
}

ORVANE_EXPORT int RegisterForEventsCallback(EventCallbackFunction callback) {
    return eventExport("RegisterForEventsCallback",
                       [&](EventManager& manager) { return manager.registerCallback(callback); });
}

ORVANE_EXPORT int UnRegisterForEvents(void) {
    return eventExport("UnRegisterForEvents",
                       [](EventManager& manager) { return manager.unregisterCallback(); });
}

ORVANE_EXPORT int GetEvents(unsigned int firstId, unsigned int lastId, int max,
                            EventRecord*** events) {
    return eventExport("GetEvents", [&](EventManager& manager) -> int {
        if (events == nullptr)
            return FABAPI_ERR_BAD_ARGUMENT;
        return manager.getEvents(firstId, lastId, max, events);
    });
}

ORVANE_EXPORT int debugTriggerEvent(SwitchEvent* event) {
    try {
        TRACE_ENTER(Vosk_Eventing, "debugTriggerEvent", kSource);
        int status = 0;
        EventManager* manager = EventManager::instance();
        if (event == nullptr)
            status = FABAPI_ERR_BAD_ARGUMENT;
        else if (manager == nullptr)
            status = FABAPI_ERR_NOT_INITIALIZED;
        else if (!manager->isStarted())
            status = -44;
        else
            manager->eventCallback(event);
        TRACE_EXIT(Vosk_Eventing, "debugTriggerEvent", kSource);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

} // extern "C"

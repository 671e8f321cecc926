#include "services/EventManagerHooks.h"

#include "foundation/Logging.h"

namespace {

const char kSource[] = "EventManagerHooks.cpp";
std::atomic<EventSink*> g_sink{nullptr};

} // namespace

EventSink* setEventSink(EventSink* sink) {
    return g_sink.exchange(sink);
}

EventSink* getEventSink() {
    return g_sink;
}

void eventListenerCallback(SwitchEvent* event) {
    EventSink* sink = g_sink;
    if (sink && event)
        sink->eventCallback(event);
}

EventWaitingThread::EventWaitingThread() : CVoskThread("EventWaitingThread") {
    started_.reset();
}

EventWaitingThread::~EventWaitingThread() {
    stop();
}

void EventWaitingThread::run() {
    TRACE_ENTER(Vosk_Eventing, "EventManager::EventWaitingThread::run", kSource);
    started_.signal();
    // The thread's own stop flag is the listener's second stop signal, so
    // a stop that comes before the listener has started is not lost.
    result_ = runEventListener(eventListenerCallback, [this] { return stopRequested(); });
    TRACE_EXIT(Vosk_Eventing, "EventManager::EventWaitingThread::run", kSource);
}

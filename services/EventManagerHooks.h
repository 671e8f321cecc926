// What the event listener's thread calls of the event manager: the sink
// that takes parsed events, and the thread that runs the listener.
//
// The event manager installs itself as the sink while it is active and
// owns one EventWaitingThread, started on the first event registration.
// Before it is destroyed it stops that thread (which stops the listener)
// and only then removes itself as the sink, so no event is delivered to a
// manager that is gone.
#pragma once

#include <atomic>
#include <chrono>

#include "connection/EventListener.h"
#include "foundation/CVoskThread.h"
#include "foundation/WaitEvent.h"

// Takes the events the listener parses, on the listener's thread. The
// record is reused once the call returns: copy what you keep. The port list
// block belongs to the listener, which frees it after the call.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void eventCallback(SwitchEvent* event) = 0;
};

// Installs the sink that eventListenerCallback() passes events to; null
// removes it. Returns the sink installed before.
EventSink* setEventSink(EventSink* sink);
EventSink* getEventSink();

// The callback that the listener thread hands to runEventListener(): passes
// the record to the installed sink; without one (or for a null record) the
// event is dropped.
void eventListenerCallback(SwitchEvent* event);

// The event manager's listener thread: runs the listener with
// eventListenerCallback until the thread is stopped.
class EventWaitingThread : public CVoskThread {
public:
    EventWaitingThread();
    ~EventWaitingThread() override;

    void run() override;

    // Waits until run() has begun (at most `timeout`): false when it has not.
    bool waitStarted(std::chrono::milliseconds timeout) { return started_.waitFor(timeout); }
    // What runEventListener() returned, once the thread has ended.
    int listenerResult() const { return result_; }

protected:
    // Stops the listener, which returns from its wait at once.
    void wake() override { stopEventListener(); }

private:
    WaitEvent started_;
    std::atomic<int> result_{0};
};

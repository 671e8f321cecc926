// A stand-in for the event manager in tests: keeps a copy of every event
// the listener delivers and lets a test wait, bounded, for a number of them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "services/EventManagerHooks.h"

struct RecordedEvent {
    SwitchEvent record;                           // portList.names is cleared
    std::vector<std::vector<std::uint8_t>> ports; // the port list, copied
};

class RecordingEventSink : public EventSink {
public:
    void eventCallback(SwitchEvent* event) override {
        RecordedEvent copy{*event, {}};
        copy.record.portList.names = nullptr;
        for (std::uint32_t i = 0; event->portList.names && i < event->portList.count; ++i)
            copy.ports.emplace_back(event->portList.names[i], event->portList.names[i] + 8);
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(copy));
        changed_.notify_all();
    }

    // Waits until at least `count` events arrived: false when `bound` ran out.
    bool waitFor(std::size_t count, std::chrono::milliseconds bound = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, bound, [&] { return events_.size() >= count; });
    }
    std::vector<RecordedEvent> events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    std::size_t count() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RecordedEvent> events_;
};

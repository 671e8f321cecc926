// The bounded queue of the newest event records, from which callers take
// records by event ID (GetEvents).
#pragma once

#include <deque>
#include <mutex>

#include "services/EventRecord.h"

class EventQueue {
public:
    explicit EventQueue(unsigned limit = 100) : limit_(limit) {}
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // Appends a record; beyond the limit the oldest one is dropped.
    void addEvent(EventRecordPtr record);

    // From the oldest record on, while its ID is at most `lastId`: takes it
    // off the queue, and into the result when its ID is at least `firstId`,
    // until `max` records are in the result (a negative `max` stops after
    // the first record examined). `*out` receives a caller block: a
    // null-terminated array of caller copies. With `max` 0 or `lastId` below
    // `firstId` the array is empty and the queue unchanged. -44 when the
    // queue is empty and `started` is false; -2 out of memory (the queue then
    // unchanged); 0.
    int getEvents(unsigned firstId, unsigned lastId, int max, bool started, EventRecord*** out);

    std::size_t size() const;

private:
    const unsigned limit_;
    mutable std::mutex lock_;
    std::deque<EventRecordPtr> records_;
};

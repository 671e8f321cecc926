#include "services/EventQueue.h"

#include <vector>

#include <orvane/objects.h>

#include "objects/gorlib.h"

void EventQueue::addEvent(EventRecordPtr record) {
    if (!record)
        return;
    std::lock_guard<std::mutex> guard(lock_);
    records_.push_back(std::move(record));
    while (records_.size() > limit_)
        records_.pop_front();
}

int EventQueue::getEvents(unsigned firstId, unsigned lastId, int max, bool started,
                          EventRecord*** out) {
    if (out == nullptr)
        return -3;
    *out = nullptr;
    if (max == 0 || lastId < firstId) {
        auto** empty = static_cast<EventRecord**>(falAllocObject(sizeof(EventRecord*)));
        if (empty == nullptr)
            return -2;
        *out = empty;
        return 0;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (records_.empty() && !started)
        return -44;
    std::size_t removed = 0;
    std::vector<const EventRecord*> taken;
    for (const EventRecordPtr& record : records_) {
        const unsigned id = static_cast<unsigned>(record->eventId);
        if (id > lastId)
            break;
        ++removed;
        if (id >= firstId)
            taken.push_back(record.get());
        if (max < 0 || (max > 0 && taken.size() >= static_cast<std::size_t>(max)))
            break;
    }
    auto** array =
        static_cast<EventRecord**>(falAllocObject((taken.size() + 1) * sizeof(EventRecord*)));
    if (array == nullptr)
        return -2;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        array[i] = copyEventRecordForCaller(*taken[i]);
        if (array[i] == nullptr) {
            for (std::size_t j = 0; j < i; ++j)
                falFreeObject(array[j]);
            falFreeObject(array);
            return -2;
        }
    }
    records_.erase(records_.begin(), records_.begin() + static_cast<std::ptrdiff_t>(removed));
    *out = array;
    return 0;
}

std::size_t EventQueue::size() const {
    std::lock_guard<std::mutex> guard(lock_);
    return records_.size();
}

#include "services/EventDelivery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Subscribers that a test changes at will, published as the manager does.
class Source : public EventSubscriberSource {
public:
    unsigned long subscriberVersion() const override { return version_.load(); }
    EventSubscribersPtr subscribers() const override {
        std::lock_guard<std::mutex> guard(mutex_);
        return current_;
    }
    void set(std::vector<EventCallbackFunction> callbacks) {
        auto next = std::make_shared<EventSubscribers>();
        next->callbacks = std::move(callbacks);
        std::lock_guard<std::mutex> guard(mutex_);
        next->version = version_.load() + 1;
        current_ = next;
        version_.store(next->version);
    }

private:
    mutable std::mutex mutex_;
    EventSubscribersPtr current_ = std::make_shared<EventSubscribers>(EventSubscribers{{}, {}, 0});
    std::atomic<unsigned long> version_{0};
};

Source* g_source = nullptr;
std::mutex g_mutex;
std::vector<std::pair<char, int>> g_calls; // callback and event ID

void record(char who, const EventRecord* r) {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_calls.emplace_back(who, r->eventId);
}
void second(EventRecord* r) {
    record('b', r);
}
// Removes `second` on the first event it sees.
void first(EventRecord* r) {
    record('a', r);
    if (r->eventId == 1)
        g_source->set({&first});
}

std::vector<std::pair<char, int>> calls() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_calls;
}

bool waitForCalls(std::size_t n) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (calls().size() < n) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

EventRecordPtr recordWithId(int id) {
    EventRecordPtr r = allocEventRecord(0, false);
    r->eventId = id;
    return r;
}

class DeliveryThread : public ::testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        g_source = &source_;
    }
    void TearDown() override {
        thread_.stop();
        g_source = nullptr;
    }
    Source source_;
    EventDeliverThread thread_{source_};
};

TEST_F(DeliveryThread, ACallbackRemovedByAnotherDuringARecordIsSkipped) {
    source_.set({&first, &second});
    ASSERT_EQ(thread_.start(), 0);
    ASSERT_TRUE(thread_.waitStarted(5s));
    thread_.deliverEvent(recordWithId(1));
    thread_.deliverEvent(recordWithId(2));
    ASSERT_TRUE(waitForCalls(2));
    std::this_thread::sleep_for(50ms);
    const std::vector<std::pair<char, int>> expected{{'a', 1}, {'a', 2}};
    EXPECT_EQ(calls(), expected);
}

TEST_F(DeliveryThread, RecordsFromManyProducersArriveOnceEachInEachProducersOrder) {
    source_.set({&second});
    ASSERT_EQ(thread_.start(), 0);
    ASSERT_TRUE(thread_.waitStarted(5s));
    constexpr int kProducers = 4;
    constexpr int kEach = 5000;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([this, p] {
            for (int i = 0; i < kEach; ++i) {
                thread_.deliverEvent(recordWithId(p * kEach + i));
                // Pauses let the thread drain the list and sleep again, so
                // the wake-up on an empty list is exercised too.
                if (i % 500 == 0)
                    std::this_thread::sleep_for(1ms);
            }
        });
    }
    for (std::thread& t : producers)
        t.join();
    ASSERT_TRUE(waitForCalls(kProducers * kEach));
    std::vector<int> last(kProducers, -1);
    std::vector<bool> seen(kProducers * kEach, false);
    for (const auto& [who, id] : calls()) {
        ASSERT_GE(id, 0);
        ASSERT_LT(id, kProducers * kEach);
        EXPECT_FALSE(seen[id]) << id << " twice";
        seen[id] = true;
        EXPECT_GT(id, last[id / kEach]) << "out of its producer's order";
        last[id / kEach] = id;
    }
    EXPECT_EQ(calls().size(), static_cast<std::size_t>(kProducers * kEach));
}

} // namespace

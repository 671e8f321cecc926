#include "services/EventManagerHooks.h"

#include <gtest/gtest.h>

#include "tests/support/RecordingEventSink.h"

namespace {

TEST(EventManagerHooks, EventsReachTheInstalledSinkOnly) {
    SwitchEvent event{};
    event.type = 129;
    eventListenerCallback(&event); // no sink: dropped

    RecordingEventSink sink;
    EXPECT_EQ(setEventSink(&sink), nullptr);
    eventListenerCallback(nullptr);
    eventListenerCallback(&event);
    EXPECT_EQ(setEventSink(nullptr), &sink);
    eventListenerCallback(&event);

    ASSERT_EQ(sink.count(), 1u);
    EXPECT_EQ(sink.events()[0].record.type, 129u);
}

} // namespace

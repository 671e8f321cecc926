// Event records: how each switch event becomes an EventRecord, the event
// codes and their texts, the date and time texts, and the copies that the
// library keeps and hands out.
//
// Inside the library a record is shared (EventRecordPtr): the queue and the
// delivery thread hold the same block, so neither frees it under the other.
// Callers get their own copies from the caller-block registry
// (copyEventRecordForCaller), which they free with falFreeObject.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <orvane/events.h>

#include "connection/EventListener.h"

using EventRecordPtr = std::shared_ptr<EventRecord>;

// A zeroed record with room for `entries` affected objects and the empty
// end entry, and a threshold object when `withThrex`; pcAffectedObjects
// points at the list (threxObject stays null). Null when memory runs out.
EventRecordPtr allocEventRecord(std::size_t entries, bool withThrex);
// A caller block holding a copy of `record` (its list and threshold
// object included, pointers into the copy); null when memory runs out.
EventRecord* copyEventRecordForCaller(const EventRecord& record);
// A shared copy of a record raised inside the library (no threshold
// object): the entries of its list up to the empty one. Null when memory
// runs out or the record is null.
EventRecordPtr copyLibraryEventRecord(const EventRecord* record);

// Sets a text field and its length byte: at most 256 characters; with 256
// the length byte, which then reads 0, ends the text.
void setRecordText(char (&field)[256], unsigned char& length, std::string_view text);
// The text of a field: up to its NUL, at most 256 characters.
std::string recordText(const char (&field)[256]);

// `code` and `details` of a switch event by its type.
void getEventCodeAndDescription(const SwitchEvent& event, EventRecord& record);
// A time value broken down in UTC or in local time; false when it cannot be.
bool getTime(std::time_t value, std::tm& out, bool utc);
// The date ("7/4/2003") and time ("9:5:30") texts of `value`. When it
// cannot be broken down the current local time is used; when that fails
// too both texts are empty.
void getTimeInfo(std::time_t value, std::string& date, std::string& time, bool utc);
// The time text, a blank and the date text.
void getTimeInfo(std::time_t value, std::string& text, bool utc);
// Fills the threshold object of a threshold event of the switch `switchOid`.
void fillThrexObjectAttributes(const char* switchOid, ThrexEventObject& object,
                               const SwitchEvent& event);

// Builds the record of a switch event. `nextId` gives the event ID; it is
// asked only once the event's identifiers are made (so type 129, which
// never gets here, uses none). Null when the event is dropped: its
// identifiers cannot be made, memory runs out, or its type is 192 or above
// (whose ID is then used up). The port list block stays the caller's.
EventRecordPtr buildSwitchEventRecord(const SwitchEvent& event, const std::function<int()>& nextId);
// The same with the fabric and switch identifiers of the event's common
// world wide name already made (types 9 and 2), as the listener has them.
EventRecordPtr buildSwitchEventRecord(const SwitchEvent& event, const char* fabricOid,
                                      const char* switchOid, const std::function<int()>& nextId);

// A record the library raises itself, for the fabric `fabricOid`: `code`,
// `details`, the current local date and time, and `affected` as its list.
// Null when memory runs out.
EventRecordPtr makeLibraryEventRecord(const std::string& fabricOid, int code,
                                      const std::string& details,
                                      const std::vector<std::string>& affected = {});

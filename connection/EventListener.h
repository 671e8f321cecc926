// The event listener: a small TCP server on an ephemeral port to which the
// switches connect and write event lines.
//
// An event line is colon-separated decimal fields ended by LF: the event
// type, two time values, the switch's world wide name as eight byte values,
// then the fields of the type. The listener parses each line into a
// SwitchEvent record and hands it to a callback on its own thread.
//
// There is one listener per process. runEventListener() is the body of the
// event manager's listener thread and returns when the listener ends;
// stopEventListener() may be called from any thread and is seen at once.
// Every connection is served without blocking, through one poll(), with a
// line buffer of its own, so a slow or silent switch never holds up others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Status codes of the listener.
constexpr int EVT_ERR_SOCKET = -60502;           // the listening socket cannot be created
constexpr int EVT_ERR_BIND = -60503;             // it cannot be bound
constexpr int EVT_ERR_LOCAL_ADDRESS = -60504;    // its bound address cannot be read
constexpr int EVT_ERR_LISTEN = -60505;           // listen fails
constexpr int EVT_ERR_TOO_MANY_CLIENTS = -60506; // a connection beyond the table
constexpr int EVT_ERR_PARSE = -60510;            // a line cannot be parsed, or a stop was asked

// Simultaneous switch connections the listener serves.
constexpr int kEventListenerMaxClients = 128;
// Longest event line, its LF included.
constexpr std::size_t kEventLineMax = 2047;
// Longest text of a text event, without its terminating zero byte.
constexpr std::size_t kEventTextMax = 1027;

// The parsed form of one event line. The common part is always filled;
// which of the others is filled depends on the type.
struct SwitchEvent {
    // Common part.
    std::uint32_t type;
    int eventTime; // the line's third field minus its second
    std::uint8_t wwn[8];

    // Types 0 to 31: a threshold event. t4 and t5 stand in swapped order.
    struct Threshold {
        std::uint32_t t1;
        std::uint32_t t2;
        std::uint32_t t3;
        std::uint32_t t5;
        std::uint32_t t4;
        std::uint8_t wwn[8];
        int s1;
        int s2;
        int s3;
        int s4;
    } threshold;

    // Types 64 to 95: a switch event.
    struct Switch {
        std::uint8_t wwn[8];
        std::uint32_t u1;
        std::uint32_t u2;
    } sw;

    // Types 96 to 127: a list of port names. `names` is count x 8 bytes
    // from the C heap, null when count is 0; the listener frees it after
    // the callback returns.
    struct PortList {
        std::uint32_t count;
        std::uint8_t (*names)[8];
    } portList;

    // Types 128 to 191: a firmware event (129 is the heartbeat).
    struct Firmware {
        std::uint8_t wwn[8];
        int f1;
    } firmware;

    // Types 32 to 63: a text event.
    struct Text {
        std::uint8_t wwn[8];
        char text[kEventTextMax + 1];
    } text;
};

// Called on the listener's thread once per parsed line. The record is
// reused for the next line once the callback returns: copy what you keep.
using EventCallback = void (*)(SwitchEvent* event);

// The address the library advertises to switches: an IPv4 address (first
// octet in the most significant byte) and the listener's port.
struct EventListenerAddress {
    std::uint32_t address;
    std::uint16_t port;
};

// Serves switch connections until stopped: 0 after a stop, or one of the
// codes above when the listening socket cannot be set up (-60505 also when
// another runEventListener serves already; that one goes on). A connection
// beyond the table is refused on its own; the listener and the others go on. `alsoStop`, when
// given, is asked on every turn of the loop as a second stop signal (the
// listener thread's own stop flag).
int runEventListener(EventCallback callback, std::function<bool()> alsoStop = {});

// Asks the listener to end; it does so without waiting for a quiet moment.
void stopEventListener();

// Whether runEventListener() is serving now.
bool isEventListenerRunning();

// The advertised address and port: 0, or -60501 while the listener is not
// running.
int getEventListenerAddress(EventListenerAddress* out);
// Stores the advertised address (the port is the listener's own).
void setEventListenerAddress(std::uint32_t address);

// Parses one event line (without its line end) into `record`: 0, or -60510
// when the line does not parse or a stop was asked. On failure the record
// holds no heap block. The caller frees record->portList.names with free().
int parseEventText(const char* text, SwitchEvent* record);

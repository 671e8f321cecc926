// The event side of the simulated switches: the listeners that the library
// registers (procedure 120) and the connections to them, the switches
// registered for threshold events (requests 1822 and 1823), and the control
// request that makes a switch write to its listeners.
//
// A registration connects at once, from the proxy's own address, to the
// listener's address and port and keeps the connection until it is
// deregistered (procedure 121), replaced by a new registration of the same
// listener, or closed by a control request. Only loopback listeners are
// reached.
//
// Control requests (see ControlChannel.h):
//   {"op":"eventRegistrations"} -> {"ok":true,"listeners":[{"address","listener",
//        "port","flags","connected"}...],"threx":[{"address","switch","listener","port"}...]}
//   {"op":"sendEvent","address":A[,"port":P], one of:
//        "text":"..."   the bytes of the text as they are (add the "\n" yourself)
//        "hex":"0a1b.." raw bytes
//        "overlong":N   N digits and an LF: a line longer than any listener takes
//        "close":true   closes the event connections
//        "event":{...}  one event line built from its fields, "count":N times
//                       [,"sendTimes":true]}
//     -> {"ok":true,"connections":n}; the connections of proxy A (to port P only
//        when given); a failure when A has none. With "sendTimes" each event
//        line is written on its own and the reply adds "sentNs": the monotonic
//        clock (steady_clock, in ns) just before each line's write to the
//        first connection served, for latency measurements.
//   {"op":"heartbeats","address":A,"periodMs":N} -> {"ok":true,"connections":n}:
//        the listeners of proxy A get a heartbeat (type 129) every N ms from now
//        on; 0 pauses them. A registration beats every `flags` seconds (the
//        heartbeat interval it carries) until told otherwise.
//
// An event ("event") names its "type" and may give "switch" (the reporting
// switch's world wide name, the proxy's by default), "time" (seconds since
// 1970) and the fields of its type: threshold (0-31) "class", "area",
// "index", "state", "value"; text (32-63) "text"; switch state (64-95)
// "port", "wwn" (the port's name; "00:..:00" for none); port list (96-127)
// "names" (a list of world wide names); firmware (128-191) "status". The
// line's common name is the world wide name of the proxy's fabric.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <thread>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/FabricModel.h"
#include "sim/Socket.h"

class SwitchEvents {
public:
    static SwitchEvents& instance();

    // Procedure 120 on `proxyAddress`: 0, or -1 when the listener cannot be
    // reached (`message` says why).
    // `fabric` and `proxy` are the world wide names the events carry.
    int registerListener(const std::string& proxyAddress, std::uint32_t address, std::uint16_t port,
                         int flags, const Wwn& fabric, const Wwn& proxy, std::string& message);
    // Procedure 121: 0, or -1 when no such listener was registered.
    int deregisterListener(const std::string& proxyAddress, std::uint32_t address,
                           std::uint16_t port);

    // Requests 1822 and 1823: 0, or -1 for a deregistration of a switch
    // that is not registered.
    int registerThrex(const std::string& proxyAddress, const Wwn& sw, std::uint32_t address,
                      std::uint16_t port);
    int deregisterThrex(const std::string& proxyAddress, const Wwn& sw);

    nlohmann::json toJson();
    // The control request "sendEvent": the number of connections served;
    // throws std::runtime_error when none matched.
    int send(const nlohmann::json& request, std::vector<long long>* sentNs = nullptr);

    // Answers the control requests above into `reply`; false for other ops.
    bool answer(const std::string& op, const nlohmann::json& request, nlohmann::json& reply);

    ~SwitchEvents();

    // The event line of an "event" object, LF included.
    static std::string eventLine(const nlohmann::json& event, const Wwn& fabric, const Wwn& proxy);

private:
    struct Listener {
        std::string proxy;
        std::uint32_t address = 0;
        std::uint16_t port = 0;
        int flags = 0;
        Fd connection;
        Wwn fabricWwn{};
        Wwn proxyWwn{};
        long long beatMs = 0; // 0: no heartbeats
        std::chrono::steady_clock::time_point nextBeat{};
    };
    void beatLoop();
    int setHeartbeats(const nlohmann::json& request);
    struct ThrexEntry {
        std::string proxy;
        Wwn sw{};
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };

    std::mutex mutex_;
    std::vector<Listener> listeners_;
    std::vector<ThrexEntry> threx_;
    std::thread beater_;
    bool stopping_ = false;
    std::condition_variable beatChanged_;
};

// Dotted text of an IPv4 address held as a number (first octet high).
std::string formatIPv4(std::uint32_t address);

// Faults injected into the answers of the management program, per proxy
// address, procedure and request code.
//
// A fault, in the fabric file's "faults" list or a control request:
//   { "address": "127.20.0.1",   // absent: every address
//     "procedure": 40,           // absent: every procedure
//     "code": 1285,              // absent: every request code (procedure 15: object type)
//     "kind": "status" | "delay" | "noReply" | "close" | "malformed" | "leaveJoin" | "bytes",
//     "status": -5,              // for "status": the status the reply carries
//     "delayMs": 200,            // waited before the fault acts (all kinds)
//     "count": 1 }               // absent: fires on every matching call
// "status" answers with the given status in the procedure's reply (in the
// access level for procedure 1; a procedure whose reply has no status
// answers SYSTEM_ERR instead); "delay"
// answers normally after the wait; "noReply" reads the call and never
// answers; "close" closes the connection without answering; "malformed"
// answers with bytes that do not decode; "bytes" answers with the result
// bytes of "replyHex" (hexadecimal, blanks ignored) as they stand (on the
// page server: the whole answer), so that a test can play a record written
// by hand. When several faults match, the
// most specific (address, then procedure, then code) wins.
// "leaveJoin" is a switch leaving its fabric and joining it again: the
// switch ("switch": its world wide name; absent: the proxy switch of the
// address called) leaves, the connection closes without an answer, and
// "absentMs" later (default 1000) the switch is back at its place. While a
// proxy switch is away, every call on its address closes the connection and
// its pages are not served. The last switch of a fabric does not leave; the
// fault then only closes the connection. "clearFaults" brings every switch
// back at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

enum class FaultKind { Status, Delay, NoReply, Close, Malformed, LeaveJoin, Bytes };

struct Fault {
    std::string address; // empty: any
    std::optional<std::uint32_t> procedure;
    std::optional<std::int32_t> code;
    FaultKind kind = FaultKind::Status;
    std::int32_t status = -1;
    std::chrono::milliseconds delay{0};
    int remaining = -1; // -1: unlimited
    // LeaveJoin: the switch that leaves (empty: the proxy called) and for how long.
    std::string leavingSwitch;
    std::chrono::milliseconds absence{1000};
    // Bytes: the procedure's result as sent.
    std::vector<char> replyBytes;

    // Throws std::invalid_argument naming the bad field.
    static Fault fromJson(const nlohmann::json& description);
    nlohmann::json toJson() const;
};

class FaultInjector {
public:
    void add(Fault fault);
    void clear();
    // The fault that applies to this call, used up once.
    std::optional<Fault> take(const std::string& address, std::uint32_t procedure,
                              std::optional<std::int32_t> code);
    nlohmann::json toJson() const;

private:
    mutable std::mutex mutex_;
    std::vector<Fault> faults_;
};

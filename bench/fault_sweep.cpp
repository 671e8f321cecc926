// One run per fault class and procedure family against switchsim: the
// simulator injects the fault on the family's procedure at the proxy switch,
// the program calls the export that reaches it and prints the code returned
// and the time it took, checked against the expected codes and the bound.
//
// The switch leaving and joining is the proxy switch leaving its fabric for
// one call time-out and joining it again.
//
// The RPC call time-out is shortened (as the tests do) so that a run of the
// whole table takes seconds; a delay fault waits past it. The bound of a cell
// is, for each call that met the fault, the call time-out and the library's
// one-second retry pause, plus one second of margin: a call may wait out its
// own time-out, nothing may wait longer.
//
//   fault_sweep [--timeout-ms N]     exit status 1 when a cell does not hold
//   fault_sweep --probe              each family's calls without a fault
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "connection/clilib.h"
#include "connection/clilib_transfer.h"
#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/transfers.h"
#include "services/EventManager.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr char kFabricA[] = "000910000060690000a1";
constexpr char kSwitchA2[] = "000210000060690000a2";
constexpr char kFullZoningDb[] = "001810000060690000a1";
constexpr char kZoningCapabilities[] = "001510000060690000a1";
constexpr unsigned kZoneTransactionActive = 0xA0B23;
// The switch status injected by the status fault: a request-layer code
// that the status table turns into -25 (the zoning table into -3) and that
// asks for no fabric re-read.
constexpr int kInjectedStatus = -10103;
constexpr int kTranslatedStatus = -25;
// A call without a usable reply (time-out, closed connection, undecodable
// reply) is the request layer's -10200, which the exports give as -56; a
// login without one is refused (-14); the event server gives -44 for any
// failed registration.
constexpr int kNoReplyCode = -56;
constexpr int kLoginRefused = -14;
constexpr int kEventServerFailed = -44;
// A firmware download gives every failure as -43.
constexpr int kDownloadFailed = -43;

json fabrics() {
    return json::parse(R"({"fabrics": [
      {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
         {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0"}]}]})");
}

struct FaultClass {
    const char* name;
    json fault; // without address, procedure and code
};

struct Family {
    const char* name;
    std::uint32_t procedure;
    std::optional<std::int32_t> code;
    bool needsSession;           // a session is open before the fault is set
    std::function<int()> call;   // the export that reaches the procedure
    std::function<void()> after; // undoes what a successful call left
    std::set<int> statusCodes;    // expected for the status fault
    std::set<int> transportCodes; // expected for the other faults
};

struct Cell {
    std::string family;
    std::string fault;
    int code = 0;
    long long ms = 0;
    long long boundMs = 0;
    std::uint64_t hits = 0;
    std::string expected;
    bool holds = false;
};

int startLibrary(SwitchSimulator& sim) {
    FabAPI_ShutdownFabricAPI();
    if (const int status = FabAPI_InitializeFabricAPI(nullptr); status != 0)
        return status;
    std::string host = sim.address(0);
    FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                            const_cast<char*>("password")};
    if (const int status = FabAPI_AppendProxyEntry(&entry); status != 0)
        return status;
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    const int status = FabAPI_DiscoverFabrics(&info);
    falFreeObject(info);
    return status;
}

int establish() {
    FabAPI_FabricIdentity identity{};
    std::strncpy(identity.structFabSig.structFabricOID, kFabricA, sizeof(OID_t) - 1);
    FabAPI_ClientSessionID* session = nullptr;
    const int status = FabAPI_EstablishSession(&identity, &session);
    falFreeObject(session);
    return status == 500 ? 0 : status;
}

// A small firmware image with a right header checksum, in /tmp.
std::string writeImage() {
    char name[] = "/tmp/fault-sweep-fw-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        return {};
    std::vector<unsigned char> data(100000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 7);
    std::vector<unsigned char> header(kFirmwareHeaderSize, 0x21);
    const std::uint16_t word = imageChecksum16(data.data(), data.size());
    header[8] = static_cast<unsigned char>(word & 0xFF);
    header[9] = static_cast<unsigned char>(word >> 8);
    const bool written =
        write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
        write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    close(fd);
    return written ? std::string(name) : std::string();
}

std::string codesText(const std::set<int>& codes) {
    std::string text;
    for (int code : codes)
        text += (text.empty() ? "" : " or ") + std::to_string(code);
    return text;
}

void printTable(const std::vector<Cell>& cells, long long timeoutMs) {
    std::printf("call time-out %lld ms; bound = calls that met the fault x (time-out + 1000 ms) "
                "+ 1000 ms\n\n",
                timeoutMs);
    std::printf("| family | fault | code | ms | bound ms | faulted calls | expected | check |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Cell& c : cells)
        std::printf("| %s | %s | %d | %lld | %lld | %llu | %s | %s |\n", c.family.c_str(),
                    c.fault.c_str(), c.code, c.ms, c.boundMs,
                    static_cast<unsigned long long>(c.hits), c.expected.c_str(),
                    c.holds ? "ok" : "MISMATCH");
}

} // namespace

int main(int argc, char** argv) {
    long long timeoutMs = 1000;
    bool probe = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--probe") == 0) {
            probe = true;
        } else if (std::strcmp(argv[i], "--timeout-ms") == 0 && i + 1 < argc) {
            timeoutMs = std::atoll(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--timeout-ms N] [--probe]\n", argv[0]);
            return 2;
        }
    }
    if (timeoutMs < 100) {
        std::fprintf(stderr, "the call time-out must be at least 100 ms\n");
        return 2;
    }
    internalTiming().rpcCallTimeout = std::chrono::milliseconds(timeoutMs);
    internalTiming().connectTimeout = std::chrono::milliseconds(timeoutMs);
    internalTiming().eventListenerAddressRetryPause = std::chrono::milliseconds(20);

    SwitchSimulator sim(fabrics());
    const std::string image = writeImage();
    struct RemoveImage {
        const std::string& path;
        ~RemoveImage() { unlink(path.c_str()); }
    } removeImage{image};
    if (image.empty()) {
        std::fprintf(stderr, "the firmware image could not be written\n");
        return 1;
    }
    const std::string proxy = sim.address(0);

    const std::vector<FaultClass> faults = {
        {"status", {{"kind", "status"}, {"status", kInjectedStatus}}},
        {"delay past time-out", {{"kind", "delay"}, {"delayMs", timeoutMs + 500}}},
        {"no reply", {{"kind", "noReply"}}},
        {"closed connection", {{"kind", "close"}}},
        {"malformed data", {{"kind", "malformed"}}},
        // The proxy switch leaves the fabric for one call time-out: the
        // call's connection closes, and so does every call meanwhile.
        {"switch leaving and joining", {{"kind", "leaveJoin"}, {"absentMs", timeoutMs}}},
    };
    const std::vector<Family> families = {
        // The access level carries the status: below 0 refuses the login.
        {"session/login", 1, std::nullopt, false, establish, [] { FabAPI_CloseSessions(); },
         {kLoginRefused}, {kLoginRefused}},
        // The fabric name's reply has no status: the status fault is a
        // failed call there.
        {"session/fabric name", 2, std::nullopt, false, establish,
         [] { FabAPI_CloseSessions(); }, {kNoReplyCode}, {kNoReplyCode}},
        {"object read", 40, 1287, true,
         [] {
             void* record = nullptr;
             const int status = GetSingleObject(kSwitchA2, &record);
             falFreeObject(record);
             return status;
         },
         [] {}, {kInjectedStatus, kTranslatedStatus}, {kNoReplyCode}},
        {"zoning read", 15, 1, true,
         [] {
             // The defined zoning database: read with the zoning procedures.
             void* record = nullptr;
             const int status = GetSingleObject(kFullZoningDb, &record);
             falFreeObject(record);
             return status;
         },
         [] {}, {-3}, {kNoReplyCode}},
        {"zoning transaction start", 23, std::nullopt, true,
         [] {
             std::string caps(kZoningCapabilities);
             caps.resize(96, '\0');
             unsigned short one = 1;
             return AddAttributes(caps.c_str(), kZoneTransactionActive, &one);
         },
         [] {
             std::string caps(kZoningCapabilities);
             caps.resize(96, '\0');
             unsigned short zero = 0;
             AddAttributes(caps.c_str(), kZoneTransactionActive, &zero);
         },
         {-3}, {kNoReplyCode}},
        {"event registration", 120, std::nullopt, true,
         [] { return EventManager::instance()->enableEventNotification(kFabricA, 1); },
         [] { EventManager::instance()->enableEventNotification(kFabricA, 0); },
         {kEventServerFailed}, {kEventServerFailed}},
        {"configuration transfer", 40, 1836, true,
         [] {
             OID_t oid = {};
             std::strncpy(oid, kSwitchA2, sizeof oid - 1);
             char* text = nullptr;
             const int status = ConfigurationUpload(oid, &text);
             falFreeObject(text);
             return status;
         },
         [] {}, {kTranslatedStatus}, {kNoReplyCode}},
        {"firmware transfer", 40, 1832, true,
         [&image] {
             std::string list(kSwitchA2);
             list.resize(2 * sizeof(OID_t), '\0');
             char* result = nullptr;
             const int status = FirmwareDownloadDirect(list.c_str(), image.c_str(), true, &result);
             falFreeObject(result);
             return status;
         },
         [] {}, {kDownloadFailed}, {kDownloadFailed}},
    };

    if (probe) {
        for (const Family& family : families) {
            if (startLibrary(sim) != 0 || (family.needsSession && establish() != 0))
                return 1;
            sim.resetCounters();
            const int status = family.call();
            std::printf("%s: %d %s\n", family.name, status, sim.counters().dump().c_str());
            if (status == 0)
                family.after();
        }
        FabAPI_ShutdownFabricAPI();
        return 0;
    }

    std::vector<Cell> cells;
    for (const Family& family : families) {
        for (const FaultClass& faultClass : faults) {
            Cell cell;
            cell.family = family.name;
            cell.fault = faultClass.name;
            if (startLibrary(sim) != 0 || (family.needsSession && establish() != 0)) {
                std::fprintf(stderr, "%s: the fabric could not be opened\n", family.name);
                return 1;
            }
            json fault = faultClass.fault;
            fault["address"] = proxy;
            fault["procedure"] = family.procedure;
            if (family.code)
                fault["code"] = *family.code;
            const std::uint64_t before = sim.callCount(proxy, family.procedure, family.code);
            sim.injectFault(fault);
            const auto start = Clock::now();
            cell.code = family.call();
            cell.ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                          .count();
            sim.clearFaults();
            cell.hits = sim.callCount(proxy, family.procedure, family.code) - before;
            if (cell.code == 0)
                family.after();
            cell.boundMs = static_cast<long long>(cell.hits) * (timeoutMs + 1000) + 1000;
            const bool isStatus = std::string(faultClass.name) == "status";
            const std::set<int>& expected = isStatus ? family.statusCodes : family.transportCodes;
            cell.expected = codesText(expected);
            const bool codeHolds = expected.count(cell.code) != 0;
            cell.holds = cell.hits > 0 && codeHolds && cell.ms <= cell.boundMs;
            if (cell.hits == 0)
                cell.expected += " (fault not reached)";
            cells.push_back(cell);
            std::fprintf(stderr, "%s / %s: %d in %lld ms\n", family.name, faultClass.name,
                         cell.code, cell.ms);
        }
    }
    FabAPI_ShutdownFabricAPI();
    printTable(cells, timeoutMs);
    for (const Cell& c : cells)
        if (!c.holds)
            return 1;
    return 0;
}

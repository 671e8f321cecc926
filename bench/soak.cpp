// A long run of the library under load and faults: worker threads call a
// mix of exports on two simulated fabrics while the simulator injects a
// random fault at a time on the calls the run makes. At the end it prints,
// per export, the calls made, each result code and its count, the longest
// call, and the process's resident memory at the start, after warm-up and
// at the end.
//
// The simulator is started by scripts/soak, which passes its control port
// and the two proxy addresses of bench/soak_fabrics.json.
//
//   soak --control-port P --proxy A --proxy B [--seconds N] [--warmup N]
//        [--threads N] [--timeout-ms N] [--limit-ms N] [--seed N]
//
// Exit status: 0 the run held; 1 a result code that the library does not
// specify (named); 2 usage or set-up; 3 the watchdog saw a call run longer
// than its limit (the export named); the process then ends at once.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "foundation/InternalTiming.h"
#include "orvane/events.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "orvane/xmlcommand.h"
#include "services/EventManager.h"

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// --- The codes the library specifies ---

// Every public code: the codes of orvane/status.h, the codes the public
// headers name for their exports, and every code the status translation
// gives (its table rows, its module classes, the three passed-through
// request-layer codes). A switch's own status above -10000 passes through
// the translation unchanged; the only such statuses the run injects are the
// switch's busy answer (-86) and a request-layer status that the table
// turns into -25, and the simulator's "request not supported" (-1).
const std::set<int>& specifiedCodes() {
    static const std::set<int> codes = [] {
        std::set<int> all = {
            0, 500, 501, 502,
            // orvane/status.h
            -2, -3, -4, -12, -13, -21, -40, -43, -56, -92, -93, -94, -95, -96, -97, -98, -99, -200,
            -201, -202, -209, -210, -211, -212, -214, -216, -219, -221, -1000,
            // named by the public headers
            -1, -6, -14, -17, -18, -20, -34, -36, -44, -50, -66, -86, -102, -104, -109,
            // the status translation's table
            -5, -25, -31, -32, -39, -49, -52, -53, -54, -55, -57, -58, -60, -61, -62, -63, -64, -65,
            -67, -74, -83, -85, -87, -89, -217, -218, -10110, -10111, -10112,
            // the translation's module classes
            -1501, -1502, -1503, -1504, -1505, -1506};
        for (int code = -114; code <= -101; ++code)
            all.insert(code);
        return all;
    }();
    return codes;
}

// --- Figures ---

struct ExportFigures {
    std::uint64_t calls = 0;
    std::map<int, std::uint64_t> codes;
    long long longestMs = 0;
};

std::mutex figuresMutex;
std::map<std::string, ExportFigures> figures;
std::atomic<bool> unknownCode{false};
std::string firstUnknown; // guarded by figuresMutex

void record(const std::string& name, int code, long long ms) {
    std::scoped_lock lock(figuresMutex);
    ExportFigures& f = figures[name];
    ++f.calls;
    ++f.codes[code];
    f.longestMs = std::max(f.longestMs, ms);
    if (!specifiedCodes().count(code) && !unknownCode.exchange(true))
        firstUnknown = name + " returned " + std::to_string(code);
}

void printFigures() {
    std::scoped_lock lock(figuresMutex);
    std::printf("| export | calls | codes (count) | longest ms |\n|---|---|---|---|\n");
    for (const auto& [name, f] : figures) {
        std::string codes;
        for (const auto& [code, count] : f.codes)
            codes += (codes.empty() ? "" : ", ") + std::to_string(code) + " (" +
                     std::to_string(count) + ")";
        std::printf("| %s | %llu | %s | %lld |\n", name.c_str(),
                    static_cast<unsigned long long>(f.calls), codes.c_str(), f.longestMs);
    }
    std::fflush(stdout);
}

long long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atoll(line.c_str() + 6);
    return -1;
}

// --- Watchdog: one slot per worker, the export it is in and since when ---

struct Slot {
    std::atomic<long long> sinceNs{0}; // 0: not in a call
    std::atomic<const char*> name{nullptr};
};

std::vector<Slot>* slots = nullptr;
long long limitMs = 0;

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// Runs one export call under the watchdog and records its code.
int timed(std::size_t worker, const char* name, const std::function<int()>& call) {
    Slot& slot = (*slots)[worker];
    slot.name.store(name);
    const long long start = nowNs();
    slot.sinceNs.store(start);
    const int code = call();
    slot.sinceNs.store(0);
    record(name, code, (nowNs() - start) / 1000000);
    return code;
}

// Every thread's stack, for the report of a stuck call, when gdb is there.
void dumpStacks() {
    if (access("/usr/bin/gdb", X_OK) != 0)
        return;
    const std::string command = "/usr/bin/gdb -p " + std::to_string(getpid()) +
                                " -batch -ex 'thread apply all bt 30' 2>/dev/null";
    std::printf("stacks:\n");
    std::fflush(stdout);
    if (std::system(command.c_str()) != 0)
        std::printf("(gdb failed)\n");
    std::fflush(stdout);
}

void watchdog(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        std::this_thread::sleep_for(200ms);
        const long long now = nowNs();
        for (std::size_t i = 0; i < slots->size(); ++i) {
            const long long since = (*slots)[i].sinceNs.load();
            if (since != 0 && (now - since) / 1000000 > limitMs) {
                std::printf("WATCHDOG: %s on worker %zu has run %lld ms (limit %lld ms)\n",
                            (*slots)[i].name.load(), i, (now - since) / 1000000, limitMs);
                printFigures();
                std::fflush(stdout);
                dumpStacks();
                _exit(3);
            }
        }
    }
}

// --- The simulator's control channel ---

class Control {
public:
    bool connectTo(std::uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        return fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    // The answer, or a null value when the channel failed.
    json request(const json& body) {
        std::scoped_lock lock(mutex_);
        const std::string line = body.dump() + "\n";
        if (send(fd_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size()))
            return nullptr;
        const auto deadline = Clock::now() + 10s;
        std::size_t end;
        while ((end = pending_.find('\n')) == std::string::npos) {
            pollfd waiting{fd_, POLLIN, 0};
            if (Clock::now() > deadline || poll(&waiting, 1, 200) < 0)
                return nullptr;
            char buffer[65536];
            if ((waiting.revents & POLLIN) == 0)
                continue;
            const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0)
                return nullptr;
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
        json answer = json::parse(pending_.substr(0, end), nullptr, false);
        pending_.erase(0, end + 1);
        return answer.is_discarded() ? json(nullptr) : answer;
    }

private:
    std::mutex mutex_;
    int fd_ = -1;
    std::string pending_;
};

// --- The two fabrics (bench/soak_fabrics.json) ---

struct SoakFabric {
    std::string proxyAddress;
    std::string wwnHex;                // the proxy's world wide name, 16 hex digits
    std::vector<std::string> switches; // world wide names as "10:00:..."
    std::atomic<FabAPI_ClientSessionID*> session{nullptr};

    std::string oid(const char* type) const { return type + wwnHex; }
    std::string switchOid(std::size_t i) const {
        std::string hex;
        for (char c : switches[i])
            if (c != ':')
                hex += c;
        return "0002" + hex;
    }
};

SoakFabric soakFabrics[2];

// A list of 48-character identifier entries ended by an empty one.
std::string oidList(const std::vector<std::string>& oids) {
    std::string list;
    for (const auto& oid : oids) {
        std::string entry = oid;
        entry.resize(48, '\0');
        list += entry;
    }
    list.append(48, '\0');
    return list;
}

void freeList(void** records) {
    if (records == nullptr)
        return;
    for (void** r = records; *r != nullptr; ++r)
        falFreeObject(*r);
    falFreeObject(records);
}

// The code a processCommand reply carries: its Fault's, else 0 when the
// call succeeded; -1000 for a failed call without a Fault.
int xmlCode(bool result, const std::string& reply) {
    const std::string open = "<YarlErrorCode>";
    const std::size_t at = reply.find(open);
    if (at != std::string::npos)
        return std::atoi(reply.c_str() + at + open.size() +
                         (reply[at + open.size()] == '\n' ? 1 : 0));
    return result ? 0 : FABAPI_ERR_UNMAPPED;
}

std::string xmlRequest(const std::string& command, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + body + "</YarlRequest>\n";
}

std::atomic<std::uint64_t> eventsDelivered{0};
void onEvent(EventRecord*) {
    ++eventsDelivered;
}

// --- The workers ---

struct Worker {
    std::size_t index;
    std::mt19937 random;
    const std::atomic<bool>& stop;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    SoakFabric& fabric() { return soakFabrics[pick(2)]; }
    void pause(int maxMs) { std::this_thread::sleep_for(std::chrono::milliseconds(pick(maxMs))); }

    int establish(SoakFabric& f) {
        return timed(index, "FabAPI_EstablishSession", [&] {
            FabAPI_FabricIdentity identity{};
            const std::string oid = f.oid("0009");
            std::strncpy(identity.structFabSig.structFabricOID, oid.c_str(), 47);
            FabAPI_ClientSessionID* session = nullptr;
            const int code = FabAPI_EstablishSession(&identity, &session);
            if (session != nullptr && (code == 0 || code >= 500))
                f.session.store(session);
            else if (session != nullptr)
                falFreeObject(session);
            return code;
        });
    }

    void discover() {
        timed(index, "FabAPI_DiscoverFabrics", [] {
            FabAPI_FabricDiscoveryInfo* info = nullptr;
            const int code = FabAPI_DiscoverFabrics(&info);
            falFreeObject(info);
            return code;
        });
    }

    // Keeps a session on its fabric: opens it when there is none, now and
    // then closes it and opens it again, now and then discovers again.
    void sessions(SoakFabric& f) {
        while (!stop.load()) {
            FabAPI_ClientSessionID* session = f.session.load();
            if (session == nullptr) {
                const int code = establish(f);
                if (code == FABAPI_ERR_FABRIC_NOT_DISCOVERED)
                    discover(); // a discovery under a fault missed the fabric
                else if (code != 0 && code < 500)
                    pause(300);
                continue;
            }
            pause(4000);
            if (stop.load())
                break;
            f.session.store(nullptr);
            timed(index, "FabAPI_CloseSession", [&] { return FabAPI_CloseSession(session); });
            falFreeObject(session);
            if (pick(5) == 0)
                discover();
        }
    }

    void query() {
        SoakFabric& f = fabric();
        switch (pick(5)) {
        case 0:
        case 1: {
            const std::string oid = pick(4) == 0 ? f.oid("0018") : f.switchOid(pick(4));
            timed(index, "GetSingleObject", [&] {
                void* record = nullptr;
                const int code = GetSingleObject(oid.c_str(), &record);
                falFreeObject(record);
                return code;
            });
            break;
        }
        case 2:
        case 3: {
            const std::string list =
                oidList({f.oid("0009"), f.switchOid(pick(4)), f.switchOid(pick(4)), f.oid("0015")});
            timed(index, "GetObjects", [&] {
                void** records = nullptr;
                const int code = GetObjects(list.c_str(), &records);
                freeList(records);
                return code;
            });
            break;
        }
        default:
            timed(index, "GetAllObjects", [] {
                void** records = nullptr;
                const int code = GetAllObjects(&records);
                freeList(records);
                return code;
            });
        }
    }

    // A zoning transaction on the capabilities object: started, then
    // committed or rolled back.
    void zoning() {
        constexpr unsigned kTransactionActive = 0xA0B23;
        constexpr unsigned kTransactionCommit = 0xA0B24;
        SoakFabric& f = fabric();
        const std::string caps = oidList({f.oid("0015")});
        unsigned short one = 1;
        unsigned short zero = 0;
        const int started = timed(index, "AddAttributes(ZoneTransactionActive 1)", [&] {
            return AddAttributes(caps.c_str(), kTransactionActive, &one);
        });
        if (started != 0)
            return;
        pause(100);
        if (pick(2) == 0)
            timed(index, "AddAttributes(ZoneTransactionCommit 1)",
                  [&] { return AddAttributes(caps.c_str(), kTransactionCommit, &one); });
        else
            timed(index, "AddAttributes(ZoneTransactionActive 0)",
                  [&] { return AddAttributes(caps.c_str(), kTransactionActive, &zero); });
    }

    void events() {
        switch (pick(5)) {
        case 0:
            timed(index, "RegisterForEventsCallback",
                  [] { return RegisterForEventsCallback(onEvent); });
            break;
        case 1:
            if (pick(3) == 0)
                timed(index, "UnRegisterForEvents", [] { return UnRegisterForEvents(); });
            break;
        case 2: {
            const std::string oid = fabric().oid("0009");
            const int flags = pick(3) == 0 ? 0 : 1;
            timed(index, flags ? "event notification on" : "event notification off",
                  [&] { return EventManager::instance()->enableEventNotification(oid, flags); });
            break;
        }
        default:
            timed(index, "GetEvents", [] {
                EventRecord** events = nullptr;
                const int code = GetEvents(1, UINT_MAX, 100, &events);
                if (events != nullptr) {
                    for (EventRecord** e = events; *e != nullptr; ++e)
                        falFreeObject(*e);
                    falFreeObject(events);
                }
                return code;
            });
        }
    }

    void xml() {
        SoakFabric& f = fabric();
        std::string command;
        std::string body;
        switch (pick(4)) {
        case 0:
            command = "GetAllObjects";
            break;
        case 1:
        case 2:
            command = "GetObjects";
            body = "<ObjectReference>" + f.switchOid(pick(4)) + "</ObjectReference>\n" +
                   "<ObjectReference>" + f.oid("0009") + "</ObjectReference>\n";
            break;
        default:
            command = "GetEvents";
            body = "<EventTarget startEventId=\"1\" endEventId=\"100000\" maxEvents=\"100\"/>\n";
        }
        const std::string name = "processCommand(" + command + ")";
        static std::map<std::string, std::string> names; // stable pointers for the watchdog
        static std::mutex namesMutex;
        const char* stable;
        {
            std::scoped_lock lock(namesMutex);
            stable = names.emplace(name, name).first->second.c_str();
        }
        const std::string request = xmlRequest(command, body);
        timed(index, stable, [&] {
            std::string reply;
            const bool result = processCommand(request, reply);
            return xmlCode(result, reply);
        });
    }

    void run() {
        // Workers 0 and 1 keep the sessions; the rest share out the mix.
        if (index < 2) {
            sessions(soakFabrics[index]);
            return;
        }
        while (!stop.load()) {
            const std::size_t role =
                index < 14 ? (index - 2) / 3 : static_cast<std::size_t>(pick(4));
            switch (role) {
            case 0:
                query();
                break;
            case 1:
                zoning();
                break;
            case 2:
                events();
                break;
            default:
                xml();
            }
            pause(50);
        }
    }
};

// --- Faults: one or two at a time, on the calls the run was seen to make ---

struct Target {
    std::string address;
    std::uint32_t procedure;
    std::optional<std::int32_t> code;
};

std::map<std::string, std::uint64_t> faultsInjected;

void injectFaults(Control& control, const std::atomic<bool>& stop, long long timeoutMs,
                  std::uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::vector<Target> targets;
    auto lastRefresh = Clock::now() - 1h;
    auto lastClear = Clock::now();
    const char* kinds[] = {"status", "delay", "noReply", "close", "malformed", "leaveJoin"};
    while (!stop.load()) {
        std::this_thread::sleep_for(400ms);
        if (Clock::now() - lastRefresh > 20s) {
            const json counters = control.request({{"op", "counters"}});
            if (counters.is_object() && counters.contains("counters")) {
                targets.clear();
                for (const auto& row : counters["counters"]) {
                    Target t{row["address"], row["procedure"], std::nullopt};
                    if (row.contains("code"))
                        t.code = row["code"].get<std::int32_t>();
                    targets.push_back(t);
                }
            }
            lastRefresh = Clock::now();
        }
        // Faults that no call met (a family not called meanwhile) go.
        if (Clock::now() - lastClear > 30s) {
            control.request({{"op", "clearFaults"}});
            lastClear = Clock::now();
        }
        // Switch events for the registered listeners and callbacks: a port
        // of a random switch changing state.
        if (pick(2) == 0) {
            const SoakFabric& f = soakFabrics[pick(2)];
            control.request({{"op", "sendEvent"},
                             {"address", f.proxyAddress},
                             {"event",
                              {{"type", 64 + pick(4)},
                               {"switch", f.switches[static_cast<std::size_t>(pick(4))]},
                               {"port", pick(16)},
                               {"wwn", "00:00:00:00:00:00:00:00"}}},
                             {"count", 1 + pick(5)}});
        }
        const json pending = control.request({{"op", "faults"}});
        if (targets.empty() || !pending.is_object() || pending["faults"].size() >= 2)
            continue;
        const Target& t = targets[static_cast<std::size_t>(pick(static_cast<int>(targets.size())))];
        const std::string kind = kinds[pick(6)];
        json fault = {
            {"address", t.address}, {"procedure", t.procedure}, {"kind", kind}, {"count", 1}};
        if (t.code)
            fault["code"] = *t.code;
        if (kind == "status")
            fault["status"] = t.procedure == 80 ? 500 : (pick(2) == 0 ? -10103 : -86);
        if (kind == "delay")
            fault["delayMs"] = timeoutMs + 500;
        if (kind == "leaveJoin") {
            fault["absentMs"] = 200 + pick(1800);
            const SoakFabric& f = soakFabrics[t.address == soakFabrics[0].proxyAddress ? 0 : 1];
            const int which = pick(static_cast<int>(f.switches.size()));
            if (which != 0)
                fault["switch"] = f.switches[static_cast<std::size_t>(which)];
        }
        if (control.request({{"op", "inject"}, {"fault", fault}}).value("ok", false))
            ++faultsInjected[kind + " on procedure " + std::to_string(t.procedure)];
    }
    control.request({{"op", "clearFaults"}});
}

} // namespace

int main(int argc, char** argv) {
    int controlPort = 0;
    std::vector<std::string> proxies;
    long long seconds = 60;
    long long warmup = 10;
    std::size_t threads = 16;
    long long timeoutMs = 1000;
    std::uint32_t seed = static_cast<std::uint32_t>(time(nullptr));
    limitMs = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) {
            std::fprintf(stderr, "%s needs a value\n", arg.c_str());
            return 2;
        }
        ++i;
        if (arg == "--control-port")
            controlPort = std::atoi(value);
        else if (arg == "--proxy")
            proxies.emplace_back(value);
        else if (arg == "--seconds")
            seconds = std::atoll(value);
        else if (arg == "--warmup")
            warmup = std::atoll(value);
        else if (arg == "--threads")
            threads = static_cast<std::size_t>(std::atoll(value));
        else if (arg == "--timeout-ms")
            timeoutMs = std::atoll(value);
        else if (arg == "--limit-ms")
            limitMs = std::atoll(value);
        else if (arg == "--seed")
            seed = static_cast<std::uint32_t>(std::atoll(value));
        else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (controlPort <= 0 || proxies.size() != 2 || seconds < 1 || threads < 3 || timeoutMs < 100 ||
        warmup < 0 || warmup >= seconds) {
        std::fprintf(stderr, "usage: soak --control-port P --proxy A --proxy B [--seconds N] "
                             "[--warmup N] [--threads N>=3] [--timeout-ms N>=100] "
                             "[--limit-ms N] [--seed N]\n");
        return 2;
    }
    // A call may meet a few faults one after the other, and it may wait
    // behind the object-model and RPC locks while another worker's call
    // times out, the longest being a zoning commit or activation (60 s, the
    // long-call time-out, which is not shortened): the limit allows that
    // one long call, ten call time-outs with their retry pauses, and ten
    // seconds of margin.
    constexpr long long kLongCallMs = 60000;
    if (limitMs < 0)
        limitMs = kLongCallMs + 10 * (timeoutMs + 1000) + 10000;
    internalTiming().rpcCallTimeout = std::chrono::milliseconds(timeoutMs);
    internalTiming().connectTimeout = std::chrono::milliseconds(timeoutMs);
    internalTiming().eventListenerAddressRetryPause = 20ms;
    internalTiming().heartbeatInterval = 2s;

    const char* wwns[2][4] = {{"10:00:00:60:69:37:a0:01", "10:00:00:60:69:37:a0:02",
                               "10:00:00:60:69:37:a0:03", "10:00:00:60:69:37:a0:04"},
                              {"10:00:00:60:69:37:b0:01", "10:00:00:60:69:37:b0:02",
                               "10:00:00:60:69:37:b0:03", "10:00:00:60:69:37:b0:04"}};
    for (int f = 0; f < 2; ++f) {
        soakFabrics[f].proxyAddress = proxies[static_cast<std::size_t>(f)];
        for (const char* wwn : wwns[f])
            soakFabrics[f].switches.emplace_back(wwn);
        soakFabrics[f].wwnHex = soakFabrics[f].switchOid(0).substr(4);
    }

    const long long rssStart = residentKiB();
    Control control;
    if (!control.connectTo(static_cast<std::uint16_t>(controlPort)) ||
        !control.request({{"op", "ping"}}).value("ok", false)) {
        std::fprintf(stderr, "the simulator's control channel does not answer\n");
        return 2;
    }
    if (FabAPI_InitializeFabricAPI(nullptr) != 0 || !initializeCommand()) {
        std::fprintf(stderr, "the library does not start\n");
        return 2;
    }
    for (auto& proxy : proxies) {
        FabAPI_ProxyEntry entry{proxy.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        FabAPI_AppendProxyEntry(&entry);
    }
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    const int discovered = FabAPI_DiscoverFabrics(&info);
    falFreeObject(info);
    if (discovered != 0) {
        std::fprintf(stderr, "discovery failed: %d\n", discovered);
        return 2;
    }

    std::printf("soak: %zu workers, %lld s (warm-up %lld s), call time-out %lld ms, watchdog "
                "limit %lld ms, seed %u\n",
                threads, seconds, warmup, timeoutMs, limitMs, seed);
    std::fflush(stdout);

    std::vector<Slot> workerSlots(threads);
    slots = &workerSlots;
    std::atomic<bool> stop{false};
    std::atomic<bool> watchdogStop{false};
    std::thread dog(watchdog, std::cref(watchdogStop));
    std::thread injector(injectFaults, std::ref(control), std::cref(stop), timeoutMs, seed + 1);
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < threads; ++i)
        workers.emplace_back([i, seed, &stop] {
            Worker worker{i, std::mt19937(seed + 7 * static_cast<std::uint32_t>(i) + 11), stop};
            worker.run();
        });

    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(warmup));
    const long long rssWarm = residentKiB();
    std::printf("soak: warm-up over, resident %lld KiB\n", rssWarm);
    std::fflush(stdout);
    while (Clock::now() - start < std::chrono::seconds(seconds) && !unknownCode.load())
        std::this_thread::sleep_for(200ms);
    stop.store(true);
    for (auto& worker : workers)
        worker.join();
    injector.join();
    watchdogStop.store(true);
    dog.join();

    for (auto& f : soakFabrics)
        if (FabAPI_ClientSessionID* session = f.session.exchange(nullptr)) {
            timed(0, "FabAPI_CloseSession", [&] { return FabAPI_CloseSession(session); });
            falFreeObject(session);
        }
    UnRegisterForEvents();
    const int shutdown = FabAPI_ShutdownFabricAPI();
    const long long rssEnd = residentKiB();

    printFigures();
    std::printf("\nfaults injected:\n");
    for (const auto& [what, count] : faultsInjected)
        std::printf("  %s: %llu\n", what.c_str(), static_cast<unsigned long long>(count));
    std::printf("events delivered to the callback: %llu\n",
                static_cast<unsigned long long>(eventsDelivered.load()));
    std::printf("shutdown: %d\n", shutdown);
    std::printf("resident memory KiB: start %lld, after warm-up %lld, end %lld\n", rssStart,
                rssWarm, rssEnd);
    if (unknownCode.load()) {
        std::printf("FAILED: a code the library does not specify: %s\n", firstUnknown.c_str());
        return 1;
    }
    std::printf("soak held: every code specified, no call over the watchdog limit\n");
    return shutdown == 0 ? 0 : 1;
}

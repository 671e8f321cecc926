// Starts the switch simulator (switchsim) for one test and talks to its
// control channel. Tests that use it can run in parallel: each simulator
// serves loopback addresses picked at random for it.
//
// Usage:
//   SwitchSimulator sim(R"({"fabrics": [{"name": "A", "switches": [
//       {"wwn": "10:00:00:60:69:00:00:01", "firmware": "v4.1.0", "address": "@0"},
//       {"wwn": "10:00:00:60:69:00:00:02"}]}]})"_json);
//   clnt_create(sim.address(0).c_str(), 1289700000, 1, "tcp");
//   sim.injectFault({{"address", sim.address(0)}, {"procedure", 2}, {"kind", "close"}});
//   EXPECT_EQ(sim.callCount(sim.address(0), 2), 1u);
//
// In the fabric document every text value "@<n>" (n from 0) is replaced by
// an unused loopback address (127.x.y.z, bound-checked on ports 80 and 111)
// picked for this run; address(n) returns it. The document format (fabrics,
// switches, users, "generate", "faults", "unservedAddresses") is described
// in sim/FabricModel.h, faults in sim/FaultInjector.h and control requests
// in sim/ControlChannel.h.
//
// Every wait is bounded: start-up (ready) 20 s, a control request 10 s,
// stop 10 s before SIGKILL. Failures throw std::runtime_error.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include <nlohmann/json.hpp>

class SwitchSimulator {
public:
    // Writes the fabric file, starts switchsim and waits for "ready".
    explicit SwitchSimulator(nlohmann::json fabric);
    // Stops the simulator when still running and removes the fabric file.
    ~SwitchSimulator();
    SwitchSimulator(const SwitchSimulator&) = delete;
    SwitchSimulator& operator=(const SwitchSimulator&) = delete;

    // A fabric document of `fabrics` generated fabrics of `switchesPerFabric`
    // switches each, the proxy of fabric f (from 0) at "@f".
    static nlohmann::json generatedFabrics(int fabrics, int switchesPerFabric,
                                           const std::string& firmware = "v4.1.0");

    // The address picked for "@index".
    const std::string& address(std::size_t index) const;
    // The management program's TCP port on a served address.
    std::uint16_t managementPort(const std::string& address) const;
    pid_t pid() const { return pid_; }

    // Control requests. request() throws when the answer is not {"ok":true}.
    nlohmann::json request(const nlohmann::json& request);
    void injectFault(const nlohmann::json& fault);
    void clearFaults();
    nlohmann::json counters();
    void resetCounters();
    nlohmann::json state();
    // Calls counted for (address, procedure, code); without `code`, the sum
    // over every code of that procedure.
    std::uint64_t callCount(const std::string& address, std::uint32_t procedure,
                            std::optional<std::int32_t> code = std::nullopt);

    // Closes the simulator's standard input; it then exits on its own.
    void closeStdin();
    // Waits at most `bound` for the process to end; its wait status, or
    // nothing when it still runs.
    std::optional<int> waitForExit(std::chrono::milliseconds bound);
    // SIGTERM, a bounded wait, SIGKILL as last resort; the wait status.
    int stop();

private:
    bool start(const nlohmann::json& fabric, std::string& failure);
    void readAnnouncements();
    std::string readLine(std::chrono::steady_clock::time_point deadline);
    void connectControl(std::uint16_t port);

    std::vector<std::string> addresses_;
    std::map<std::string, std::uint16_t> managementPorts_;
    std::string fabricFile_;
    pid_t pid_ = -1;
    std::optional<int> exitStatus_;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::string stdoutPending_;
    std::mutex controlMutex_; // one control request at a time
    int controlFd_ = -1;
    std::string controlPending_;
};

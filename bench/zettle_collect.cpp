// `zettle -g` (batch signing-request collection) over two generated fabrics
// of 239 switches each behind switchsim, with their ports, devices, links
// and zoning: logins, the fabric and switch tables, the product lookups and
// one signing request per switch. Target: under 10 s per run (Release
// build).
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/SwitchSimulator.h"
#include "tests/zettle/ZettleProcess.h"

namespace {

constexpr int SwitchesPerFabric = 239;

// Two generated fabrics of real shape: every switch with its ports,
// attached hosts and storage, links, zoning and a signing key of the test
// PKI (so that the simulator's key generation is not measured).
nlohmann::json twoLargeFabrics() {
    return SwitchSimulator::generatedFabrics(2, SwitchesPerFabric);
}

void BM_ZettleCollectTwoFabrics(benchmark::State& state) {
    SwitchSimulator sim(twoLargeFabrics());
    ZettleWorkspace workspace;
    workspace.writeFile("fabrics.txt", sim.address(0) + "\n" + sim.address(1) + "\n");
    for (auto _ : state) {
        const ZettleResult result = workspace.run({"-g", "-d", "csrs.xml", "-a", "fabrics.txt",
                                                   "-u", "admin", "-p", "password", "-L", "1"});
        if (result.exitCode != 0) {
            state.SkipWithError(("zettle -g ended " + std::to_string(result.exitCode)).c_str());
            break;
        }
    }
    const std::string csrs = workspace.readFile("csrs.xml");
    std::size_t requests = 0;
    for (std::size_t at = csrs.find("<CSR>"); at != std::string::npos;
         at = csrs.find("<CSR>", at + 1))
        ++requests;
    state.counters["signing_requests"] = static_cast<double>(requests);
}

} // namespace

BENCHMARK(BM_ZettleCollectTwoFabrics)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

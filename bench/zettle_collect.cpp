// `zettle -g` (batch signing-request collection) over two fabrics of 239
// switches each behind switchsim: logins, the fabric and switch tables, the
// product lookups and one signing request per switch. Every switch signs
// with the same key of the test PKI, so that the simulator's key generation
// is not measured. Target: under 10 s per run (Release build).
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/SwitchSimulator.h"
#include "tests/zettle/ZettleProcess.h"

namespace {

constexpr int SwitchesPerFabric = 239;

nlohmann::json twoLargeFabrics() {
    nlohmann::json document{{"fabrics", nlohmann::json::array()}};
    for (int f = 0; f < 2; ++f) {
        nlohmann::json switches = nlohmann::json::array();
        for (int s = 0; s < SwitchesPerFabric; ++s) {
            char wwn[32];
            std::snprintf(wwn, sizeof wwn, "10:00:00:60:69:%02x:%02x:%02x", f + 1, s >> 8,
                          s & 0xff);
            nlohmann::json entry{{"wwn", wwn},
                                 {"name", "sw-" + std::to_string(f) + "-" + std::to_string(s)},
                                 {"firmware", "v4.1.0"},
                                 {"signingKey", "switch-01"}};
            if (s == 0)
                entry["address"] = "@" + std::to_string(f);
            switches.push_back(entry);
        }
        document["fabrics"].push_back(
            {{"name", "F" + std::to_string(f)},
             {"users", {{{"name", "admin"}, {"password", "password"}}}},
             {"switches", switches}});
    }
    return document;
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

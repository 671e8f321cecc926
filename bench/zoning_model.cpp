// 10,000 random zoning transactions (creations, clears and reads that meet
// injected switch failures, each transaction rolled back or committed)
// against the model of tests/zoning/ZoningModelRun.h, on a simulated proxy
// of firmware 4.1. Prints the figures; exits 1 on the first difference.
//
//   zoning_model [transactions [seed]]
#include <cstdio>
#include <cstdlib>

#include "tests/zoning/ZoningModelRun.h"

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10'000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
    zoning_model::ZoningModelRun run("v4.1.0");
    if (!run.opened()) {
        std::fprintf(stderr, "the simulated fabric did not open\n");
        return 1;
    }
    const std::string failure = run.run(seed, count);
    const zoning_model::Figures& f = run.figures;
    std::printf("seed %u: %d transactions (%d committed, %d rolled back, %d ended by activation)\n",
                seed, f.transactions, f.commits, f.rollbacks, f.activations);
    std::printf("%d creations, %d refused as expected, %d clears, %d reads (%d failed as injected)\n",
                f.creations, f.refusals, f.clears, f.reads, f.failedReads);
    std::printf("%.1f s, %.2f ms a transaction\n", f.seconds,
                f.transactions > 0 ? 1000.0 * f.seconds / f.transactions : 0.0);
    if (!failure.empty()) {
        std::printf("model difference: %s\n", failure.c_str());
        return 1;
    }
    std::printf("every transaction matched the model\n");
    return 0;
}

// Seeded random zoning edit sequences against a model (see
// ZoningModelRun.h). ORVANE_ZONING_MODEL_SEED replays one seed,
// ORVANE_ZONING_MODEL_TRANSACTIONS sets the count (default 40); the seed is
// printed with every failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "tests/zoning/ZoningModelRun.h"

namespace {

unsigned seedToUse() {
    if (const char* text = std::getenv("ORVANE_ZONING_MODEL_SEED")) {
        return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    }
    return std::random_device{}();
}

int countToUse() {
    if (const char* text = std::getenv("ORVANE_ZONING_MODEL_TRANSACTIONS")) {
        return std::atoi(text);
    }
    return 40;
}

class ZoningModel : public ::testing::TestWithParam<const char*> {};

TEST_P(ZoningModel, RandomTransactionsMatchTheModel) {
    const unsigned seed = seedToUse();
    SCOPED_TRACE("ORVANE_ZONING_MODEL_SEED=" + std::to_string(seed));
    zoning_model::ZoningModelRun run(GetParam());
    ASSERT_TRUE(run.opened());
    EXPECT_EQ("", run.run(seed, countToUse()));
    const zoning_model::Figures& figures = run.figures;
    EXPECT_EQ(figures.transactions, figures.commits + figures.rollbacks + figures.activations);
    EXPECT_GT(figures.creations, 0);
}

INSTANTIATE_TEST_SUITE_P(Firmware, ZoningModel, ::testing::Values("v2.6.0", "v4.1.0"));

} // namespace

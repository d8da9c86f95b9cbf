// A seeded sample of the sweep per effect, and one silence tail per rate and channel count. The
// whole product runs in run_sweep.sh, beside ctest.
#include <gtest/gtest.h>
#include "sweep_cases.h"

namespace {

constexpr int kCasesPerEffect = 40;
constexpr uint32_t kSeed = 20240519;

class SweepSample : public ::testing::TestWithParam<int> {};

TEST_P(SweepSample, NoNonFiniteStateAndTheSolverWithinItsCap) {
    for (const sweep::Case& c : sweep::sample(GetParam(), kCasesPerEffect, kSeed)) {
        const sweep::Outcome out = sweep::run_case(c);
        EXPECT_TRUE(out.ok) << sweep::describe(c) << ": " << out.problem;
    }
}

INSTANTIATE_TEST_SUITE_P(Effects, SweepSample, ::testing::Range(1, 17));

class SilenceTail : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SilenceTail, TenSecondsOfSilenceAfterABurstLeaveNoSubnormalState) {
    const auto [rate, channels] = GetParam();
    const sweep::Outcome out = sweep::silence_tail(rate, channels);
    EXPECT_TRUE(out.ok) << out.problem;
}

INSTANTIATE_TEST_SUITE_P(Formats, SilenceTail,
                         ::testing::Combine(::testing::ValuesIn(sweep::kRates), ::testing::Values(1, 2)));

}  // namespace

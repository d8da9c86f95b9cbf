// The whole sweep (every case of the product), or a seeded sample of it:
//   soundfx_sweep                 every case, then the silence tails
//   soundfx_sweep --sample N S    N cases an effect drawn with seed S
// Prints each failing case and a summary; exits 1 when any case failed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "soundfx/core/effect_set.h"
#include "sweep_cases.h"

int main(int argc, char** argv) {
    std::vector<sweep::Case> cases;
    if (argc == 4 && std::strcmp(argv[1], "--sample") == 0) {
        for (int effect = 1; effect <= soundfx::kEffectCount; ++effect) {
            const auto part = sweep::sample(effect, std::atoi(argv[2]), uint32_t(std::strtoul(argv[3], nullptr, 10)));
            cases.insert(cases.end(), part.begin(), part.end());
        }
    } else {
        cases = sweep::all_cases();
    }
    const auto start = std::chrono::steady_clock::now();
    long failed = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        const sweep::Outcome out = sweep::run_case(cases[i]);
        if (!out.ok) {
            ++failed;
            std::printf("FAIL %s: %s\n", sweep::describe(cases[i]).c_str(), out.problem.c_str());
        }
        if ((i + 1) % 2000 == 0) {
            std::printf("%zu / %zu cases\n", i + 1, cases.size());
            std::fflush(stdout);
        }
    }
    long tails = 0;
    for (int rate : sweep::kRates) {
        for (int channels : {1, 2}) {
            const sweep::Outcome out = sweep::silence_tail(rate, channels);
            ++tails;
            if (!out.ok) {
                ++failed;
                std::printf("FAIL silence tail %d Hz x %d: %s\n", rate, channels, out.problem.c_str());
            }
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu cases and %ld silence tails, %ld failed, %.0f s\n", cases.size(), tails, failed, seconds);
    return failed ? 1 : 0;
}

// The sweep over the effects: rates x channel counts x settings (each slider at its ends, singly and
// together, and hostile records) x block sizes x signals, each effect alone. A case passes when no
// effect state holds a value that is not finite and the overdrive's solver never hit its cap. The
// silence tail runs every effect at once through a loud burst and then 10 s of silence and also looks
// for subnormal state.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sweep {

extern const int kRates[8];
extern const int kBlockBytes[5];
enum class Signal { Noise, Square, Silence };
extern const Signal kSignals[3];

struct Case {
    int effect;    // 1..16
    int rate;
    int channels;
    int setting;   // index into settings_of(effect)
    int block;     // bytes
    Signal signal;
};

struct Outcome {
    bool ok = true;
    std::string problem;
};

// Names of the settings of an effect, in index order.
std::vector<std::string> settings_of(int effect);
std::string describe(const Case& c);
Outcome run_case(const Case& c);
// Every case of the product, in a fixed order.
std::vector<Case> all_cases();
// count cases of one effect drawn from the product with the seed.
std::vector<Case> sample(int effect, int count, uint32_t seed);
Outcome silence_tail(int rate, int channels);

}  // namespace sweep

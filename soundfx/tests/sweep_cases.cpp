#include "sweep_cases.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include "soundfx/core/engine.h"
#include "soundfx/core/safe_range.h"

namespace sweep {

const int kRates[8] = {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000};
const int kBlockBytes[5] = {2, 3, 4096, 16384, 40000};
const Signal kSignals[3] = {Signal::Noise, Signal::Square, Signal::Silence};

namespace {

using namespace soundfx;

// One parameter of an effect, set to a value within its range.
struct Knob {
    const char* name;
    Limit limit;
    std::function<void(EffectSet&, double)> set;
};

template <class E, class P>
std::function<void(EffectSet&, double)> field(E EffectSet::*member, P E::Params::*param) {
    return [member, param](EffectSet& s, double v) {
        E& effect = s.*member;
        auto p = effect.params();
        p.*param = static_cast<std::remove_reference_t<decltype(p.*param)>>(v);
        effect.set_params(p);
    };
}

std::vector<Knob> knobs(int effect) {
    switch (effect) {
    case 1:
        return {{"band gains", Limit::EqGain,
                 [](EffectSet& s, double v) {
                     for (int c = 0; c < 2; ++c)
                         for (int b = 0; b < 31; ++b) s.eq.set_band_gain(v, b, c);
                 }},
                {"pre-gain", Limit::EqGain, [](EffectSet& s, double v) {
                     for (int c = 0; c < 2; ++c) s.eq.set_band_gain(v * 0.9, -1, c);
                 }}};
    case 2:
        return {{"threshold", Limit::CompThreshold, field(&EffectSet::compressor, &Compressor::Params::threshold)},
                {"ratio", Limit::CompRatio, field(&EffectSet::compressor, &Compressor::Params::ratio)},
                {"attack", Limit::CompAttack, field(&EffectSet::compressor, &Compressor::Params::attack)},
                {"release", Limit::CompRelease, field(&EffectSet::compressor, &Compressor::Params::release)}};
    case 3:
        return {{"offset", Limit::PitchOffset, field(&EffectSet::pitch, &PitchShifter::Params::offset)},
                {"depth", Limit::PitchDepth, [](EffectSet& s, double v) {
                     auto p = s.pitch.params();
                     p.depth = int(v);
                     p.frame = v > 4 ? 4096 : v < 2 ? 1024 : 2048;
                     s.pitch.set_params(p);
                 }}};
    case 4:
        return {{"sense", Limit::DistSense, field(&EffectSet::distortion, &Distortion::Params::sense)},
                {"strength", Limit::DistStrength, field(&EffectSet::distortion, &Distortion::Params::strength)},
                {"drive", Limit::DistDrive, field(&EffectSet::distortion, &Distortion::Params::drive)},
                {"low-pass", Limit::DistLpFreq, field(&EffectSet::distortion, &Distortion::Params::lp_freq)},
                {"noise", Limit::DistNoiseFreq, field(&EffectSet::distortion, &Distortion::Params::noise_freq)}};
    case 5:
        return {{"sense", Limit::OdrvSense, field(&EffectSet::overdrive, &Overdrive::Params::sense)},
                {"low-pass", Limit::OdrvLpFreq, field(&EffectSet::overdrive, &Overdrive::Params::lp_freq)},
                {"low-pass on", Limit::Switch, field(&EffectSet::overdrive, &Overdrive::Params::lp_on)}};
    case 6:
        return {{"gain", Limit::AmGain, field(&EffectSet::am, &AmplitudeModulation::Params::gain)},
                {"depth", Limit::AmDepth, field(&EffectSet::am, &AmplitudeModulation::Params::depth)},
                {"period", Limit::AmFreq, field(&EffectSet::am, &AmplitudeModulation::Params::freq)},
                {"shape", Limit::AmShape, field(&EffectSet::am, &AmplitudeModulation::Params::shape)},
                {"mode", Limit::Switch, [](EffectSet& s, double v) { s.am.mode = v > 0 ? 'f' : 'p'; }}};
    case 7:
        return {{"delay", Limit::EchoDelay, field(&EffectSet::echo, &Echo::Params::delay)},
                {"gain", Limit::EchoGain, field(&EffectSet::echo, &Echo::Params::gain)}};
    case 8:
    case 11: {
        SweepVoice EffectSet::*v = effect == 8 ? &EffectSet::sweep : &EffectSet::chorus;
        return {{"wet", Limit::SweepLevel, field(v, &SweepVoice::Params::wet)},
                {"dry", Limit::SweepLevel, field(v, &SweepVoice::Params::dry)},
                {"depth", Limit::SweepDepth, field(v, &SweepVoice::Params::depth)},
                {"rate", Limit::SweepRate, field(v, &SweepVoice::Params::rate)},
                {"feedback", Limit::SweepFeedback, field(v, &SweepVoice::Params::feedback)}};
    }
    case 9:
        return {{"lowest", Limit::PhaserMinFreq, field(&EffectSet::phaser, &Phaser::Params::min_freq)},
                {"highest", Limit::PhaserMaxFreq, field(&EffectSet::phaser, &Phaser::Params::max_freq)},
                {"rate", Limit::PhaserRate, field(&EffectSet::phaser, &Phaser::Params::rate)},
                {"feedback", Limit::PhaserFeedback, field(&EffectSet::phaser, &Phaser::Params::feedback)},
                {"depth", Limit::PhaserGain, field(&EffectSet::phaser, &Phaser::Params::gain)}};
    case 10:
        return {{"threshold", Limit::GateLevel, field(&EffectSet::gate, &NoiseGate::Params::threshold)},
                {"hold", Limit::GateHold, field(&EffectSet::gate, &NoiseGate::Params::hold)},
                {"release", Limit::GateRelease, field(&EffectSet::gate, &NoiseGate::Params::release)},
                {"attack", Limit::GateAttack, field(&EffectSet::gate, &NoiseGate::Params::attack)},
                {"hysteresis", Limit::GateLevel, field(&EffectSet::gate, &NoiseGate::Params::hysteresis)}};
    case 12:
        return {{"taps", Limit::ReverbTapCount, field(&EffectSet::reverb, &Reverb::Params::tap_count)},
                {"decay", Limit::ReverbDecay, field(&EffectSet::reverb, &Reverb::Params::decay)},
                {"pre-delay", Limit::ReverbTime, field(&EffectSet::reverb, &Reverb::Params::predelay)},
                {"feedback time", Limit::ReverbTime, field(&EffectSet::reverb, &Reverb::Params::feedback_time)},
                {"feedback", Limit::ReverbFeedbackDb, field(&EffectSet::reverb, &Reverb::Params::feedback_db)},
                {"tap level", Limit::ReverbTapDb, field(&EffectSet::reverb, &Reverb::Params::tap_db)}};
    case 13:
        return {{"rate", Limit::WahRate, field(&EffectSet::wah, &Wah::Params::rate)},
                {"depth", Limit::WahDepth, field(&EffectSet::wah, &Wah::Params::depth)},
                {"resonance", Limit::WahResonance, field(&EffectSet::wah, &Wah::Params::resonance)},
                {"offset", Limit::WahOffset, field(&EffectSet::wah, &Wah::Params::offset)}};
    case 14:
        return {{"frequency", Limit::BassFreq, field(&EffectSet::bass, &SuperBass::Params::freq)},
                {"gain", Limit::BassGain, field(&EffectSet::bass, &SuperBass::Params::gain)}};
    case 16:
        return {{"period", Limit::VibratoPeriod, field(&EffectSet::vibrato, &Vibrato::Params::period)},
                {"depth", Limit::VibratoDepth, field(&EffectSet::vibrato, &Vibrato::Params::depth)}};
    default:
        return {};
    }
}

constexpr int kHostileRecords = 3;

// The settings of an effect: its defaults, each knob at each end, all knobs at either end together,
// and hostile records.
struct Setting {
    std::string name;
    int knob = -1;     // -1: all knobs
    int end = 0;       // 0 low, 1 high; -1 defaults
    int record = -1;   // hostile record number
};

std::vector<Setting> setting_list(int effect) {
    std::vector<Setting> list;
    list.push_back({"defaults", -1, -1, -1});
    const auto k = knobs(effect);
    for (size_t i = 0; i < k.size(); ++i) {
        list.push_back({std::string(k[i].name) + " low", int(i), 0, -1});
        list.push_back({std::string(k[i].name) + " high", int(i), 1, -1});
    }
    if (!k.empty()) {
        list.push_back({"all low", -1, 0, -1});
        list.push_back({"all high", -1, 1, -1});
    }
    for (int r = 0; r < kHostileRecords; ++r) list.push_back({"hostile record " + std::to_string(r), -1, 0, r});
    return list;
}

// A record of random bytes, with nasty values in some fields, the effect on and first in the chain.
MixSettings hostile(int number, int effect) {
    MixSettings s;
    std::mt19937 random(1000u + uint32_t(number));
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&s);
    for (size_t i = 0; i < sizeof s; ++i) bytes[i] = uint8_t(random());
    if (number == 1) {
        const float nan = std::nanf("");
        for (float* f : {&s.echo_delay, &s.echo_gain, &s.pitch_offset, &s.phaser_min_freq, &s.phaser_max_freq,
                         &s.phaser_rate, &s.phaser_feedback, &s.phaser_gain})
            *f = nan;
    } else if (number == 2) {
        int32_t* ints = reinterpret_cast<int32_t*>(bytes + 224);
        for (int i = 0; i < (492 - 224) / 4; ++i) ints[i] = i % 2 ? INT32_MIN : INT32_MAX;
        s.eq_curve.band_count = 31;
        for (int32_t& g : s.eq_curve.gains) g = INT32_MAX;
    }
    uint8_t* on = bytes + std::vector<int>{0, 0, 332, 220, 400, 384, 308, 208, 236, 284, 424, 260, 352, 448, 468, 492, 480}[effect];
    *on = 1;
    s.chain[0] = uint8_t(effect);
    return s;
}

// Processing reads only the one effect.
class One : public ChainOrder {
public:
    explicit One(int id) : id_(id) {}
    int read(int* ids, int capacity) override {
        if (capacity < 1) return 0;
        ids[0] = id_;
        return 1;
    }
    void replace(const int*, int) override {}

private:
    int id_;
};

std::vector<int16_t> signal(Signal kind, size_t samples, uint32_t seed) {
    std::vector<int16_t> pcm(samples, 0);
    std::mt19937 random(seed);
    for (size_t i = 0; i < samples; ++i) {
        if (kind == Signal::Noise) pcm[i] = int16_t(int(random() % 65536) - 32768);
        if (kind == Signal::Square) pcm[i] = (i / 37) % 2 ? 32767 : -32768;
    }
    return pcm;
}

std::string check(Engine& e, bool subnormals) {
    StateCheck state;
    int steps = 0;
    long capped = 0;
    e.edit([&](EngineState& s) {
        for (int id = 1; id <= kEffectCount; ++id) s.effects.by_id(id)->check_state(state);
        steps = s.effects.overdrive.most_newton_steps();
        capped = s.effects.overdrive.capped_solves();
        return 0;
    });
    std::string problem;
    if (state.non_finite) problem += std::to_string(state.non_finite) + " values not finite; ";
    if (subnormals && state.subnormal) problem += std::to_string(state.subnormal) + " subnormal values; ";
    if (steps > Overdrive::kMaxNewtonSteps || capped)
        problem += "overdrive solver: " + std::to_string(steps) + " steps, " + std::to_string(capped) + " capped; ";
    return problem;
}

}  // namespace

std::vector<std::string> settings_of(int effect) {
    std::vector<std::string> names;
    for (const Setting& s : setting_list(effect)) names.push_back(s.name);
    return names;
}

std::string describe(const Case& c) {
    static const char* signals[] = {"noise", "square", "silence"};
    return "effect " + std::to_string(c.effect) + ", " + std::to_string(c.rate) + " Hz x " + std::to_string(c.channels) +
           ", " + settings_of(c.effect)[size_t(c.setting)] + ", " + std::to_string(c.block) + "-byte blocks, " +
           signals[int(c.signal)];
}

Outcome run_case(const Case& c) {
    Outcome out;
    Engine e;
    One order(c.effect);
    e.set_chain_order(&order);
    e.begin();
    e.init(c.rate, c.channels);
    const Setting setting = setting_list(c.effect)[size_t(c.setting)];
    if (setting.record >= 0) {
        e.set(hostile(setting.record, c.effect));  // refused where the rate is not an equaliser rate
    } else if (setting.end >= 0) {
        const auto k = knobs(c.effect);
        const Format format{c.rate, c.channels};
        e.edit([&](EngineState& s) {
            for (size_t i = 0; i < k.size(); ++i) {
                if (setting.knob >= 0 && int(i) != setting.knob) continue;
                const Range r = range_of(k[i].limit, format);
                k[i].set(s.effects, setting.end ? r.hi : r.lo);
            }
            return 0;
        });
    }
    e.edit([&](EngineState& s) {
        s.effects.by_id(c.effect)->on = 1;
        return 0;
    });
    // About 0.1 s of sound, at least two calls and at most 50.
    const int calls = std::clamp(int(std::ceil(0.1 * c.rate * c.channels * 2 / c.block)), 2, 50);
    std::vector<int16_t> pcm = signal(c.signal, size_t(c.block) * calls / 2 + 1, uint32_t(c.rate + c.block));
    for (int i = 0; i < calls; ++i) {
        if (e.process(pcm.data() + size_t(c.block / 2) * i, c.block) != c.block) {
            out.ok = false;
            out.problem = "result is not the byte count";
            return out;
        }
    }
    out.problem = check(e, false);
    out.ok = out.problem.empty();
    e.set_chain_order(nullptr);
    return out;
}

std::vector<Case> all_cases() {
    std::vector<Case> cases;
    for (int effect = 1; effect <= kEffectCount; ++effect) {
        const int settings = int(setting_list(effect).size());
        for (int rate : kRates)
            for (int channels : {1, 2})
                for (int setting = 0; setting < settings; ++setting)
                    for (int block : kBlockBytes)
                        for (Signal signal : kSignals) cases.push_back({effect, rate, channels, setting, block, signal});
    }
    return cases;
}

std::vector<Case> sample(int effect, int count, uint32_t seed) {
    std::vector<Case> of_effect;
    for (const Case& c : all_cases())
        if (c.effect == effect) of_effect.push_back(c);
    std::mt19937 random(seed + uint32_t(effect));
    std::shuffle(of_effect.begin(), of_effect.end(), random);
    of_effect.resize(std::min(of_effect.size(), size_t(count)));
    return of_effect;
}

Outcome silence_tail(int rate, int channels) {
    Outcome out;
    Engine e;
    e.begin();
    e.init(rate, channels);
    e.edit([](EngineState& s) {
        for (int id = 1; id <= kEffectCount; ++id) s.effects.by_id(id)->on = 1;
        s.effects.reverb.set_params({100, 20, 100, 1000, 1000, 0, 0});
        s.effects.echo.set_params({1.6f, 1.0f});
        s.effects.overdrive.set_params({10000, 300, 1});
        return 0;
    });
    const int block = 4096;
    const size_t per_block = block / 2;
    const long burst_calls = long(0.5 * rate * channels * 2 / block) + 1;
    const long silent_calls = long(10.0 * rate * channels * 2 / block) + 1;
    for (long i = 0; i < burst_calls; ++i) {
        std::vector<int16_t> pcm = signal(Signal::Noise, per_block, uint32_t(i));
        e.process(pcm.data(), block);
    }
    std::vector<int16_t> silence(per_block, 0);
    for (long i = 0; i < silent_calls; ++i) {
        std::fill(silence.begin(), silence.end(), int16_t(0));
        e.process(silence.data(), block);
    }
    out.problem = check(e, true);
    out.ok = out.problem.empty();
    return out;
}

}  // namespace sweep

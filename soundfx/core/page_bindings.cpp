#include "soundfx/core/page_bindings.h"
#include <cmath>
#include "soundfx/core/slider_map.h"

namespace soundfx {
namespace {

// One slider: what its position does to the state and what the state shows on it.
struct Binding {
    int page, control;
    void (*write)(EffectSet&, const Format&, int);
    int (*read)(const EffectSet&, const Format&);
};

template <class E, class F>
void edit_params(E& effect, F&& change) {
    auto p = effect.params();
    change(p);
    effect.set_params(p);
}

#define W(body) [](EffectSet& e, const Format& f, int p) { (void)f; body; }
#define R(expr) [](const EffectSet& e, const Format& f) -> int { (void)f; return int(expr); }

const Binding kBindings[] = {
    // Page 1.
    {1, 3005, W(edit_params(e.echo, [&](Echo::Params& q) { q.gain = float(slider::echo_gain(p)); })),
     R(slider::echo_gain_position(e.echo.params().gain + 1e-4))},
    {1, 3068, W(edit_params(e.echo, [&](Echo::Params& q) { q.delay = float(slider::echo_delay(p)); })),
     R(slider::echo_delay_position(e.echo.params().delay + 1e-4))},
    {1, 3010, W(edit_params(e.pitch, [&](PitchShifter::Params& q) { q.offset = float(slider::pitch_offset(p)); })),
     R(std::lround(e.pitch.params().offset * 10) + 10)},
    {1, 3025, W(edit_params(e.pitch, [&](PitchShifter::Params& q) { q.depth = p, q.frame = slider::pitch_frame(p); })),
     R(e.pitch.params().depth)},
    {1, 3008, W(edit_params(e.phaser, [&](Phaser::Params& q) { q.min_freq = p; })), R(e.phaser.params().min_freq)},
    {1, 3013, W(edit_params(e.phaser, [&](Phaser::Params& q) { q.max_freq = p; })), R(e.phaser.params().max_freq)},
    {1, 3009, W(edit_params(e.phaser, [&](Phaser::Params& q) { q.rate = p; })), R(e.phaser.params().rate)},
    {1, 3011, W(edit_params(e.phaser, [&](Phaser::Params& q) { q.gain = p; })), R(e.phaser.params().gain)},
    {1, 3024, W(edit_params(e.phaser, [&](Phaser::Params& q) { q.feedback = p; })), R(e.phaser.params().feedback)},
    {1, 3006, W(edit_params(e.sweep, [&](SweepVoice::Params& q) { q.feedback = slider::sweep_level(p); })),
     R(slider::sweep_level_position(e.sweep.params().feedback))},
    {1, 3014, W(edit_params(e.chorus, [&](SweepVoice::Params& q) { q.feedback = slider::sweep_level(p); })),
     R(slider::sweep_level_position(e.chorus.params().feedback))},
    {1, 3007, W(edit_params(e.sweep, [&](SweepVoice::Params& q) { q.depth = slider::sweep_depth(p); })),
     R(slider::sweep_depth_position(e.sweep.params().depth))},
    {1, 3015, W(edit_params(e.chorus, [&](SweepVoice::Params& q) { q.depth = slider::sweep_depth(p); })),
     R(slider::sweep_depth_position(e.chorus.params().depth))},
    {1, 3012, W(edit_params(e.sweep, [&](SweepVoice::Params& q) { q.rate = slider::sweep_rate(p, f.rate, f.channels); })),
     R(slider::sweep_rate_position(e.sweep.params().rate, f.rate, f.channels))},
    {1, 3016, W(edit_params(e.chorus, [&](SweepVoice::Params& q) { q.rate = slider::sweep_rate(p, f.rate, f.channels); })),
     R(slider::sweep_rate_position(e.chorus.params().rate, f.rate, f.channels))},
    {1, 3020, W(edit_params(e.sweep, [&](SweepVoice::Params& q) { q.wet = slider::sweep_level(p); })),
     R(slider::sweep_level_position(e.sweep.params().wet))},
    {1, 3022, W(edit_params(e.chorus, [&](SweepVoice::Params& q) { q.wet = slider::sweep_level(p); })),
     R(slider::sweep_level_position(e.chorus.params().wet))},
    {1, 3021, W(edit_params(e.sweep, [&](SweepVoice::Params& q) { q.dry = slider::sweep_level(p); })),
     R(slider::sweep_level_position(e.sweep.params().dry))},
    {1, 3023, W(edit_params(e.chorus, [&](SweepVoice::Params& q) { q.dry = slider::sweep_level(p); })),
     R(slider::sweep_level_position(e.chorus.params().dry))},
    {1, 3017, W(edit_params(e.am, [&](AmplitudeModulation::Params& q) { q.gain = slider::am_gain(p); })),
     R(slider::am_gain_position(e.am.params().gain))},
    {1, 3018, W(edit_params(e.am, [&](AmplitudeModulation::Params& q) { q.depth = p; })), R(e.am.params().depth)},
    {1, 3019, W(edit_params(e.am, [&](AmplitudeModulation::Params& q) { q.freq = p; })), R(e.am.params().freq)},
    // Page 2.
    {2, 3014, W(edit_params(e.compressor, [&](Compressor::Params& q) { q.threshold = slider::comp_threshold(p); })),
     R(-e.compressor.params().threshold)},
    {2, 3015, W(edit_params(e.compressor, [&](Compressor::Params& q) { q.ratio = p; })), R(e.compressor.params().ratio)},
    {2, 3023, W(edit_params(e.compressor, [&](Compressor::Params& q) { q.attack = p; })), R(e.compressor.params().attack)},
    {2, 3024, W(edit_params(e.compressor, [&](Compressor::Params& q) { q.release = p; })),
     R(e.compressor.params().release)},
    {2, 3016, W(edit_params(e.reverb, [&](Reverb::Params& q) { q.tap_db = slider::reverb_db(p); })),
     R(-e.reverb.params().tap_db)},
    {2, 3018, W(edit_params(e.reverb, [&](Reverb::Params& q) { q.feedback_db = slider::reverb_db(p); })),
     R(-e.reverb.params().feedback_db)},
    {2, 3017, W(edit_params(e.reverb, [&](Reverb::Params& q) { q.tap_count = p; })), R(e.reverb.params().tap_count)},
    {2, 3030, W(edit_params(e.reverb, [&](Reverb::Params& q) { q.predelay = p; })), R(e.reverb.params().predelay)},
    {2, 3031, W(edit_params(e.reverb, [&](Reverb::Params& q) { q.feedback_time = p; })),
     R(e.reverb.params().feedback_time)},
    {2, 3032, W(edit_params(e.reverb, [&](Reverb::Params& q) { q.decay = p; })), R(e.reverb.params().decay)},
    {2, 3019, W(edit_params(e.overdrive, [&](Overdrive::Params& q) { q.sense = p; })), R(e.overdrive.params().sense)},
    {2, 3020, W(edit_params(e.overdrive, [&](Overdrive::Params& q) { q.lp_freq = p; })), R(e.overdrive.params().lp_freq)},
    {2, 3021, W(edit_params(e.distortion, [&](Distortion::Params& q) { q.strength = p; })),
     R(e.distortion.params().strength)},
    {2, 3035, W(edit_params(e.distortion, [&](Distortion::Params& q) { q.drive = p; })), R(e.distortion.params().drive)},
    {2, 3022, W(edit_params(e.distortion, [&](Distortion::Params& q) { q.lp_freq = p; })),
     R(e.distortion.params().lp_freq)},
    {2, 3033, W(edit_params(e.distortion, [&](Distortion::Params& q) { q.noise_freq = p; })),
     R(e.distortion.params().noise_freq)},
    {2, 3034, W(edit_params(e.distortion, [&](Distortion::Params& q) { q.sense = slider::dist_sense(p); })),
     R(slider::dist_sense_position(e.distortion.params().sense))},
    {2, 3026, W(edit_params(e.gate, [&](NoiseGate::Params& q) { q.hold = slider::gate_samples(p, f.rate, f.channels); })),
     R(slider::gate_ms(e.gate.params().hold, f.rate, f.channels))},
    {2, 3027,
     W(edit_params(e.gate, [&](NoiseGate::Params& q) { q.release = slider::gate_samples(p, f.rate, f.channels); })),
     R(slider::gate_ms(e.gate.params().release, f.rate, f.channels))},
    {2, 3028,
     W(edit_params(e.gate, [&](NoiseGate::Params& q) { q.attack = slider::gate_samples(p, f.rate, f.channels); })),
     R(slider::gate_ms(e.gate.params().attack, f.rate, f.channels))},
    {2, 3029, W(edit_params(e.gate, [&](NoiseGate::Params& q) { q.threshold = slider::gate_level(p); })),
     R(slider::gate_level_position(e.gate.params().threshold))},
    {2, 3025, W(edit_params(e.gate, [&](NoiseGate::Params& q) { q.hysteresis = slider::gate_level(p); })),
     R(slider::gate_level_position(e.gate.params().hysteresis))},
    // Page 3.
    {3, 3068, W(edit_params(e.wah, [&](Wah::Params& q) { q.rate = p; })), R(e.wah.params().rate)},
    {3, 3069, W(edit_params(e.wah, [&](Wah::Params& q) { q.offset = p; })), R(e.wah.params().offset)},
    {3, 3070, W(edit_params(e.wah, [&](Wah::Params& q) { q.depth = p; })), R(e.wah.params().depth)},
    {3, 3071, W(edit_params(e.wah, [&](Wah::Params& q) { q.resonance = p; })), R(e.wah.params().resonance)},
    {3, 3072, W(edit_params(e.bass, [&](SuperBass::Params& q) { q.freq = p; })), R(e.bass.params().freq)},
    {3, 3073, W(edit_params(e.bass, [&](SuperBass::Params& q) { q.gain = p; })), R(e.bass.params().gain)},
    {3, 3074, W(edit_params(e.vibrato, [&](Vibrato::Params& q) { q.period = p; })), R(e.vibrato.params().period)},
    {3, 3075, W(edit_params(e.vibrato, [&](Vibrato::Params& q) { q.depth = p; })), R(e.vibrato.params().depth)},
};

#undef W
#undef R

const Binding* binding(int page, int control) {
    for (const Binding& b : kBindings)
        if (b.page == page && b.control == control) return &b;
    return nullptr;
}

}  // namespace

bool page_write(EngineState& state, int page, int control, int position) {
    const Binding* b = binding(page, control);
    const slider::Control* s = slider::control(page, control);
    if (!b || !s) return false;
    b->write(state.effects, state.format, slider::clamp_position(*s, position));
    return true;
}

bool page_read(const EngineState& state, int page, int control, int* position) {
    const Binding* b = binding(page, control);
    const slider::Control* s = slider::control(page, control);
    if (!b || !s) return false;
    *position = slider::clamp_position(*s, b->read(state.effects, state.format));
    return true;
}

int page_default_effect(int page, int button) {
    struct Button {
        int page, button, effect;
    };
    static const Button kButtons[] = {{1, 3082, 8},  {1, 3083, 11}, {1, 3084, 7},  {1, 3085, 3},  {1, 3086, 9},
                                      {1, 3087, 6},  {2, 3085, 2},  {2, 3086, 12}, {2, 3087, 5},  {2, 3088, 4},
                                      {2, 3089, 10}, {3, 3082, 13}, {3, 3083, 14}, {3, 3084, 16}};
    for (const Button& b : kButtons)
        if (b.page == page && b.button == button) return b.effect;
    return 0;
}

void reset_effect_defaults(EngineState& state, int effect_id) {
    EffectSet& e = state.effects;
    const Format& f = state.format;
    switch (effect_id) {
        case 2: e.compressor.set_params({}); break;
        case 3: e.pitch.set_params({}); break;
        case 4: e.distortion.set_params({}); break;
        case 5: e.overdrive.set_params({}); break;
        case 6: e.am.set_params({}); break;
        case 7: edit_params(e.echo, [](Echo::Params& q) { q.delay = 0.6f, q.gain = 0.5f; }); break;
        case 8: e.sweep.set_params({}); break;
        case 9: edit_params(e.phaser, [](Phaser::Params& q) { q = Phaser::Params{}; }); break;
        case 10: {
            NoiseGate::Params q;
            q.hold = int(2LL * f.rate * f.channels / 1000);
            q.release = int(500LL * f.rate * f.channels / 1000);
            e.gate.set_params(q);
            break;
        }
        case 11: e.chorus.set_params({}); break;
        case 12: e.reverb.set_params({}); break;
        case 13: e.wah.set_params({}); break;
        case 14: e.bass.set_params({}); break;
        case 16: e.vibrato.set_params({}); break;
        default: break;
    }
}

}  // namespace soundfx

// get and set of the settings record over the engine's state.
#include <algorithm>
#include <cmath>
#include <cstring>
#include "soundfx/core/engine.h"
#include "soundfx/core/safe_range.h"
#include "soundfx/core/slider_map.h"

namespace soundfx {
namespace {

uint8_t on_byte(const Effect& e) { return e.on == 1 ? 1 : 0; }

// A float field of a record as an int: NaN and values beyond int give the ends.
int64_t whole(float v) {
    if (!(v == v)) return 0;
    return int64_t(std::clamp<double>(std::trunc(v), -2147483648.0, 2147483647.0));
}
int64_t nearest(float v) {
    if (!(v == v)) return 0;
    return int64_t(std::clamp<double>(std::nearbyint(v), -2147483648.0, 2147483647.0));
}

}  // namespace

void read_settings(const EngineState& state, const int* rows, int row_count, MixSettings* out) {
    std::memset(out, 0, sizeof *out);
    const EffectSet& e = state.effects;
    const EqPageState& page = state.eq_page;

    out->eq_on = on_byte(e.eq);
    std::memcpy(out->eq_curve.name, page.preset_name, sizeof out->eq_curve.name);
    out->eq_curve.name[63] = 0;
    out->eq_curve.band_count = page.band_count;
    for (int b = 0; b < 31; ++b) out->eq_curve.gains[b] = slider::record_gain(page.band_position[b]);
    out->eq_second_level = e.eq.second_level ? 1 : 0;
    out->eq_pregain_position = page.pregain_position;

    out->echo_on = on_byte(e.echo);
    out->echo_delay = e.echo.params().delay;
    out->echo_gain = e.echo.params().gain;

    out->pitch_on = on_byte(e.pitch);
    out->pitch_offset = e.pitch.params().offset;
    out->pitch_frame = e.pitch.params().frame;
    out->pitch_depth = e.pitch.params().depth;

    const SweepVoice::Params& sw = e.sweep.params();
    out->sweep_on = on_byte(e.sweep);
    out->sweep_regeneration = sw.feedback;
    out->sweep_depth = sw.depth;
    out->sweep_wet = sw.wet;
    out->sweep_dry = sw.dry;
    out->sweep_period = sw.rate;

    const SweepVoice::Params& ch = e.chorus.params();
    out->chorus_on = on_byte(e.chorus);
    out->chorus_depth = ch.depth;
    out->chorus_period = ch.rate;
    out->chorus_wet = ch.wet;
    out->chorus_dry = ch.dry;
    out->chorus_regeneration = ch.feedback;

    const Phaser::Params& ph = e.phaser.params();
    out->phaser_on = on_byte(e.phaser);
    out->phaser_min_freq = float(ph.min_freq);
    out->phaser_max_freq = float(ph.max_freq);
    out->phaser_rate = float(ph.rate);
    out->phaser_feedback = float(ph.feedback);
    out->phaser_gain = float(ph.gain);

    const AmplitudeModulation::Params& am = e.am.params();
    out->am_on = on_byte(e.am);
    out->am_gain = am.gain;
    out->am_depth = am.depth;
    out->am_freq = am.freq;
    out->am_level = int32_t(e.am.level());
    out->am_shape = am.shape;

    const Compressor::Params& co = e.compressor.params();
    out->comp_on = on_byte(e.compressor);
    out->comp_threshold = co.threshold;
    out->comp_ratio = co.ratio;
    out->comp_attack = co.attack;
    out->comp_release = co.release;

    const Reverb::Params& rv = e.reverb.params();
    out->reverb_on = on_byte(e.reverb);
    out->reverb_tap_count = rv.tap_count;
    out->reverb_time0 = rv.time0;
    out->reverb_decay = rv.decay;
    out->reverb_predelay = rv.predelay;
    out->reverb_feedback_time = rv.feedback_time;
    out->reverb_feedback_db = rv.feedback_db;
    out->reverb_tap_db = rv.tap_db;

    const Overdrive::Params& od = e.overdrive.params();
    out->odrv_on = on_byte(e.overdrive);
    out->odrv_sense = od.sense;
    out->odrv_lp_freq = od.lp_freq;
    out->odrv_lp_on = od.lp_on;

    const Distortion::Params& di = e.distortion.params();
    out->dist_on = on_byte(e.distortion);
    out->dist_sense = di.sense;
    out->dist_strength = di.strength;
    out->dist_drive = di.drive;
    out->dist_lp_freq = di.lp_freq;
    out->dist_noise_freq = di.noise_freq;

    const NoiseGate::Params& ga = e.gate.params();
    out->gate_on = on_byte(e.gate);
    out->gate_threshold = ga.threshold;
    out->gate_hold = ga.hold;
    out->gate_release = ga.release;
    out->gate_attack = ga.attack;
    out->gate_hysteresis = ga.hysteresis;

    const Wah::Params& wa = e.wah.params();
    out->wah_on = on_byte(e.wah);
    out->wah[0] = wa.rate;
    out->wah[1] = wa.depth;
    out->wah[2] = wa.resonance;
    out->wah[3] = wa.offset;

    out->bass_on = on_byte(e.bass);
    out->bass[0] = e.bass.params().freq;
    out->bass[1] = e.bass.params().gain;

    out->vibrato_on = on_byte(e.vibrato);
    out->vibrato[0] = e.vibrato.params().period;
    out->vibrato[1] = e.vibrato.params().depth;

    out->invert_on = on_byte(e.invert);

    // Every chain byte is written: rows beyond the list read as 0, never as the host's old bytes.
    const int n = std::clamp(row_count, 0, int(sizeof out->chain));
    for (int i = 0; i < n; ++i) out->chain[i] = uint8_t(rows[i] >= 0 && rows[i] <= 255 ? rows[i] : 0);
}

bool apply_settings(EngineState& state, const MixSettings& in, int* rows, int* row_count) {
    *row_count = 0;
    if (!state.ready || !is_eq_rate(state.rate_in) || state.rate_in < 10000 ||
        (state.channels_in != 1 && state.channels_in != 2))
        return false;
    EffectSet& e = state.effects;
    const Format& f = state.format;
    // Every field is held to what its slider can produce before the effect sees it.
    auto r = [&f](Limit id, int64_t v) { return limit_record(id, v, f); };

    e.gate.on = in.gate_on == 1;
    e.gate.set_params({r(Limit::GateLevel, in.gate_threshold), r(Limit::GateHold, in.gate_hold),
                       r(Limit::GateRelease, in.gate_release), r(Limit::GateAttack, in.gate_attack),
                       r(Limit::GateLevel, in.gate_hysteresis)});

    e.distortion.on = in.dist_on == 1;
    e.distortion.set_params({r(Limit::DistSense, in.dist_sense), r(Limit::DistStrength, in.dist_strength),
                             r(Limit::DistDrive, in.dist_drive), r(Limit::DistLpFreq, in.dist_lp_freq),
                             r(Limit::DistNoiseFreq, in.dist_noise_freq)});

    e.overdrive.on = in.odrv_on == 1;
    e.overdrive.set_params(
        {r(Limit::OdrvSense, in.odrv_sense), r(Limit::OdrvLpFreq, in.odrv_lp_freq), in.odrv_lp_on > 0});

    e.reverb.on = in.reverb_on == 1;
    e.reverb.set_params({r(Limit::ReverbTapCount, int16_t(in.reverb_tap_count)), r(Limit::ReverbTime, in.reverb_time0),
                         r(Limit::ReverbDecay, in.reverb_decay), r(Limit::ReverbTime, in.reverb_predelay),
                         r(Limit::ReverbTime, in.reverb_feedback_time),
                         r(Limit::ReverbFeedbackDb, in.reverb_feedback_db), r(Limit::ReverbTapDb, in.reverb_tap_db)});

    e.compressor.on = in.comp_on == 1;
    e.compressor.set_params({r(Limit::CompThreshold, in.comp_threshold), r(Limit::CompRatio, in.comp_ratio),
                             r(Limit::CompAttack, in.comp_attack), r(Limit::CompRelease, in.comp_release)});

    e.am.on = in.am_on == 1;
    e.am.set_params({r(Limit::AmGain, in.am_gain), r(Limit::AmDepth, int16_t(in.am_depth)),
                     r(Limit::AmFreq, int16_t(in.am_freq)), in.am_shape != 0});
    e.am.clear();

    // The phaser's fields are floats of whole values; they come back rounded, so get, set, get agree.
    e.phaser.on = in.phaser_on == 1;
    e.phaser.set_params({r(Limit::PhaserMinFreq, whole(in.phaser_min_freq)),
                         r(Limit::PhaserMaxFreq, whole(in.phaser_max_freq)), r(Limit::PhaserRate, nearest(in.phaser_rate)),
                         r(Limit::PhaserFeedback, nearest(in.phaser_feedback)),
                         r(Limit::PhaserGain, nearest(in.phaser_gain))});

    e.pitch.on = in.pitch_on == 1;
    PitchShifter::Params pitch;
    pitch.offset = float(limit_record(Limit::PitchOffset, double(in.pitch_offset), f));
    pitch.frame = limit_pitch_frame(in.pitch_frame);
    pitch.depth = r(Limit::PitchDepth, in.pitch_depth);
    e.pitch.set_params(pitch);
    e.pitch.clear();

    e.sweep.on = in.sweep_on == 1;
    e.sweep.set_params({r(Limit::SweepLevel, in.sweep_wet), r(Limit::SweepLevel, in.sweep_dry),
                        r(Limit::SweepDepth, in.sweep_depth), r(Limit::SweepRate, in.sweep_period),
                        r(Limit::SweepFeedback, in.sweep_regeneration)});
    e.sweep.clear();
    e.chorus.on = in.chorus_on == 1;
    e.chorus.set_params({r(Limit::SweepLevel, in.chorus_wet), r(Limit::SweepLevel, in.chorus_dry),
                         r(Limit::SweepDepth, in.chorus_depth), r(Limit::SweepRate, in.chorus_period),
                         r(Limit::SweepFeedback, in.chorus_regeneration)});
    e.chorus.clear();

    e.echo.on = in.echo_on == 1;
    e.echo.set_params({float(limit_record(Limit::EchoDelay, double(in.echo_delay), f)),
                       float(limit_record(Limit::EchoGain, double(in.echo_gain), f))});

    e.wah.on = in.wah_on == 1;
    e.wah.set_params({r(Limit::WahRate, in.wah[0]), r(Limit::WahDepth, in.wah[1]), r(Limit::WahResonance, in.wah[2]),
                      r(Limit::WahOffset, in.wah[3])});
    e.bass.on = in.bass_on == 1;
    e.bass.set_params({r(Limit::BassFreq, in.bass[0]), r(Limit::BassGain, in.bass[1])});
    e.invert.on = in.invert_on == 1;
    e.vibrato.on = in.vibrato_on == 1;
    e.vibrato.set_params({r(Limit::VibratoPeriod, in.vibrato[0]), r(Limit::VibratoDepth, in.vibrato[1])});

    // The equaliser: a band count the page cannot show leaves it as it was.
    const int bands = in.eq_curve.band_count;
    if (bands == 10 || bands == 15 || bands == 25 || bands == 31) {
        EqPageState& page = state.eq_page;
        Equalizer& eq = e.eq;
        eq.on = in.eq_on == 1;
        eq.second_level = in.eq_second_level == 1;
        page.band_count = bands;
        eq.set_band_count(bands);
        std::memset(page.preset_name, 0, sizeof page.preset_name);
        std::strncpy(page.preset_name, default_preset_name(bands), sizeof page.preset_name - 1);
        for (int b = 0; b < bands; ++b) {
            const int db = r(Limit::EqGain, in.eq_curve.gains[b]);
            for (int c = 0; c < 2; ++c) eq.set_band_gain(db, b, c);
            page.band_position[b] = slider::record_position(db);
        }
        page.pregain_position = r(Limit::EqPregainPosition, in.eq_pregain_position);
        for (int c = 0; c < 2; ++c) eq.set_band_gain(slider::pregain_db(page.pregain_position), -1, c);
    }

    for (uint8_t id : in.chain) {
        if (id >= 1 && id <= kEffectCount) rows[(*row_count)++] = id;
    }
    return true;
}

}  // namespace soundfx

#include "soundfx/core/effects/phaser.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

Phaser::Phaser() {
    for (Record& r : records_) derive(r);
}

void Phaser::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    params_.min_freq = 440;
    params_.max_freq = 1600;
    params_.rate = 50;
    for (Record& r : records_) {
        derive(r);
        for (double& z : r.z) z = 0;
        r.last = 0;
        r.lfo_phase = 0;
    }
}

void Phaser::derive(Record& r) const {
    r.rate = rate_;
    r.d_min = params_.min_freq * 2.0 / rate_;
    r.d_max = params_.max_freq * 2.0 / rate_;
    r.lfo_step = (params_.rate * 0.01 / rate_) * 6.28318;
}

void Phaser::set_params(const Params& p) {
    params_.min_freq = limit_int(Limit::PhaserMinFreq, p.min_freq);
    params_.max_freq = limit_int(Limit::PhaserMaxFreq, p.max_freq);
    params_.rate = limit_int(Limit::PhaserRate, p.rate);
    params_.feedback = limit_int(Limit::PhaserFeedback, p.feedback);
    params_.gain = limit_int(Limit::PhaserGain, p.gain);
    for (Record& r : records_) {
        derive(r);
        r.feedback = limit(Limit::FeedbackFactor, params_.feedback * 0.01);
        r.depth = params_.gain * 0.1;
    }
}

void Phaser::set_depth_factor(double depth) {
    for (Record& r : records_) r.depth = clamp_finite(depth, 0.0, 1.0);
}

// sin(lfo_phase) comes from a rotation by the step, exact at the start of each piece and after each
// wrap of the phase (which takes off 6.28318, not quite a turn).
void Phaser::process_channel(float* x, int n, int channel, Work&) {
    Record& r = records_[channel & 1];
    const double step_sin = std::sin(r.lfo_step), step_cos = std::cos(r.lfo_step);
    double s = std::sin(r.lfo_phase), c = std::cos(r.lfo_phase);
    for (int j = 0; j < n; ++j) {
        const double d = r.d_min + (r.d_max - r.d_min) * (s + 1.0) / 2.0;
        r.lfo_phase += r.lfo_step;
        if (r.lfo_phase >= 6.28318) {
            r.lfo_phase -= 6.28318;
            s = std::sin(r.lfo_phase);
            c = std::cos(r.lfo_phase);
        } else {
            const double rotated = s * step_cos + c * step_sin;
            c = c * step_cos - s * step_sin;
            s = rotated;
        }
        const double a = (1.0 - d) / (1.0 + d);
        double u = x[j] + r.feedback * r.last;
        for (int s = 0; s < 6; ++s) {
            const double out = r.z[s] - a * u;
            r.z[s] = a * out + u;
            u = out;
        }
        r.last = u;
        x[j] = float(clamp_finite((u * r.depth + x[j]) * 0.9, -32768.0, 32767.0));
    }
}

void Phaser::check_state(StateCheck& check) const {
    for (const Record& r : records_) {
        check.add_all(r.z, 6);
        check.add(r.last);
        check.add(r.lfo_phase);
    }
}

}  // namespace soundfx

#include "soundfx/core/effects/phaser.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/simd.h"
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

// Two records side by side (the two channels, or one channel twice), lane l running record l over
// x[l]. sin(lfo_phase) comes from a rotation by the step, exact at the start of each piece and after
// each wrap of the phase (which takes off 6.28318, not quite a turn).
void Phaser::run(Record* (&r)[2], float* (&x)[2], int n) {
    auto pair = [&](double Record::*field) { return f64x2{r[0]->*field, r[1]->*field}; };
    const f64x2 step = pair(&Record::lfo_step), d_min = pair(&Record::d_min), d_max = pair(&Record::d_max);
    const f64x2 feedback = pair(&Record::feedback), depth = pair(&Record::depth);
    const f64x2 step_sin = {std::sin(step[0]), std::sin(step[1])}, step_cos = {std::cos(step[0]), std::cos(step[1])};
    f64x2 phase = pair(&Record::lfo_phase), last = pair(&Record::last);
    f64x2 s = {std::sin(phase[0]), std::sin(phase[1])}, c = {std::cos(phase[0]), std::cos(phase[1])};
    f64x2 z[6];
    for (int k = 0; k < 6; ++k) z[k] = f64x2{r[0]->z[k], r[1]->z[k]};
    for (int j = 0; j < n; ++j) {
        const f64x2 d = d_min + (d_max - d_min) * (s + 1.0) / 2.0;
        phase += step;
        const f64x2 rotated = s * step_cos + c * step_sin;
        c = c * step_cos - s * step_sin;
        s = rotated;
        if (phase[0] >= 6.28318 || phase[1] >= 6.28318) {
            for (int l = 0; l < 2; ++l) {
                if (phase[l] < 6.28318) continue;
                phase[l] -= 6.28318;
                s[l] = std::sin(phase[l]);
                c[l] = std::cos(phase[l]);
            }
        }
        const f64x2 a = (1.0 - d) / (1.0 + d), in = {x[0][j], x[1][j]};
        f64x2 u = in + feedback * last;
        for (int k = 0; k < 6; ++k) {
            const f64x2 out = z[k] - a * u;
            z[k] = a * out + u;
            u = out;
        }
        last = u;
        f64x2 y = (u * depth + in) * 0.9;
        y = y >= -32768.0 ? y : f64x2{-32768.0, -32768.0};  // NaN gives -32768
        y = y > 32767.0 ? f64x2{32767.0, 32767.0} : y;
        x[0][j] = float(y[0]);
        x[1][j] = float(y[1]);
    }
    for (int l = 1; l >= 0; --l) {
        r[l]->lfo_phase = phase[l];
        r[l]->last = last[l];
        for (int k = 0; k < 6; ++k) r[l]->z[k] = z[k][l];
    }
}

void Phaser::process_channel(float* x, int n, int channel, Work&) {
    Record* r[2] = {&records_[channel & 1], &records_[channel & 1]};
    float* xs[2] = {x, x};
    run(r, xs, n);
}

void Phaser::process_stereo(float* left, float* right, int n, Work&) {
    Record* r[2] = {&records_[0], &records_[1]};
    float* xs[2] = {left, right};
    run(r, xs, n);
}

void Phaser::check_state(StateCheck& check) const {
    for (const Record& r : records_) {
        check.add_all(r.z, 6);
        check.add(r.last);
        check.add(r.lfo_phase);
    }
}

}  // namespace soundfx

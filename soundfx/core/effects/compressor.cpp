#include "soundfx/core/effects/compressor.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/vector_math.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

void Compressor::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    set_params(Params());
    env_coef_ = attack_coef_;
    env_ = 0;
    gain_ = 1.0;
}

void Compressor::set_params(const Params& p) {
    params_.threshold = limit_int(Limit::CompThreshold, p.threshold);
    params_.ratio = limit_int(Limit::CompRatio, p.ratio);
    params_.attack = limit_int(Limit::CompAttack, p.attack);
    params_.release = limit_int(Limit::CompRelease, p.release);
    threshold_lin_ = fx_db_to_gain(params_.threshold - 3);
    slope_ = params_.ratio * 0.1;
    attack_coef_ = fx_smooth_coef(params_.attack, rate_);
    release_coef_ = fx_smooth_coef(params_.release, rate_);
    env_coef_ = params_.attack < params_.release ? attack_coef_ : release_coef_;
}

// The envelope runs first over the piece, then the gain curve is worked out four samples at a time,
// then the smoothed gain runs and scales the samples.
void Compressor::process_channel(float* x, int n, int, Work& work) {
    const double t = threshold_lin_ * threshold_lin_;
    const float exponent = float(0.5 * slope_ - 0.5);
    double* env = work.lanes.data();
    double e = env_;
    for (int j = 0; j < n; ++j) {
        const double v = x[j] * 3.0517578125e-05;
        e = e * env_coef_ + v * v * (1.0 - env_coef_);
        env[j] = e;
    }
    env_ = e;
    // G = (env / T)^exponent as exp(exponent log(env / T)) in single precision, where env reaches T.
    float* curve = work.twice.data();
    for (int j = 0; j < n; j += 4) {
        f32x4 ratio;
        for (int l = 0; l < 4; ++l) ratio[l] = j + l < n ? float(env[j + l] / t) : 1.0f;
        store4(curve + j, exp4(splat4(exponent) * log4(ratio)));
    }
    double gain = gain_;
    for (int j = 0; j < n; ++j) {
        const double g = (env[j] < t || t <= 0) ? 1.0 : double(curve[j]);
        const double coef = g >= gain ? release_coef_ : attack_coef_;
        gain = gain * coef + (1.0 - coef) * g;
        x[j] = float(clamp_finite(x[j] * 3.0517578125e-05 * gain, -1.0, 1.0) * 32768.0);
    }
    gain_ = gain;
}

void Compressor::check_state(StateCheck& check) const {
    check.add(env_);
    check.add(gain_);
}

}  // namespace soundfx

#include "soundfx/core/effects/compressor.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
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

void Compressor::process_channel(float* x, int n, int, Work&) {
    const double t = threshold_lin_ * threshold_lin_;
    const double exponent = 0.5 * slope_ - 0.5;
    for (int j = 0; j < n; ++j) {
        const double v = x[j] * 3.0517578125e-05;
        env_ = env_ * env_coef_ + v * v * (1.0 - env_coef_);
        const double g = (env_ < t || t <= 0) ? 1.0 : double(std::exp(float(exponent) * std::log(float(env_ / t))));
        if (g >= gain_) {
            gain_ = gain_ * release_coef_ + (1.0 - release_coef_) * g;
        } else {
            gain_ = gain_ * attack_coef_ + (1.0 - attack_coef_) * g;
        }
        x[j] = float(clamp_finite(v * gain_, -1.0, 1.0) * 32768.0);
    }
}

void Compressor::check_state(StateCheck& check) const {
    check.add(env_);
    check.add(gain_);
}

}  // namespace soundfx

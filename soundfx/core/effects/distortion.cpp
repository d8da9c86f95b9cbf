#include "soundfx/core/effects/distortion.h"
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

void Distortion::reset(const Context& context) {
    on = 0;
    format_ = context.format;
    set_params(Params());
}

void Distortion::set_params(const Params& p) {
    params_.sense = limit_int(Limit::DistSense, p.sense);
    params_.strength = limit_int(Limit::DistStrength, p.strength);
    params_.drive = limit_int(Limit::DistDrive, p.drive);
    params_.lp_freq = limit_int(Limit::DistLpFreq, p.lp_freq);
    params_.noise_freq = limit_int(Limit::DistNoiseFreq, p.noise_freq);
    fx_filter_setup(4, 1.5, &pre_);
    fx_filter_design(params_.lp_freq, format_.rate, format_.channels, &pre_);
    fx_filter_setup(4, 1.0, &post_);
    fx_filter_design(params_.noise_freq, format_.rate, format_.channels, &post_);
    previous_[0] = previous_[1] = 0;
}

void Distortion::process_channel(float* x, int n, int channel, Work&) {
    fx_filter_lowpass(x, n, &pre_, channel);
    const double sense = params_.sense, drive = params_.drive * 0.0625, level = params_.strength * 0.00390625;
    int& previous = previous_[channel & 1];
    for (int j = 0; j < n; ++j) {
        const double v = drive * x[j];
        const double p = previous;
        double y = v;
        if (v - p > sense) {
            y = p + sense;
        } else if (p - v > sense) {
            y = p - sense;
        }
        previous = int(clamp_finite(y, -2e9, 2e9));
        x[j] = float(level * y);
    }
    fx_filter_lowpass(x, n, &post_, channel);
    for (int j = 0; j < n; ++j) x[j] = float(clamp_finite(x[j], -32768.0, 32767.0));
}

void Distortion::check_state(StateCheck& check) const {
    check.add_all(pre_.state, 40);
    check.add_all(pre_.previous, 40);
    check.add_all(post_.state, 40);
    check.add_all(post_.previous, 40);
}

}  // namespace soundfx

#include "soundfx/core/effects/noise_gate.h"
#include <cmath>
#include "soundfx/core/safe_range.h"

namespace soundfx {

NoiseGate::Params NoiseGate::defaults(const Format& f) {
    Params p;
    p.hold = int(2LL * f.rate * f.channels / 1000);
    p.release = int(int64_t(f.rate) * f.channels * 500 / 1000);
    return p;
}

void NoiseGate::reset(const Context& context) {
    on = 0;
    format_ = context.format;
    set_params(defaults(format_));
    open_ = false;
    quiet_count_ = release_step_ = attack_step_ = 0;
    release_gain_ = attack_gain_ = 1.0f;
}

void NoiseGate::set_params(const Params& p) {
    params_.threshold = limit_int(Limit::GateLevel, p.threshold);
    params_.hysteresis = limit_int(Limit::GateLevel, p.hysteresis);
    params_.hold = limit_int(Limit::GateHold, p.hold, format_);
    params_.release = limit_int(Limit::GateRelease, p.release, format_);
    params_.attack = limit_int(Limit::GateAttack, p.attack, format_);
}

// The release ramp takes one step a sample, so closing lasts the release time.
void NoiseGate::process_channel(float* x, int n, int, Work&) {
    const uint32_t hold = uint32_t(params_.hold), release = uint32_t(params_.release),
                   attack = uint32_t(params_.attack);
    for (int j = 0; j < n; ++j) {
        const float level = std::fabs(x[j]);
        const bool quiet = open_ ? level < params_.hysteresis : level < params_.threshold;
        if (quiet) {
            if (quiet_count_ < UINT32_MAX) ++quiet_count_;
            if (quiet_count_ >= hold) {
                if (level < params_.hysteresis) {
                    open_ = false;
                    attack_gain_ = 1.0f;
                    attack_step_ = 0;
                }
                if (release == 0) {
                    release_gain_ = 0.0f;
                } else if (release_step_ < release) {
                    ++release_step_;
                    release_gain_ = float(release - release_step_) / float(release);
                }
            }
        } else {
            release_step_ = 0;
            quiet_count_ = 0;
            release_gain_ = 1.0f;
            open_ = true;
            if (attack == 0 || attack_step_ >= attack) {
                attack_gain_ = 1.0f;
            } else {
                ++attack_step_;
                attack_gain_ = float(attack_step_) / float(attack);
            }
        }
        x[j] = release_gain_ * attack_gain_ * x[j];
    }
}

void NoiseGate::check_state(StateCheck& check) const {
    check.add(release_gain_);
    check.add(attack_gain_);
}

}  // namespace soundfx

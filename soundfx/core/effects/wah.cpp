#include "soundfx/core/effects/wah.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {
namespace {
constexpr double kPi = 3.14159265358979323846;
}

void Wah::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    restart(12.5663708 / rate_, 0.7, 0.3, 3.0);
}

void Wah::restart(double lfo_step, double depth, double base, double q) {
    for (int c = 0; c < 2; ++c) {
        Record r;
        r.lfo_offset = c == 0 ? 0.0 : 3.1415927;
        r.lfo_step = lfo_step;
        r.depth = depth;
        r.base = base;
        r.q = std::max(q, 0.1);
        records_[c] = r;
    }
}

void Wah::set_params(const Params& p) {
    params_.rate = limit_int(Limit::WahRate, p.rate);
    params_.depth = limit_int(Limit::WahDepth, p.depth);
    params_.resonance = limit_int(Limit::WahResonance, p.resonance);
    params_.offset = limit_int(Limit::WahOffset, p.offset);
    restart(2.0 * (params_.rate * 0.1) * kPi / rate_, params_.depth * 0.01, params_.offset * 0.01,
            params_.resonance * 0.1);
}

void Wah::process_channel(float* x, int n, int channel, Work&) {
    Record& r = records_[channel & 1];
    for (int j = 0; j < n; ++j) {
        const double xn = x[j] * 3.051851e-05;
        const bool recompute = r.counter % 30 == 0;
        ++r.counter;
        r.lfo_phase = std::fmod(r.lfo_phase + r.lfo_step, 2.0 * kPi);
        if (recompute) {
            // A low-pass whose cut-off is f times half the rate.
            const double c = std::cos(r.lfo_phase + r.lfo_offset);
            const double f = std::exp(6.0 * (((1.0 - r.base) * (c + 1.0) / 2.0 * r.depth + r.base) - 1.0));
            const double w = f * 3.1415927;
            const double alpha = std::sin(w) / (2.0 * r.q);
            Biquad& q = r.filter;
            q.b1 = 1.0 - std::cos(w);
            q.b0 = q.b2 = q.b1 / 2.0;
            q.a0 = 1.0 + alpha;
            q.a1 = -2.0 * std::cos(w);
            q.a2 = 1.0 - alpha;
        }
        x[j] = float(clamp_finite(biquad_step(&r.filter, xn), -1.0, 1.0) * 32767.0);
    }
}

void Wah::check_state(StateCheck& check) const {
    for (const Record& r : records_) {
        check_biquad(check, r.filter);
        check.add(r.lfo_phase);
    }
}

}  // namespace soundfx

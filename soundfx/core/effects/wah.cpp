#include "soundfx/core/effects/wah.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/simd.h"
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

namespace {

constexpr double kTurn = 2.0 * kPi;

// fmod(a, 2 pi) as it comes out for a phase that grew by less than a turn (a - 2 pi is exact there).
inline double within_turn(double a) {
    if (a >= 0 && a < kTurn) return a;
    if (a >= kTurn && a < 2 * kTurn) return a - kTurn;
    return std::fmod(a, kTurn);
}

}  // namespace

// A low-pass whose cut-off is f times half the rate, f following the LFO.
void Wah::design(Record& r) const {
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

// Lane l runs record l over x[l] (the two channels, or one channel twice); their counters agree.
void Wah::run(Record* (&r)[2], float* (&x)[2], int n) {
    BiquadPair q(&r[0]->filter, &r[1]->filter);
    uint64_t counter = r[0]->counter;
    int until_design = int(counter % 30);  // samples since the last design
    for (int j = 0; j < n; ++j) {
        const bool recompute = until_design == 0;
        if (++until_design == 30) until_design = 0;
        ++counter;
        for (Record* rec : r) rec->lfo_phase = within_turn(rec->lfo_phase + rec->lfo_step);
        if (recompute) {
            for (int l = 0; l < 2; ++l) {
                design(*r[l]);
                q.reload(l);
            }
        }
        f64x2 y = q.step(f64x2{x[0][j] * 3.051851e-05, x[1][j] * 3.051851e-05});
        y = y >= -1.0 ? y : f64x2{-1.0, -1.0};  // NaN gives -1
        y = y > 1.0 ? f64x2{1.0, 1.0} : y;
        y *= 32767.0;
        x[0][j] = float(y[0]);
        x[1][j] = float(y[1]);
    }
    r[0]->counter = r[1]->counter = counter;
    q.put_back();
}

void Wah::process_channel(float* x, int n, int channel, Work&) {
    Record* r[2] = {&records_[channel & 1], &records_[channel & 1]};
    float* xs[2] = {x, x};
    // One record in both lanes would step its phase twice a sample: the second lane gets a copy.
    Record copy = records_[channel & 1];
    r[1] = &copy;
    run(r, xs, n);
}

void Wah::process_stereo(float* left, float* right, int n, Work& work) {
    if (records_[0].counter != records_[1].counter) {
        process_channel(left, n, 0, work);
        process_channel(right, n, 1, work);
        return;
    }
    Record* r[2] = {&records_[0], &records_[1]};
    float* xs[2] = {left, right};
    run(r, xs, n);
}

void Wah::check_state(StateCheck& check) const {
    for (const Record& r : records_) {
        check_biquad(check, r.filter);
        check.add(r.lfo_phase);
    }
}

}  // namespace soundfx

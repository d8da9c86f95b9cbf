#include "soundfx/core/effects/reverb.h"
#include <algorithm>
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/simd.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

int reverb_samples(int time, int rate, double k) {
    const double v = 2.0 * std::floor(double(time) * rate * k);
    return int(clamp_finite(v, 0.0, Reverb::kRing - 1));
}

void fx_random_taps_init(Reverb::Record* record, int n, int spread, int base, int decay, Random& random) {
    n = std::clamp(n, 0, Reverb::kMaxTaps);
    decay = std::max(decay, 1);
    record->taps = n;
    for (int k = 0; k < n; ++k) {
        const double u = random.next() / 32767.0;
        record->delay[k] = int(clamp_finite(std::trunc(base + spread * u), 0.0, Reverb::kRing - 1));
        const int r = random.next();
        record->gain[k] = float(std::exp(-(spread * u) / decay) * (2.0 * r - 1.0) / 32767.0);
    }
}

Reverb::Reverb(Random& random) : random_(random) {}

void Reverb::reset(const Context& context) {
    on = 0;
    flag2 = false;
    rate_ = context.format.rate;
    for (Record& r : records_) r.ring.assign(kRing + kMirror, 0.0f);
    set_params(Params());
}

void Reverb::clear() {
    for (Record& r : records_) std::fill(r.ring.begin(), r.ring.end(), 0.0f);
}

void Reverb::set_params(const Params& p) {
    params_.tap_count = limit_int(Limit::ReverbTapCount, p.tap_count);
    params_.time0 = limit_int(Limit::ReverbTime, p.time0);
    params_.decay = limit_int(Limit::ReverbDecay, p.decay);
    params_.predelay = limit_int(Limit::ReverbTime, p.predelay);
    params_.feedback_time = limit_int(Limit::ReverbTime, p.feedback_time);
    params_.feedback_db = limit_int(Limit::ReverbFeedbackDb, p.feedback_db);
    params_.tap_db = limit_int(Limit::ReverbTapDb, p.tap_db);
    const int spread = reverb_samples(params_.feedback_time, rate_, 0.0030303);
    const int base = reverb_samples(params_.predelay, rate_, 0.0030303);
    const int decay = reverb_samples(params_.decay, rate_, 0.0030303);
    for (Record& r : records_) {
        r.comb_delay = reverb_samples(params_.feedback_time, rate_, 0.003030303);
        r.feedback = float(limit(Limit::FeedbackFactor, fx_db_to_gain(params_.feedback_db)));
        r.level = float(fx_db_to_gain(params_.tap_db));
        r.pos = 0;
        std::fill(r.ring.begin(), r.ring.end(), 0.0f);
        fx_random_taps_init(&r, params_.tap_count, spread, base, decay, random_);
    }
}

namespace {

// The ring holds kRing samples and, past its end, a copy of its first kMirror, so that any kMirror
// neighbours can be read from one place.
inline void put(float* ring, uint16_t at, float v) {
    ring[at] = v;
    if (at < Reverb::kMirror) ring[Reverb::kRing + at] = v;
}

// Four samples at once read only what was there before them when every delay reaches back at least
// four places and not within four of a whole ring.
bool fits_four(const Reverb::Record& r) {
    auto ok = [](int d) { return d >= 4 && d <= Reverb::kRing - 4; };
    if (!ok(r.comb_delay)) return false;
    for (int k = 0; k < r.taps; ++k)
        if (!ok(r.delay[k])) return false;
    return true;
}

}  // namespace

// Per sample: ring[pos] = v - f ring[pos - D]; s = v + the taps in order; out = (s g + v) limited to
// -1..1. Where the delays allow, four neighbouring samples run as one vector, each lane summing its
// taps in the same order.
void Reverb::process_channel(float* x, int n, int channel, Work&) {
    Record& r = records_[channel & 1];
    if (r.ring.size() != size_t(kRing + kMirror)) return;
    float* ring = r.ring.data();
    uint16_t pos = r.pos;
    const uint16_t comb = uint16_t(r.comb_delay);
    int j = 0;
    if (fits_four(r)) {
        const f32x4 feedback = splat4(r.feedback);
        const f64x2 level = splat2(r.level);
        for (; j + 4 <= n; j += 4) {
            const f32x4 v = load4(x + j) * splat4(3.0517578125e-05f);
            const f32x4 w = v - feedback * load4(ring + uint16_t(pos - comb));
            for (int l = 0; l < 4; ++l) put(ring, uint16_t(pos + l), w[l]);
            f32x4 sum = v;
            for (int k = 0; k < r.taps; ++k) sum += splat4(r.gain[k]) * load4(ring + uint16_t(pos - r.delay[k]));
            for (int half = 0; half < 2; ++half) {
                const f64x2 s2 = {sum[2 * half], sum[2 * half + 1]}, v2 = {v[2 * half], v[2 * half + 1]};
                f64x2 out = s2 * level + v2;
                out = out >= splat2(-1.0) ? out : splat2(-1.0);  // NaN gives -1
                out = out > splat2(1.0) ? splat2(1.0) : out;
                out *= splat2(32767.0);
                x[j + 2 * half] = float(out[0]);
                x[j + 2 * half + 1] = float(out[1]);
            }
            pos = uint16_t(pos + 4);
        }
    }
    for (; j < n; ++j) {
        const float v = x[j] * 3.0517578125e-05f;
        put(ring, pos, v - r.feedback * ring[uint16_t(pos - comb)]);
        float s = v;
        for (int k = 0; k < r.taps; ++k) s += r.gain[k] * ring[uint16_t(pos - r.delay[k])];
        const double out = clamp_finite(double(s) * r.level + v, -1.0, 1.0);
        x[j] = float(out * 32767.0);
        ++pos;
    }
    r.pos = pos;
}

void Reverb::check_state(StateCheck& check) const {
    for (const Record& r : records_) check.add_all(r.ring);
}

}  // namespace soundfx

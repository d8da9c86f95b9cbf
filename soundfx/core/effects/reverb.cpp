#include "soundfx/core/effects/reverb.h"
#include <algorithm>
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
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
    for (Record& r : records_) r.ring.assign(kRing, 0.0f);
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

void Reverb::process_channel(float* x, int n, int channel, Work&) {
    Record& r = records_[channel & 1];
    if (r.ring.size() != size_t(kRing)) return;
    float* ring = r.ring.data();
    uint16_t pos = r.pos;
    const uint16_t comb = uint16_t(r.comb_delay);
    for (int j = 0; j < n; ++j) {
        const float v = x[j] * 3.0517578125e-05f;
        ring[pos] = v - r.feedback * ring[uint16_t(pos - comb)];
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

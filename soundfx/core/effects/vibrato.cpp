#include "soundfx/core/effects/vibrato.h"
#include <algorithm>
#include <cmath>
#include "soundfx/core/safe_range.h"

namespace soundfx {

void Vibrato::reset(const Context& context) {
    on = 0;
    format_ = context.format;
    length_ = format_.rate;
    depth_ = 25;
    period_ = std::max(1, int(0.1 * format_.rate));
    for (int c = 0; c < 2; ++c) {
        ring_[c].assign(size_t(length_), 0.0);
        write_[c] = read_[c] = 0;
    }
    phase_ = 0;
    build_table();
}

void Vibrato::release() {
    for (auto& r : ring_) std::vector<double>().swap(r);
    std::vector<double>().swap(table_);
    length_ = 0;
}

void Vibrato::build_table() {
    table_.resize(size_t(length_));
    for (int i = 0; i < length_; ++i) table_[i] = depth_ * std::sin(double(i) / length_ * 6.2831854);
}

void Vibrato::set_params(const Params& p) {
    params_.period = limit_int(Limit::VibratoPeriod, p.period);
    params_.depth = limit_int(Limit::VibratoDepth, p.depth);
    if (length_ <= 0) return;
    period_ = std::max(1, int(params_.period * double(format_.channels) * format_.rate * 0.01));
    depth_ = params_.depth;
    phase_ = 0;
    build_table();
}

void Vibrato::set_swing(int depth_samples, int period_samples) {
    if (length_ <= 0) return;
    depth_ = std::clamp(depth_samples, 0, length_ / 3);
    period_ = std::max(1, period_samples);
    phase_ = 0;
    build_table();
}

// trunc(t - 2 depth - swing), less len when it reaches len, limited to the ring.
inline int Vibrato::read_index(int t, double swing, int len) const {
    int64_t next = int64_t(t - 2.0 * depth_ - swing);  // toward zero
    if (next >= len) next -= len;
    return int(std::clamp<int64_t>(next, 0, len - 1));
}

void Vibrato::process_channel(float* x, int n, int channel, Work&) {
    const int c = channel & 1;
    const int len = length_;
    if (len <= 0 || ring_[c].size() != size_t(len)) return;
    double* ring = ring_[c].data();
    int w = write_[c], r = read_[c];
    // The table index len x phase / period, kept as a quotient and a remainder as the phase counts up.
    const int64_t period = period_, whole_step = len / period, rest_step = len % period;
    int64_t index = int64_t(len) * phase_ / period, rest = int64_t(len) * phase_ % period;
    for (int j = 0; j < n; ++j) {
        ring[w] = x[j];
        if (++w >= len) w = 0;
        if (++phase_ >= period_) {
            phase_ = 0;
            index = rest = 0;
        } else {
            index += whole_step;
            rest += rest_step;
            if (rest >= period) {
                rest -= period;
                ++index;
            }
        }
        // The read index from t = w, or w + len while the write index is behind the last read; both
        // are worked out first, so that only the choice waits for the last read index.
        const double swing = table_[size_t(index)];
        const int from_w = read_index(w, swing, len), from_w_len = read_index(w + len, swing, len);
        r = w < r ? from_w_len : from_w;
        x[j] = float(ring[r]);
    }
    write_[c] = w;
    read_[c] = r;
}

void Vibrato::check_state(StateCheck& check) const {
    for (const auto& r : ring_) check.add_all(r);
}

}  // namespace soundfx
